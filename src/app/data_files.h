// Where the four data files live (their layouts stand in records/data_layout.h).
#pragma once

#include "records/data_layout.h"

#include <QString>

// The current working directory, where the data files live. Empty, with the reason in *error,
// when it cannot be known (the folder was deleted after the program was started from it, or
// it cannot be read): the program then keeps no files anywhere.
QString WorkingFolder(QString *error);

// The path of a data file in `folder`: folder, separator, base name, ".dat". The separator is
// added even when the folder already ends in one.
QString DataFilePath(const QString &folder, const char *baseName);
