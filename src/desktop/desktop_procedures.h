// The launcher's hook for the reminder check that it runs after each close of its open-file
// dialog. It is Module1::CheckReminders; tests put their own function in its place.
#pragma once

#include <functional>

extern std::function<void()> DesktopReminderCheck;
