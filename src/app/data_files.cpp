#include "app/data_files.h"

#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "controls/seams.h"
#include "records/record_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

QString WorkingFolder(QString *error)
{
#ifdef Q_OS_UNIX
    // QDir::currentPath() gives an empty text when the system cannot tell the folder, and an
    // empty folder would put the files into the root folder; the system's own reason is kept.
    QByteArray buffer(4096, '\0');
    while (!::getcwd(buffer.data(), std::size_t(buffer.size()))) {
        if (errno == ERANGE && buffer.size() < (1 << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        const int reason = errno;
        *error = reason == ENOENT
                     ? QStringLiteral("The folder Tallowby was started in no longer exists, so "
                                      "Tallowby cannot keep its files there. Start it again from "
                                      "the folder that holds your diary.")
                     : QStringLiteral("The folder Tallowby was started in cannot be read: %1.")
                           .arg(QString::fromLocal8Bit(std::strerror(reason)));
        return {};
    }
    return QFile::decodeName(buffer.constData());
#else
    const QString folder = QDir::currentPath();
    if (folder.isEmpty())
        *error = QStringLiteral("The folder Tallowby was started in cannot be found.");
    return folder;
#endif
}

QString DataFilePath(const QString &folder, const char *baseName)
{
    return folder + QDir::separator() + QString::fromLatin1(baseName) + QStringLiteral(".dat");
}

namespace Module1 {

bool OpenDataFiles(QString *error)
{
    CloseDataFiles();
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        CloseDataFiles();
        return false;
    };
    // Without a folder the paths would name files in the root folder.
    if (DataFolder.isEmpty())
        return fail(QStringLiteral("Tallowby has no data folder to keep its files in."));
    for (const DataFileLayout &f : kDataFiles) {
        const QString path = DataFilePath(DataFolder, f.baseName);
        QString reason;
        if (!OpenRecordFile(f.number, path, f.recordLength, &reason)) {
            // A file that is missing and could not be made tells that the folder cannot be
            // written, also for the superuser, whom permission bits do not stop.
            const QFileInfo folder(DataFolder);
            if (!QFileInfo::exists(path) || (!folder.isWritable() && !QFileInfo(path).isWritable()))
                return fail(QStringLiteral("The data folder %1 cannot be written, so Tallowby "
                                           "cannot keep its files there.\n\n%2")
                                .arg(QDir::toNativeSeparators(DataFolder), reason));
            return fail(reason);
        }
    }
    // One copy of the program per data folder: the lock goes with the process, so a crash
    // never leaves the folder locked. Nothing has been written when a second copy stops here.
    if (!LockRecordFile(kDataFiles[0].number))
        return fail(QStringLiteral("Tallowby is already running with the data folder %1.")
                        .arg(QDir::toNativeSeparators(DataFolder)));

    // Every count record must hold a value: a never-written one (tag 0) gets the count 0.
    // One that holds a count already is left exactly as it is, whatever its tag, and so is one
    // whose tag is unknown: start-up never overwrites what it cannot read.
    for (const DataFileLayout &f : kDataFiles) {
        const QByteArray raw = ReadRecords(f.number, f.countRecord, 1);
        if (raw.size() < 2 || DecodeStoreCount(raw, f.capacity).kind != CountReading::NeverWritten)
            continue;
        const RecordStatus s = PutCount(f.number, f.countRecord, 0);
        if (!s.ok())
            return fail(s.message);
    }
    return true;
}

void CloseDataFiles()
{
    for (const DataFileLayout &f : kDataFiles)
        CloseRecordFile(f.number);
}

void ExitProgram()
{
    KeepMarksForNextStart();
    CloseDataFiles();
    if (MainWindow *main = Forms::MDIForm1())
        main->hide();
    // At once, also before the main event loop runs (during the splash period), so that no
    // process is left behind without a window.
    ProcessEnd::now();
}

} // namespace Module1
