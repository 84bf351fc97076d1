// What the calendar decides, without a window: the reminder minute of an appointment, the
// reminders due at each check, and the rows of a day's schedule.
#include "calendar/calendar_logic.h"

#include <QTest>

using namespace CalendarLogic;

namespace {

const QDate kToday(2024, 1, 5);

// "id|subject|start|end|ticked|minutes" as an appointment.
Appointment parse(const QString &row)
{
    const QStringList f = row.split(u'|');
    return {f[0], f[1], f[2], f[3], qint16(f[4] == "1" ? -1 : 0), f[5], QString()};
}

} // namespace

class CalendarLogicTest : public QObject {
    Q_OBJECT
private slots:
    void reminderMinute_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<int>("due"); // minute of the day, -1 for none
        QTest::newRow("10:30 with 15") << "10:30"
                                       << "15" << 10 * 60 + 15;
        QTest::newRow("10:00 with 15 borrows an hour") << "10:00"
                                                       << "15" << 9 * 60 + 45;
        QTest::newRow("N = 0 at the start") << "10:00"
                                            << "0" << 10 * 60;
        QTest::newRow("N = 60") << "10:00"
                                << "60" << 9 * 60;
        QTest::newRow("more than an hour borrows as needed") << "10:10"
                                                             << "150" << 7 * 60 + 40;
        QTest::newRow("halves round to even: 2.5") << "10:00"
                                                   << "2.5" << 9 * 60 + 58;
        QTest::newRow("halves round to even: 1.5") << "10:00"
                                                   << "1.5" << 9 * 60 + 58;
        QTest::newRow("halves round to even: 0.5") << "10:00"
                                                   << "0.5" << 10 * 60;
        QTest::newRow("hour 00") << "00:40"
                                 << "30" << 10;
        QTest::newRow("the day before is never due") << "00:10"
                                                     << "15" << -1;
        QTest::newRow("minutes that are no number") << "10:00"
                                                    << "soon" << -1;
        QTest::newRow("empty minutes") << "10:00"
                                       << "" << -1;
        QTest::newRow("a start that is no time") << "ten"
                                                 << "15" << -1;
    }
    void reminderMinute()
    {
        QFETCH(QString, start);
        QFETCH(QString, minutes);
        QFETCH(int, due);
        QCOMPARE(ReminderMinuteOfDay(start, minutes).value_or(-1), due);
    }

    void dueAtEachCheck_data()
    {
        QTest::addColumn<QStringList>("appointments"); // "id|subject|start|end|ticked|minutes"
        QTest::addColumn<QStringList>("checks");       // "hh:mm=what is due"
        const QString meeting = "20240105-1|Meeting|10:00|11:00|1|15";
        QTest::newRow("in its minute, once, even twice in that minute")
            << QStringList{meeting}
            << QStringList{"09:44=", "09:45=Meeting 10:00 11:00 15", "09:45=", "09:46="};
        QTest::newRow("a missed minute is caught up with the minutes really left")
            << QStringList{meeting} << QStringList{"09:40=", "09:50=Meeting 10:00 11:00 10"};
        QTest::newRow("not once the meeting has started")
            << QStringList{meeting} << QStringList{"09:40=", "10:00="};
        QTest::newRow("a new day starts from midnight")
            << QStringList{meeting} << QStringList{"09:45=Meeting 10:00 11:00 15"};
        QTest::newRow("a long subject is cut after 30 characters")
            << QStringList{"20240105-1|  0123456789abcdefghijABCDEFGHIJ! |10:00|11:00|1|15"}
            << QStringList{"09:45=0123456789abcdefghijABCDEFGHIJ ... 10:00 11:00 15"};
        QTest::newRow("several due at once come by start time")
            << QStringList{"20240105-1|Second|10:15|11:00|1|30", meeting}
            << QStringList{"09:45=Meeting 10:00 11:00 15 / Second 10:15 11:00 30"};
        QTest::newRow("missed ones together, each with its own minutes left")
            << QStringList{"20240105-1|Later|10:30|11:00|1|45", meeting}
            << QStringList{"09:40=", "09:55=Meeting 10:00 11:00 5 / Later 10:30 11:00 35"};
        QTest::newRow("unticked reminders and texts that are no numbers never come")
            << QStringList{"20240105-1|Unticked|10:00|11:00|0|15",
                           "20240105-2|Bad minutes|10:00|11:00|1|soon",
                           "20240105-3|Bad start|ten|11:00|1|15",
                           "20240105-4|Good|10:00|11:00|1|7.5"}
            << QStringList{"00:00=", "09:51=", "09:52=Good 10:00 11:00 7.5", "23:55="};
    }
    void dueAtEachCheck()
    {
        QFETCH(QStringList, appointments);
        QFETCH(QStringList, checks);
        QList<Appointment> today;
        for (const QString &a : appointments)
            today.append(parse(a));
        ReminderState state;
        state.lastCheck = QDateTime(kToday.addDays(-1), QTime(23, 59));
        state.shownToday.insert(QStringLiteral("left from yesterday"));
        for (const QString &check : checks) {
            const QDateTime at(kToday, QTime::fromString(check.left(5), "hh:mm").addSecs(20));
            QStringList due;
            for (const DueReminder &r : DueReminders(today, at, state))
                due.append(QStringList{r.subject, r.startTime, r.endTime, r.minutes}.join(u' '));
            QCOMPARE(due.join(QStringLiteral(" / ")), check.mid(6));
        }
    }

    void scheduleRows_data()
    {
        QTest::addColumn<QStringList>("appointments"); // "subject start end"
        QTest::addColumn<QString>("firstSlot");
        QTest::addColumn<QStringList>("rows"); // taken slots of each row, then the occupation
        QTest::newRow("09:00 to 10:30")
            << QStringList{"Only 09:00 10:30"} << "07:00"
            << QStringList{"09:00 09:30 10:00", "09:00=1 09:30=1 10:00=1"};
        QTest::newRow("to 24:00 includes the last slot")
            << QStringList{"Only 23:00 24:00"} << "07:00"
            << QStringList{"23:00 23:30", "23:00=1 23:30=1"};
        QTest::newRow("a start before 07:00 adds its half hours in front")
            << QStringList{"Only 06:00 07:30"} << "06:00"
            << QStringList{"06:00 06:30 07:00", "06:00=1 06:30=1 07:00=1"};
        QTest::newRow("before 07:00 altogether, a one-digit hour")
            << QStringList{"Early 5:15 6:30", "Late 09:00 09:30"} << "05:00"
            << QStringList{"05:30 06:00", "09:00", "05:30=1 06:00=1 09:00=1"};
        QTest::newRow("overlaps count twice")
            << QStringList{"A 09:00 10:00", "B 09:30 11:00"} << "07:00"
            << QStringList{"09:00 09:30", "09:30 10:00 10:30", "09:00=1 09:30=2 10:00=1 10:30=1"};
        QTest::newRow("a day without appointments") << QStringList{} << "07:00" << QStringList{""};
    }
    void scheduleRows()
    {
        QFETCH(QStringList, appointments);
        QFETCH(QString, firstSlot);
        QFETCH(QStringList, rows);
        QList<Appointment> day;
        for (const QString &a : appointments) {
            const QStringList f = a.split(u' ');
            day.append({QString(), f[0], f[1], f[2], 0, QString(), QString()});
        }
        const DaySchedule s = ScheduleOfDay(day);
        QCOMPARE(s.slotTimes.first(), firstSlot);
        QCOMPARE(s.slotTimes.last(), QStringLiteral("23:30"));
        QStringList shown;
        for (const QList<bool> &row : s.occupied) {
            QStringList taken;
            for (qsizetype c = 0; c < row.size(); ++c) {
                if (row[c])
                    taken.append(s.slotTimes[c]);
            }
            shown.append(taken.join(u' '));
        }
        QStringList occupation;
        for (qsizetype c = 0; c < s.occupation.size(); ++c) {
            if (s.occupation[c] > 0)
                occupation.append(s.slotTimes[c] + u'=' + QString::number(s.occupation[c]));
        }
        shown.append(occupation.join(u' '));
        QCOMPARE(shown, rows);
    }
};

QTEST_GUILESS_MAIN(CalendarLogicTest)
#include "tst_calendar_logic.moc"
