#include "calendar/reminder_notifications.h"

#include "calendar/calendar_forms.h"
#include "calendar/reminder_window.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

ReminderNotifications::ReminderNotifications(QObject *parent) : QObject(parent) {}

ReminderNotifications *ReminderNotifications::instance()
{
    static ReminderNotifications *notifications = new ReminderNotifications(qApp);
    return notifications;
}

void ReminderNotifications::notify(const CalendarLogic::DueReminder &reminder)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!m_listening) {
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
        m_listening = true;
    }
    // The subject goes into the summary, which services show as plain text. The body may be
    // taken as markup: the times and minutes from the file go into it escaped.
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Tallowby") << uint(0) << QStringLiteral("org.tallowby.Tallowby")
         << QStringLiteral("Reminder: %1").arg(reminder.subject)
         << QStringLiteral("You have a meeting in %1 minutes, from %2 to %3.")
                .arg(reminder.minutes.toHtmlEscaped(), reminder.startTime.toHtmlEscaped(),
                     reminder.endTime.toHtmlEscaped())
         << QStringList{QStringLiteral("default"), QStringLiteral("Show")}
         << QVariantMap{{QStringLiteral("category"), QStringLiteral("x-tallowby.reminder")}}
         << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid())
            m_sent.insert(reply.value());
        w->deleteLater();
    });
}

void ReminderNotifications::actionInvoked(uint id, const QString &)
{
    if (!m_sent.contains(id))
        return;
    ReminderWindow *popup = Forms::Form8();
    if (!popup->isVisible())
        return;
    popup->raise();
    popup->activateWindow();
}

void ReminderNotifications::notificationClosed(uint id, uint)
{
    m_sent.remove(id);
}
