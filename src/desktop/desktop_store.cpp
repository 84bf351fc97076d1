#include "desktop/desktop_store.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr int kLen = DesktopStore::RecordLength;
constexpr int kK = DesktopStore::BlockSize;
constexpr int kFields = 3;

const QByteArray kEmptyValue(2, '\0');

// Records [first, first + count) of the file held in memory and kept in step with the writes
// made through it, so that an operation reads its records once and rewrites only those whose
// value changes.
class RecordBlock {
public:
    RecordBlock(int file, qint64 first, qint64 count)
        : m_file(file), m_first(first), m_bytes(ReadRecords(file, first, count))
    {}

    QByteArrayView record(qint64 r) const
    {
        const qint64 offset = (r - m_first) * kLen;
        if (r < m_first || offset + kLen > m_bytes.size())
            return {};
        return QByteArrayView(m_bytes).sliced(offset, kLen);
    }

    QString text(qint64 r) const { return RecordCodec::decodeString(record(r)); }

    // Writes `value` at the start of record r unless the record already holds it.
    RecordStatus put(qint64 r, const QByteArray &value)
    {
        const QByteArrayView current = record(r);
        if (!current.isEmpty() && current.startsWith(value))
            return RecordStatus::success();
        const RecordStatus status = WriteRecordBytes(m_file, r, value);
        if (status.ok() && !current.isEmpty())
            std::copy(value.begin(), value.end(), m_bytes.begin() + (r - m_first) * kLen);
        return status;
    }

    // Changes record r in memory only, as put() would change it in the file; writeStaged()
    // then writes every staged change at once.
    void stage(qint64 r, QByteArrayView value)
    {
        const qint64 offset = (r - m_first) * kLen;
        if (r < m_first || offset + kLen > m_bytes.size() ||
            QByteArrayView(m_bytes).sliced(offset, kLen).startsWith(value))
            return;
        std::copy(value.begin(), value.end(), m_bytes.begin() + offset);
        m_stagedBegin = std::min(m_stagedBegin, offset);
        m_stagedEnd = std::max(m_stagedEnd, offset + value.size());
    }

    // Writes the staged records in one write, from the first changed byte to the last, in
    // ascending order.
    RecordStatus writeStaged()
    {
        if (m_stagedEnd <= m_stagedBegin)
            return RecordStatus::success();
        const RecordStatus status = WriteRecordSpan(
            m_file, m_first, m_stagedBegin,
            QByteArrayView(m_bytes).sliced(m_stagedBegin, m_stagedEnd - m_stagedBegin));
        m_stagedBegin = std::numeric_limits<qint64>::max();
        m_stagedEnd = 0;
        return status;
    }

private:
    int m_file;
    qint64 m_first;
    QByteArray m_bytes;
    qint64 m_stagedBegin = std::numeric_limits<qint64>::max();
    qint64 m_stagedEnd = 0;
};

// Records looked at in place, as a scan of the whole file reads them: a window at a time.
class RecordRun {
public:
    RecordRun(int file, qint64 first, qint64 count) : m_reader(file, first, count) {}

    // Record r as far as the file holds it: shorter at the end of the file, empty past it.
    QByteArrayView record(qint64 r) const { return m_reader.record(r); }

    QString text(qint64 r) const { return RecordCodec::decodeString(record(r)); }

private:
    mutable RecordReader m_reader;
};

// The stored value of a String record: its length prefix and the text it announces.
QByteArrayView stringValue(QByteArrayView rec)
{
    if (rec.size() < 2)
        return kEmptyValue;
    const qsizetype n = qFromLittleEndian<quint16>(rec.data());
    return rec.first(2 + std::min(n, rec.size() - 2));
}

qint64 recordOf(int position, int field)
{
    return qint64(position) * kK + field;
}

// Calls f(position, run) for positions 0 to count-1, looking at the whole file in one run.
template <typename F> void scanEntries(int file, int count, F f)
{
    if (count <= 0)
        return;
    const RecordRun run(file, recordOf(0, 1), qint64(count) * kK);
    for (int i = 0; i < count; ++i)
        f(i, run);
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

} // namespace

int DesktopStore::GetButtonCount() const
{
    return std::clamp(GetCount(m_file, kK).valueOrZero(), 0, Capacity);
}

QList<DesktopEntry> DesktopStore::ReadDesktopEntries() const
{
    QList<DesktopEntry> entries;
    scanEntries(m_file, GetButtonCount(), [&](int i, const RecordRun &block) {
        entries.append(
            {block.text(recordOf(i, 1)), block.text(recordOf(i, 2)), block.text(recordOf(i, 3))});
    });
    return entries;
}

QStringList DesktopStore::ReadCaptions() const
{
    QStringList captions;
    scanEntries(m_file, GetButtonCount(), [&](int i, const RecordRun &block) {
        captions.append(block.text(recordOf(i, 1)));
    });
    return captions;
}

StoreResult DesktopStore::AppendDesktopEntry(const QString &caption, const QString &programPath)
{
    const int n = GetButtonCount();
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
    // The fields first, the count last: the button becomes part of the file only when all
    // three of its fields are written.
    if (const RecordStatus s = PutString(m_file, recordOf(n, 1), caption); !s.ok())
        return StoreResult::fromRecord(s);
    if (const RecordStatus s = PutString(m_file, recordOf(n, 2), programPath); !s.ok())
        return StoreResult::fromRecord(s);
    if (const RecordStatus s = PutString(m_file, recordOf(n, 3), QStringLiteral("none")); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(PutCount(m_file, kK, n + 1));
}

StoreResult DesktopStore::RemoveDesktopEntry(int position)
{
    const int c = GetButtonCount();
    if (position < 0 || position >= c)
        return noSuchButton(position);
    // Every later entry moves down one position, one field at a time in ascending order, so no
    // field is overwritten before it has been copied; then the old last position is blanked.
    RecordBlock block(m_file, recordOf(position, 1), qint64(c - position) * kK);
    // The changed records go to the file in one ascending write, then the count.
    for (int i = position; i <= c - 2; ++i) {
        for (int k = 1; k <= kFields; ++k)
            block.stage(recordOf(i, k), stringValue(block.record(recordOf(i + 1, k))));
    }
    for (int k = 1; k <= kFields; ++k)
        block.stage(recordOf(c - 1, k), kEmptyValue);
    if (const RecordStatus s = block.writeStaged(); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(PutCount(m_file, kK, c - 1));
}

StoreResult DesktopStore::SetDesktopIcon(int position, const QString &iconPath)
{
    if (position < 0 || position >= GetButtonCount())
        return noSuchButton(position);
    if (StoreResult check = checkLength(iconPath, "picture path"); !check.ok())
        return check;
    return StoreResult::fromRecord(PutString(m_file, recordOf(position, 3), iconPath));
}
