// The windows of this part, each a single instance made on first use by the app layer's
// registry (app/forms.cpp).
#pragma once

#include "controls/program_frame.h"

class CalendarWindow;
class ActivitiesWindow;
class AppointmentEditor;
class DayScheduleWindow;
class ReminderWindow;

namespace Forms {

CalendarWindow *Form1();
ActivitiesWindow *Form4();
AppointmentEditor *Form5();
DayScheduleWindow *Form6();
ReminderWindow *Form8();

} // namespace Forms
