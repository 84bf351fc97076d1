// The record-file layer: every byte of user data goes through these functions.
//
// A record file is a plain file of fixed-length records numbered from 1, opened under a small
// file number. Each record holds one value from its first byte:
//   String: 2-byte little-endian length n, then n bytes of Windows-1252 text (n <= Len - 2)
//   Flag:   16-bit little-endian signed integer, -1 for yes and 0 for no
//   Count:  2-byte tag, then the value: tag 2 = int16, tag 3 = int32, tag 0 = empty
// Bytes past the end of the file read as zero bytes. Every write goes straight to the file.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// The result of a write: Ok, or why it failed, with a message that names the file.
struct RecordStatus {
    enum Code { Ok, RecordLength, NotOpen, IoError };
    Code code = Ok;
    QString message;

    bool ok() const { return code == Ok; }
    static RecordStatus success() { return {}; }
};

// A count record as read: tag 2 or 3 holds a value; any other tag (0 included) is empty.
struct CountValue {
    quint16 tag = 0;
    qint32 value = 0;

    bool isEmpty() const { return tag != 2 && tag != 3; }
    // The value, or 0 for an empty count record.
    qint32 valueOrZero() const { return isEmpty() ? 0 : value; }
};

// The Windows-1252 code page of the data files. Characters it cannot hold become "?".
namespace Cp1252 {
QByteArray fromUnicode(QStringView text);
QString toUnicode(QByteArrayView bytes);
// The characters of `text` that the code page cannot hold, each once, in the order they first
// appear ("Ł→" for "Łódź → Köln"); empty when the whole text can be stored as it is.
QString unstorable(QStringView text);
} // namespace Cp1252

// Decoding and encoding of single values, for code that reads many records in one block.
namespace RecordCodec {
QString decodeString(QByteArrayView record);
qint16 decodeFlag(QByteArrayView record);
CountValue decodeCount(QByteArrayView record);
QByteArray encodeString(QStringView text);
} // namespace RecordCodec

// Opens (creating when missing) `path` for reading and writing as record file `number`.
// On failure returns false and puts a message naming the file and the reason in *error.
bool OpenRecordFile(int number, const QString &path, int recordLength, QString *error = nullptr);
// Opens an existing file for reading only (tools that read a data folder beside the program).
bool OpenRecordFileReadOnly(int number, const QString &path, int recordLength,
                            QString *error = nullptr);
// Takes an exclusive advisory lock on the open file, without waiting. The system releases it
// when the file is closed or the process ends, however it ends. False when another process
// holds it.
bool LockRecordFile(int number);
// Closes record file `number`; closing a number that is not open does nothing.
void CloseRecordFile(int number);
bool IsRecordFileOpen(int number);
QString RecordFilePath(int number);
int RecordFileLength(int number);
// The number of whole or partial records the file holds now.
qint64 RecordFileRecordCount(int number);
// The file's length in bytes, and cutting it back to a length it had before (a store that
// used the space past its last entry for a moment gives it back).
qint64 RecordFileSize(int number);
RecordStatus TruncateRecordFile(int number, qint64 size);

QString GetString(int number, qint64 record);
RecordStatus PutString(int number, qint64 record, QStringView text);
qint16 GetFlag(int number, qint64 record);
RecordStatus PutFlag(int number, qint64 record, bool yes);
CountValue GetCount(int number, qint64 record);
// Writes a count with tag 2 while it fits in 16 bits, with tag 3 beyond that.
RecordStatus PutCount(int number, qint64 record, qint32 count);
// Writes a count back with the tag it was read with (2 or 3).
RecordStatus PutCount(int number, qint64 record, CountValue count);

// The disk under the record files: the flush that puts a file's data on the disk, and a gate
// that every write passes. The program uses the system's; a test installs its own to count the
// flushes or to make a chosen write fail.
namespace RecordDisk {
// Puts the data written to open record file `number` on the disk (fdatasync); returns an
// empty text, or the reason it failed.
using FlushHandler = std::function<QString(int number)>;
// Installs the flush; an empty function puts the system's back.
void setFlushHandler(FlushHandler handler);
// The system's flush, for a handler that counts the flushes and passes them on.
QString systemFlush(int number);
// Asked before every write to a record file, a file cut back included: an empty text lets the
// write through, any other text fails it with that reason, as a refusal by the system would.
using WriteGate = std::function<QString(int number)>;
void setWriteGate(WriteGate gate);

// One action made of many store operations (an import adds thousands of entries) goes to the
// disk once, when it ends, rather than once per operation: while a batch lives, the flush of a
// store operation only notes its file, and finish() flushes each noted file once. Batches may
// nest; the outermost one flushes.
class FlushBatch {
public:
    FlushBatch();
    ~FlushBatch(); // finishes, if finish() was not called
    FlushBatch(const FlushBatch &) = delete;
    FlushBatch &operator=(const FlushBatch &) = delete;
    // The first flush that failed, with a message that names the file, or success.
    RecordStatus finish();

private:
    bool m_finished = false;
};
} // namespace RecordDisk

// Puts what was written to record file `number` on the disk, through the flush above. A store
// operation that changed a file calls it once, before it reports success; a failure is a
// failed write, with a message that names the file.
RecordStatus FlushRecordFile(int number);

// Reads `count` consecutive records starting at `firstRecord` in one read. The result is always
// count * record length bytes; whatever lies past the end of the file is zero bytes.
// `available` receives how many of them the file held.
QByteArray ReadRecords(int number, qint64 firstRecord, qint64 count, qint64 *available = nullptr);

// Records seen in place: the file mapped into memory, so that a large run of records is looked
// at without copying it; where the system cannot map the file, the records are read into
// memory instead. Only what the file holds is seen: a run that reaches past the end of the file
// is shorter than its records, and readers treat the missing bytes as zero bytes. The view
// shows the file as it is, writes made meanwhile included, and is valid while the object lives
// and the file stays open.
class RecordFileView {
public:
    RecordFileView(int number, qint64 firstRecord, qint64 count);
    ~RecordFileView();
    RecordFileView(const RecordFileView &) = delete;
    RecordFileView &operator=(const RecordFileView &) = delete;

    QByteArrayView bytes() const { return m_bytes; }

private:
    const void *m_file = nullptr; // the open file that holds a mapping made through it
    unsigned char *m_map = nullptr;
    void *m_systemMap = nullptr; // a mapping made directly, and its length
    qint64 m_systemMapLength = 0;
    QByteArray m_copy;
    QByteArrayView m_bytes;
};

// Records looked at in place a window at a time, for a scan of a whole file: only a small part
// of a large file is mapped at once, so the scan holds little memory whatever the file's size.
class RecordReader {
public:
    RecordReader(int number, qint64 firstRecord, qint64 count);
    ~RecordReader();
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    // Record r (firstRecord to firstRecord + count - 1) as far as the file holds it: shorter at
    // the end of the file, empty past it. Valid until the next call.
    QByteArrayView record(qint64 r);

private:
    int m_number;
    int m_length;
    qint64 m_first;
    qint64 m_end; // one past the last record
    qint64 m_windowFirst = 0;
    qint64 m_windowCount = 0; // records in the window, 0 before the first read
    QByteArray m_window;      // the window's bytes, read into the same buffer each time
    qint64 m_available = 0;   // of which the file held this many
};

// Copies `count` whole records, from record `fromRecord` on, over the records from `toRecord`
// on, where toRecord < fromRecord: entries move towards the start of the file, as a delete
// closes a gap. The copy is written in ascending order, a large window of records per write,
// so a crash can at worst leave an entry twice, never lose one; records that already hold the
// bytes at either end of the run are not rewritten, and bytes past the end of the file are not
// copied.
RecordStatus MoveRecordsDown(int number, qint64 fromRecord, qint64 toRecord, qint64 count);

// Writes raw bytes from the start of `firstRecord` on, across as many records as they cover, in
// one write: a process that dies meanwhile leaves either all of them or none in the file.
RecordStatus WriteRecordSpan(int number, qint64 firstRecord, QByteArrayView bytes);

// A count record decoded from the bytes a reader has of it (fewer than a record where a file
// ends inside it). The one rule every reader follows: tag 2 or 3 with its whole value is a
// count; tag 0 (a record never written) counts 0; anything else is damage. `usable` is what
// readers may still show: 0 to `capacity`.
struct CountReading {
    enum Kind { Sound, NeverWritten, UnknownTag, CutOff, Negative, OverCapacity };
    Kind kind = NeverWritten;
    quint16 tag = 0;
    qint32 value = 0; // as stored
    qint32 usable = 0;
};
CountReading DecodeStoreCount(QByteArrayView record, qint32 capacity);

// The count record of a store, read strictly. A count of 0 to `capacity` (tag 2 or 3, or a
// never-written record, which counts 0) is sound. Anything else is damaged: `damage` says how,
// and `usable` is what readers may still show (0 for an unknown tag or a negative count, the
// capacity for a larger count). Writes must not trust a damaged count.
struct StoreCount {
    qint32 usable = 0;
    QString damage;
    bool damaged() const { return !damage.isEmpty(); }
};
StoreCount ReadStoreCount(int number, qint64 record, qint32 capacity);
