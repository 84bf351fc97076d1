#include "desktop/change_icon_dialog.h"

#include "controls/program_frame.h"
#include "desktop/desktop_procedures.h"

#include <QPushButton>

ChangeIconDialog::ChangeIconDialog(QWidget *parent)
    : LauncherDialog("Form11", QStringLiteral("Change Icon"), 1230, QStringLiteral("&Change Icon"),
                     QStringLiteral("Button to change"))
{
    // A top-level window of its own: the parent only decides its lifetime.
    if (parent)
        setParent(parent, windowFlags());
    connect(Command1, &QPushButton::clicked, this, &ChangeIconDialog::Command1_Click);
}

void ChangeIconDialog::load() {}

void ChangeIconDialog::Command1_Click()
{
    Module1::ChangeDesktopButtonIcon();
    finish();
}
