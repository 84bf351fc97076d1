// The layouts of the four data files, in one table that start-up, the stores, the export, the
// tests and the fuzzers all read.
//
// Every file is a run of fixed-length records. An entry occupies the records i*K+1 to i*K+f of
// its block (K the block size, f the fields of an entry, i its 0-based position); record K
// holds the count of entries. The capacity is the number of entries whose records all stay
// within record 32767.
#pragma once

struct DataFileLayout {
    int number;            // the record file number the program opens the file under
    const char *baseName;  // "Appoint": the file is <folder>/<baseName>.dat
    const char *fileName;  // "Appoint.dat"
    int recordLength;      // bytes of one record
    int blockSize;         // K: records of one entry's block
    int fieldCount;        // records of an entry that hold its fields
    int countRecord;       // the record that holds the count of entries
    int capacity;          // entries the file can hold
    const char *entryWord; // how the user calls one entry: "appointment", "entry", ...
};

inline constexpr DataFileLayout kAppointmentsFile{1, "Appoint", "Appoint.dat", 128,          8,
                                                  7, 8,         4096,          "appointment"};
inline constexpr DataFileLayout kNotesFile{2, "Notes", "Notes.dat", 500, 3, 2, 3, 10922, "note"};
inline constexpr DataFileLayout kAddressesFile{3,  "AddBook", "AddBook.dat", 128,    16,
                                               15, 16,        2048,          "entry"};
inline constexpr DataFileLayout kDesktopFile{4, "MyDesk", "MyDesk.dat", 128,     4,
                                             3, 4,        8192,         "button"};

// In the order the program opens them.
inline constexpr DataFileLayout kDataFiles[] = {kAppointmentsFile, kNotesFile, kAddressesFile,
                                                kDesktopFile};
