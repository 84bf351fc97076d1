// Form10: the dialog that deletes a launcher button. Combo1 lists the buttons' captions;
// "Delete" (Command1) removes the chosen one, "Cancel" (Command2) closes the dialog.
#pragma once

#include "desktop/launcher_dialog.h"

class DeleteButtonDialog : public LauncherDialog {
    Q_OBJECT
public:
    explicit DeleteButtonDialog(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    void Command1_Click();
};
