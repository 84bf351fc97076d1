// The shared procedures and variables of the program. The procedures take their inputs from
// the windows' controls and write their results into them; each subsystem defines its own
// (calendar/, addressbook/, notes/, desktop/, help/, shell/).
#pragma once

#include "calendar/calendar_logic.h"

#include <QString>
#include <QStringList>

namespace Module1 {

// The folder of the four data files, fixed at start-up.
inline QString DataFolder;
// -1 while the launcher's open-file dialog is on screen, 0 otherwise.
inline qint16 FileDialogOpen = 0;
// 0 while an editor adds, -1 while it edits (appointment editor and address entry editor).
inline qint16 EditMode = 0;
// What the reminder check keeps between its runs (not the pop-up's business).
inline CalendarLogic::ReminderState Reminders;
// Caption and program path of each launcher button, by position, as of the last rebuild.
inline QStringList ButtonCaptions;
inline QStringList ButtonPaths;

// shell/
bool OpenDataFiles(QString *error = nullptr);
void CloseDataFiles();
void ExitProgram();

// calendar/
void MarkCalendarDays();
void LoadDayActivities();
void ShowAppointmentDetails();
void DeleteAppointment();
void AddAppointment();
void UpdateAppointment();
void FillDaySchedule();
void CheckReminders();

// addressbook/
void FillAddressList();
void ShowAddressDetails();
void DeleteAddressEntry();
void AddAddressEntry();

// notes/
void LoadNoteList();
void SaveNote();
void ViewNote();
void DeleteNote();

// desktop/
void LoadDesktopButtons();
void AddDesktopButton();
QString CaptionFromPath(const QString &path);
void DeleteDesktopButton();
void ChangeDesktopButtonIcon();

// help/
void BuildHelpTopics();
void ShowHelpPage(int page);

} // namespace Module1
