// The program's windows, each a single instance addressed by its form name. A window is
// created on first use (its load() runs then) and afterwards only hidden and shown. The four
// views live inside the main window; every other window is a top-level window of its own.
#pragma once

#include "addressbook/addressbook_forms.h"
#include "calendar/calendar_forms.h"
#include "controls/program_frame.h"
#include "desktop/desktop_forms.h"
#include "find/find_forms.h"
#include "help/help_forms.h"
#include "notes/notes_forms.h"

#include <QDate>

class MainWindow;
class AboutBox;

namespace Forms {

// The main window, or nullptr when none exists.
MainWindow *MDIForm1();
AboutBox *frmSplash();

// The date selected in the calendar window.
QDate CalendarSelectedDate();

// Called by the main window as it is built and destroyed.
void registerMainWindow(MainWindow *window);
// Destroys every window but the main window (tests use it to start afresh).
void destroyTopLevelForms();

} // namespace Forms
