// The Module1 procedures of the calendar: day markers, the activities of a day, saving and
// deleting appointments, the day schedule and the reminder check.
#include "calendar/calendar_procedures.h"
#include "shell/limited_text_box.h"

#include "addressbook/address_store.h"
#include "calendar/activities_window.h"
#include "calendar/appointment_editor.h"
#include "calendar/appointment_store.h"
#include "calendar/calendar_window.h"
#include "calendar/day_schedule_window.h"
#include "calendar/reminder_notifications.h"
#include "calendar/reminder_window.h"
#include "shell/date_picker.h"
#include "shell/flex_grid.h"
#include "shell/forms.h"
#include "shell/module1.h"
#include "shell/record_file.h"
#include "shell/seams.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kDarkRed(192, 0, 0);
const QColor kLightCyan(128, 255, 255);

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The day number 1 to 31 of two stored digit bytes "01" to "31", or 0.
int dayOfTwoDigits(QByteArrayView text)
{
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
        return 0;
    const int day = (text[0] - '0') * 10 + (text[1] - '0');
    return day >= 1 && day <= 31 ? day : 0;
}

// The text bytes of a String record: as many as its length announces, within the record and
// what the file holds of it.
QByteArrayView storedText(QByteArrayView record)
{
    if (record.size() < 2)
        return {};
    const qsizetype length = qFromLittleEndian<quint16>(record.data());
    return record.sliced(2, std::min<qsizetype>(length, record.size() - 2));
}

// The number at the start of a text (blanks before it skipped), as a plain reading of digits;
// 0 when it does not begin with one.
int leadingNumber(const QString &text)
{
    const QString t = CalendarProcedures::TrimBlanks(text);
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < t.size() && t[i].unicode() >= '0' && t[i].unicode() <= '9' && value < 100000000; ++i)
        value = value * 10 + (t[i].unicode() - '0');
    return static_cast<int>(negative ? -value : value);
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
    a.AppointmentId = e->Text3->text();
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

// The plain decimal text of a number of minutes: "15", "7.5".
QString plainNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 15);
}

// One row of the reminder table: an appointment of today with its reminder time.
struct ReminderRow {
    int row = 0;
    int hour = 0;
    int minute = 0;
    QString startTime;
    QString endTime;
    QString subject; // as displayed
    QString minutes; // N as plain decimal text
    QString id;
    int startMinute = 0;
};

} // namespace

namespace CalendarProcedures {

void ShowReminderMinutes(Qt::CheckState reminder, QWidget *minutes, QWidget *label)
{
    if (reminder == Qt::PartiallyChecked)
        return;
    minutes->setVisible(reminder == Qt::Checked);
    label->setVisible(reminder == Qt::Checked);
}

QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

bool IsNumericOne(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(TrimBlanks(text), &ok);
    return ok && value == 1.0;
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
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(disc, Qt::AlignCenter, QString(letter));
    return picture;
}

std::optional<int> StartMinuteOfDay(const QString &startTime)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(TrimBlanks(startTime));
    if (!match.hasMatch())
        return std::nullopt;
    const int minute = match.captured(2).toInt();
    if (minute > 59)
        return std::nullopt;
    return match.captured(1).toInt() * 60 + minute;
}

std::optional<QString> TimeOfDay(const QString &text, bool endOfDay)
{
    const std::optional<int> minute = StartMinuteOfDay(text);
    if (!minute || *minute > 24 * 60 || (*minute == 24 * 60 && !endOfDay))
        return std::nullopt;
    return twoDigits(*minute / 60) + QLatin1Char(':') + twoDigits(*minute % 60);
}

QString TwoDigitTime(const QString &text)
{
    return TimeOfDay(text, true).value_or(text);
}

std::optional<int> ReminderMinuteOfDay(const QString &startTime, const QString &minutesText)
{
    const std::optional<int> start = StartMinuteOfDay(startTime);
    bool ok = false;
    const double n = QLocale::c().toDouble(TrimBlanks(minutesText), &ok);
    if (!start || !ok || !std::isfinite(n) || std::fabs(n) > 1e7)
        return std::nullopt;
    // The minute less N, rounded half to even; the hours borrowed as far as needed.
    const double minute = *start % 60;
    const int reminderMinute = static_cast<int>(std::nearbyint(minute - n));
    const int total = (*start / 60) * 60 + reminderMinute;
    // A reminder on the day before is never due today.
    if (total < 0)
        return std::nullopt;
    return total;
}

bool AddAppointment()
{
    // The new appointment is numbered from the file, not from what a window lists, so that its
    // id is always one no appointment carries.
    AppointmentStore store;
    Appointment a = editorFields();
    a.AppointmentId = store.NextAppointmentId(a.AppointmentId.left(8));
    Forms::Form5()->Text3->setText(a.AppointmentId);
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

} // namespace CalendarProcedures

namespace Module1 {

void MarkCalendarDays()
{
    CalendarWindow *calendar = Forms::Form1();
    const int year = calendar->Calendar1->yearShown();
    const int month = calendar->Calendar1->monthShown();
    // Days of the previous month before day 1: the weekday counted from Sunday, a whole week
    // when the month begins on a Sunday.
    int offset = QDate(year, month, 1).dayOfWeek() % 7;
    if (offset == 0)
        offset = 7;

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

    // One pass over each file gives what a pass per day number would: an id marks day d when
    // its first eight characters are the month key and d as two digits. Each file is looked at
    // in place in one pass and the records compared as stored bytes; the keys are plain
    // digits, which the code page stores one byte each.
    std::array<bool, 43> red{};
    std::array<bool, 43> blue{};
    const QByteArray monthKey = CalendarProcedures::MonthKey(year, month).toLatin1();
    const int appointments = AppointmentStore().GetAppointmentCount();
    if (appointments > 0) {
        constexpr int kK = AppointmentStore::BlockSize;
        // Records 1 to 8(c-1)+1: the id of every appointment.
        RecordReader reader(AppointmentStore::FileNumber, 1, qint64(appointments - 1) * kK + 1);
        for (int k = 0; k < appointments; ++k) {
            const QByteArrayView id = storedText(reader.record(qint64(k) * kK + 1));
            if (id.size() < 8 || !id.startsWith(monthKey))
                continue;
            const int day = dayOfTwoDigits(id.sliced(6, 2));
            if (day > 0 && offset + day <= 42)
                red[std::size_t(offset + day)] = true;
        }
    }
    const QByteArray monthText = twoDigits(month).toLatin1();
    const int entries = AddressStore().GetEntryCount();
    if (entries > 0) {
        constexpr int kK = AddressStore::BlockSize;
        // Records 11 to 16(c-1)+12: the birthday date and flag of every entry.
        RecordReader reader(AddressStore::FileNumber, 11, qint64(entries - 1) * kK + 2);
        for (int k = 0; k < entries; ++k) {
            const qint64 r = qint64(k) * kK + 11;
            const QByteArrayView date = storedText(reader.record(r));
            if (date.size() < 5 || date[2] != '/' || date.sliced(3, 2) != monthText)
                continue;
            const int day = dayOfTwoDigits(date.first(2));
            if (day <= 0 || offset + day > 42)
                continue;
            const QByteArrayView flag = storedText(reader.record(r + 1));
            if (flag == "1" || CalendarProcedures::IsNumericOne(Cp1252::toUnicode(flag)))
                blue[std::size_t(offset + day)] = true;
        }
    }
    // Only the markers whose state changes are shown or hidden.
    for (std::size_t i = 1; i <= 42; ++i) {
        if (calendar->Picture1[i]->isHidden() == blue[i])
            calendar->Picture1[i]->setVisible(blue[i]);
        if (calendar->Picture2[i]->isHidden() == red[i])
            calendar->Picture2[i]->setVisible(red[i]);
    }
    calendar->placeMarkers();
    calendar->describeMarkedDays();
}

void LoadDayActivities()
{
    ActivitiesWindow *w = Forms::Form4();
    const QDate date = w->DTPicker1->Value();
    const QString dayKey = AppointmentStore::DayKey(date);
    const QString birthdayKey = twoDigits(date.day()) + QLatin1Char('/') + twoDigits(date.month());

    {
        const QSignalBlocker blocker(w->Combo3);
        w->Combo3->clear();
        w->Combo1->clear();
        w->Combo2->clear();
        w->Combo4->clear();
        clearDetails(w);

        const QList<Appointment> day = AppointmentStore().ReadDayAppointments(dayKey);
        for (const Appointment &a : day) {
            w->Combo3->addItem(CalendarProcedures::TrimBlanks(a.Subject));
            w->Combo1->addItem(CalendarProcedures::TrimBlanks(a.StartTime));
            w->Combo2->addItem(CalendarProcedures::TrimBlanks(a.EndTime));
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

    const QList<BirthdayInfo> birthdays = AddressStore().ReadBirthdays();
    for (const BirthdayInfo &b : birthdays) {
        if (!b.BirthdayDate.startsWith(birthdayKey) ||
            !CalendarProcedures::IsNumericOne(b.HasBirthday))
            continue;
        const int age = date.year() - leadingNumber(b.BirthdayDate.right(4));
        w->Combo4->addItem(QStringLiteral("Birthday - ") + b.DisplayName + QStringLiteral(" ( ") +
                           QString::number(age) + QStringLiteral(" ) "));
    }
    if (w->Combo4->count() > 0)
        w->Combo4->setCurrentIndex(0);
}

void ShowAppointmentDetails()
{
    ActivitiesWindow *w = Forms::Form4();
    const QString id = AppointmentStore::DayKey(w->DTPicker1->Value()) + QLatin1Char('-') +
                       QString::number(w->Combo3->currentIndex() + 1);
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
    w->Text4->setText(CalendarProcedures::TrimBlanks(a.StartTime));
    w->Text5->setText(CalendarProcedures::TrimBlanks(a.EndTime));
    w->Check1->setCheckState(a.ReminderOn == -1 ? Qt::Checked : Qt::Unchecked);
    w->Text2->setText(CalendarProcedures::TrimBlanks(a.ReminderMinutes));
    w->Text1->setText(CalendarProcedures::TrimBlanks(a.Description));
    w->Command4->setEnabled(true);
    w->Command5->setEnabled(true);
}

void DeleteAppointment()
{
    AppointmentStore store;
    if (store.GetAppointmentCount() == 0)
        return;
    const StoreResult result = store.DeleteAppointment(Forms::Form4()->Text3->text());
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
    ActivitiesWindow *w = Forms::Form4();
    DayScheduleWindow *s = Forms::Form6();
    FlexGrid *grid = s->MSFlexGrid1;
    const QDate date = w->DTPicker1->Value();
    s->setWindowTitle(QStringLiteral("Day Schedule for - ") +
                      QLocale::system().toString(date, w->DTPicker1->displayFormat()));

    const int n = w->Combo3->count();
    // The slots run from 07:00, or from the half hour of the day's earliest start before it,
    // so that every appointment shows its time.
    int firstSlot = 7 * 60;
    for (int r = 0; r < n; ++r) {
        if (const std::optional<int> start =
                CalendarProcedures::StartMinuteOfDay(w->Combo1->itemText(r)))
            firstSlot = std::min(firstSlot, *start / 30 * 30);
    }
    QStringList headers;
    for (int minutes = firstSlot; minutes < 24 * 60; minutes += 30)
        headers.append(twoDigits(minutes / 60) + QLatin1Char(':') + twoDigits(minutes % 60));

    grid->Clear();
    grid->setCols(int(headers.size()) + 1);
    // The header row is fixed also on a day without appointments; a grid needs a row below
    // its fixed row, so one is added for the moment.
    grid->setRows(2);
    grid->setFixedRows(1);
    grid->setRows(1);
    grid->setTextMatrix(0, 0, QStringLiteral("Appointment"));
    grid->setColWidth(0, 3000);
    for (int c = 1; c <= headers.size(); ++c) {
        grid->setTextMatrix(0, c, headers[c - 1]);
        grid->setColWidth(c, 500);
    }

    if (n == 0)
        return;
    // A slot is taken when start <= slot < end, all compared as texts, with a one-digit hour
    // read as its two-digit form.
    auto occupies = [&](int r, const QString &slot) {
        return QString::compare(
                   slot, CalendarProcedures::TwoDigitTime(w->Combo1->itemText(r - 1))) >= 0 &&
               QString::compare(slot,
                                CalendarProcedures::TwoDigitTime(w->Combo2->itemText(r - 1))) < 0;
    };
    for (int r = 1; r <= n; ++r) {
        grid->AddItem(w->Combo3->itemText(r - 1));
        for (int c = 1; c <= headers.size(); ++c) {
            if (occupies(r, headers[c - 1]))
                grid->setCellBackColor(r, c, kBlue);
        }
    }
    grid->AddItem(QStringLiteral("Total Occupation"));
    grid->setCellBackColor(n + 1, 0, kLightCyan);
    for (int c = 1; c <= headers.size(); ++c) {
        int taken = 0;
        for (int r = 1; r <= n; ++r)
            taken += occupies(r, headers[c - 1]) ? 1 : 0;
        if (taken == 1)
            grid->setCellBackColor(n + 1, c, kRed);
        else if (taken > 1)
            grid->setCellBackColor(n + 1, c, kDarkRed);
    }
}

void CheckReminders()
{
    // The launcher's modal file dialog is open: the next check catches up.
    if (FileDialogOpen != 0)
        return;
    ReminderWindow *popup = Forms::Form8();
    const QDateTime now = Clock::Now();
    const QDate today = now.date();
    const int minuteNow = now.time().hour() * 60 + now.time().minute();
    // Reminder minutes since the previous check (from midnight on a new day) are still due,
    // as long as their appointment has not started.
    int firstMissed = 0;
    if (popup->lastCheck.isValid() && popup->lastCheck.date() == today)
        firstMissed = popup->lastCheck.time().hour() * 60 + popup->lastCheck.time().minute() + 1;
    else
        popup->shownToday.clear();
    popup->lastCheck = now;

    // The reminder table: today's appointments with a reminder, in file order.
    const QString todayKey = AppointmentStore::DayKey(today);
    QList<ReminderRow> table;
    const QList<Appointment> day = AppointmentStore().ReadDayAppointments(todayKey);
    for (const Appointment &a : day) {
        if (a.ReminderOn != -1)
            continue;
        const std::optional<int> due =
            CalendarProcedures::ReminderMinuteOfDay(a.StartTime, a.ReminderMinutes);
        if (!due)
            continue;
        ReminderRow row;
        row.row = static_cast<int>(table.size()) + 1;
        row.hour = *due / 60;
        row.minute = *due % 60;
        row.startTime = a.StartTime;
        row.endTime = a.EndTime;
        row.subject = CalendarProcedures::TrimBlanks(a.Subject);
        if (row.subject.size() > 30)
            row.subject = row.subject.left(30) + QStringLiteral(" ...");
        bool ok = false;
        row.minutes = plainNumber(
            QLocale::c().toDouble(CalendarProcedures::TrimBlanks(a.ReminderMinutes), &ok));
        row.id = a.AppointmentId;
        row.startMinute = CalendarProcedures::StartMinuteOfDay(a.StartTime).value_or(0);
        table.append(row);
    }

    // Every reminder due now is shown, in the order of the start times (file order among equal
    // ones), one after another: none is overwritten unseen.
    std::stable_sort(table.begin(), table.end(), [](const ReminderRow &a, const ReminderRow &b) {
        return a.startMinute < b.startMinute;
    });
    QList<DueReminder> due;
    for (const ReminderRow &row : table) {
        const int dueMinute = row.hour * 60 + row.minute;
        const bool inThisMinute = dueMinute == minuteNow;
        const bool missed =
            dueMinute >= firstMissed && dueMinute < minuteNow && row.startMinute > minuteNow;
        if (!inThisMinute && !missed)
            continue;
        const QString key = row.id + QLatin1Char('|') + row.startTime + QLatin1Char('|') +
                            row.minutes + QLatin1Char('|') + QString::number(dueMinute);
        if (popup->shownToday.contains(key))
            continue;
        popup->shownToday.insert(key);
        // One caught up after its minute tells the minutes really left until the start.
        const QString minutes =
            inThisMinute ? row.minutes : QString::number(std::max(1, row.startMinute - minuteNow));
        due.append({row.subject, row.startTime, row.endTime, minutes});
    }
    popup->showReminders(due);
    for (const DueReminder &reminder : due)
        ReminderNotifications::instance()->notify(reminder);
}

} // namespace Module1
