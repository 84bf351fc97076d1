// Reminders on the timer's tick: what the pop-up shows, several due at once one after another,
// no check while the launcher's file dialog is open, and each reminder also sent to the
// desktop's notification service, tried against a stand-in for the service on a private session
// bus (the test runs under dbus-run-session). Which reminders are due is tested without a window
// (tst_calendar_logic).
#include "calendar_fixtures.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>

using namespace Fixtures;

namespace {

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
    void popupAndDesktopNotification()
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
        QVERIFY(startOn(env, kDay, QTime(0, 0)));
        appointment("20240105-1", "  <b>Budget</b> review ", "10:00", "11:00", true, "15");
        appointment("20240105-2", "Lunch", "10:15", "11:00", true, "30");
        // Nothing while the launcher's file dialog is open; its close checks at once.
        Module1::FileDialogOpen = -1;
        env.setNow(QDateTime(kDay, QTime(9, 45, 20)));
        env.mainWindow()->Timer1_Timer();
        ReminderWindow *popup = Forms::Form8();
        QVERIFY(!popup->isVisible());
        Module1::FileDialogOpen = 0;
        env.setNow(QDateTime(kDay, QTime(9, 45, 40)));
        Module1::CheckReminders();
        QVERIFY(popup->isVisible() && popup->isWindow());
        auto texts = [popup] {
            return QStringList{popup->windowTitle(),     popup->Label1->text(),
                               popup->Label2->text(),    popup->Label3->text(),
                               popup->Label7[0]->text(), popup->Label7[1]->text(),
                               popup->Label7[2]->text(), popup->accessibleDescription()};
        };
        QCOMPARE(texts(), (QStringList{"Reminder", "You have a meeting in", "15", "minutes.",
                                       "<b>Budget</b> review", "10:00", "11:00",
                                       "You have a meeting in 15 minutes. <b>Budget</b> review, "
                                       "10:00 to 11:00"}));
        // Every reminder due goes to the service, its subject only in the summary.
        QTRY_COMPARE(fake.shown,
                     (QStringList{"Reminder: <b>Budget</b> review | You have a meeting in 15 "
                                  "minutes, from 10:00 to 11:00. | default,Show",
                                  "Reminder: Lunch | You have a meeting in 30 minutes, from "
                                  "10:15 to 11:00. | default,Show"}));

        // A click on the notification brings the pop-up to the front.
        env.mainWindow()->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() != popup);
        QDBusMessage click = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        click << uint(1) << QStringLiteral("default");
        QVERIFY(service.send(click));
        QTRY_COMPARE(QApplication::activeWindow(), popup);
        // The second one due in the same check comes up when the first is answered.
        popup->Command1->click();
        QCOMPARE(texts(), (QStringList{"Reminder", "You have a meeting in", "30", "minutes.",
                                       "Lunch", "10:15", "11:00",
                                       "You have a meeting in 30 minutes. Lunch, 10:15 to 11:00"}));
        popup->Command1->click();
        QVERIFY(!popup->isVisible());
        QDBusConnection::disconnectFromBus("fake-service");
    }
};

QTEST_MAIN(ReminderNotificationsTest)
#include "tst_reminder_notifications.moc"
