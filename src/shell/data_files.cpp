#include "shell/data_files.h"

#include "shell/forms.h"
#include "shell/main_window.h"
#include "shell/module1.h"
#include "shell/record_file.h"

#include <QCoreApplication>
#include <QDir>

QString DataFilePath(const QString &folder, const char *baseName)
{
    return folder + QDir::separator() + QString::fromLatin1(baseName) + QStringLiteral(".dat");
}

namespace Module1 {

bool OpenDataFiles(QString *error)
{
    CloseDataFiles();
    for (const DataFileInfo &f : kDataFiles) {
        if (!OpenRecordFile(f.number, DataFilePath(DataFolder, f.baseName), f.recordLength,
                            error)) {
            CloseDataFiles();
            return false;
        }
    }
    // Every count record must hold a value: a never-written one (tag 0) gets the count 0.
    // One that holds a count already is left exactly as it is, whatever its tag, and so is one
    // whose tag is unknown: start-up never overwrites what it cannot read.
    for (const DataFileInfo &f : kDataFiles) {
        const QByteArray raw = ReadRecords(f.number, f.countRecord, 1);
        const bool blank = raw.size() >= 2 && raw[0] == 0 && raw[1] == 0;
        if (!blank)
            continue;
        const RecordStatus s = PutCount(f.number, f.countRecord, 0);
        if (!s.ok()) {
            if (error)
                *error = s.message;
            CloseDataFiles();
            return false;
        }
    }
    return true;
}

void CloseDataFiles()
{
    for (const DataFileInfo &f : kDataFiles)
        CloseRecordFile(f.number);
}

void ExitProgram()
{
    CloseDataFiles();
    if (MainWindow *main = Forms::MDIForm1())
        main->hide();
    QCoreApplication::exit(0);
}

} // namespace Module1
