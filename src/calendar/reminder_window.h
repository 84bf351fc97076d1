// Form8: the reminder pop-up.
#pragma once

#include <QWidget>

class ReminderWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReminderWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
