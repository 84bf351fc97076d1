#include "calendar/calendar_logic.h"

#include "data/stored_text.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The plain decimal text of a number of minutes: "15", "7.5".
QString plainNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 15);
}

// The number at the start of a text (blanks before it skipped), as a plain reading of digits;
// 0 when it does not begin with one.
int leadingNumber(const QString &text)
{
    const QString t = StoredText::trimBlanks(text);
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

} // namespace

namespace CalendarLogic {

std::optional<int> StartMinuteOfDay(const QString &startTime)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(StoredText::trimBlanks(startTime));
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
    const double n = QLocale::c().toDouble(StoredText::trimBlanks(minutesText), &ok);
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

int DayOneOffset(int year, int month)
{
    const int offset = QDate(year, month, 1).dayOfWeek() % 7;
    return offset == 0 ? 7 : offset;
}

QDate CellDate(int year, int month, int cell)
{
    return QDate(year, month, 1).addDays(cell - 1 - DayOneOffset(year, month));
}

MarkedCells MarkedCellsOfMonth(int year, int month, const QList<int> &appointmentDays,
                               const QList<int> &birthdayDays)
{
    MarkedCells cells;
    const int offset = DayOneOffset(year, month);
    const auto mark = [offset](std::array<bool, 43> &marks, const QList<int> &days) {
        for (const int day : days) {
            if (day >= 1 && offset + day <= 42)
                marks[std::size_t(offset + day)] = true;
        }
    };
    mark(cells.appointments, appointmentDays);
    mark(cells.birthdays, birthdayDays);
    return cells;
}

QStringList BirthdayLines(const QList<BirthdayInfo> &birthdays, const QDate &date)
{
    const QString key = twoDigits(date.day()) + QLatin1Char('/') + twoDigits(date.month());
    QStringList lines;
    for (const BirthdayInfo &b : birthdays) {
        if (!b.BirthdayDate.startsWith(key) || !AddressStore::FlagIsOne(b.HasBirthday))
            continue;
        const int age = date.year() - leadingNumber(b.BirthdayDate.right(4));
        lines.append(QStringLiteral("Birthday - ") + b.DisplayName + QStringLiteral(" ( ") +
                     QString::number(age) + QStringLiteral(" ) "));
    }
    return lines;
}

DaySchedule ScheduleOfDay(const QList<Appointment> &day)
{
    DaySchedule s;
    int firstSlot = 7 * 60;
    for (const Appointment &a : day) {
        if (const std::optional<int> start = StartMinuteOfDay(a.StartTime))
            firstSlot = std::min(firstSlot, *start / 30 * 30);
    }
    for (int minutes = firstSlot; minutes < 24 * 60; minutes += 30)
        s.slotTimes.append(twoDigits(minutes / 60) + QLatin1Char(':') + twoDigits(minutes % 60));
    s.occupation = QList<int>(s.slotTimes.size(), 0);
    for (const Appointment &a : day) {
        const QString start = TwoDigitTime(StoredText::trimBlanks(a.StartTime));
        const QString end = TwoDigitTime(StoredText::trimBlanks(a.EndTime));
        QList<bool> row(s.slotTimes.size(), false);
        for (qsizetype c = 0; c < s.slotTimes.size(); ++c) {
            row[c] = QString::compare(s.slotTimes[c], start) >= 0 &&
                     QString::compare(s.slotTimes[c], end) < 0;
            s.occupation[c] += row[c] ? 1 : 0;
        }
        s.subjects.append(StoredText::trimBlanks(a.Subject));
        s.occupied.append(row);
    }
    return s;
}

QList<DueReminder> DueReminders(const QList<Appointment> &today, const QDateTime &now,
                                ReminderState &state)
{
    const int minuteNow = now.time().hour() * 60 + now.time().minute();
    // Reminder minutes since the previous check (from midnight on a new day) are still due, as
    // long as their appointment has not started.
    int firstMissed = 0;
    if (state.lastCheck.isValid() && state.lastCheck.date() == now.date())
        firstMissed = state.lastCheck.time().hour() * 60 + state.lastCheck.time().minute() + 1;
    else
        state.shownToday.clear();
    state.lastCheck = now;

    struct Row {
        const Appointment *a;
        int due;
        int start;
        QString minutes;
    };
    QList<Row> rows;
    for (const Appointment &a : today) {
        if (a.ReminderOn != -1)
            continue;
        const std::optional<int> due = ReminderMinuteOfDay(a.StartTime, a.ReminderMinutes);
        if (!due)
            continue;
        bool ok = false;
        const QString minutes =
            plainNumber(QLocale::c().toDouble(StoredText::trimBlanks(a.ReminderMinutes), &ok));
        rows.append({&a, *due, StartMinuteOfDay(a.StartTime).value_or(0), minutes});
    }
    // In the order of the start times, file order among equal ones.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row &x, const Row &y) { return x.start < y.start; });

    QList<DueReminder> due;
    for (const Row &row : rows) {
        const bool inThisMinute = row.due == minuteNow;
        const bool missed = row.due >= firstMissed && row.due < minuteNow && row.start > minuteNow;
        if (!inThisMinute && !missed)
            continue;
        const QString key = row.a->AppointmentId + QLatin1Char('|') + row.a->StartTime +
                            QLatin1Char('|') + row.minutes + QLatin1Char('|') +
                            QString::number(row.due);
        if (state.shownToday.contains(key))
            continue;
        state.shownToday.insert(key);
        QString subject = StoredText::trimBlanks(row.a->Subject);
        if (subject.size() > 30)
            subject = subject.left(30) + QStringLiteral(" ...");
        // One caught up after its minute tells the minutes really left until the start.
        due.append(
            {subject, row.a->StartTime, row.a->EndTime,
             inThisMinute ? row.minutes : QString::number(std::max(1, row.start - minuteNow))});
    }
    return due;
}

} // namespace CalendarLogic
