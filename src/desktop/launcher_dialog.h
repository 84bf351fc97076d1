// What the two launcher dialogs (Form10 and Form11) share: a list of the buttons' captions,
// a confirming button and "Cancel". Closing the dialog, by either button or by its close box,
// enables the main window again and brings the launcher view to the front.
#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

class LauncherDialog : public QWidget {
    Q_OBJECT
public:
    QComboBox *Combo1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr; // "Cancel"

    // Fills Combo1 with the caption of every stored button, in position order, none chosen.
    void fillList();
    // The position of the chosen button: the list index of the chosen item, or -1 when no item
    // is chosen (nothing picked, or typed text that is not the chosen item's caption).
    int chosenPosition() const;

    void Command2_Click();

protected:
    // `listName` tells a screen reader what the list of captions is for.
    LauncherDialog(const char *formName, const QString &caption, int heightTwips,
                   const QString &confirmCaption, const QString &listName);
    // Hides the dialog, enables the main window and shows the launcher view.
    void finish();
    void closeEvent(QCloseEvent *event) override;
};
