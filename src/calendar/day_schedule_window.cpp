#include "calendar/day_schedule_window.h"

DayScheduleWindow::DayScheduleWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Day Schedule"));
}

void DayScheduleWindow::load()
{
}
