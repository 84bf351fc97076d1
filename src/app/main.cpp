#include "app/main_window.h"
#include "controls/pictures.h"

#include <QApplication>
#include <QStandardPaths>

#include <csignal>

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write beyond the file size limit fails with an error the program reports, instead of
    // ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallowby"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tallowby.Tallowby"));
    QApplication::setWindowIcon(Pictures::logoIcon());
    // The program ends only through File > Exit or a close of the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    MainWindow window;
    window.cacheFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!window.startUp())
        return 1;
    return QApplication::exec();
}
