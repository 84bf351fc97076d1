// The shared procedures and variables of the program. Each part declares its own procedures
// (calendar/, addressbook/, notes/, desktop/, help/); the variables that two parts share stand
// in controls/program_frame.h. Here are start-up's, and everything at once for the app layer.
#pragma once

#include "addressbook/addressbook_procedures.h"
#include "calendar/calendar_procedures.h"
#include "controls/program_frame.h"
#include "desktop/desktop_procedures.h"
#include "help/help_procedures.h"
#include "notes/notes_procedures.h"

#include <QString>

namespace Module1 {

// The folder of the four data files, fixed at start-up.
inline QString DataFolder;

bool OpenDataFiles(QString *error = nullptr);
void CloseDataFiles();
void ExitProgram();

} // namespace Module1
