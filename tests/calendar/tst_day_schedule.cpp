// The day schedule window: slot headers, the colours of the taken slots and of the total
// occupation, the caption, and the date picker that moves both windows. Which slots are taken
// is tested without a window (tst_calendar_logic).
#include "calendar/day_schedule_window.h"
#include "calendar_fixtures.h"
#include "controls/date_picker.h"
#include "controls/flex_grid.h"
#include "controls/twips.h"

#include <QLocale>
#include <QPushButton>

using namespace Fixtures;

namespace {

const QDate kDay(2024, 1, 5);

// Opens kDay's activities with the appointments ("subject start end") and then its schedule.
DayScheduleWindow *openSchedule(TestEnvironment &env, const QStringList &appointments)
{
    if (!startOn(env, kDay, QTime(8, 0)))
        return nullptr;
    int n = 0;
    for (const QString &a : appointments) {
        const QStringList f = a.split(u' ');
        appointment(QStringLiteral("20240105-%1").arg(++n), f[0], f[1], f[2]);
    }
    openDay(kDay)->Command6->click();
    return Forms::Form6();
}

// Each slot of the row, by its header text, with a letter for its colour: b(lue), r(ed),
// d(ark red), ? (another), then any text it holds; uncoloured slots are left out.
QString colours(FlexGrid *grid, int row)
{
    QStringList found;
    for (int c = 1; c < grid->Cols(); ++c) {
        const QColor colour = grid->cellBackColor(row, c);
        if (!colour.isValid())
            continue;
        const char *letter = colour == QColor(0, 0, 255)   ? "b"
                             : colour == QColor(255, 0, 0) ? "r"
                             : colour == QColor(192, 0, 0) ? "d"
                                                           : "?";
        found.append(grid->TextMatrix(0, c) + QLatin1String(letter) + grid->TextMatrix(row, c));
    }
    return found.join(u' ');
}

QString dayText(QDate day)
{
    return QLocale::system().toString(day, Forms::Form4()->DTPicker1->displayFormat());
}

} // namespace

class DayScheduleTest : public QObject {
    Q_OBJECT
private slots:
    void headersAndCaption();
    void rows_data();
    void rows();
    void datePickerMovesBothWindows();
};

void DayScheduleTest::headersAndCaption()
{
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, {"Meeting 09:00 10:00"});
    QVERIFY(s);
    QVERIFY(s->isVisible() && s->isWindow());
    QVERIFY(Forms::Form4()->isVisible());
    FlexGrid *grid = s->MSFlexGrid1;
    QCOMPARE(grid->Cols(), 35);
    QCOMPARE(grid->TextMatrix(0, 0), QStringLiteral("Appointment"));
    QCOMPARE(grid->TextMatrix(0, 1), QStringLiteral("07:00"));
    QCOMPARE(grid->TextMatrix(0, 2), QStringLiteral("07:30"));
    QCOMPARE(grid->columnWidth(0), twipsX(3000));
    QCOMPARE(grid->columnWidth(1), twipsX(500));
    QCOMPARE(s->DTPicker1->Value(), kDay);
    QVERIFY(dayText(kDay).contains(QStringLiteral("2024")));
    QCOMPARE(s->windowTitle(), QStringLiteral("Day Schedule for - ") + dayText(kDay));
    s->Command1->click();
    QVERIFY(!s->isVisible());
}

void DayScheduleTest::rows_data()
{
    QTest::addColumn<QStringList>("appointments");
    QTest::addColumn<QStringList>("rows"); // a row per appointment, then the total occupation
    QTest::newRow("overlaps are dark red in the total")
        << QStringList{"A 09:00 10:00", "B 09:30 11:00"}
        << QStringList{"09:00b 09:30b", "09:30b 10:00b 10:30b", "09:00r 09:30d 10:00r 10:30r"};
    QTest::newRow("a day without appointments shows the header only")
        << QStringList{} << QStringList{};
}

void DayScheduleTest::rows()
{
    QFETCH(QStringList, appointments);
    QFETCH(QStringList, rows);
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, appointments);
    QVERIFY(s);
    FlexGrid *grid = s->MSFlexGrid1;
    QCOMPARE(grid->Rows(), 1 + rows.size());
    QCOMPARE(grid->FixedRows(), 1); // also on a day without appointments
    QCOMPARE(grid->TextMatrix(0, grid->Cols() - 1), QStringLiteral("23:30"));
    for (int r = 1; r <= rows.size(); ++r) {
        const bool total = r == rows.size();
        QCOMPARE(grid->TextMatrix(r, 0), total ? QStringLiteral("Total Occupation")
                                               : appointments[r - 1].section(u' ', 0, 0));
        QCOMPARE(colours(grid, r), rows[r - 1]);
        // A screen reader hears the colour of the 09:30 slot in words.
        const qsizetype at = rows[r - 1].indexOf(QLatin1String("09:30"));
        const QChar code = at < 0 ? u'f' : rows[r - 1].at(at + 5);
        const char *word = code == u'b'   ? "busy"
                           : code == u'r' ? "one appointment"
                           : code == u'd' ? "overlapping appointments"
                                          : "free";
        int slot = 1;
        while (grid->TextMatrix(0, slot) != QLatin1String("09:30"))
            ++slot;
        QCOMPARE(grid->model()->index(r, slot).data(Qt::AccessibleDescriptionRole).toString(),
                 grid->TextMatrix(r, 0) + ", 09:30: " + word);
    }
    if (!rows.isEmpty())
        QCOMPARE(grid->cellBackColor(rows.size(), 0), QColor(128, 255, 255));
}

void DayScheduleTest::datePickerMovesBothWindows()
{
    TestEnvironment env;
    DayScheduleWindow *s = openSchedule(env, {"Friday 09:00 10:00"});
    QVERIFY(s);
    appointment("20240106-1", "Saturday", "14:00", "15:00");
    s->DTPicker1->setDate(QDate(2024, 1, 6)); // as the user picks it
    ActivitiesWindow *w = Forms::Form4();
    QCOMPARE(w->DTPicker1->Value(), QDate(2024, 1, 6));
    QCOMPARE(w->Combo3->currentText(), QStringLiteral("Saturday"));
    QCOMPARE(s->MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("Saturday"));
    QCOMPARE(colours(s->MSFlexGrid1, 1), QStringLiteral("14:00b 14:30b"));
    QVERIFY(s->windowTitle().endsWith(dayText(QDate(2024, 1, 6))));
}

QTEST_MAIN(DayScheduleTest)
#include "tst_day_schedule.moc"
