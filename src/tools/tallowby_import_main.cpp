// tallowby-import: brings iCalendar and vCard files into a Tallowby data folder.
#include "import/import_run.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

#include <csignal>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallowby-import"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2"));
    // A full disk or the file size limit must come back as a message naming the file, as in
    // the program, not end the process half way.
    std::signal(SIGXFSZ, SIG_IGN);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Import::RunImportCommand(QCoreApplication::arguments().mid(1), out, err,
                                    QDate::currentDate());
}
