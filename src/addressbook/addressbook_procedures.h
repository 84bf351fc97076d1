// The Module1 procedures of the address book.
#pragma once

namespace Module1 {
void FillAddressList();
void ShowAddressDetails();
void DeleteAddressEntry();
void AddAddressEntry();
} // namespace Module1
