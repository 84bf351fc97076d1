// The reminder check: when an appointment's reminder falls due, what the pop-up shows, and
// the minutes it catches up on.
#include "calendar/reminder_window.h"
#include "calendar_fixtures.h"
#include "shell/module1.h"

#include <QPushButton>

using namespace Fixtures;

namespace {

const QDate kToday(2024, 1, 5);

// One tick of the main window's timer at hh:mm today. Returns "subject start end minutes" of
// each reminder the pop-up showed, one after another as each is answered with "OK", joined by
// " / "; an empty text when none came up.
QString tickAt(TestEnvironment &env, QTime at)
{
    env.setNow(QDateTime(kToday, at.addSecs(20)));
    env.mainWindow()->Timer1_Timer();
    ReminderWindow *popup = Forms::Form8();
    QStringList shown;
    for (int guard = 0; popup->isVisible() && guard < 10; ++guard) {
        shown.append(QStringList{popup->Label7[0]->text(), popup->Label7[1]->text(),
                                 popup->Label7[2]->text(), popup->Label2->text()}
                         .join(u' '));
        popup->Command1->click();
    }
    return shown.join(QStringLiteral(" / "));
}

} // namespace

class RemindersTest : public QObject {
    Q_OBJECT
private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }
    void dueMinute_data();
    void dueMinute();
    void ticks_data();
    void ticks();
    void popupTexts();
    void nothingWhileTheFileDialogIsOpen();

private:
    std::unique_ptr<TestEnvironment> env;
};

void RemindersTest::dueMinute_data()
{
    QTest::addColumn<QString>("startTime");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QTime>("due");
    auto row = [](const char *name, const QString &start, const QString &minutes, QTime due) {
        QTest::newRow(name) << start << minutes << due;
    };
    row("10:30 with 15", "10:30", "15", QTime(10, 15));
    row("10:00 with 15 borrows an hour", "10:00", "15", QTime(9, 45));
    row("N = 0 at the start", "10:00", "0", QTime(10, 0));
    row("N = 60", "10:00", "60", QTime(9, 0));
    row("more than an hour borrows as many as needed", "10:10", "150", QTime(7, 40));
    row("halves round to even: 2.5", "10:00", "2.5", QTime(9, 58));
    row("halves round to even: 1.5", "10:00", "1.5", QTime(9, 58));
    row("halves round to even: 0.5", "10:00", "0.5", QTime(10, 0));
    row("hour 00", "00:40", "30", QTime(0, 10));
}

void RemindersTest::dueMinute()
{
    QFETCH(QString, startTime);
    QFETCH(QString, minutes);
    QFETCH(QTime, due);
    QVERIFY(startOn(*env, kToday, QTime(0, 0)));
    appointment("20240105-1", "Meeting", startTime, "23:00", true, minutes);
    if (due.hour() > 0)
        QCOMPARE(tickAt(*env, due.addSecs(-60)), QString());
    QCOMPARE(tickAt(*env, due), QStringLiteral("Meeting %1 23:00 %2").arg(startTime, minutes));
    QCOMPARE(tickAt(*env, due.addSecs(60)), QString());
}

void RemindersTest::ticks_data()
{
    QTest::addColumn<QStringList>("appointments"); // "id|subject|start|end|ticked|minutes"
    QTest::addColumn<QStringList>("ticks");        // "hh:mm" or "hh:mm=what the pop-up shows"
    const QString meeting = "20240105-1|Meeting|10:00|11:00|1|15";
    QTest::newRow("a missed minute is caught up while the meeting is ahead")
        << QStringList{meeting} << QStringList{"09:40", "09:50=Meeting 10:00 11:00 10"};
    QTest::newRow("not once the meeting has started")
        << QStringList{meeting} << QStringList{"09:40", "10:00"};
    QTest::newRow("not once the meeting is over")
        << QStringList{meeting} << QStringList{"09:40", "10:30"};
    QTest::newRow("no reminder shows twice, even twice in its minute")
        << QStringList{meeting}
        << QStringList{"09:45=Meeting 10:00 11:00 15", "09:45", "09:46", "09:50"};
    QTest::newRow("a long subject is cut after 30 characters")
        << QStringList{"20240105-1|0123456789abcdefghijABCDEFGHIJ!|10:00|11:00|1|15"}
        << QStringList{"09:45=0123456789abcdefghijABCDEFGHIJ ... 10:00 11:00 15"};
    QTest::newRow("two due in one minute show one after the other by start time")
        << QStringList{"20240105-1|Second|10:15|11:00|1|30", "20240105-2|Meeting|10:00|11:00|1|15"}
        << QStringList{"09:45=Meeting 10:00 11:00 15 / Second 10:15 11:00 30", "09:46"};
    QTest::newRow("missed ones caught up together, each with its own minutes left")
        << QStringList{"20240105-1|Later|10:30|11:00|1|45", meeting}
        << QStringList{"09:40", "09:55=Meeting 10:00 11:00 5 / Later 10:30 11:00 35"};
    QTest::newRow("other days and unticked reminders never show")
        << QStringList{"20240106-1|Tomorrow|10:00|11:00|1|15",
                       "20240105-1|Unticked|10:00|11:00|0|15"}
        << QStringList{"09:44", "09:45", "09:46", "09:50", "09:59"};
    QTest::newRow("texts that are no numbers give no reminder")
        << QStringList{"20240105-1|Bad minutes|10:00|11:00|1|soon",
                       "20240105-2|Bad start|ten|11:00|1|15",
                       "20240105-3|Empty minutes|10:00|11:00|1|",
                       "20240105-4|Yesterday's minute|00:10|01:00|1|15",
                       "20240105-5|Good|10:00|11:00|1|15"}
        << QStringList{"00:00", "09:45=Good 10:00 11:00 15", "23:55"};
}

void RemindersTest::ticks()
{
    QFETCH(QStringList, appointments);
    QFETCH(QStringList, ticks);
    QVERIFY(startOn(*env, kToday, QTime(0, 0)));
    for (const QString &a : appointments) {
        const QStringList f = a.split(u'|');
        appointment(f[0], f[1], f[2], f[3], f[4] == "1", f[5]);
    }
    for (const QString &tick : ticks)
        QCOMPARE(tickAt(*env, QTime::fromString(tick.left(5), "hh:mm")), tick.mid(6));
}

void RemindersTest::popupTexts()
{
    QVERIFY(startOn(*env, kToday, QTime(0, 0)));
    appointment("20240105-1", "  Budget review ", "10:00", "11:00", true, "15");
    env->setNow(QDateTime(kToday, QTime(9, 45)));
    env->mainWindow()->Timer1_Timer();
    ReminderWindow *popup = Forms::Form8();
    QVERIFY(popup->isVisible() && popup->isWindow());
    QCOMPARE(popup->windowTitle(), QStringLiteral("Reminder"));
    const QStringList texts{popup->Label1->text(), popup->Label2->text(), popup->Label3->text(),
                            popup->Label7[0]->text()};
    QCOMPARE(texts, (QStringList{"You have a meeting in", "15", "minutes.", "Budget review"}));
    QCOMPARE(popup->accessibleDescription(),
             "You have a meeting in 15 minutes. Budget review, 10:00 to 11:00");
    popup->Command1->click();
    QVERIFY(!popup->isVisible());
}

void RemindersTest::nothingWhileTheFileDialogIsOpen()
{
    QVERIFY(startOn(*env, kToday, QTime(0, 0)));
    appointment("20240105-1", "Meeting", "10:00", "11:00", true, "15");
    QCOMPARE(tickAt(*env, QTime(9, 44)), QString());
    Module1::FileDialogOpen = -1;
    QCOMPARE(tickAt(*env, QTime(9, 45)), QString());
    QCOMPARE(tickAt(*env, QTime(9, 47)), QString());
    Module1::FileDialogOpen = 0;
    // The launcher checks right after its dialog closes.
    env->setNow(QDateTime(kToday, QTime(9, 48)));
    Module1::CheckReminders();
    QVERIFY(Forms::Form8()->isVisible());
}

QTEST_MAIN(RemindersTest)
#include "tst_reminders.moc"
