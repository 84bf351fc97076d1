#include "calendar/activities_window.h"

ActivitiesWindow::ActivitiesWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Activities"));
}

void ActivitiesWindow::load()
{
}
