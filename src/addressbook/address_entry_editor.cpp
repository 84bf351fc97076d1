#include "addressbook/address_entry_editor.h"

AddressEntryEditor::AddressEntryEditor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Add Address Book Entry"));
}

void AddressEntryEditor::load()
{
}
