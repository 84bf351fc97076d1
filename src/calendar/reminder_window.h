// Form8: the reminder pop-up.
#pragma once

#include "calendar/calendar_logic.h"

#include <QDateTime>
#include <QList>
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

    // Shows the reminders one after another: the first at once (unless one is on screen
    // already), each next one when the one before is answered with "OK".
    void showReminders(const QList<CalendarLogic::DueReminder> &reminders);
    // Reminders waiting for the one on screen to be answered.
    const QList<CalendarLogic::DueReminder> &waiting() const { return m_waiting; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showReminder(const CalendarLogic::DueReminder &reminder);

    QList<CalendarLogic::DueReminder> m_waiting;
};
