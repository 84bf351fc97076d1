// Form4: the activities of one day: its appointments and birthdays.
#pragma once

#include <QWidget>

class ActivitiesWindow : public QWidget {
    Q_OBJECT
public:
    explicit ActivitiesWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
