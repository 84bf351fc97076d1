// The day schedule: slot headers, the coloured cells of each appointment and of the total
// occupation, the caption, and the date picker that moves both windows.
#include "calendar/activities_window.h"
#include "calendar/calendar_window.h"
#include "calendar/day_schedule_window.h"
#include "calendar_fixtures.h"
#include "shell/date_picker.h"
#include "shell/flex_grid.h"
#include "shell/forms.h"
#include "shell/module1.h"
#include "test_support.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QTest>

namespace {

const QDate kDay(2024, 1, 5);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kDarkRed(192, 0, 0);

// Opens kDay's activities and its schedule.
DayScheduleWindow *openSchedule(TestEnvironment &env, const QList<QStringList> &appointments)
{
    env.setNow(QDateTime(kDay, QTime(8, 0)));
    if (!env.startProgram())
        return nullptr;
    int n = 0;
    for (const QStringList &a : appointments)
        Fixtures::appointment(QStringLiteral("20240105-%1").arg(++n), a[0], a[1], a[2]);
    CalendarWindow *calendar = Forms::Form1();
    calendar->Calendar1->setSelectedDate(kDay);
    emit calendar->Calendar1->activated(kDay);
    Forms::Form4()->Command6->click();
    return Forms::Form6();
}

// The slots (by header text) of a row whose cell has the colour.
QStringList slotsIn(FlexGrid *grid, int row, const QColor &color)
{
    QStringList found;
    for (int c = 1; c < grid->Cols(); ++c) {
        if (grid->cellBackColor(row, c) == color)
            found.append(grid->TextMatrix(0, c));
    }
    return found;
}

int coloured(FlexGrid *grid, int row)
{
    int n = 0;
    for (int c = 1; c < grid->Cols(); ++c)
        n += grid->cellBackColor(row, c).isValid() ? 1 : 0;
    return n;
}

} // namespace

class DayScheduleTest : public QObject {
    Q_OBJECT
private slots:
    void headersAndCaption();
    void appointmentRows_data();
    void appointmentRows();
    void overlapsAreDarkRed();
    void aDayWithoutAppointmentsShowsTheHeaderOnly();
    void datePickerMovesBothWindows();
};

void DayScheduleTest::headersAndCaption()
{
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, {{"Meeting", "09:00", "10:00"}});
    QVERIFY(s);
    QVERIFY(s->isVisible());
    QVERIFY(s->isWindow());
    QVERIFY(Forms::Form4()->isVisible());
    FlexGrid *grid = s->MSFlexGrid1;
    QCOMPARE(grid->Cols(), 35);
    QCOMPARE(grid->TextMatrix(0, 0), QStringLiteral("Appointment"));
    QCOMPARE(grid->TextMatrix(0, 1), QStringLiteral("07:00"));
    QCOMPARE(grid->TextMatrix(0, 2), QStringLiteral("07:30"));
    QCOMPARE(grid->TextMatrix(0, 34), QStringLiteral("23:30"));
    QCOMPARE(grid->columnWidth(0), 200);
    QCOMPARE(grid->columnWidth(1), 33);
    QCOMPARE(grid->FixedRows(), 1);
    QCOMPARE(s->DTPicker1->Value(), kDay);
    const QString day =
        QLocale::system().toString(kDay, Forms::Form4()->DTPicker1->displayFormat());
    QVERIFY(day.contains(QStringLiteral("2024")));
    QCOMPARE(s->windowTitle(), QStringLiteral("Day Schedule for - ") + day);
    s->Command1->click();
    QVERIFY(!s->isVisible());
}

void DayScheduleTest::appointmentRows_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("blue");
    QTest::newRow("09:00 to 10:30") << "09:00"
                                    << "10:30" << QStringList{"09:00", "09:30", "10:00"};
    QTest::newRow("to 24:00 includes the last slot") << "23:00"
                                                     << "24:00" << QStringList{"23:00", "23:30"};
    QTest::newRow("a start before 07:00 colours from the first slot")
        << "06:00"
        << "07:30" << QStringList{"07:00"};
    QTest::newRow("before 07:00 altogether colours nothing") << "05:00"
                                                             << "06:30" << QStringList{};
}

void DayScheduleTest::appointmentRows()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, blue);
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, {{"Only", start, end}});
    QVERIFY(s);
    FlexGrid *grid = s->MSFlexGrid1;
    QCOMPARE(grid->Rows(), 3);
    QCOMPARE(grid->TextMatrix(1, 0), QStringLiteral("Only"));
    QCOMPARE(slotsIn(grid, 1, kBlue), blue);
    QCOMPARE(coloured(grid, 1), int(blue.size()));
    QCOMPARE(grid->TextMatrix(2, 0), QStringLiteral("Total Occupation"));
    QCOMPARE(grid->cellBackColor(2, 0), QColor(128, 255, 255));
    QCOMPARE(slotsIn(grid, 2, kRed), blue);
    QCOMPARE(coloured(grid, 2), int(blue.size()));
    for (int c = 1; c < grid->Cols(); ++c)
        QVERIFY(grid->TextMatrix(1, c).isEmpty() && grid->TextMatrix(2, c).isEmpty());
}

void DayScheduleTest::overlapsAreDarkRed()
{
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, {{"A", "09:00", "10:00"}, {"B", "09:30", "11:00"}});
    QVERIFY(s);
    FlexGrid *grid = s->MSFlexGrid1;
    QCOMPARE(grid->Rows(), 4);
    QCOMPARE(slotsIn(grid, 1, kBlue), (QStringList{"09:00", "09:30"}));
    QCOMPARE(slotsIn(grid, 2, kBlue), (QStringList{"09:30", "10:00", "10:30"}));
    QCOMPARE(slotsIn(grid, 3, kRed), (QStringList{"09:00", "10:00", "10:30"}));
    QCOMPARE(slotsIn(grid, 3, kDarkRed), QStringList{"09:30"});
    QCOMPARE(coloured(grid, 3), 4);
}

void DayScheduleTest::aDayWithoutAppointmentsShowsTheHeaderOnly()
{
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, {});
    QVERIFY(s);
    QCOMPARE(s->MSFlexGrid1->Rows(), 1);
    QCOMPARE(s->MSFlexGrid1->TextMatrix(0, 34), QStringLiteral("23:30"));
}

void DayScheduleTest::datePickerMovesBothWindows()
{
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, {{"Friday", "09:00", "10:00"}});
    QVERIFY(s);
    Fixtures::appointment("20240106-1", "Saturday", "14:00", "15:00");
    s->DTPicker1->setDate(QDate(2024, 1, 6)); // as the user picks it
    ActivitiesWindow *w = Forms::Form4();
    QCOMPARE(w->DTPicker1->Value(), QDate(2024, 1, 6));
    QCOMPARE(w->Combo3->currentText(), QStringLiteral("Saturday"));
    QCOMPARE(s->MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("Saturday"));
    QCOMPARE(slotsIn(s->MSFlexGrid1, 1, kBlue), (QStringList{"14:00", "14:30"}));
    QVERIFY(s->windowTitle().endsWith(
        QLocale::system().toString(QDate(2024, 1, 6), w->DTPicker1->displayFormat())));
}

QTEST_MAIN(DayScheduleTest)
#include "tst_day_schedule.moc"
