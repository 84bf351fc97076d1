#include "desktop/desktop_store.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int kLen = DesktopStore::RecordLength;
constexpr int kK = DesktopStore::BlockSize;
constexpr int kFields = 3;
// Entries read per block when scanning the whole file (256 KiB per read).
constexpr int kScanChunk = 512;

const QByteArray kEmptyValue(2, '\0');

// Records [first, first + count) of the file held in memory and kept in step with the writes
// made through it, so that an operation reads its records once and rewrites only those whose
// value changes.
class RecordBlock {
public:
    RecordBlock(int file, qint64 first, qint64 count)
        : m_file(file), m_first(first), m_bytes(ReadRecords(file, first, count)),
          m_present(std::clamp<qint64>(QFileInfo(RecordFilePath(file)).size() - (first - 1) * kLen,
                                       0, m_bytes.size()))
    {}

    // The bytes of record r that the file holds: fewer for a record cut short by the end of the
    // file, none past it. A text is read from these alone, as GetString reads it.
    QByteArrayView record(qint64 r) const
    {
        const qint64 offset = (r - m_first) * kLen;
        if (r < m_first || offset + kLen > m_bytes.size())
            return {};
        return QByteArrayView(m_bytes).sliced(offset,
                                              std::clamp<qint64>(m_present - offset, 0, kLen));
    }

    QString text(qint64 r) const { return RecordCodec::decodeString(record(r)); }

    // Writes values[i] at the start of record first + i, in one write from the first record
    // whose value changes to the end of the last value that changes (with `all`, from the
    // first record to the end of the last value, as a new entry is written). Each record keeps the
    // bytes after its value as they were, so the file ends up as if each changed record had
    // been written on its own, but a process that dies meanwhile leaves all or none of them.
    RecordStatus putSpan(qint64 first, const QList<QByteArray> &values, bool all = false)
    {
        qsizetype from = -1;
        qsizetype to = -1;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QByteArrayView current = record(first + i);
            if (all || current.isEmpty() || !current.startsWith(values[i])) {
                if (from < 0)
                    from = i;
                to = i;
            }
        }
        if (from < 0)
            return RecordStatus::success();
        QByteArray span;
        for (qsizetype i = from; i <= to; ++i) {
            QByteArray rec = record(first + i).toByteArray();
            rec.resize(kLen, '\0');
            rec.replace(0, values[i].size(), values[i]);
            span.append(i == to ? rec.first(values[i].size()) : rec);
        }
        const RecordStatus status = WriteRecordSpan(m_file, first + from, span);
        if (status.ok()) {
            const qint64 end = (first + from - m_first) * kLen + span.size();
            m_present = std::max(m_present, std::min<qint64>(end, m_bytes.size()));
            for (qsizetype i = from; i <= to; ++i) {
                const qint64 r = first + i;
                if (r >= m_first && (r - m_first + 1) * kLen <= m_bytes.size())
                    m_bytes.replace((r - m_first) * kLen, values[i].size(), values[i]);
            }
        }
        return status;
    }

private:
    int m_file;
    qint64 m_first;
    QByteArray m_bytes;
    qint64 m_present; // bytes of m_bytes that are in the file
};

// The stored value of a String record, as it is copied when entries move: its length prefix
// and the text it announces. A prefix that announces more than the record holds is cut to what
// is read, so the copy reads as the original did.
QByteArray stringValue(QByteArrayView rec)
{
    if (rec.size() < 2)
        return kEmptyValue;
    const qsizetype declared = qFromLittleEndian<quint16>(rec.data());
    const qsizetype n = std::min(declared, rec.size() - 2);
    if (n == declared)
        return rec.first(2 + n).toByteArray();
    QByteArray value(2, '\0');
    qToLittleEndian<quint16>(quint16(n), value.data());
    return value + rec.sliced(2, n).toByteArray();
}

qint64 recordOf(int position, int field)
{
    return qint64(position) * kK + field;
}

// Calls f(position, block) for positions 0 to count-1, reading the file in a few large blocks.
template <typename F> void scanEntries(int file, int count, F f)
{
    for (int start = 0; start < count; start += kScanChunk) {
        const int n = std::min(kScanChunk, count - start);
        const RecordBlock block(file, recordOf(start, 1), qint64(n) * kK);
        for (int i = start; i < start + n; ++i)
            f(i, block);
    }
}

StoreResult checkLength(const QString &text, const char *what)
{
    if (RecordCodec::encodeString(text).size() - 2 > kLen - 2) {
        return {StoreResult::TooLong,
                QStringLiteral("The %1 is too long: at most %2 characters can be stored.")
                    .arg(QLatin1StringView(what))
                    .arg(kLen - 2)};
    }
    return StoreResult::success();
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
    const StoreCount c = ReadStoreCount(file, kK, DesktopStore::Capacity);
    if (c.damaged()) {
        return {
            StoreResult::WriteFailed,
            QStringLiteral("The My Desktop file %1 has a damaged count record (%2); nothing was "
                           "changed.")
                .arg(QFileInfo(RecordFilePath(file)).fileName(), c.damage)};
    }
    *count = c.usable;
    return StoreResult::success();
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
    if (StoreResult check = checkLength(caption, "button caption"); !check.ok())
        return check;
    if (StoreResult check = checkLength(programPath, "program path"); !check.ok())
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
    return StoreResult::fromRecord(PutCount(m_file, kK, n + 1));
}

StoreResult DesktopStore::RemoveDesktopEntry(int position)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (position < 0 || position >= c)
        return noSuchButton(position);
    // Every later entry moves down one position, in ascending order and each in one write, so
    // no field is overwritten before it has been copied and a process that dies meanwhile
    // leaves one button twice but none missing. Then the count is lowered and the old last
    // position blanked (in that order, so an empty button never shows).
    RecordBlock block(m_file, recordOf(position, 1), qint64(c - position) * kK);
    for (int i = position; i <= c - 2; ++i) {
        QList<QByteArray> values;
        for (int k = 1; k <= kFields; ++k)
            values.append(stringValue(block.record(recordOf(i + 1, k))));
        if (const RecordStatus s = block.putSpan(recordOf(i, 1), values); !s.ok())
            return StoreResult::fromRecord(s);
    }
    if (const RecordStatus s = PutCount(m_file, kK, c - 1); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(
        block.putSpan(recordOf(c - 1, 1), QList<QByteArray>(kFields, kEmptyValue)));
}

StoreResult DesktopStore::SetDesktopIcon(int position, const QString &iconPath)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (position < 0 || position >= c)
        return noSuchButton(position);
    if (StoreResult check = checkLength(iconPath, "picture path"); !check.ok())
        return check;
    return StoreResult::fromRecord(PutString(m_file, recordOf(position, 3), iconPath));
}
