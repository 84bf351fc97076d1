#include "addressbook/address_book_window.h"

#include "addressbook/address_entry_editor.h"
#include "addressbook/addressbook_forms.h"
#include "addressbook/addressbook_procedures.h"
#include "controls/date_picker.h"
#include "controls/keyboard.h"
#include "controls/limited_text_box.h"
#include "controls/program_frame.h"
#include "controls/seams.h"
#include "controls/twips.h"
#include "data/address_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const char *const kLetterGroups[24] = {"A",  "B", "C", "D", "E", "F", "G",   "H",
                                       "I",  "J", "K", "L", "M", "N", "O",   "P",
                                       "QR", "S", "T", "U", "V", "W", "XYZ", "123"};

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QGroupBox *makeFrame(QWidget *parent, const char *name, const QString &caption, QRect place)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(place);
    return frame;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

QLineEdit *makeReadOnlyBox(QWidget *parent, const QString &name, QRect place)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(place);
    box->setReadOnly(true);
    // Tab passes over a box that only shows; a click still selects its text for copying.
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect place)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    return button;
}

} // namespace

AddressBookWindow::AddressBookWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Address Book"));
    resize(sizeHint());
    setMinimumSize(sizeHint());

    QFont letterFont = font();
    letterFont.setPointSizeF(letterFont.pointSizeF() * 0.85);
    for (int k = 0; k < 24; ++k) {
        const int left = 480 * (k % 12);
        const int top = k < 12 ? 0 : 240;
        QPushButton *button =
            makeButton(this, "", QLatin1String(kLetterGroups[k]), twipsRect(left, top, 495, 255));
        button->setObjectName(indexed("Command4", k));
        button->setFont(letterFont);
        button->setFocusPolicy(Qt::TabFocus);
        Command4[size_t(k)] = button;
        connect(button, &QPushButton::clicked, this, [this, k] { Command4_Click(k); });
    }

    Frame1 = makeFrame(this, "Frame1", QStringLiteral("Name"), twipsRect(0, 600, 5775, 735));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    Keyboard::nameComboBox(Combo1, Frame1->title());
    Combo1->setGeometry(twipsX(120), twipsY(240), twipsX(5535), Combo1->sizeHint().height());
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });

    Command5 = makeButton(this, "Command5", QStringLiteral("View Detail&s"),
                          twipsRect(5880, 960, 1215, 375));
    connect(Command5, &QPushButton::clicked, this, &AddressBookWindow::Command5_Click);

    Frame3 = makeFrame(this, "Frame3", QStringLiteral("Telephone Numbers"),
                       twipsRect(0, 1440, 3375, 2775));
    const QString phoneCaptions[6] = {QStringLiteral("Home"),        QStringLiteral("Business #1"),
                                      QStringLiteral("Business #2"), QStringLiteral("Mobile"),
                                      QStringLiteral("Fax"),         QStringLiteral("Other")};
    for (int k = 0; k < 6; ++k) {
        const int top = 360 + 360 * k;
        Label3[size_t(k)] = makeLabel(Frame3, indexed("Label3", k), phoneCaptions[k],
                                      twipsRect(120, top, 1095, 255));
        Text3[size_t(k)] =
            makeReadOnlyBox(Frame3, indexed("Text3", k), twipsRect(1320, top, 1935, 285));
        Label3[size_t(k)]->setBuddy(Text3[size_t(k)]);
        Text3[size_t(k)]->setAccessibleName(phoneName(k));
    }

    Frame2 =
        makeFrame(this, "Frame2", QStringLiteral("Address"), twipsRect(3480, 1440, 4215, 2775));
    Text1 = new LimitedTextBox(Frame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(120, 240, 3975, 2415));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::ClickFocus);

    Frame4 =
        makeFrame(this, "Frame4", QStringLiteral("Details"), twipsRect(3480, 1440, 4215, 2775));
    Label1[0] = makeLabel(Frame4, indexed("Label1", 0), QStringLiteral("Birthday:"),
                          twipsRect(120, 240, 1080, 255));
    Text8 = makeReadOnlyBox(Frame4, QStringLiteral("Text8"), twipsRect(1200, 240, 1935, 285));
    Label1[1] = makeLabel(Frame4, indexed("Label1", 1), QStringLiteral("e-mail:"),
                          twipsRect(120, 600, 1080, 255));
    Text5 = makeReadOnlyBox(Frame4, QStringLiteral("Text5"), twipsRect(1200, 600, 2895, 285));
    Label1[2] = makeLabel(Frame4, indexed("Label1", 2), QStringLiteral("Home Page:"),
                          twipsRect(120, 960, 1080, 255));
    Text6 = makeReadOnlyBox(Frame4, QStringLiteral("Text6"), twipsRect(1200, 960, 2895, 285));
    Label1[3] = makeLabel(Frame4, indexed("Label1", 3), QStringLiteral("Notes:"),
                          twipsRect(120, 1320, 1080, 255));
    Text7 = new LimitedTextBox(Frame4);
    Text7->setObjectName(QStringLiteral("Text7"));
    Text7->setGeometry(twipsRect(1200, 1320, 2895, 1335));
    Text7->setReadOnly(true);
    Text7->setFocusPolicy(Qt::ClickFocus);
    for (auto [label, box] : {std::pair{Label1[0], static_cast<QWidget *>(Text8)},
                              {Label1[1], Text5},
                              {Label1[2], Text6},
                              {Label1[3], Text7}})
        label->setBuddy(box);
    Text7->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Check1 = new QCheckBox(Frame4);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->hide();
    Text4 = makeReadOnlyBox(Frame4, QStringLiteral("Text4"), QRect());
    Text4->hide();
    Text10 = makeReadOnlyBox(Frame4, QStringLiteral("Text10"), QRect());
    Text10->hide();
    Frame4->hide();

    Command3 = makeButton(this, "Command3", QStringLiteral("&Add Entry"),
                          twipsRect(3840, 4320, 1215, 375));
    Command2 = makeButton(this, "Command2", QStringLiteral("&Edit Entry"),
                          twipsRect(5160, 4320, 1215, 375));
    Command1 = makeButton(this, "Command1", QStringLiteral("&Delete Entry"),
                          twipsRect(6480, 4320, 1215, 375));
    connect(Command3, &QPushButton::clicked, this, &AddressBookWindow::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &AddressBookWindow::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &AddressBookWindow::Command1_Click);

    Label2 = new QLabel(QStringLiteral("A"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->hide();

    // As the view grows, the letter buttons spread over its width, the name box and the
    // address and details widen, the boxes of several lines also grow downwards, and the
    // buttons keep to the right edge and the bottom.
    for (int k = 0; k < 24; ++k)
        m_anchors.add(Command4[size_t(k)], (k % 12) / 12.0, 0, (k % 12 + 1) / 12.0, 0);
    m_anchors.add(Frame1, 0, 0, 1, 0);
    m_anchors.add(Combo1, 0, 0, 1, 0);
    m_anchors.add(Command5, 1, 0, 1, 0);
    m_anchors.add(Frame3, 0, 0, 0, 1);
    for (QWidget *frame : {Frame2, Frame4})
        m_anchors.add(frame, 0, 0, 1, 1);
    for (QWidget *box : {static_cast<QWidget *>(Text1), static_cast<QWidget *>(Text7)})
        m_anchors.add(box, 0, 0, 1, 1);
    for (QWidget *box : {Text5, Text6})
        m_anchors.add(box, 0, 0, 1, 0);
    for (QWidget *button : {Command3, Command2, Command1})
        m_anchors.add(button, 1, 1, 1, 1);
}

QSize AddressBookWindow::sizeHint() const
{
    return twipsSize(7830, 4815);
}

void AddressBookWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_anchors.place();
}

void AddressBookWindow::load()
{
    // A view created anew while the entry editor is open keeps its entry buttons disabled
    // until the editor closes.
    if (Forms::exists("Form7") && Forms::Form7()->isVisible())
        setEntryButtonsEnabled(false);
}

QString AddressBookWindow::phoneName(int k)
{
    static const char *const names[6] = {
        "Home telephone", "Business #1 telephone", "Business #2 telephone", "Mobile telephone",
        "Fax number",     "Other telephone"};
    return QLatin1String(names[k]);
}

QString AddressBookWindow::LetterGroup() const
{
    return Label2->text();
}

QColor AddressBookWindow::letterButtonColor(int index) const
{
    return Command4[size_t(index)]->palette().color(QPalette::Button);
}

void AddressBookWindow::showEntry(const AddressEntry *entry)
{
    if (!entry) {
        for (QLineEdit *box : Text3)
            box->clear();
        Text1->setText(QString());
        Text5->clear();
        Text6->clear();
        Text7->setText(QString());
        Text8->clear();
        return;
    }
    Text1->setText(entry->Address);
    // The same reading of the flag as the calendar's markers.
    const bool hasBirthday = AddressStore::FlagIsOne(entry->HasBirthday);
    Text8->setVisible(hasBirthday);
    Label1[0]->setVisible(hasBirthday);
    Check1->setChecked(hasBirthday);
    Text8->setText(entry->BirthdayDate);
    Text5->setText(entry->EMail);
    Text6->setText(entry->HomePage);
    Text7->setText(entry->Notes);
    const QString phones[6] = {entry->PhoneHome,   entry->PhoneBusiness1, entry->PhoneBusiness2,
                               entry->PhoneMobile, entry->PhoneFax,       entry->PhoneOther};
    for (std::size_t k = 0; k < 6; ++k)
        Text3[k]->setText(phones[k]);
    Text4->setText(entry->Name);
    Text10->setText(entry->Surname);
}

void AddressBookWindow::setEntryButtonsEnabled(bool enabled)
{
    Command1->setEnabled(enabled);
    Command2->setEnabled(enabled);
    Command3->setEnabled(enabled);
}

void AddressBookWindow::Command4_Click(int index)
{
    const QPalette desktop = QApplication::palette(Command4[0]);
    for (QPushButton *button : Command4) {
        QPalette p = button->palette();
        p.setColor(QPalette::Button, desktop.color(QPalette::Button));
        p.setColor(QPalette::ButtonText, desktop.color(QPalette::ButtonText));
        button->setPalette(p);
    }
    // The chosen group is yellow, with black letters that read on it on any desktop.
    QPushButton *clicked = Command4[size_t(index)];
    QPalette p = clicked->palette();
    p.setColor(QPalette::Button, QColor(255, 255, 0));
    p.setColor(QPalette::ButtonText, Qt::black);
    clicked->setPalette(p);

    Label2->setText(clicked->text());
    Label2_Change();
}

void AddressBookWindow::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text().toUpper();
    if (typed.size() == 1 && !(event->modifiers() & ~Qt::ShiftModifier)) {
        const QChar c = typed.at(0);
        for (int k = 0; k < 24; ++k) {
            const QLatin1String group(kLetterGroups[k]);
            if (group == QLatin1String("123") ? c >= u'0' && c <= u'9'
                                              : c >= u'A' && c <= u'Z' && group.contains(c)) {
                Command4[size_t(k)]->setFocus(Qt::ShortcutFocusReason);
                Command4[size_t(k)]->click();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void AddressBookWindow::Label2_Change()
{
    Module1::FillAddressList();
    Module1::ShowAddressDetails();
}

void AddressBookWindow::Combo1_Click()
{
    Module1::ShowAddressDetails();
}

void AddressBookWindow::Command5_Click()
{
    const QString caption = Keyboard::plainCaption(Command5->text());
    if (caption == QLatin1String("View Details")) {
        Command5->setText(QStringLiteral("View Addres&s"));
        Frame2->hide();
        Frame4->show();
    } else if (caption == QLatin1String("View Address")) {
        Command5->setText(QStringLiteral("View Detail&s"));
        Frame4->hide();
        Frame2->show();
    }
}

void AddressBookWindow::Command1_Click()
{
    if (Combo1->currentText().isEmpty())
        return;
    Module1::DeleteAddressEntry();
    Module1::FillAddressList();
    Module1::ShowAddressDetails();
}

void AddressBookWindow::Command3_Click()
{
    AddressEntryEditor *editor = Forms::Form7();
    Module1::EditMode = 0;
    setEntryButtonsEnabled(false);
    for (int k = 0; k < 6; ++k) {
        editor->setText2(k, QString());
        editor->Text3[size_t(k)]->clear();
    }
    editor->setWindowTitle(QStringLiteral("Add Address Book Entry"));
    editor->DTPicker1->setValue(PartLinks::calendarSelectedDate ? PartLinks::calendarSelectedDate()
                                                                : Clock::Today());
    editor->Check1->setChecked(false);
    editor->EditedName.clear();
    editor->showEditor();
}

void AddressBookWindow::Command2_Click()
{
    const QString name = Combo1->currentText();
    if (name.isEmpty())
        return;
    // The chosen entry as the file holds it; the boxes of this window only show it.
    const AddressStore store;
    const int position = store.FindAddressEntry(name);
    if (position < 0)
        return;
    const AddressEntry e = store.ReadAddressEntry(position);
    AddressEntryEditor *editor = Forms::Form7();
    Module1::EditMode = -1;
    setEntryButtonsEnabled(false);
    const QString texts[] = {e.Name, e.Surname, e.Address, e.EMail, e.HomePage, e.Notes};
    for (int k = 0; k < 6; ++k)
        editor->setText2(k, texts[k]);
    editor->DTPicker1->setValueFromText(e.BirthdayDate);
    editor->Check1->setChecked(AddressStore::FlagIsOne(e.HasBirthday));
    const QString phones[] = {e.PhoneHome,   e.PhoneBusiness1, e.PhoneBusiness2,
                              e.PhoneMobile, e.PhoneFax,       e.PhoneOther};
    for (int k = 0; k < 6; ++k)
        editor->Text3[size_t(k)]->setText(phones[k]);
    editor->setWindowTitle(QStringLiteral("Edit Address Book Entry"));
    // The entry stays in the file while it is edited; "OK" replaces it, "Cancel" keeps it.
    editor->EditedName = name;
    editor->showEditor();
}
