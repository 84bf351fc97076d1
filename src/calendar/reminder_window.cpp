#include "calendar/reminder_window.h"

ReminderWindow::ReminderWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Reminder"));
}

void ReminderWindow::load()
{
}
