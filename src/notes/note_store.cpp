#include "notes/note_store.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr int kLen = NoteStore::RecordLength;
constexpr int kK = NoteStore::BlockSize;

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

private:
    int m_file;
    qint64 m_first;
    QByteArray m_bytes;
};

qint64 nameRecord(int n)
{
    return qint64(n - 1) * kK + 1;
}

qint64 textRecord(int n)
{
    return qint64(n - 1) * kK + 2;
}

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

// The text bytes of a String record, as many as its length announces within the record.
QByteArrayView storedText(QByteArrayView rec)
{
    if (rec.size() < 2)
        return {};
    const qsizetype n = qFromLittleEndian<quint16>(rec.data());
    return rec.sliced(2, std::min(n, rec.size() - 2));
}

// Calls f(n, run) for notes 1 to count, looking at the whole file in one run.
template <typename F> void scanNotes(int file, int count, F f)
{
    if (count <= 0)
        return;
    const RecordRun run(file, nameRecord(1), qint64(count) * kK);
    for (int n = 1; n <= count; ++n)
        f(n, run);
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
    const int count = GetNoteCount();
    names.reserve(count);
    scanNotes(m_file, count,
              [&](int n, const RecordRun &run) { names.append(run.text(nameRecord(n))); });
    return names;
}

int NoteStore::FindNoteByName(const QString &name) const
{
    // Names are compared as stored bytes; a name that the code page cannot hold is stored
    // under no note.
    const QByteArray stored = Cp1252::fromUnicode(name);
    if (Cp1252::toUnicode(stored) != name)
        return 0;
    int found = 0;
    scanNotes(m_file, GetNoteCount(), [&](int n, const RecordRun &run) {
        if (storedText(run.record(nameRecord(n))) == stored)
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
    // Notes before n keep their records; from n on each note takes the one after it. The
    // records move down whole, in one ascending write; the count record, which stands among
    // the records of note 1, is left out of it.
    if (n < c) {
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
    }
    // The old last note is blanked, then the count lowered.
    RecordBlock block(m_file, nameRecord(c), 2);
    for (const qint64 r : {nameRecord(c), textRecord(c)}) {
        if (const RecordStatus s = block.put(r, kEmptyValue); !s.ok())
            return StoreResult::fromRecord(s);
    }
    return StoreResult::fromRecord(PutCount(m_file, kK, c - 1));
}
