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

// The path of a data file in `folder`: folder, separator, base name, ".dat". The separator is
// added even when the folder already ends in one.
QString DataFilePath(const QString &folder, const char *baseName);
