// The program's windows, each a single instance addressed by its form name. A window is
// created on first use (its load() runs then) and afterwards only hidden and shown. The four
// views live inside the main window; every other window is a top-level window of its own.
#pragma once

#include <QDate>

class MainWindow;
class AboutBox;
class CalendarWindow;
class NotesWindow;
class AddressBookWindow;
class ActivitiesWindow;
class AppointmentEditor;
class DayScheduleWindow;
class AddressEntryEditor;
class ReminderWindow;
class DesktopWindow;
class DeleteButtonDialog;
class ChangeIconDialog;
class HelpTopicsWindow;
class HelpViewerWindow;

namespace Forms {

// The main window, or nullptr when none exists.
MainWindow *MDIForm1();
AboutBox *frmSplash();
CalendarWindow *Form1();
NotesWindow *Form2();
AddressBookWindow *Form3();
ActivitiesWindow *Form4();
AppointmentEditor *Form5();
DayScheduleWindow *Form6();
AddressEntryEditor *Form7();
ReminderWindow *Form8();
DesktopWindow *Form9();
DeleteButtonDialog *Form10();
ChangeIconDialog *Form11();
HelpTopicsWindow *Form12();
HelpViewerWindow *Form13();

// The date selected in the calendar window: one part of the program reads another's window
// only through these functions.
QDate CalendarSelectedDate();

// Whether the form of that name exists now, without creating it.
bool exists(const char *formName);

// Called by the main window as it is built and destroyed.
void registerMainWindow(MainWindow *window);
// Destroys every window but the main window (tests use it to start afresh).
void destroyTopLevelForms();

} // namespace Forms
