// Form1: the calendar view: a month calendar with birthday and appointment markers.
#pragma once

#include <QWidget>

class CalendarWindow : public QWidget {
    Q_OBJECT
public:
    explicit CalendarWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
