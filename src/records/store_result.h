// The outcome of a store operation that writes, with a message a window can show as it stands.
#pragma once

#include "records/record_file.h"

#include <QString>

struct StoreResult {
    enum Status {
        Ok,
        NameTaken,    // an entry with that key exists; nothing was written
        CapacityFull, // the file holds as many entries as it can; nothing was written
        TooLong,      // a text does not fit its record; nothing of the entry was written
        Unstorable,   // a text holds characters the files cannot store; nothing was written
        WriteFailed,  // the file refused a write (disk full, I/O error); message names the file
        NotFound,     // no entry with that key or position; nothing was written
    };
    Status status = Ok;
    QString message;

    bool ok() const { return status == Ok; }
    static StoreResult success() { return {}; }
    static StoreResult fromRecord(const RecordStatus &s)
    {
        if (s.ok())
            return {};
        return {s.code == RecordStatus::RecordLength ? TooLong : WriteFailed, s.message};
    }
};
