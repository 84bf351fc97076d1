#include "shell/module1.h"

// Placeholders until the windows of this area are built.
namespace Module1 {

void MarkCalendarDays()
{
}

void LoadDayActivities()
{
}

void ShowAppointmentDetails()
{
}

void DeleteAppointment()
{
}

void AddAppointment()
{
}

void UpdateAppointment()
{
}

void FillDaySchedule()
{
}

void CheckReminders()
{
}

} // namespace Module1
