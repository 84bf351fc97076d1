// Store files built byte by byte, for the tests that feed the export and the program damaged or
// hostile data: any count record, any record bytes.
#pragma once

#include "records/data_layout.h"
#include "test_support.h"

#include <QByteArray>
#include <QList>

// One record of an entry: a String record of a text, or raw bytes (flags, damaged records).
struct StoreRecord {
    StoreRecord(const char *text) : bytes(Bytes::string(text)) {}
    StoreRecord(const QByteArray &text) : bytes(Bytes::string(text)) {}
    static StoreRecord raw(const QByteArray &bytes) { return {bytes, 0}; }
    QByteArray bytes;

private:
    StoreRecord(const QByteArray &raw, int) : bytes(raw) {}
};
using StoreEntry = QList<StoreRecord>;

// The records of entry i at i * K + k + 1 and the count at record K (K the block size), each
// record padded to its full length; the file ends with the last record written. Without a
// count, the count is that of the entries.
inline QByteArray storeImage(const DataFileLayout &layout, const QList<StoreEntry> &entries,
                             QByteArray count = {})
{
    QByteArray out;
    const auto put = [&](qsizetype record, const QByteArray &value) {
        out.resize(std::max(out.size(), record * layout.recordLength), '\0');
        out.replace((record - 1) * layout.recordLength, value.size(), value);
    };
    put(layout.blockSize, count.isNull() ? Bytes::count16(qint16(entries.size())) : count);
    for (qsizetype i = 0; i < entries.size(); ++i)
        for (qsizetype k = 0; k < entries[i].size(); ++k)
            put(i * layout.blockSize + k + 1, entries[i][k].bytes);
    return out;
}
