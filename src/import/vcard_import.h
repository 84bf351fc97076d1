// Contacts of a vCard file (versions 2.1, 3.0 and 4.0) as address book entries.
#pragma once

#include "import/incoming.h"

#include <QByteArray>

#include <optional>

namespace Import {

// The entries of a contacts file, in its order. A contact without a birthday gets `today` as
// its stored date, as the entry editor's date picker would. A malformed file gives nullopt and
// *error with the line.
std::optional<FileContents<NewAddress>> ReadContacts(const QByteArray &bytes, QDate today,
                                                     QString *error);

} // namespace Import
