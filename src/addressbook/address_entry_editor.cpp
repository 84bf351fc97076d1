#include "addressbook/address_entry_editor.h"

#include "addressbook/address_book_window.h"
#include "addressbook/addressbook_forms.h"
#include "addressbook/addressbook_procedures.h"
#include "controls/date_picker.h"
#include "controls/keyboard.h"
#include "controls/limited_text_box.h"
#include "controls/program_frame.h"
#include "controls/seams.h"
#include "controls/twips.h"
#include "data/address_store.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QLabel *makeLabel(QWidget *parent, int index, const QString &caption, int left, int top)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(indexed("Label1", index));
    label->setGeometry(twipsRect(left, top, 1095, 255));
    return label;
}

QLineEdit *makeLineBox(QWidget *parent, const QString &name, int maxLength, QRect place)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    box->setGeometry(place);
    return box;
}

LimitedTextBox *makeMultiLineBox(QWidget *parent, const QString &name, int maxLength, QRect place)
{
    auto *box = new LimitedTextBox(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    box->setGeometry(place);
    return box;
}

} // namespace

AddressEntryEditor::AddressEntryEditor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Add Address Book Entry"));
    setFixedSize(twipsSize(7725, 6480));

    Label1[0] = makeLabel(this, 0, QStringLiteral("Name:"), 120, 240);
    Text2[0] = makeLineBox(this, indexed("Text2", 0), 20, twipsRect(1320, 240, 4695, 285));
    Label1[1] = makeLabel(this, 1, QStringLiteral("Surname:"), 120, 600);
    Text2[1] = makeLineBox(this, indexed("Text2", 1), 20, twipsRect(1320, 600, 4695, 285));
    Label1[2] = makeLabel(this, 2, QStringLiteral("Address:"), 120, 960);
    Text2[2] = makeMultiLineBox(this, indexed("Text2", 2), 100, twipsRect(1320, 960, 4695, 1125));

    Check1 = new QCheckBox(QStringLiteral("&Birthday"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(twipsRect(120, 2280, 1095, 255));
    Check1->setMinimumHeight(Check1->sizeHint().height()); // the height of its check mark
    DTPicker1 = new DatePicker(this);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->useDayMonthYearFormat();
    DTPicker1->setGeometry(twipsRect(1320, 2160, 2895, 375));
    DTPicker1->setAccessibleName(QStringLiteral("Birthday date"));

    Label1[3] = makeLabel(this, 3, QStringLiteral("e-mail:"), 120, 2640);
    Text2[3] = makeLineBox(this, indexed("Text2", 3), 30, twipsRect(1320, 2640, 4695, 285));
    Label1[4] = makeLabel(this, 4, QStringLiteral("Home Page:"), 120, 3000);
    Text2[4] = makeLineBox(this, indexed("Text2", 4), 30, twipsRect(1320, 3000, 4695, 285));
    Label1[5] = makeLabel(this, 5, QStringLiteral("Notes:"), 120, 3360);
    Text2[5] = makeMultiLineBox(this, indexed("Text2", 5), 100, twipsRect(1320, 3360, 2415, 1125));

    Frame3 = new QGroupBox(QStringLiteral("Phone Numbers"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(twipsRect(120, 4680, 7455, 1575));
    const QString phoneCaptions[6] = {QStringLiteral("Home"),        QStringLiteral("Business #1"),
                                      QStringLiteral("Business #2"), QStringLiteral("Mobile"),
                                      QStringLiteral("Fax"),         QStringLiteral("Other")};
    for (int k = 0; k < 6; ++k) {
        const int labelLeft = k < 3 ? 120 : 3840;
        const int boxLeft = k < 3 ? 1320 : 5040;
        const int top = 360 + 360 * (k % 3);
        Label1[size_t(6 + k)] = makeLabel(Frame3, 6 + k, phoneCaptions[k], labelLeft, top);
        Text3[size_t(k)] =
            makeLineBox(Frame3, indexed("Text3", k), 20, twipsRect(boxLeft, top, 2175, 285));
        Label1[size_t(6 + k)]->setBuddy(Text3[size_t(k)]);
        Text3[size_t(k)]->setAccessibleName(AddressBookWindow::phoneName(k));
    }
    for (int k = 0; k < 6; ++k)
        Label1[size_t(k)]->setBuddy(Text2[size_t(k)]);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(6240, 240, 1335, 375));
    Command3 = new QPushButton(QStringLiteral("Cancel"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setGeometry(twipsRect(6240, 720, 1335, 375));
    connect(Command1, &QPushButton::clicked, this, &AddressEntryEditor::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &AddressEntryEditor::Command3_Click);
    Keyboard::setDialogKeys(this, Command1, Command3);

    // Focus order: the entry's boxes top to bottom, the phone numbers, then the buttons.
    QWidget *order[] = {Text2[0], Text2[1], Text2[2], Check1,   DTPicker1, Text2[3],
                        Text2[4], Text2[5], Text3[0], Text3[1], Text3[2],  Text3[3],
                        Text3[4], Text3[5], Command1, Command3};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void AddressEntryEditor::load() {}

QString AddressEntryEditor::text2(int k) const
{
    QWidget *box = Text2[size_t(k)];
    if (auto *multi = qobject_cast<LimitedTextBox *>(box))
        return multi->text();
    return static_cast<QLineEdit *>(box)->text();
}

AddressEntry AddressEntryEditor::entry() const
{
    QStringList phones;
    for (const QLineEdit *box : Text3)
        phones.append(box->text());
    return AddressStore::BuildEntry(text2(0), text2(1), text2(2), phones, DTPicker1->Value(),
                                    Check1->isChecked(), text2(3), text2(4), text2(5));
}

void AddressEntryEditor::setText2(int k, const QString &text)
{
    QWidget *box = Text2[size_t(k)];
    if (auto *multi = qobject_cast<LimitedTextBox *>(box))
        multi->setText(text);
    else
        static_cast<QLineEdit *>(box)->setText(text);
}

void AddressEntryEditor::showEditor()
{
    show();
    raise();
    activateWindow();
    Text2[0]->setFocus();
}

void AddressEntryEditor::Command1_Click()
{
    if (text2(1).isEmpty()) {
        MessageBox::show(QStringLiteral("You need to supply a Surname!"));
        return;
    }
    Module1::AddAddressEntry();
    // A refused entry (name taken, file full, write error) stays in the editor as typed, and
    // the file keeps what it held.
    if (!EntryWritten)
        return;
    Module1::FillAddressList();
    Module1::ShowAddressDetails();
    finish();
}

void AddressEntryEditor::Command3_Click()
{
    finish();
}

void AddressEntryEditor::finish()
{
    hide();
    EditedName.clear();
    Forms::Form3()->setEntryButtonsEnabled(true);
    ProgramFrame::bringForward();
}

void AddressEntryEditor::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (isVisible())
        finish();
}
