#include "desktop/change_icon_dialog.h"

ChangeIconDialog::ChangeIconDialog(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("Change Icon"));
}

void ChangeIconDialog::load()
{
}
