// The four data files: names, file numbers, record lengths and count records.
#pragma once

#include <QString>

struct DataFileInfo {
    int number;
    const char *baseName;
    int recordLength;
    int countRecord;
};

inline constexpr DataFileInfo kDataFiles[] = {
    {1, "Appoint", 128, 8},
    {2, "Notes", 500, 3},
    {3, "AddBook", 128, 16},
    {4, "MyDesk", 128, 4},
};

// The current working directory, where the data files live. Empty, with the reason in *error,
// when it cannot be known (the folder was deleted after the program was started from it, or
// it cannot be read): the program then keeps no files anywhere.
QString WorkingFolder(QString *error);

// The path of a data file in `folder`: folder, separator, base name, ".dat". The separator is
// added even when the folder already ends in one.
QString DataFilePath(const QString &folder, const char *baseName);
