// Reminders sent to the desktop's notification service, tried against a stand-in for the
// service on a private session bus (the test runs under dbus-run-session).
#include "calendar/reminder_window.h"
#include "calendar_fixtures.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QPushButton>

using namespace Fixtures;

namespace {

const QDate kToday(2024, 1, 5);

// The notification service as far as the program uses it.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown; // "summary | body | actions"

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &, int)
    {
        shown.append(summary + " | " + body + " | " + actions.join(u','));
        return uint(shown.size());
    }
};

} // namespace

class ReminderNotificationsTest : public QObject {
    Q_OBJECT
private slots:
    void aReminderIsAlsoADesktopNotification()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        QDBusConnection service =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-service");
        FakeNotifications fake;
        QVERIFY(service.registerObject("/org/freedesktop/Notifications", &fake,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.Notifications"));

        TestEnvironment env;
        QVERIFY(startOn(env, kToday, QTime(9, 0)));
        appointment("20240105-1", "<b>Budget</b> review", "10:00", "11:00", true, "15");
        env.setNow(QDateTime(kToday, QTime(9, 45, 10)));
        env.mainWindow()->Timer1_Timer();
        ReminderWindow *popup = Forms::Form8();
        QVERIFY(popup->isVisible());
        QTRY_COMPARE(fake.shown,
                     QStringList{"Reminder: <b>Budget</b> review | You have a meeting in 15 "
                                 "minutes, from 10:00 to 11:00. | default,Show"});

        // A click on the notification brings the pop-up to the front.
        env.mainWindow()->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() != popup);
        QDBusMessage click = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        click << uint(1) << QStringLiteral("default");
        QVERIFY(service.send(click));
        QTRY_COMPARE(QApplication::activeWindow(), popup);
        popup->Command1->click();
        QDBusConnection::disconnectFromBus("fake-service");
    }
};

QTEST_MAIN(ReminderNotificationsTest)
#include "tst_reminder_notifications.moc"
