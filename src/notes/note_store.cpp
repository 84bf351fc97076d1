#include "notes/note_store.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

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

// Whether the file holds the whole value of record r, and so of every record before it: a file
// cut short holds part of one, or none.
bool lastValueInFile(int file, qint64 r)
{
    RecordReader reader(file, r, 1);
    const QByteArrayView rec = reader.record(r);
    if (rec.size() < 2)
        return false;
    const qsizetype declared = qFromLittleEndian<quint16>(rec.data());
    return rec.size() >= 2 + std::min<qsizetype>(declared, kLen - 2);
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

// The count for a write, or the refusal to write when the count record is damaged: a count
// that cannot be trusted would put the next entry over existing ones.
StoreResult countForWrite(int file, int *count)
{
    const StoreCount c = ReadStoreCount(file, kK, NoteStore::Capacity);
    if (c.damaged()) {
        return {StoreResult::WriteFailed,
                QStringLiteral("The notes file %1 has a damaged count record (%2); nothing was "
                               "changed.")
                    .arg(QFileInfo(RecordFilePath(file)).fileName(), c.damage)};
    }
    *count = c.usable;
    return StoreResult::success();
}

} // namespace

int NoteStore::GetNoteCount() const
{
    return ReadStoreCount(m_file, kK, Capacity).usable;
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
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
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
    // Name and text in one write, the count last: a note becomes part of the file only when
    // both of its records are written, so an interrupted save never leaves an empty note.
    RecordBlock block(m_file, nameRecord(c + 1), 2);
    const RecordStatus s =
        block.putSpan(nameRecord(c + 1),
                      {RecordCodec::encodeString(name), RecordCodec::encodeString(text)}, true);
    if (!s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(PutCount(m_file, kK, c + 1));
}

StoreResult NoteStore::ReplaceNoteText(int n, const QString &text)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (n < 1 || n > c)
        return noSuchNote(n);
    if (StoreResult check = checkLength(text, "note text"); !check.ok())
        return check;
    return StoreResult::fromRecord(PutString(m_file, textRecord(n), text));
}

StoreResult NoteStore::RemoveNote(int n)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (n < 1 || n > c)
        return noSuchNote(n);
    // Notes before n keep their records; from n on each note takes the one after it, in
    // ascending order and each in one write, so a process that dies meanwhile leaves one note
    // twice but none missing. Then the count is lowered and the old last note blanked (in that
    // order, so an empty note never shows).
    if (n < c && lastValueInFile(m_file, textRecord(c))) {
        // The file holds every value that moves: the records move down whole, in a few large
        // ascending writes, with the same guarantee. The count record, which stands among the
        // records of note 1, is left out.
        qint64 to = nameRecord(n);
        const qint64 last = textRecord(c - 1);
        if (to < kK) {
            if (const RecordStatus s = MoveRecordsDown(m_file, to + kK, to, kK - to); !s.ok())
                return StoreResult::fromRecord(s);
            to = kK + 1;
        }
        if (to <= last) {
            if (const RecordStatus s = MoveRecordsDown(m_file, to + kK, to, last - to + 1); !s.ok())
                return StoreResult::fromRecord(s);
        }
        if (const RecordStatus s = PutCount(m_file, kK, c - 1); !s.ok())
            return StoreResult::fromRecord(s);
        RecordBlock block(m_file, nameRecord(c), 2);
        return StoreResult::fromRecord(block.putSpan(nameRecord(c), {kEmptyValue, kEmptyValue}));
    }
    RecordBlock block(m_file, nameRecord(n), qint64(c - n + 1) * kK);
    for (int j = n; j <= c - 1; ++j) {
        const QList<QByteArray> values = {stringValue(block.record(nameRecord(j + 1))),
                                          stringValue(block.record(textRecord(j + 1)))};
        if (const RecordStatus s = block.putSpan(nameRecord(j), values); !s.ok())
            return StoreResult::fromRecord(s);
    }
    if (const RecordStatus s = PutCount(m_file, kK, c - 1); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(block.putSpan(nameRecord(c), {kEmptyValue, kEmptyValue}));
}
