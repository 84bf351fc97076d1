#include "notes/note_store.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr int kLen = NoteStore::RecordLength;
constexpr int kK = NoteStore::BlockSize;
// Notes read per block when scanning the whole file (about 750 KiB per read).
constexpr int kScanChunk = 512;

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

// The stored value of a String record: its length prefix and the text it announces.
QByteArrayView stringValue(QByteArrayView rec)
{
    if (rec.size() < 2)
        return kEmptyValue;
    const qsizetype n = qFromLittleEndian<quint16>(rec.data());
    return rec.first(2 + std::min(n, rec.size() - 2));
}

qint64 nameRecord(int n)
{
    return qint64(n - 1) * kK + 1;
}

qint64 textRecord(int n)
{
    return qint64(n - 1) * kK + 2;
}

// Calls f(n, block) for notes 1 to count, reading the file in a few large blocks.
template <typename F> void scanNotes(int file, int count, F f)
{
    for (int start = 1; start <= count; start += kScanChunk) {
        const int n = std::min(kScanChunk, count - start + 1);
        const RecordBlock block(file, nameRecord(start), qint64(n) * kK);
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

StoreResult noSuchNote(int n)
{
    return {StoreResult::NotFound, QStringLiteral("There is no note number %1.").arg(n)};
}

} // namespace

int NoteStore::GetNoteCount() const
{
    return std::clamp(GetCount(m_file, kK).valueOrZero(), 0, Capacity);
}

Note NoteStore::ReadNote(int n) const
{
    if (n < 1 || n > Capacity)
        return {};
    const RecordBlock block(m_file, nameRecord(n), 2);
    return {block.text(nameRecord(n)), block.text(textRecord(n))};
}

QStringList NoteStore::ReadNoteNames() const
{
    QStringList names;
    scanNotes(m_file, GetNoteCount(),
              [&](int n, const RecordBlock &block) { names.append(block.text(nameRecord(n))); });
    return names;
}

int NoteStore::FindNoteByName(const QString &name) const
{
    int found = 0;
    scanNotes(m_file, GetNoteCount(), [&](int n, const RecordBlock &block) {
        if (block.text(nameRecord(n)) == name)
            found = n;
    });
    return found;
}

StoreResult NoteStore::AppendNote(const QString &name, const QString &text)
{
    const int c = GetNoteCount();
    if (c >= Capacity) {
        return {StoreResult::CapacityFull,
                QStringLiteral("The notes library is full: it can hold no more than %1 notes. "
                               "Delete notes you no longer need, then save this one again.")
                    .arg(Capacity)};
    }
    if (StoreResult check = checkLength(name, "note name"); !check.ok())
        return check;
    if (StoreResult check = checkLength(text, "note text"); !check.ok())
        return check;
    // Name and text first, the count last: a note becomes part of the file only when both of
    // its records are written, so an interrupted save never leaves an empty note behind.
    if (const RecordStatus s = PutString(m_file, nameRecord(c + 1), name); !s.ok())
        return StoreResult::fromRecord(s);
    if (const RecordStatus s = PutString(m_file, textRecord(c + 1), text); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(PutCount(m_file, kK, c + 1));
}

StoreResult NoteStore::ReplaceNoteText(int n, const QString &text)
{
    if (n < 1 || n > GetNoteCount())
        return noSuchNote(n);
    if (StoreResult check = checkLength(text, "note text"); !check.ok())
        return check;
    return StoreResult::fromRecord(PutString(m_file, textRecord(n), text));
}

StoreResult NoteStore::RemoveNote(int n)
{
    const int c = GetNoteCount();
    if (n < 1 || n > c)
        return noSuchNote(n);
    // Notes before n keep their records; from n on each note takes the one after it, in
    // ascending order, and the old last note is blanked.
    RecordBlock block(m_file, nameRecord(n), qint64(c - n + 1) * kK);
    // The changed records go to the file in one ascending write, then the count.
    for (int j = n; j <= c - 1; ++j) {
        block.stage(nameRecord(j), stringValue(block.record(nameRecord(j + 1))));
        block.stage(textRecord(j), stringValue(block.record(textRecord(j + 1))));
    }
    block.stage(nameRecord(c), kEmptyValue);
    block.stage(textRecord(c), kEmptyValue);
    if (const RecordStatus s = block.writeStaged(); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(PutCount(m_file, kK, c - 1));
}
