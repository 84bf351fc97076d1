#include "data/note_store.h"

#include "records/record_block.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int kLen = NoteStore::RecordLength;
constexpr int kK = NoteStore::BlockSize;
// Notes read per block when scanning the whole file (about 750 KiB per read).
constexpr int kScanChunk = 512;

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
        const RecordBlock block(file, nameRecord(start), qint64(n) * kK, RecordBlock::ReadOnly{});
        for (int i = start; i < start + n; ++i)
            f(i, block);
    }
}

StoreResult noSuchNote(int n)
{
    return {StoreResult::NotFound, QStringLiteral("There is no note number %1.").arg(n)};
}

// The count for a write, or the refusal to write when the count record is damaged: a count
// that cannot be trusted would put the next entry over existing ones.
StoreResult countForWrite(int file, int *count)
{
    return CountForWrite(file, kK, NoteStore::Capacity, "notes", count);
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

QList<Note> NoteStore::ReadAllNotes() const
{
    QList<Note> notes;
    scanNotes(m_file, GetNoteCount(), [&](int n, const RecordBlock &block) {
        notes.append({block.text(nameRecord(n)), block.text(textRecord(n))});
    });
    return notes;
}

QStringList NoteStore::ReadNoteNames() const
{
    QStringList names;
    scanNotes(m_file, GetNoteCount(),
              [&](int n, const RecordBlock &block) { names.append(block.text(nameRecord(n))); });
    return names;
}

PackedTexts NoteStore::ReadPackedNoteNames() const
{
    PackedTexts names;
    const int count = GetNoteCount();
    if (count <= 0)
        return names;
    RecordReader reader(m_file, 1, qint64(count) * kK);
    QByteArray bytes;
    names.ends.reserve(count);
    for (int n = 0; n < count; ++n) {
        // Record 3n+1, as far as the file holds it; its text as long as its length says.
        const QByteArrayView record = reader.record(qint64(n) * kK + 1);
        if (record.size() >= 2) {
            const qsizetype length = qFromLittleEndian<quint16>(record.data());
            bytes.append(record.sliced(2, std::min(length, record.size() - 2)));
        }
        names.ends.append(bytes.size());
    }
    // The code page gives one character per byte, so the ends stay where they are.
    names.chars = Cp1252::toUnicode(bytes);
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
    if (StoreResult check = CheckFits(m_file, name, "note name"); !check.ok())
        return check;
    if (StoreResult check = CheckFits(m_file, text, "note text"); !check.ok())
        return check;
    // Name and text in one write, the count last: a note becomes part of the file only when
    // both of its records are written, so an interrupted save never leaves an empty note.
    RecordBlock block(m_file, nameRecord(c + 1), 2);
    const RecordStatus s =
        block.putSpan(nameRecord(c + 1),
                      {RecordCodec::encodeString(name), RecordCodec::encodeString(text)}, true);
    if (!s.ok())
        return StoreResult::fromRecord(s);
    return Flushed(m_file, StoreResult::fromRecord(PutCount(m_file, kK, c + 1)));
}

StoreResult NoteStore::SaveNoteByName(const QString &name, const QString &text, int *appended)
{
    if (appended)
        *appended = 0;
    const int count = GetNoteCount();
    if (const int existing = count > 0 ? FindNoteByName(name) : 0; existing > 0)
        return ReplaceNoteText(existing, text);
    StoreResult result = AppendNote(name, text);
    if (result.ok() && appended)
        *appended = count + 1;
    return result;
}

StoreResult NoteStore::ReplaceNoteText(int n, const QString &text)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (n < 1 || n > c)
        return noSuchNote(n);
    if (StoreResult check = CheckFits(m_file, text, "note text"); !check.ok())
        return check;
    return Flushed(m_file, StoreResult::fromRecord(PutString(m_file, textRecord(n), text)));
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
        return Flushed(m_file, StoreResult::fromRecord(block.putSpan(
                                   nameRecord(c), {kEmptyStringValue, kEmptyStringValue})));
    }
    RecordBlock block(m_file, nameRecord(n), qint64(c - n + 1) * kK);
    for (int j = n; j <= c - 1; ++j) {
        const QList<QByteArray> values = {StoredStringValue(block.record(nameRecord(j + 1))),
                                          StoredStringValue(block.record(textRecord(j + 1)))};
        if (const RecordStatus s = block.putSpan(nameRecord(j), values); !s.ok())
            return StoreResult::fromRecord(s);
    }
    if (const RecordStatus s = PutCount(m_file, kK, c - 1); !s.ok())
        return StoreResult::fromRecord(s);
    return Flushed(m_file, StoreResult::fromRecord(block.putSpan(
                               nameRecord(c), {kEmptyStringValue, kEmptyStringValue})));
}
