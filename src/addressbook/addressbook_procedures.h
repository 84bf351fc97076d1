// The Module1 procedures of the address book.
#pragma once

namespace Module1 {
void FillAddressList();
void ShowAddressDetails();
void DeleteAddressEntry();
void AddAddressEntry();
} // namespace Module1

class QString;

namespace AddressBookProcedures {
// Shows the address book in front on the letter group of an entry, with that entry chosen.
void OpenAddressEntry(const QString &displayName);
} // namespace AddressBookProcedures
