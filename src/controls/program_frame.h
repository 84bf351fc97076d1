// What the parts of the program may ask of the program as a whole, without knowing its main
// window or one another: the app layer provides these functions and connects the links.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QtGlobal>

#include <functional>

class QMdiArea;
class QWidget;

namespace ProgramFrame {

// The main window, or nullptr before it exists.
QWidget *window();
// A window of a part that needs the user's whole attention disables the main window and
// enables it again when it closes.
void setEnabled(bool enabled);
// Shows the main window and brings it to the front.
void bringForward();
// Shows one of the four views maximized in front, as the View menu does.
void showView(QWidget *view);
// The area that holds the four views (their activation is seen there).
QMdiArea *viewArea();
// The build of the program that runs, as the size and time of last change of its file: what
// an earlier run kept for the screen is taken only from the same build, which draws and finds
// the same.
QByteArray build();

} // namespace ProgramFrame

namespace Forms {
// Whether the form of that name exists now, without creating it.
bool exists(const char *formName);
} // namespace Forms

// Procedures one part of the program runs in another, connected by the app layer at start.
namespace PartLinks {
// The calendar's MarkCalendarDays, after an address entry is saved or deleted.
inline std::function<void()> markCalendarDays;
// The calendar's CheckReminders, right after the launcher's file dialog closes.
inline std::function<void()> checkReminders;
// The date selected in the calendar, which a new address entry starts with.
inline std::function<QDate()> calendarSelectedDate;
} // namespace PartLinks

namespace Module1 {
// -1 while the launcher's open-file dialog is on screen, 0 otherwise (the reminder check
// waits for it).
inline qint16 FileDialogOpen = 0;
// 0 while an editor adds, -1 while it edits (appointment editor and address entry editor).
inline qint16 EditMode = 0;
} // namespace Module1
