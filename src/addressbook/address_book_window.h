// Form3: the address book view, browsed by letter groups. A letter button lists the entries
// whose display names begin with its letters; the chosen entry's fields are shown read-only.
#pragma once

#include "controls/anchors.h"

#include <QWidget>

#include <array>

class LimitedTextBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
struct AddressEntry;
class QLabel;
class QLineEdit;
class QPushButton;

class AddressBookWindow : public QWidget {
    Q_OBJECT
public:
    explicit AddressBookWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    // The letter buttons, two rows of twelve.
    std::array<QPushButton *, 24> Command4{};
    QGroupBox *Frame1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command5 = nullptr;
    QGroupBox *Frame3 = nullptr;
    std::array<QLabel *, 6> Label3{};
    std::array<QLineEdit *, 6> Text3{};
    QGroupBox *Frame2 = nullptr;
    LimitedTextBox *Text1 = nullptr;
    QGroupBox *Frame4 = nullptr;
    std::array<QLabel *, 4> Label1{};
    QLineEdit *Text8 = nullptr;
    QLineEdit *Text5 = nullptr;
    QLineEdit *Text6 = nullptr;
    LimitedTextBox *Text7 = nullptr;
    // Hidden: the shown entry's birthday flag, first name and surname, for the editor.
    QCheckBox *Check1 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLineEdit *Text10 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;
    // Hidden: the caption of the last letter button clicked (the letter group).
    QLabel *Label2 = nullptr;

    // The letter group whose names the list holds.
    QString LetterGroup() const;
    // What the phone box k (0 to 5) holds, as a screen reader names it: "Business #1 telephone".
    static QString phoneName(int k);
    // The back colour of a letter button.
    QColor letterButtonColor(int index) const;

    void Command4_Click(int index);
    void Label2_Change();
    void Combo1_Click();
    void Command5_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Shows an entry's details, or empty boxes for none.
    void showEntry(const AddressEntry *entry);

    // Enables or disables "Add Entry", "Edit Entry" and "Delete Entry" together.
    void setEntryButtonsEnabled(bool enabled);

    // The designed size, which is also the least.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    // A letter or digit typed where no control takes it picks its letter group.
    void keyPressEvent(QKeyEvent *event) override;

private:
    Anchors m_anchors;
};
