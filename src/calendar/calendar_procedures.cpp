// The Module1 procedures of the calendar: day markers, the activities of a day, saving and
// deleting appointments, the day schedule and the reminder check.
#include "calendar/calendar_procedures.h"
#include "calendar/calendar_logic.h"
#include "controls/limited_text_box.h"
#include "data/stored_text.h"

#include "calendar/activities_window.h"
#include "calendar/appointment_editor.h"
#include "calendar/calendar_forms.h"
#include "calendar/calendar_window.h"
#include "calendar/day_schedule_window.h"
#include "calendar/reminder_notifications.h"
#include "calendar/reminder_window.h"
#include "controls/date_picker.h"
#include "controls/flex_grid.h"
#include "controls/program_frame.h"
#include "controls/seams.h"
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/kept_month_marks.h"
#include "records/record_file.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kDarkRed(192, 0, 0);
const QColor kLightCyan(128, 255, 255);

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

void reportRefusal(const StoreResult &result)
{
    if (!result.message.isEmpty())
        MessageBox::show(result.message);
    else if (result.status == StoreResult::CapacityFull)
        MessageBox::show(QStringLiteral("The diary cannot hold more than %1 appointments.")
                             .arg(AppointmentStore::Capacity));
    else
        MessageBox::show(QStringLiteral("The appointment could not be saved."));
}

// The seven fields as they stand in the editor.
Appointment editorFields()
{
    AppointmentEditor *e = Forms::Form5();
    Appointment a;
    a.AppointmentId = e->appointmentId();
    a.Subject = e->Text4->text();
    a.StartTime = e->Combo1->currentText();
    a.EndTime = e->Combo2->currentText();
    a.ReminderOn = e->Check1->checkState() != Qt::Unchecked ? -1 : 0;
    a.ReminderMinutes = e->Text2->text();
    a.Description = e->Text1->text();
    return a;
}

void clearDetails(ActivitiesWindow *w)
{
    w->Text3->setText(QStringLiteral("ID"));
    w->Text1->setPlainText(QString());
    w->Text4->clear();
    w->Text5->clear();
    w->Check1->setCheckState(Qt::Unchecked);
    w->Label4->hide();
    w->Text2->hide();
}

} // namespace

namespace CalendarProcedures {

QString ChosenAppointmentId()
{
    ActivitiesWindow *w = Forms::Form4();
    return AppointmentStore::MakeAppointmentId(w->DTPicker1->Value(),
                                               w->Combo3->currentIndex() + 1);
}

void ShowReminderMinutes(Qt::CheckState reminder, QWidget *minutes, QWidget *label)
{
    if (reminder == Qt::PartiallyChecked)
        return;
    minutes->setVisible(reminder == Qt::Checked);
    label->setVisible(reminder == Qt::Checked);
}

QString MonthKey(int year, int month)
{
    return QString::number(year) + twoDigits(month);
}

QPixmap MarkerPicture(const QColor &color, QChar letter)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap picture(QSize(17, 17) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const QRectF disc(3, 3, 11, 11);
    painter.drawEllipse(disc);
    // Relative luminance decides the letter's colour: white on blue, black on red.
    const double luminance =
        0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
    painter.setPen(luminance > 0.18 ? Qt::black : Qt::white);
    // The letter is 9 pixels high in the bold face of the program's own font, drawn scaled
    // down from that font's size rather than loaded at 9 pixels: the calendar's month and year
    // already use that face, so no further font is looked up for the markers.
    QFont font = QGuiApplication::font();
    font.setBold(true);
    const qreal size = std::max(1, QFontInfo(font).pixelSize());
    painter.setFont(font);
    painter.translate(disc.center());
    painter.scale(9 / size, 9 / size);
    painter.drawText(QRectF(-size, -size, 2 * size, 2 * size), Qt::AlignCenter, QString(letter));
    return picture;
}

bool AddAppointment()
{
    // The new appointment is numbered from the file, not from what a window lists, so that its
    // id is always one no appointment carries.
    AppointmentStore store;
    Appointment a = editorFields();
    a.AppointmentId = store.NextAppointmentId(a.AppointmentId.left(8));
    Forms::Form5()->setAppointmentId(a.AppointmentId);
    const StoreResult result = store.AddAppointment(a);
    if (!result.ok()) {
        reportRefusal(result);
        return false;
    }
    Module1::LoadDayActivities();
    return true;
}

bool UpdateAppointment()
{
    // An appointment that is no longer in the file (deleted meanwhile, or an id that names
    // none) is reported: the editor stays open with what was typed, nothing is written.
    const Appointment fields = editorFields();
    const StoreResult result = AppointmentStore().UpdateAppointment(fields.AppointmentId, fields);
    if (!result.ok()) {
        reportRefusal(result);
        return false;
    }
    Module1::LoadDayActivities();
    return true;
}

void OpenAppointment(const QString &id)
{
    const QDate date = QDate::fromString(id.left(8), QStringLiteral("yyyyMMdd"));
    if (!date.isValid())
        return;
    ProgramFrame::setEnabled(false);
    ActivitiesWindow *w = Forms::Form4();
    w->DTPicker1->setValue(date);
    w->show();
    w->raise();
    w->activateWindow();
    Module1::LoadDayActivities();
    const int n = id.mid(9).toInt();
    if (n >= 1 && n <= w->Combo3->count())
        w->Combo3->setCurrentIndex(n - 1);
}

} // namespace CalendarProcedures

namespace Module1 {

namespace {

// The marks of a month from the two files, or from `keptFile` when they are kept there and the
// files have not changed since. The files' times are compared with the system's time, whatever
// day the program's clock shows.
MonthMarks marksOfMonth(const QString &keptFile, int year, int month)
{
    const auto read = [year, month] {
        return MonthMarks{AppointmentStore().DaysWithAppointments(year, month),
                          AddressStore().BirthdayDays(month)};
    };
    if (keptFile.isEmpty())
        return read();
    return KeptMonthMarks(
        keptFile,
        {RecordFilePath(AppointmentStore::FileNumber), RecordFilePath(AddressStore::FileNumber)},
        ProgramFrame::build(), year, month, QDateTime::currentMSecsSinceEpoch(), read);
}

} // namespace

void KeepMarksForNextStart()
{
    if (KeptMarksFile.isEmpty() || !IsRecordFileOpen(AppointmentStore::FileNumber) ||
        !IsRecordFileOpen(AddressStore::FileNumber))
        return;
    const QDate today = Clock::Today();
    marksOfMonth(KeptMarksFile, today.year(), today.month());
}

void MarkCalendarDays()
{
    CalendarWindow *calendar = Forms::Form1();
    const int year = calendar->Calendar1->yearShown();
    const int month = calendar->Calendar1->monthShown();

    // The activities window starts empty for the next day opened. One not made yet starts so
    // when it is made, so it need not be made now. A day that is open (its window on screen,
    // or the appointment editor in its place) is never emptied under the user: the window on
    // screen is refilled from the file instead, and one behind the editor is left as it is,
    // since the editor refills it when it returns.
    const bool dayOpen =
        Forms::exists("Form4") &&
        (Forms::Form4()->isVisible() || (Forms::exists("Form5") && Forms::Form5()->isVisible()));
    if (dayOpen) {
        if (Forms::Form4()->isVisible())
            LoadDayActivities();
    } else if (Forms::exists("Form4")) {
        ActivitiesWindow *activities = Forms::Form4();
        {
            const QSignalBlocker blocker(activities->Combo3);
            activities->Combo3->clear();
        }
        activities->Combo1->clear();
        activities->Combo2->clear();
        activities->Combo4->clear();
        clearDetails(activities);
    }

    // The days of the month shown that carry a marker, each in one pass over its file, or as
    // an earlier run kept them.
    const MonthMarks days =
        marksOfMonth(std::exchange(TakeKeptMarks, false) ? KeptMarksFile : QString(), year, month);
    const CalendarLogic::MarkedCells marked =
        CalendarLogic::MarkedCellsOfMonth(year, month, days.appointmentDays, days.birthdayDays);
    // Only the markers whose state changes are shown or hidden.
    for (std::size_t i = 1; i <= 42; ++i) {
        if (calendar->Picture1[i]->isHidden() == marked.birthdays[i])
            calendar->Picture1[i]->setVisible(marked.birthdays[i]);
        if (calendar->Picture2[i]->isHidden() == marked.appointments[i])
            calendar->Picture2[i]->setVisible(marked.appointments[i]);
    }
    calendar->placeMarkers();
    calendar->describeMarkedDays();
}

void LoadDayActivities()
{
    ActivitiesWindow *w = Forms::Form4();
    const QDate date = w->DTPicker1->Value();
    const QString dayKey = AppointmentStore::DayKey(date);

    {
        const QSignalBlocker blocker(w->Combo3);
        w->Combo3->clear();
        w->Combo1->clear();
        w->Combo2->clear();
        w->Combo4->clear();
        clearDetails(w);

        const QList<Appointment> day = AppointmentStore().ReadDayAppointments(dayKey);
        for (const Appointment &a : day) {
            w->Combo3->addItem(StoredText::trimBlanks(a.Subject));
            w->Combo1->addItem(StoredText::trimBlanks(a.StartTime));
            w->Combo2->addItem(StoredText::trimBlanks(a.EndTime));
        }
    }
    if (w->Combo3->count() == 0) {
        w->Command4->setEnabled(false);
        w->Command5->setEnabled(false);
    } else {
        w->Command4->setEnabled(true);
        w->Command5->setEnabled(true);
        {
            const QSignalBlocker blocker(w->Combo3);
            w->Combo3->setCurrentIndex(0);
        }
        ShowAppointmentDetails();
        w->Combo1->setCurrentIndex(0);
        w->Combo2->setCurrentIndex(0);
    }

    w->Combo4->addItems(CalendarLogic::BirthdayLines(AddressStore().ReadBirthdaysOn(date), date));
    if (w->Combo4->count() > 0)
        w->Combo4->setCurrentIndex(0);
}

void ShowAppointmentDetails()
{
    ActivitiesWindow *w = Forms::Form4();
    const QString id = CalendarProcedures::ChosenAppointmentId();
    AppointmentStore store;
    const int position = store.FindAppointment(id);
    if (position < 0) {
        // An entry without its appointment (ids out of order): nothing to show or act on.
        clearDetails(w);
        w->Command4->setEnabled(false);
        w->Command5->setEnabled(false);
        return;
    }
    const Appointment a = store.ReadAppointment(position);
    w->Text3->setText(id);
    w->Text4->setText(StoredText::trimBlanks(a.StartTime));
    w->Text5->setText(StoredText::trimBlanks(a.EndTime));
    w->Check1->setCheckState(a.ReminderOn == -1 ? Qt::Checked : Qt::Unchecked);
    w->Text2->setText(StoredText::trimBlanks(a.ReminderMinutes));
    w->Text1->setText(StoredText::trimBlanks(a.Description));
    w->Command4->setEnabled(true);
    w->Command5->setEnabled(true);
}

void DeleteAppointment()
{
    AppointmentStore store;
    if (store.GetAppointmentCount() == 0)
        return;
    const StoreResult result = store.DeleteAppointment(CalendarProcedures::ChosenAppointmentId());
    if (!result.ok() && result.status != StoreResult::NotFound)
        MessageBox::show(result.message);
    LoadDayActivities();
}

void AddAppointment()
{
    CalendarProcedures::AddAppointment();
}

void UpdateAppointment()
{
    CalendarProcedures::UpdateAppointment();
}

void FillDaySchedule()
{
    // The schedule's own day, its appointments read from the file.
    DayScheduleWindow *s = Forms::Form6();
    const QDate date = s->DTPicker1->Value();
    FlexGrid *grid = s->MSFlexGrid1;
    s->setWindowTitle(QStringLiteral("Day Schedule for - ") +
                      QLocale::system().toString(date, s->DTPicker1->displayFormat()));
    const CalendarLogic::DaySchedule day = CalendarLogic::ScheduleOfDay(
        AppointmentStore().ReadDayAppointments(AppointmentStore::DayKey(date)));
    const int slotCount = int(day.slotTimes.size());
    const int n = int(day.subjects.size());

    grid->Clear();
    grid->setCols(slotCount + 1);
    // The header row is fixed also on a day without appointments; a grid needs a row below
    // its fixed row, so one is added for the moment.
    grid->setRows(2);
    grid->setFixedRows(1);
    grid->setRows(1);
    grid->setTextMatrix(0, 0, QStringLiteral("Appointment"));
    grid->setColWidth(0, 3000);
    for (int c = 1; c <= slotCount; ++c) {
        grid->setTextMatrix(0, c, day.slotTimes[c - 1]);
        grid->setColWidth(c, 500);
    }
    if (n == 0)
        return;
    for (int r = 1; r <= n; ++r) {
        grid->AddItem(day.subjects[r - 1]);
        for (int c = 1; c <= slotCount; ++c) {
            if (day.occupied[r - 1][c - 1])
                grid->setCellBackColor(r, c, kBlue);
        }
    }
    grid->AddItem(QStringLiteral("Total Occupation"));
    grid->setCellBackColor(n + 1, 0, kLightCyan);
    for (int c = 1; c <= slotCount; ++c) {
        if (day.occupation[c - 1] == 1)
            grid->setCellBackColor(n + 1, c, kRed);
        else if (day.occupation[c - 1] > 1)
            grid->setCellBackColor(n + 1, c, kDarkRed);
    }
}

void CheckReminders()
{
    // The launcher's modal file dialog is open: the next check catches up.
    if (FileDialogOpen != 0)
        return;
    const QDateTime now = Clock::Now();
    const QList<CalendarLogic::DueReminder> due = CalendarLogic::DueReminders(
        AppointmentStore().ReadDayAppointments(AppointmentStore::DayKey(now.date())), now,
        Reminders);
    Forms::Form8()->showReminders(due);
    for (const CalendarLogic::DueReminder &reminder : due)
        ReminderNotifications::instance()->notify(reminder);
}

} // namespace Module1
