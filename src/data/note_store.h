// The notes file Notes.dat (file number 2, 500-byte records, block size 3).
// Record 3 holds the count; note n (1-based) has its name in record 3*(n-1)+1 and its text in
// record 3*(n-1)+2. No window code here.
#pragma once

#include "records/data_layout.h"
#include "records/store_result.h"

#include <QString>
#include <QStringList>

struct Note {
    QString NoteName;
    QString NoteText;
};

// Texts packed end to end: text i runs from ends[i-1] (0 for the first) to ends[i]. A list of
// thousands is made with two allocations.
struct PackedTexts {
    QString chars;
    QList<qsizetype> ends;
};

class NoteStore {
public:
    static constexpr const DataFileLayout &Layout = kNotesFile;
    static constexpr int FileNumber = Layout.number;
    static constexpr int RecordLength = Layout.recordLength;
    static constexpr int BlockSize = Layout.blockSize;
    static constexpr int Capacity = Layout.capacity;

    explicit NoteStore(int fileNumber = FileNumber) : m_file(fileNumber) {}

    int GetNoteCount() const;
    // The names of notes 1 to the count packed end to end, in one pass over the file looked at
    // in place: the notes list of a full file is filled from it at once.
    PackedTexts ReadPackedNoteNames() const;
    Note ReadNote(int n) const;
    // Notes 1 to the count, read in one pass.
    QList<Note> ReadAllNotes() const;
    // All note names in order, read in one pass.
    QStringList ReadNoteNames() const;
    // Number of the note named exactly `name` (last match wins), or 0.
    int FindNoteByName(const QString &name) const;
    StoreResult AppendNote(const QString &name, const QString &text);
    StoreResult ReplaceNoteText(int n, const QString &text);
    StoreResult RemoveNote(int n);
    // Saves a note under its name: the text of the note named so is replaced, or a note is
    // appended. `appended` (when given) gets the appended note's number, or 0.
    StoreResult SaveNoteByName(const QString &name, const QString &text, int *appended = nullptr);

private:
    int m_file;
};
