#include "shell/module1.h"

// Placeholders until the windows of this area are built.
namespace Module1 {

void FillAddressList()
{
}

void ShowAddressDetails()
{
}

void DeleteAddressEntry()
{
}

void AddAddressEntry()
{
}

} // namespace Module1
