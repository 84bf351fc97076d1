#include "calendar/activities_window.h"
#include "data/stored_text.h"

#include "calendar/calendar_logic.h"
#include "calendar/calendar_procedures.h"
#include "controls/limited_text_box.h"

#include "calendar/appointment_editor.h"
#include "calendar/calendar_forms.h"
#include "calendar/day_schedule_window.h"
#include "controls/date_picker.h"
#include "controls/keyboard.h"
#include "controls/program_frame.h"
#include "data/appointment_store.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *readOnlyBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    // Tab passes over a box that only shows; a click still selects its text for copying.
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

ActivitiesWindow::ActivitiesWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Activities"));
    // A fixed single border without minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    DTPicker1 = new DatePicker(this);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setAccessibleName(QStringLiteral("Day"));

    Frame1 = new QGroupBox(QStringLiteral("Appointments"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Combo3 = new QComboBox(Frame1);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    Combo3->setMinimumWidth(260);
    Keyboard::nameComboBox(Combo3, QStringLiteral("Appointments"));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->hide();
    Combo2 = new QComboBox(Frame1);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->hide();
    Text3 = new QLineEdit(QStringLiteral("ID"), Frame1);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->hide();
    Label2 = new QLabel(QStringLiteral("Start Time"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Text4 = readOnlyBox(Frame1, "Text4");
    Label3 = new QLabel(QStringLiteral("End Time"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Text5 = readOnlyBox(Frame1, "Text5");
    Check1 = new QCheckBox(Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setEnabled(false);
    Label1 = new QLabel(QStringLiteral("Reminder"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text2 = readOnlyBox(Frame1, "Text2");
    Text2->setText(QStringLiteral("15"));
    Text2->setMaximumWidth(60);
    Text2->hide();
    Label4 = new QLabel(QStringLiteral("Minutes before meeting"), Frame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->hide();
    Text1 = new LimitedTextBox(Frame1);
    Text1->setText(QStringLiteral("Description"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::ClickFocus);
    Text1->setAccessibleName(QStringLiteral("Description"));
    Text1->setFixedHeight(80);
    Label2->setBuddy(Text4);
    Label3->setBuddy(Text5);
    Label1->setBuddy(Check1);
    Label4->setBuddy(Text2);
    Command3 = button(Frame1, "Command3", "&Add");
    Command5 = button(Frame1, "Command5", "&Edit");
    Command4 = button(Frame1, "Command4", "&Delete");

    auto *times = new QGridLayout;
    times->addWidget(Label2, 0, 0);
    times->addWidget(Text4, 0, 1);
    times->addWidget(Label3, 0, 2);
    times->addWidget(Text5, 0, 3);
    auto *reminder = new QHBoxLayout;
    reminder->addWidget(Check1);
    reminder->addWidget(Label1);
    reminder->addSpacing(12);
    reminder->addWidget(Text2);
    reminder->addWidget(Label4);
    reminder->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addWidget(Command5);
    buttons->addWidget(Command4);
    buttons->addStretch();
    auto *frame1 = new QVBoxLayout(Frame1);
    frame1->addWidget(Combo3);
    frame1->addLayout(times);
    frame1->addLayout(reminder);
    frame1->addWidget(Text1);
    frame1->addLayout(buttons);

    Frame2 = new QGroupBox(QStringLiteral("Memos"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Combo4 = new QComboBox(Frame2);
    Combo4->setObjectName(QStringLiteral("Combo4"));
    Keyboard::nameComboBox(Combo4, QStringLiteral("Memos"));
    auto *frame2 = new QVBoxLayout(Frame2);
    frame2->addWidget(Combo4);

    Command6 = button(this, "Command6", "View &Schedule");
    Command1 = button(this, "Command1", "OK");
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Command6);
    bottom->addStretch();
    bottom->addWidget(Command1);

    auto *top = new QHBoxLayout;
    top->addWidget(DTPicker1);
    top->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Keyboard::setDialogKeys(this, Command1);

    connect(DTPicker1, &DatePicker::Change, this, &ActivitiesWindow::DTPicker1_Change);
    connect(Combo3, &QComboBox::currentIndexChanged, this, &ActivitiesWindow::Combo3_Click);
    connect(Check1, &QCheckBox::stateChanged, this, &ActivitiesWindow::Check1_Click);
    connect(Command3, &QPushButton::clicked, this, &ActivitiesWindow::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &ActivitiesWindow::Command5_Click);
    connect(Command4, &QPushButton::clicked, this, &ActivitiesWindow::Command4_Click);
    connect(Command6, &QPushButton::clicked, this, &ActivitiesWindow::Command6_Click);
    connect(Command1, &QPushButton::clicked, this, &ActivitiesWindow::Command1_Click);
}

void ActivitiesWindow::load()
{
    // A new window shows no day yet: its fields as the calendar's marking leaves them.
    Text1->clear();
}

void ActivitiesWindow::DTPicker1_Change()
{
    Module1::LoadDayActivities();
}

void ActivitiesWindow::Combo3_Click()
{
    if (Combo3->currentIndex() >= 0)
        Module1::ShowAppointmentDetails();
}

void ActivitiesWindow::Check1_Click()
{
    CalendarProcedures::ShowReminderMinutes(Check1->checkState(), Text2, Label4);
}

void ActivitiesWindow::Command3_Click()
{
    Module1::EditMode = 0;
    AppointmentEditor *editor = Forms::Form5();
    editor->setAppointmentId(
        AppointmentStore().NextAppointmentId(AppointmentStore::DayKey(DTPicker1->Value())));
    editor->setWindowTitle(QStringLiteral("Add Appointment"));
    editor->presetFields();
    hide();
    editor->show();
    editor->raise();
    editor->activateWindow();
}

void ActivitiesWindow::Command5_Click()
{
    Module1::EditMode = -1;
    AppointmentEditor *editor = Forms::Form5();
    editor->setWindowTitle(QStringLiteral("Edit Appointment"));
    // The presets first, then the chosen appointment over them, as the file holds it and as
    // this window shows it (trimmed).
    editor->presetFields();
    const QString id = CalendarProcedures::ChosenAppointmentId();
    AppointmentStore store;
    const int position = store.FindAppointment(id);
    if (position >= 0) {
        const Appointment a = store.ReadAppointment(position);
        editor->Combo1->setEditText(StoredText::trimBlanks(a.StartTime));
        editor->Combo2->setEditText(StoredText::trimBlanks(a.EndTime));
        editor->Text1->setText(StoredText::trimBlanks(a.Description));
        editor->Text4->setText(StoredText::trimBlanks(a.Subject));
        editor->Check1->setCheckState(a.ReminderOn == -1 ? Qt::Checked : Qt::Unchecked);
        editor->Text2->setText(StoredText::trimBlanks(a.ReminderMinutes));
        editor->setAppointmentId(id);
    }
    hide();
    editor->show();
    editor->raise();
    editor->activateWindow();
}

void ActivitiesWindow::Command4_Click()
{
    Module1::DeleteAppointment();
}

void ActivitiesWindow::Command6_Click()
{
    DayScheduleWindow *schedule = Forms::Form6();
    schedule->show();
    schedule->raise();
    schedule->DTPicker1->setValue(DTPicker1->Value());
    Module1::FillDaySchedule();
}

void ActivitiesWindow::Command1_Click()
{
    // Hidden first, so that the marking leaves it empty for the next day opened.
    hide();
    Module1::MarkCalendarDays();
    ProgramFrame::setEnabled(true);
    ProgramFrame::bringForward();
}

void ActivitiesWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Command1_Click();
}
