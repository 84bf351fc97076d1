// Form5: the appointment editor.
#pragma once

#include <QWidget>

class AppointmentEditor : public QWidget {
    Q_OBJECT
public:
    explicit AppointmentEditor(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
