// The check of a data folder: every broken rule of the four files, and the texts that the
// exports cannot carry as they stand.
#pragma once

#include "export/data_folder.h"

#include <QList>

namespace Export {

// The findings of reading the files (counts, text lengths) followed by those of their
// contents: appointment ids and the numbering of each day, reminder flags, times, repeated
// display names and note names, birthdays.
QList<Finding> CheckDataFolder(const DataFolderContents &data);

// How many of the findings are errors (broken rules), not warnings.
int ErrorCount(const QList<Finding> &findings);

} // namespace Export
