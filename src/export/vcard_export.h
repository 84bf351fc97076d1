// Export of the address book of a data folder as vCard 4.0 (RFC 6350).
#pragma once

#include "export/data_folder.h"

#include <QByteArray>
#include <QList>

namespace Export {

// One VCARD per address book entry, in file order. What could not be written as it stands
// (an invalid birthday, a home page that is no address) is added to *warnings.
QByteArray WriteVCards(const DataFolderContents &data, QList<Finding> *warnings);

} // namespace Export
