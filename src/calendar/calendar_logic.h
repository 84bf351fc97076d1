// What the calendar decides, as functions over store data that touch no window: typed times,
// the rows of a day's schedule, and the reminders due at a check. The windows show the results.
#pragma once

#include "data/address_store.h"
#include "data/appointment_store.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace CalendarLogic {

// The minute of the day of a time "h:mm" or "hh:mm" (blanks around it allowed, any hour up to
// 99), or nothing.
std::optional<int> StartMinuteOfDay(const QString &startTime);
// A typed time of day "h:mm" or "hh:mm" (blanks around it allowed) in its stored two-digit form
// "hh:mm"; "24:00", the end of the day, only with `endOfDay`. Nothing when the text is not a
// real time of day ("9:75", "25:00", "ab").
std::optional<QString> TimeOfDay(const QString &text, bool endOfDay);
// The text in its two-digit form when it is a time of day (24:00 included), else as it is, so
// that times compare as texts like with like.
QString TwoDigitTime(const QString &text);
// The reminder's minute of the day for a start time and a minutes text: the start less the
// minutes, rounded half to even; nothing when either text is not a number or the reminder
// falls on the previous day.
std::optional<int> ReminderMinuteOfDay(const QString &startTime, const QString &minutesText);

// The month view's layout: day d of a month stands in cell DayOneOffset + d (cells 1 to 42, six
// rows of seven from Sunday). The offset is the weekday of the first counted from Sunday, a
// whole week when the month begins on a Sunday.
int DayOneOffset(int year, int month);
// The date shown in cell 1 to 42 of a month's view, greyed days before and after included.
QDate CellDate(int year, int month, int cell);
// The cells (1 to 42; index 0 unused) of a month's view that carry a marker: a day with
// appointments, a day that is somebody's birthday.
struct MarkedCells {
    std::array<bool, 43> appointments{};
    std::array<bool, 43> birthdays{};
};
MarkedCells MarkedCellsOfMonth(int year, int month, const QList<int> &appointmentDays,
                               const QList<int> &birthdayDays);
// The birthdays of a day as its activities list them, "Birthday - <name> ( <age> ) ": entries
// whose date begins with the day and month as dd/mm and whose flag is the number 1, the age
// counted from the number that the date's last four characters begin with.
QStringList BirthdayLines(const QList<BirthdayInfo> &birthdays, const QDate &date);

// A day's schedule: half-hour slotTimes from 07:00 (or from the half hour of the day's earliest
// start before it) to 23:30; a row per appointment with the slotTimes it takes (start <= slot <
// end, compared as two-digit texts); and how many appointments take each slot.
struct DaySchedule {
    QStringList slotTimes;
    QStringList subjects;        // trimmed, in the day's order
    QList<QList<bool>> occupied; // [row][slot]
    QList<int> occupation;       // [slot]
};
DaySchedule ScheduleOfDay(const QList<Appointment> &day);

// One reminder as the pop-up shows it.
struct DueReminder {
    QString subject; // trimmed, cut after 30 characters with " ..."
    QString startTime;
    QString endTime;
    QString minutes; // the number in "You have a meeting in N minutes."
};

// What the reminder check keeps between its runs: the moment of the last check, and the
// reminders given on that day (so that none is given twice).
struct ReminderState {
    QDateTime lastCheck;
    QSet<QString> shownToday;
};

// The reminders due at `now` among today's appointments: those whose minute is now, and those
// missed since the last check while their appointment has not started yet (with the whole
// minutes really left). In the order of their start times; none that `state` has seen already.
// Updates `state`.
QList<DueReminder> DueReminders(const QList<Appointment> &today, const QDateTime &now,
                                ReminderState &state);

} // namespace CalendarLogic
