// Form11: the dialog that changes the picture of a launcher button. Combo1 lists the buttons'
// captions; "Change Icon" (Command1) asks for a picture file for the chosen one and stores it,
// "Cancel" (Command2) closes the dialog.
#pragma once

#include "desktop/launcher_dialog.h"

class ChangeIconDialog : public LauncherDialog {
    Q_OBJECT
public:
    explicit ChangeIconDialog(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    void Command1_Click();
};
