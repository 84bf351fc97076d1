// The reminder check: when an appointment's reminder falls due, what the pop-up shows, and
// the minutes it catches up on.
#include "calendar/reminder_window.h"
#include "calendar_fixtures.h"
#include "shell/forms.h"
#include "shell/main_window.h"
#include "shell/module1.h"
#include "test_support.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const QDate kToday(2024, 1, 5);

struct Reminder {
    QString subject;
    QString start;
    QString end;
    QString minutes;
};

// One tick of the main window's timer at hh:mm today. Returns whether the pop-up came up
// (it is hidden again after being looked at).
bool tickAt(TestEnvironment &env, int hour, int minute, Reminder *shown = nullptr)
{
    env.setNow(QDateTime(kToday, QTime(hour, minute, 20)));
    env.mainWindow()->Timer1_Timer();
    ReminderWindow *popup = Forms::Form8();
    const bool up = popup->isVisible();
    if (up && shown)
        *shown = {popup->Label7[0]->text(), popup->Label7[1]->text(), popup->Label7[2]->text(),
                  popup->Label2->text()};
    popup->Command1->click();
    return up;
}

void start(TestEnvironment &env)
{
    env.setNow(QDateTime(kToday, QTime(0, 0)));
    QVERIFY(env.startProgram());
}

} // namespace

class RemindersTest : public QObject {
    Q_OBJECT
private slots:
    void dueMinute_data();
    void dueMinute();
    void popupShowsTheAppointment();
    void longSubjectIsCut();
    void twoDueInOneMinuteLeaveTheLaterOne();
    void otherDaysAndUntickedRemindersNeverShow();
    void missedMinutesAreCaughtUpBeforeTheStart_data();
    void missedMinutesAreCaughtUpBeforeTheStart();
    void noReminderShowsTwice();
    void nothingWhileTheFileDialogIsOpen();
    void textsThatAreNoNumbersGiveNoReminder();
};

void RemindersTest::dueMinute_data()
{
    QTest::addColumn<QString>("startTime");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QTime>("due");
    QTest::newRow("10:30 with 15") << "10:30"
                                   << "15" << QTime(10, 15);
    QTest::newRow("10:00 with 15 borrows an hour") << "10:00"
                                                   << "15" << QTime(9, 45);
    QTest::newRow("N = 0 at the start") << "10:00"
                                        << "0" << QTime(10, 0);
    QTest::newRow("N = 60") << "10:00"
                            << "60" << QTime(9, 0);
    QTest::newRow("more than an hour borrows as many as needed") << "10:10"
                                                                 << "150" << QTime(7, 40);
    QTest::newRow("halves round to even: 2.5") << "10:00"
                                               << "2.5" << QTime(9, 58);
    QTest::newRow("halves round to even: 1.5") << "10:00"
                                               << "1.5" << QTime(9, 58);
    QTest::newRow("halves round to even: 0.5") << "10:00"
                                               << "0.5" << QTime(10, 0);
    QTest::newRow("hour 00") << "00:40"
                             << "30" << QTime(0, 10);
}

void RemindersTest::dueMinute()
{
    QFETCH(QString, startTime);
    QFETCH(QString, minutes);
    QFETCH(QTime, due);
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240105-1", "Meeting", startTime, "23:00", true, minutes);
    const QTime before = due.addSecs(-60);
    if (due.hour() > 0)
        QVERIFY(!tickAt(env, before.hour(), before.minute()));
    Reminder shown;
    QVERIFY(tickAt(env, due.hour(), due.minute(), &shown));
    QCOMPARE(shown.minutes, minutes);
    QVERIFY(!tickAt(env, due.hour(), due.minute() + 1));
}

void RemindersTest::popupShowsTheAppointment()
{
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240105-1", "  Budget review ", "10:00", "11:00", true, "15");
    QVERIFY(!tickAt(env, 9, 44));
    env.setNow(QDateTime(kToday, QTime(9, 45)));
    env.mainWindow()->Timer1_Timer();
    ReminderWindow *popup = Forms::Form8();
    QVERIFY(popup->isVisible());
    QVERIFY(popup->isWindow());
    QCOMPARE(popup->windowTitle(), QStringLiteral("Reminder"));
    QCOMPARE(popup->Label1->text(), QStringLiteral("You have a meeting in"));
    QCOMPARE(popup->Label2->text(), QStringLiteral("15"));
    QCOMPARE(popup->Label3->text(), QStringLiteral("minutes."));
    QCOMPARE(popup->Label7[0]->text(), QStringLiteral("Budget review"));
    QCOMPARE(popup->Label7[1]->text(), QStringLiteral("10:00"));
    QCOMPARE(popup->Label7[2]->text(), QStringLiteral("11:00"));
    popup->Command1->click();
    QVERIFY(!popup->isVisible());
}

void RemindersTest::longSubjectIsCut()
{
    TestEnvironment env;
    start(env);
    const QString subject = QStringLiteral("0123456789abcdefghijABCDEFGHIJ!"); // 31 characters
    Fixtures::appointment("20240105-1", subject, "10:00", "11:00", true, "15");
    Reminder shown;
    QVERIFY(tickAt(env, 9, 45, &shown));
    QCOMPARE(shown.subject, subject.left(30) + QStringLiteral(" ..."));
}

void RemindersTest::twoDueInOneMinuteLeaveTheLaterOne()
{
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240105-1", "First", "10:00", "11:00", true, "15");
    Fixtures::appointment("20240105-2", "Second", "10:15", "11:00", true, "30");
    Reminder shown;
    QVERIFY(tickAt(env, 9, 45, &shown));
    QCOMPARE(shown.subject, QStringLiteral("Second"));
    QCOMPARE(shown.minutes, QStringLiteral("30"));
}

void RemindersTest::otherDaysAndUntickedRemindersNeverShow()
{
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240106-1", "Tomorrow", "10:00", "11:00", true, "15");
    Fixtures::appointment("20240105-1", "Unticked", "10:00", "11:00", false, "15");
    for (int minute = 40; minute < 60; ++minute)
        QVERIFY(!tickAt(env, 9, minute));
}

void RemindersTest::missedMinutesAreCaughtUpBeforeTheStart_data()
{
    QTest::addColumn<QTime>("nextCheck");
    QTest::addColumn<bool>("shown");
    QTest::newRow("a missed minute, meeting still ahead") << QTime(9, 50) << true;
    QTest::newRow("the meeting has started") << QTime(10, 0) << false;
    QTest::newRow("the meeting is over") << QTime(10, 30) << false;
}

void RemindersTest::missedMinutesAreCaughtUpBeforeTheStart()
{
    QFETCH(QTime, nextCheck);
    QFETCH(bool, shown);
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240105-1", "Meeting", "10:00", "11:00", true, "15");
    QVERIFY(!tickAt(env, 9, 40));
    // The machine was busy from 09:41 on: the next check comes late.
    QCOMPARE(tickAt(env, nextCheck.hour(), nextCheck.minute()), shown);
}

void RemindersTest::noReminderShowsTwice()
{
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240105-1", "Meeting", "10:00", "11:00", true, "15");
    QVERIFY(tickAt(env, 9, 45));
    // A second check within the same minute (the timer drifts), then later ones.
    QVERIFY(!tickAt(env, 9, 45));
    QVERIFY(!tickAt(env, 9, 46));
    QVERIFY(!tickAt(env, 9, 50));
}

void RemindersTest::nothingWhileTheFileDialogIsOpen()
{
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240105-1", "Meeting", "10:00", "11:00", true, "15");
    QVERIFY(!tickAt(env, 9, 44));
    Module1::FileDialogOpen = -1;
    QVERIFY(!tickAt(env, 9, 45));
    QVERIFY(!tickAt(env, 9, 47));
    Module1::FileDialogOpen = 0;
    // The launcher checks right after its dialog closes.
    env.setNow(QDateTime(kToday, QTime(9, 48)));
    Module1::CheckReminders();
    QVERIFY(Forms::Form8()->isVisible());
}

void RemindersTest::textsThatAreNoNumbersGiveNoReminder()
{
    TestEnvironment env;
    start(env);
    Fixtures::appointment("20240105-1", "Bad minutes", "10:00", "11:00", true, "soon");
    Fixtures::appointment("20240105-2", "Bad start", "ten", "11:00", true, "15");
    Fixtures::appointment("20240105-3", "Empty minutes", "10:00", "11:00", true, "");
    Fixtures::appointment("20240105-4", "Yesterday's minute", "00:10", "01:00", true, "15");
    Fixtures::appointment("20240105-5", "Good", "10:00", "11:00", true, "15");
    QVERIFY(!tickAt(env, 0, 0));
    Reminder shown;
    QVERIFY(tickAt(env, 9, 45, &shown));
    QCOMPARE(shown.subject, QStringLiteral("Good"));
    // The day's last minute: the reminder of 00:10 fell on the day before and never shows.
    QVERIFY(!tickAt(env, 23, 55));
}

QTEST_MAIN(RemindersTest)
#include "tst_reminders.moc"
