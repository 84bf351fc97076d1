#include "calendar/appointment_editor.h"

AppointmentEditor::AppointmentEditor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Add Appointment"));
}

void AppointmentEditor::load()
{
}
