// The launcher file MyDesk.dat (file number 4, 128-byte records, block size 4).
// Record 4 holds the count; the entry at position n holds caption, program path and icon path
// in records 4n+1 to 4n+3. No window code here.
#pragma once

#include "records/data_layout.h"
#include "records/store_result.h"

#include <QList>
#include <QString>
#include <QStringList>

struct DesktopEntry {
    QString ButtonCaption;
    QString ProgramPath;
    QString IconPath; // "none" for the default picture
};

// Every button of the launcher file, read in one pass: caption, program path and picture path
// ("none" for the default picture) of each, in button order.
struct DesktopButtons {
    QStringList captions;
    QStringList programPaths;
    QStringList iconPaths;
};

class DesktopStore {
public:
    static constexpr const DataFileLayout &Layout = kDesktopFile;
    static constexpr int FileNumber = Layout.number;
    static constexpr int RecordLength = Layout.recordLength;
    static constexpr int BlockSize = Layout.blockSize;
    static constexpr int Capacity = Layout.capacity;

    explicit DesktopStore(int fileNumber = FileNumber) : m_file(fileNumber) {}

    int GetButtonCount() const;
    QList<DesktopEntry> ReadDesktopEntries() const;
    // The captions only (records 4n+1).
    QStringList ReadCaptions() const;
    // Every button in one run over the file looked at in place.
    DesktopButtons ReadButtons() const;
    StoreResult AppendDesktopEntry(const QString &caption, const QString &programPath);
    StoreResult RemoveDesktopEntry(int position);
    StoreResult SetDesktopIcon(int position, const QString &iconPath);

private:
    int m_file;
};
