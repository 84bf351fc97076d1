// Form6: the half-hour schedule of one day.
#pragma once

#include <QWidget>

class DayScheduleWindow : public QWidget {
    Q_OBJECT
public:
    explicit DayScheduleWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
