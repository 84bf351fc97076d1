// Helpers that the calendar's windows and the Module1 procedures of this area share.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

#include <Qt>

#include <optional>

class QWidget;

namespace CalendarProcedures {

// Appends the editor's appointment (Form5). Returns false, with the message shown, when the
// store refused it; nothing was written then.
bool AddAppointment();
// Rewrites the edited appointment (Form5). Returns false, with the message shown, when the store
// refused it.
bool UpdateAppointment();

// The text with leading and trailing blanks removed (only blanks; line breaks stay).
QString TrimBlanks(const QString &text);
// "YYYYMM" of a year and month.
QString MonthKey(int year, int month);
// A 17 by 17 picture of an 11-pixel disc of that colour on white, with a letter in it ("B",
// "A") so that the two markers differ by more than their colour; the letter is white or black,
// whichever reads better on the disc. Drawn for the screen's pixel density.
QPixmap MarkerPicture(const QColor &color, QChar letter);

// The reminder's minute of the day for a start time "hh:mm" and a minutes text: the start less
// the minutes, rounded half to even; nothing when either text is not a number or the reminder
// falls on the previous day.
std::optional<int> ReminderMinuteOfDay(const QString &startTime, const QString &minutesText);
// The minute of the day of a start time "hh:mm", or nothing.
std::optional<int> StartMinuteOfDay(const QString &startTime);
// A typed time of day "h:mm" or "hh:mm" (blanks around it allowed) in its stored two-digit form
// "hh:mm"; "24:00", the end of the day, only with `endOfDay`. Nothing when the text is not a
// real time of day ("9:75", "25:00", "ab").
std::optional<QString> TimeOfDay(const QString &text, bool endOfDay);
// The text in its two-digit form when it is a time of day (24:00 included), else as it is, so
// that times compare as texts like with like.
QString TwoDigitTime(const QString &text);

// The "Reminder" box of the activities window and of the editor: ticked shows the minutes box
// and its label, unticked hides them, any other state leaves them as they are.
void ShowReminderMinutes(Qt::CheckState reminder, QWidget *minutes, QWidget *label);

} // namespace CalendarProcedures
