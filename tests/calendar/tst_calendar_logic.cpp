// What the calendar decides, without a window: the reminder minute of an appointment, the
// reminders due at each check, and the rows of a day's schedule.
#include "calendar/calendar_logic.h"

#include <QTest>

using namespace CalendarLogic;

namespace {

const QDate kToday(2024, 1, 5);

} // namespace

class CalendarLogicTest : public QObject {
    Q_OBJECT
private slots:
    // The minute of the day a reminder is due (-1 for none), from its start and its minutes.
    void reminderMinute()
    {
        const std::tuple<const char *, const char *, const char *, int> rows[] = {
            {"10:30 with 15", "10:30", "15", 10 * 60 + 15},
            {"10:00 with 15 borrows an hour", "10:00", "15", 9 * 60 + 45},
            {"N = 0 at the start", "10:00", "0", 10 * 60},
            {"N = 60", "10:00", "60", 9 * 60},
            {"more than an hour borrows as needed", "10:10", "150", 7 * 60 + 40},
            {"halves round to even: 2.5", "10:00", "2.5", 9 * 60 + 58},
            {"halves round to even: 1.5", "10:00", "1.5", 9 * 60 + 58},
            {"halves round to even: 0.5", "10:00", "0.5", 10 * 60},
            {"hour 00", "00:40", "30", 10},
            {"the day before is never due", "00:10", "15", -1},
            {"minutes that are no number", "10:00", "soon", -1},
            {"empty minutes", "10:00", "", -1},
            {"a start that is no time", "ten", "15", -1},
        };
        QStringList due, expected;
        for (const auto &[name, start, minutes, minute] : rows) {
            due << name +
                       QStringLiteral(": %1").arg(ReminderMinuteOfDay(start, minutes).value_or(-1));
            expected << name + QStringLiteral(": %1").arg(minute);
        }
        QCOMPARE(due, expected);
    }

    void dueAtEachCheck_data()
    {
        QTest::addColumn<QStringList>("appointments"); // "id|subject|start|end|ticked|minutes"
        QTest::addColumn<QStringList>("checks");       // "hh:mm=what is due"
        const QString meeting = "20240105-1|Meeting|10:00|11:00|1|15";
        auto row = [](const char *name, const QStringList &appointments,
                      const QStringList &checks) { QTest::newRow(name) << appointments << checks; };
        row("in its minute, once, even twice in that minute", {meeting},
            {"09:44=", "09:45=Meeting 10:00 11:00 15", "09:45=", "09:46="});
        row("a missed minute is caught up with the minutes really left", {meeting},
            {"09:40=", "09:50=Meeting 10:00 11:00 10"});
        row("not once the meeting has started", {meeting}, {"09:40=", "10:00="});
        row("a new day starts from midnight", {meeting}, {"09:45=Meeting 10:00 11:00 15"});
        row("a long subject is cut after 30 characters",
            {"20240105-1|  0123456789abcdefghijABCDEFGHIJ! |10:00|11:00|1|15"},
            {"09:45=0123456789abcdefghijABCDEFGHIJ ... 10:00 11:00 15"});
        row("several due at once come by start time",
            {"20240105-1|Second|10:15|11:00|1|30", meeting},
            {"09:45=Meeting 10:00 11:00 15 / Second 10:15 11:00 30"});
        row("missed ones together, each with its own minutes left",
            {"20240105-1|Later|10:30|11:00|1|45", meeting},
            {"09:40=", "09:55=Meeting 10:00 11:00 5 / Later 10:30 11:00 35"});
        row("unticked reminders and texts that are no numbers never come",
            {"20240105-1|Unticked|10:00|11:00|0|15", "20240105-2|Bad minutes|10:00|11:00|1|soon",
             "20240105-3|Bad start|ten|11:00|1|15", "20240105-4|Good|10:00|11:00|1|7.5"},
            {"00:00=", "09:51=", "09:52=Good 10:00 11:00 7.5", "23:55="});
    }
    void dueAtEachCheck()
    {
        QFETCH(QStringList, appointments);
        QFETCH(QStringList, checks);
        QList<Appointment> today;
        for (const QString &a : appointments) {
            const QStringList f = a.split(u'|');
            today.append({f[0], f[1], f[2], f[3], qint16(f[4] == "1" ? -1 : 0), f[5], QString()});
        }
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
        // The first and last slot, the taken slots of each row, then the occupation.
        QTest::addColumn<QStringList>("rows");
        auto row = [](const char *name, const QStringList &appointments, const QStringList &rows) {
            QTest::newRow(name) << appointments << rows;
        };
        row("09:00 to 10:30", {"Only 09:00 10:30"},
            {"07:00-23:30", "09:00 09:30 10:00", "09:00 09:30 10:00"});
        row("to 24:00 includes the last slot", {"Only 23:00 24:00"},
            {"07:00-23:30", "23:00 23:30", "23:00 23:30"});
        row("a start before 07:00 adds its half hours in front", {"Only 06:00 07:30"},
            {"06:00-23:30", "06:00 06:30 07:00", "06:00 06:30 07:00"});
        row("before 07:00 altogether, a one-digit hour", {"Early 5:15 6:30", "Late 09:00 09:30"},
            {"05:00-23:30", "05:30 06:00", "09:00", "05:30 06:00 09:00"});
        row("overlaps count twice", {"A 09:00 10:00", "B 09:30 11:00"},
            {"07:00-23:30", "09:00 09:30", "09:30 10:00 10:30", "09:00 09:30=2 10:00 10:30"});
        row("a day without appointments", {}, {"07:00-23:30", ""});
    }
    void scheduleRows()
    {
        QFETCH(QStringList, appointments);
        QFETCH(QStringList, rows);
        QList<Appointment> day;
        for (const QString &a : appointments) {
            const QStringList f = a.split(u' ');
            day.append({QString(), f[0], f[1], f[2], 0, QString(), QString()});
        }
        const DaySchedule s = ScheduleOfDay(day);
        // Each row as its taken slots, a slot taken more than once with its count.
        auto taken = [&](const auto &row) {
            QStringList list;
            for (qsizetype c = 0; c < row.size(); ++c) {
                if (row[c])
                    list.append(s.slotTimes[c] +
                                (int(row[c]) > 1 ? "=" + QString::number(int(row[c])) : QString()));
            }
            return list.join(u' ');
        };
        QStringList shown{s.slotTimes.first() + "-" + s.slotTimes.last()};
        for (const QList<bool> &row : s.occupied)
            shown.append(taken(row));
        shown.append(taken(s.occupation));
        QCOMPARE(shown, rows);
    }
};

QTEST_GUILESS_MAIN(CalendarLogicTest)
#include "tst_calendar_logic.moc"
