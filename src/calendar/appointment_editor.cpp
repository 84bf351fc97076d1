#include "calendar/appointment_editor.h"
#include "data/stored_text.h"

#include "controls/limited_text_box.h"

#include "calendar/activities_window.h"
#include "calendar/calendar_forms.h"
#include "calendar/calendar_logic.h"
#include "calendar/calendar_procedures.h"
#include "controls/keyboard.h"
#include "controls/program_frame.h"
#include "controls/seams.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace {

// "07:00", "07:30", ... up to and including `last`.
QStringList halfHours(const QString &last)
{
    QStringList times;
    for (int minutes = 7 * 60;; minutes += 30) {
        const QString t = QStringLiteral("%1:%2")
                              .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                              .arg(minutes % 60, 2, 10, QLatin1Char('0'));
        times.append(t);
        if (t == last)
            break;
    }
    return times;
}

QComboBox *timeBox(QWidget *parent, const char *name, const QString &last)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(halfHours(last));
    box->lineEdit()->setMaxLength(AppointmentEditor::TimeLength);
    // Typed text is never completed to a list entry behind the user's back.
    box->setCompleter(nullptr);
    box->setCurrentIndex(-1);
    return box;
}

} // namespace

AppointmentEditor::AppointmentEditor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Add Appointment"));
    // A fixed tool-window border without minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Frame1 = new QGroupBox(QStringLiteral("Appointments"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text4 = new QLineEdit(QStringLiteral("Subject"), Frame1);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setMaxLength(SubjectLength);
    Text4->setMinimumWidth(280);
    Text4->setAccessibleName(QStringLiteral("Subject"));
    Label2 = new QLabel(QStringLiteral("Start Time"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Combo1 = timeBox(Frame1, "Combo1", QStringLiteral("23:30"));
    Label3 = new QLabel(QStringLiteral("End Time"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Combo2 = timeBox(Frame1, "Combo2", QStringLiteral("24:00"));
    Check1 = new QCheckBox(QStringLiteral("&Reminder"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Text2 = new QLineEdit(QStringLiteral("15"), Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setMaxLength(MinutesLength);
    Text2->setMaximumWidth(60);
    Text2->hide();
    Label4 = new QLabel(QStringLiteral("Minutes before meeting"), Frame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->hide();
    Text1 = new LimitedTextBox(Frame1);
    Text1->setPlainText(QStringLiteral("Description"));
    Text1->setMaxLength(DescriptionLength);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFixedHeight(80);
    Text1->setAccessibleName(QStringLiteral("Description"));
    Label2->setBuddy(Combo1);
    Label3->setBuddy(Combo2);
    Keyboard::nameComboBox(Combo1, Label2->text());
    Keyboard::nameComboBox(Combo2, Label3->text());
    Label4->setBuddy(Text2);
    Text3 = new QLineEdit(QStringLiteral("ID"), Frame1);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->hide();
    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *times = new QHBoxLayout;
    times->addWidget(Label2);
    times->addWidget(Combo1);
    times->addSpacing(12);
    times->addWidget(Label3);
    times->addWidget(Combo2);
    times->addStretch();
    auto *reminder = new QHBoxLayout;
    reminder->addWidget(Check1);
    reminder->addSpacing(12);
    reminder->addWidget(Text2);
    reminder->addWidget(Label4);
    reminder->addStretch();
    auto *frame = new QVBoxLayout(Frame1);
    frame->addWidget(Text4);
    frame->addLayout(times);
    frame->addLayout(reminder);
    frame->addWidget(Text1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Escape leaves as the close box does, without saving.
    Keyboard::setDialogKeys(this, Command2);

    connect(Check1, &QCheckBox::stateChanged, this, &AppointmentEditor::Check1_Click);
    connect(Combo1, &QComboBox::activated, this, &AppointmentEditor::Combo1_Click);
    connect(Command2, &QPushButton::clicked, this, &AppointmentEditor::Command2_Click);
}

void AppointmentEditor::load() {}

void AppointmentEditor::setAppointmentId(const QString &id)
{
    m_appointmentId = id;
    Text3->setText(id);
}

void AppointmentEditor::presetFields()
{
    Text1->setPlainText(QStringLiteral("Description"));
    Text2->setText(QStringLiteral("15"));
    Text4->setText(QStringLiteral("Subject"));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
    Combo2->setCurrentIndex(-1);
    Combo2->setEditText(QString());
}

void AppointmentEditor::Check1_Click()
{
    CalendarProcedures::ShowReminderMinutes(Check1->checkState(), Text2, Label4);
}

void AppointmentEditor::Combo1_Click(int index)
{
    // The end time half an hour after the picked start.
    if (index >= 0 && index + 1 < Combo2->count())
        Combo2->setCurrentIndex(index + 1);
}

void AppointmentEditor::Command2_Click()
{
    if (Combo1->currentText().isEmpty()) {
        MessageBox::show(QStringLiteral("You need to specify a Start-Time for the Appointment"));
        return;
    }
    if (Combo2->currentText().isEmpty()) {
        MessageBox::show(QStringLiteral("You need to specify an End-Time for the Appointment"));
        return;
    }
    // Typed times must be times of day; they are kept in their two-digit form, so that the
    // text comparisons of the duration, the schedule and the reminders hold.
    const std::optional<QString> start = CalendarLogic::TimeOfDay(Combo1->currentText(), false);
    const std::optional<QString> end = CalendarLogic::TimeOfDay(Combo2->currentText(), true);
    for (const auto &[time, box, field] :
         {std::tuple{start, Combo1, "Start Time"}, std::tuple{end, Combo2, "End Time"}}) {
        if (!time) {
            MessageBox::show(QStringLiteral("The %1 \"%2\" is not a time of day. Type it as "
                                            "hours and minutes, for example 09:30.")
                                 .arg(QLatin1StringView(field), box->currentText()));
            box->setFocus();
            return;
        }
    }
    if (Combo1->currentText() != *start)
        Combo1->setEditText(*start);
    if (Combo2->currentText() != *end)
        Combo2->setEditText(*end);
    // Times compare as texts, character by character.
    if (!(QString::compare(*start, *end, Qt::CaseSensitive) < 0)) {
        MessageBox::show(
            QStringLiteral("The duration of the meeting must be greater than 0 minutes!"));
        return;
    }
    if (Text4->text().isEmpty()) {
        MessageBox::show(QStringLiteral("You need to specify a Subject for the Appointment"));
        return;
    }
    // A reminder needs a number of minutes it can be given by: a whole number up to a day.
    if (Check1->checkState() != Qt::Unchecked) {
        bool ok = false;
        const int minutes = StoredText::trimBlanks(Text2->text()).toInt(&ok);
        if (!ok || minutes < 0 || minutes > 1440) {
            MessageBox::show(QStringLiteral("The minutes before the meeting must be a whole "
                                            "number from 0 to 1440."));
            Text2->setFocus();
            return;
        }
    }
    const bool saved = Module1::EditMode == -1 ? CalendarProcedures::UpdateAppointment()
                                               : CalendarProcedures::AddAppointment();
    // A refused save keeps the editor open with everything as typed.
    if (!saved)
        return;
    returnToActivities();
}

void AppointmentEditor::returnToActivities()
{
    hide();
    ActivitiesWindow *activities = Forms::Form4();
    activities->show();
    activities->raise();
    activities->activateWindow();
}

void AppointmentEditor::closeEvent(QCloseEvent *event)
{
    event->ignore();
    returnToActivities();
}
