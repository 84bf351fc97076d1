#include "desktop/delete_button_dialog.h"

DeleteButtonDialog::DeleteButtonDialog(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Select Program to Delete from My Desktop"));
}

void DeleteButtonDialog::load()
{
}
