#include "data/desktop_store.h"

#include "records/record_block.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int kK = DesktopStore::BlockSize;
constexpr int kFields = 3;
// Entries read per block when scanning the whole file (256 KiB per read).
constexpr int kScanChunk = 512;

qint64 recordOf(int position, int field)
{
    return qint64(position) * kK + field;
}

// Calls f(position, block) for positions 0 to count-1, reading the file in a few large blocks.
template <typename F> void scanEntries(int file, int count, F f)
{
    for (int start = 0; start < count; start += kScanChunk) {
        const int n = std::min(kScanChunk, count - start);
        const RecordBlock block(file, recordOf(start, 1), qint64(n) * kK, RecordBlock::ReadOnly{});
        for (int i = start; i < start + n; ++i)
            f(i, block);
    }
}

StoreResult noSuchButton(int position)
{
    return {StoreResult::NotFound,
            QStringLiteral("There is no button at position %1 on My Desktop.").arg(position)};
}

// The count for a write, or the refusal to write when the count record is damaged: a count
// that cannot be trusted would put the next entry over existing ones.
StoreResult countForWrite(int file, int *count)
{
    return CountForWrite(file, kK, DesktopStore::Capacity, "My Desktop", count);
}

} // namespace

int DesktopStore::GetButtonCount() const
{
    return ReadStoreCount(m_file, kK, Capacity).usable;
}

QList<DesktopEntry> DesktopStore::ReadDesktopEntries() const
{
    QList<DesktopEntry> entries;
    scanEntries(m_file, GetButtonCount(), [&](int i, const RecordBlock &block) {
        entries.append(
            {block.text(recordOf(i, 1)), block.text(recordOf(i, 2)), block.text(recordOf(i, 3))});
    });
    return entries;
}

QStringList DesktopStore::ReadCaptions() const
{
    QStringList captions;
    scanEntries(m_file, GetButtonCount(), [&](int i, const RecordBlock &block) {
        captions.append(block.text(recordOf(i, 1)));
    });
    return captions;
}

DesktopButtons DesktopStore::ReadButtons() const
{
    const int count = GetButtonCount();
    RecordReader reader(m_file, 1, qint64(count) * kK);
    DesktopButtons buttons;
    buttons.captions.reserve(count);
    buttons.programPaths.reserve(count);
    buttons.iconPaths.reserve(count);
    // Most buttons show the default picture: their "none" is shared, not decoded each time.
    const QString none = QStringLiteral("none");
    const QByteArray noneValue = RecordCodec::encodeString(none);
    for (int i = 0; i < count; ++i) {
        buttons.captions.append(RecordCodec::decodeString(reader.record(recordOf(i, 1))));
        buttons.programPaths.append(RecordCodec::decodeString(reader.record(recordOf(i, 2))));
        const QByteArrayView icon = reader.record(recordOf(i, 3));
        buttons.iconPaths.append(icon.startsWith(noneValue) ? none
                                                            : RecordCodec::decodeString(icon));
    }
    return buttons;
}

StoreResult DesktopStore::AppendDesktopEntry(const QString &caption, const QString &programPath)
{
    int n = 0;
    if (StoreResult counted = countForWrite(m_file, &n); !counted.ok())
        return counted;
    if (n >= Capacity) {
        return {StoreResult::CapacityFull,
                QStringLiteral("My Desktop is full: it can hold no more than %1 buttons. Delete "
                               "buttons you no longer need, then add this one again.")
                    .arg(Capacity)};
    }
    // Both texts are tested before the first write, so a refused button leaves nothing behind.
    if (StoreResult check = CheckFits(m_file, caption, "button caption"); !check.ok())
        return check;
    if (StoreResult check = CheckFits(m_file, programPath, "program path"); !check.ok())
        return check;
    // The three fields in one write, the count last: the button becomes part of the file only
    // when all of its fields are written.
    RecordBlock block(m_file, recordOf(n, 1), kFields);
    const RecordStatus s =
        block.putSpan(recordOf(n, 1),
                      {RecordCodec::encodeString(caption), RecordCodec::encodeString(programPath),
                       RecordCodec::encodeString(QStringLiteral("none"))},
                      true);
    if (!s.ok())
        return StoreResult::fromRecord(s);
    return Flushed(m_file, StoreResult::fromRecord(PutCount(m_file, kK, n + 1)));
}

StoreResult DesktopStore::RemoveDesktopEntry(int position)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (position < 0 || position >= c)
        return noSuchButton(position);
    // Every later entry moves down one position, all of them in one ascending write: no field
    // is overwritten before it has been copied, and an entry's block lies within one page of
    // the file, so a process that dies meanwhile leaves one button twice but none missing and
    // none made of two. Then the count is lowered and the old last position blanked (in that
    // order, so an empty button never shows).
    RecordBlock block(m_file, recordOf(position, 1), qint64(c - position) * kK);
    RecordBlock::Change change(block);
    for (int i = position; i <= c - 2; ++i) {
        for (int k = 1; k <= kFields; ++k)
            change.putStoredValueOf(recordOf(i, k), recordOf(i + 1, k));
    }
    if (const RecordStatus s = change.write(); !s.ok())
        return StoreResult::fromRecord(s);
    if (const RecordStatus s = PutCount(m_file, kK, c - 1); !s.ok())
        return StoreResult::fromRecord(s);
    return Flushed(m_file, StoreResult::fromRecord(block.putSpan(
                               recordOf(c - 1, 1), QList<QByteArray>(kFields, kEmptyStringValue))));
}

StoreResult DesktopStore::SetDesktopIcon(int position, const QString &iconPath)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (position < 0 || position >= c)
        return noSuchButton(position);
    if (StoreResult check = CheckFits(m_file, iconPath, "picture path"); !check.ok())
        return check;
    return Flushed(m_file,
                   StoreResult::fromRecord(PutString(m_file, recordOf(position, 3), iconPath)));
}
