#include "addressbook/address_book_window.h"

AddressBookWindow::AddressBookWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Address Book"));
}

void AddressBookWindow::load()
{
}
