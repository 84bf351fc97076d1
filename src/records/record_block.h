// A run of records held in memory and kept in step with the writes made through it, for the
// stores: an operation reads its records once, rewrites only those whose value changes, and
// puts runs of changed records to the file in single ascending writes.
#pragma once

#include "records/record_file.h"
#include "records/store_result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class RecordBlock {
public:
    // Records [first, first + count) of record file `file`.
    RecordBlock(int file, qint64 first, qint64 count);
    // The same records for reading only: those past the end of the file are not read (they
    // read as none, as in a block read whole), so a scan of a short file whose count runs far
    // past its end costs no more than the file.
    struct ReadOnly {};
    RecordBlock(int file, qint64 first, qint64 count, ReadOnly);

    // The bytes of record r that the file holds: fewer for a record cut short by the end of the
    // file, none past it. A text is read from these alone, as GetString reads it.
    QByteArrayView record(qint64 r) const;
    QString text(qint64 r) const { return RecordCodec::decodeString(record(r)); }

    // Writes values[i] at the start of record first + i, in one write from the first record
    // whose value changes to the end of the last value that changes (with `all`, from the
    // first record to the end of the last value, as a new entry is written). Each record keeps
    // the bytes after its value as they were, so the file ends up as if each changed record had
    // been written on its own, but a process that dies meanwhile leaves all or none of them.
    RecordStatus putSpan(qint64 first, const QList<QByteArray> &values, bool all = false);

    // A change of many records at once, value by value: values are put into a copy of the
    // block as they come, and write() puts the bytes from the first value that changes to the
    // end of the last one to the file in one ascending write, the bytes after each value kept
    // as they were. Entries that move through the block read their values from it as it was
    // before the change. An entry's block fills whole pages of the file, so a process that dies
    // meanwhile leaves each entry either written or as it was, never one made of two.
    class Change {
    public:
        explicit Change(RecordBlock &block) : m_block(block) {}
        // Puts `value` at the start of record r, unless the record starts with it already.
        void put(qint64 r, QByteArrayView value);
        // Puts the stored String value of record `source` (as StoredStringValue gives it).
        void putStoredValueOf(qint64 r, qint64 source);
        RecordStatus write();

    private:
        RecordBlock &m_block;
        QByteArray m_image;
        qint64 m_from = -1;
        qint64 m_to = -1;
        bool m_outside = false;
        RecordStatus m_outsideStatus = RecordStatus::success();
    };

private:
    int m_file;
    int m_len;
    qint64 m_first;
    QByteArray m_bytes;
    qint64 m_present = 0; // bytes of m_bytes that are in the file
};

// The bytes of an empty String field (which also read back as the flag "no").
inline const QByteArray kEmptyStringValue(2, '\0');

// The stored value of a String record, as it is copied when entries move: its length prefix
// and the text it announces. A prefix that announces more than the record holds is cut to what
// is read, so the copy reads as the original did.
QByteArray StoredStringValue(QByteArrayView rec);

// The entry count of a store about to change: refuses a damaged count record (unknown tag,
// negative, beyond the capacity) with a message that names the file, so that no write lands on
// entries the count no longer describes. `kind` names the file for the user ("notes").
StoreResult CountForWrite(int file, int blockSize, int capacity, const char *kind, int *count);

// The end of a store operation: when `result` is a success, the file's data goes to the disk
// (once per operation, whatever it wrote), and a flush that fails makes the operation fail. A
// refused or failed operation is passed on as it is.
StoreResult Flushed(int file, StoreResult result);

// Refuses a text that does not fit a record of `file`, or that holds characters the files'
// code page cannot store (they would silently become "?"); `what` names it for the user.
StoreResult CheckFits(int file, const QString &text, const char *what);
