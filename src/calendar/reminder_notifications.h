// Reminders also go to the desktop's notification service (org.freedesktop.Notifications on
// the session bus), beside the pop-up, so that one is seen while the program is behind other
// windows. Without a session bus or without the service the pop-up alone shows it.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>

namespace CalendarLogic {
struct DueReminder;
}

class ReminderNotifications : public QObject {
    Q_OBJECT
public:
    static ReminderNotifications *instance();

    // Sends the reminder without waiting for the service; any failure is ignored.
    void notify(const CalendarLogic::DueReminder &reminder);

private slots:
    // A click on one of our notifications brings the pop-up to the front.
    void actionInvoked(uint id, const QString &actionKey);
    void notificationClosed(uint id, uint reason);

private:
    explicit ReminderNotifications(QObject *parent = nullptr);

    bool m_listening = false;
    QSet<uint> m_sent; // ids the service gave our notifications
};
