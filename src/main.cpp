#include "shell/main_window.h"
#include "shell/pictures.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallowby"));
    QApplication::setWindowIcon(Pictures::logoIcon());
    // The program ends only through File > Exit or a close of the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    MainWindow window;
    if (!window.startUp())
        return 1;
    return QApplication::exec();
}
