#include "calendar/calendar_window.h"

CalendarWindow::CalendarWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Calendar"));
}

void CalendarWindow::load()
{
}
