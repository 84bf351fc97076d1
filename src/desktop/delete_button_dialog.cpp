#include "desktop/delete_button_dialog.h"

#include "controls/program_frame.h"
#include "desktop/desktop_procedures.h"

#include <QPushButton>

DeleteButtonDialog::DeleteButtonDialog(QWidget *parent)
    : LauncherDialog("Form10", QStringLiteral("Select Program to Delete from My Desktop"), 1245,
                     QStringLiteral("&Delete"), QStringLiteral("Button to delete"))
{
    // A top-level window of its own: the parent only decides its lifetime.
    if (parent)
        setParent(parent, windowFlags());
    connect(Command1, &QPushButton::clicked, this, &DeleteButtonDialog::Command1_Click);
}

void DeleteButtonDialog::load() {}

void DeleteButtonDialog::Command1_Click()
{
    Module1::DeleteDesktopButton();
    finish();
}
