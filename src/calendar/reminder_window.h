// Form8: the reminder pop-up.
#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

class ReminderWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReminderWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr; // minutes
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    std::array<QLabel *, 3> Label7{}; // subject, start time, end time
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QPushButton *Command1 = nullptr; // OK

    void Command1_Click();

    // What the reminder check remembers between its runs: the moment of the last check that
    // looked at the file, and the reminders shown on that day.
    QDateTime lastCheck;
    QSet<QString> shownToday;
};
