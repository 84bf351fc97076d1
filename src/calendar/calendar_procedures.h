// Helpers that the calendar's windows and the Module1 procedures of this area share.
#pragma once

#include "calendar/calendar_logic.h"

#include <QColor>
#include <QPixmap>
#include <QString>

#include <Qt>

#include <optional>

class QWidget;

namespace Module1 {
// What the reminder check keeps between its runs (not the pop-up's business).
inline CalendarLogic::ReminderState Reminders;

// Where the marks of the month a start opens on are kept between runs (KeptMonthMarks), so
// that a start whose files have not changed since need not read them whole; empty: nowhere.
inline QString KeptMarksFile;
// Whether the next MarkCalendarDays may take its marks from there: start-up's first marking
// only, since every later one follows a change or a step to another month.
inline bool TakeKeptMarks = false;

void MarkCalendarDays();
// Keeps the marks of today's month, the one the next start opens on, when they are not kept
// already (at the end of the program; the files have usually stood still for a while then).
void KeepMarksForNextStart();
void LoadDayActivities();
void ShowAppointmentDetails();
void DeleteAppointment();
void AddAppointment();
void UpdateAppointment();
void FillDaySchedule();
void CheckReminders();
} // namespace Module1

namespace CalendarProcedures {

// The id of the appointment chosen in the activities window: its day and the place of the
// chosen subject in the day's list.
QString ChosenAppointmentId();

// Appends the editor's appointment (Form5). Returns false, with the message shown, when the
// store refused it; nothing was written then.
bool AddAppointment();
// Rewrites the edited appointment (Form5). Returns false, with the message shown, when the store
// refused it.
bool UpdateAppointment();

// "YYYYMM" of a year and month.
QString MonthKey(int year, int month);
// A 17 by 17 picture of an 11-pixel disc of that colour on white, with a letter in it ("B",
// "A") so that the two markers differ by more than their colour; the letter is white or black,
// whichever reads better on the disc. Drawn for the screen's pixel density.
QPixmap MarkerPicture(const QColor &color, QChar letter);

// The "Reminder" box of the activities window and of the editor: ticked shows the minutes box
// and its label, unticked hides them, any other state leaves them as they are.
void ShowReminderMinutes(Qt::CheckState reminder, QWidget *minutes, QWidget *label);
// Opens the day of an appointment ("yyyymmdd-n") in the activities window, as a double-click on
// the day does, with that appointment chosen.
void OpenAppointment(const QString &id);

} // namespace CalendarProcedures
