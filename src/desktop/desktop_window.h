// Form9: the launcher view (My Desktop). Its toolbar holds one button per stored launcher
// entry; a click starts that entry's program. The three command buttons above it add a button
// and open the delete and change-icon dialogs.
#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

class QAction;
class QLabel;
class QPushButton;
class QToolBar;

class DesktopWindow : public QWidget {
    Q_OBJECT
public:
    explicit DesktopWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created: builds the toolbar from the launcher file.
    void load();

    QPushButton *Command1 = nullptr; // "Add Button"
    QPushButton *Command2 = nullptr; // "Delete Button"
    QPushButton *Command3 = nullptr; // "Change Icon"
    // One button per launcher entry, in position order; 32 by 32 pictures, caption below.
    QToolBar *Toolbar1 = nullptr;
    // The pictures of the toolbar buttons: picture i+1 (index i) belongs to position i.
    QList<QIcon> ImageList1;
    // Holds the default button picture (the tick mark); never shown.
    QLabel *Picture1 = nullptr;
    // The default button picture, at 32 by 32 and 16 by 16.
    QIcon defaultPicture() const { return m_defaultPicture; }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Toolbar1_ButtonClick(QAction *button);

private:
    QIcon m_defaultPicture;
};
