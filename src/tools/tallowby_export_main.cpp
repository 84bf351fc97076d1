// tallowby-export: exports and checks a Tallowby data folder from the command line.
#include "export/export_command.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallowby-export"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2"));
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return Export::ExitFailure;
    QTextStream err(stderr);
    const int status = Export::RunExportCommand(QCoreApplication::arguments().mid(1), out, err,
                                                QDateTime::currentDateTimeUtc());
    out.flush();
    return status;
}
