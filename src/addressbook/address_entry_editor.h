// Form7: the address entry editor, a top-level window that adds an entry or edits the one the
// address book shows. While it is open the address book's entry buttons are disabled.
#pragma once

#include <QDate>
#include <QWidget>

#include <array>

class DatePicker;
struct AddressEntry;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class AddressEntryEditor : public QWidget {
    Q_OBJECT
public:
    explicit AddressEntryEditor(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    std::array<QLabel *, 12> Label1{};
    // Name, Surname, Address, e-mail, Home Page, Notes: single-line boxes (QLineEdit) except
    // the address and the notes (LimitedTextBox). Read and set them with text2/setText2.
    std::array<QWidget *, 6> Text2{};
    QCheckBox *Check1 = nullptr;
    DatePicker *DTPicker1 = nullptr;
    QGroupBox *Frame3 = nullptr;
    // Home, Business #1, Business #2, Mobile, Fax, Other.
    std::array<QLineEdit *, 6> Text3{};
    QPushButton *Command1 = nullptr;
    QPushButton *Command3 = nullptr;

    // The display name of the entry being edited; empty while adding.
    QString EditedName;
    // Set by Module1::AddAddressEntry: whether the last "OK" wrote the entry.
    bool EntryWritten = false;

    // The text of Text2(k); line breaks of the multi-line boxes come as CR LF.
    QString text2(int k) const;
    void setText2(int k, const QString &text);
    // The entry as the boxes hold it, its fifteen fields built.
    AddressEntry entry() const;

    // Shows the editor in front with the focus in the first box.
    void showEditor();

    void Command1_Click();
    void Command3_Click();

protected:
    // The close box acts as "Cancel".
    void closeEvent(QCloseEvent *event) override;

private:
    // Hides the editor, enables the address book's entry buttons and brings the main window
    // back to the front.
    void finish();
};
