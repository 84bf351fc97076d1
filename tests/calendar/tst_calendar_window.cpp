// The calendar view: the month layout, the birthday and appointment markers, the spinner and
// the opening of a day. Which days of a month are marked is tested on the stores
// (tst_appointment_store), and how fast full files are marked by the benchmark.
#include "calendar_fixtures.h"

#include <QProxyStyle>
#include <QTableView>
#include <QToolButton>

using namespace Fixtures;

namespace {

// The calendar's table of days and the index of a cell in it: row 0 holds the day names.
QTableView *dayTable()
{
    return Forms::Form1()->Calendar1->findChild<QTableView *>("qt_calendar_calendarview");
}
QModelIndex indexOf(int cell)
{
    return dayTable()->model()->index((cell - 1) / 7 + 1, (cell - 1) % 7);
}

// Items open on one click where the desktop is set so.
struct OneClickStyle : QProxyStyle {
    int styleHint(StyleHint hint, const QStyleOption *o, const QWidget *w,
                  QStyleHintReturn *r) const override
    {
        return hint == SH_ItemView_ActivateItemOnSingleClick
                   ? 1
                   : QProxyStyle::styleHint(hint, o, w, r);
    }
};

} // namespace

class CalendarWindowTest : public QObject {
    Q_OBJECT
private slots:
    void markers_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("dayOneCell");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("birthdays"); // dd/mm/yyyy
        QTest::addColumn<QList<int>>("blue");
        QTest::addColumn<QList<int>>("red");
        QTest::newRow("February 2004 begins on a Sunday: day 1 in cell 8")
            << QDate(2004, 2, 10) << 8 << QStringList{"20040201-1", "20040207-1", "20040301-1"}
            << QStringList{"07/02/1970", "29/02/1980"} << QList<int>{14, 36} << QList<int>{8, 14};
        QTest::newRow("May 2004 puts day 31 in cell 37")
            << QDate(2004, 5, 3) << 7 << QStringList{"20040531-1", "20040501-1", "20040531-2"}
            << QStringList{"31/05/1999"} << QList<int>{37} << QList<int>{7, 37};
        QTest::newRow("29 February in a year without it marks the cell after the 28th")
            << QDate(2005, 2, 3) << 3 << QStringList{} << QStringList{"29/02/1980"}
            << QList<int>{31} << QList<int>{};
    }
    void markers()
    {
        QFETCH(QDate, today);
        QFETCH(int, dayOneCell);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, birthdays);
        QFETCH(QList<int>, blue);
        QFETCH(QList<int>, red);
        TestEnvironment env;
        QVERIFY(startOn(env, today));
        for (const QString &id : ids)
            appointment(id);
        for (const QString &date : birthdays)
            birthday(QStringLiteral("Person") + date, QStringLiteral("A"), date);
        Module1::MarkCalendarDays();
        CalendarWindow *form = Forms::Form1();
        QCOMPARE(shownCells(form->Picture1), blue);
        QCOMPARE(shownCells(form->Picture2), red);
        // A screen reader hears which day each marker marks.
        const QDate first = QDate(today.year(), today.month(), 1).addDays(-dayOneCell);
        for (const auto &[cells, markers, what] :
             {std::tuple{blue, form->Picture1, "Birthday on "},
              std::tuple{red, form->Picture2, "Appointments on "}})
            for (int cell : cells)
                QCOMPARE(markers[cell]->accessibleName(),
                         what + QLocale().toString(first.addDays(cell), QLocale::LongFormat));
        // The cells counted are the ones the calendar draws.
        QCOMPARE(dayTable()->model()->data(indexOf(dayOneCell)).toString(), QStringLiteral("1"));
        // The disc beside its letter.
        QCOMPARE(form->Picture1[1]->pixmap().toImage().pixelColor(4, 8), QColor(0, 0, 255));
        QCOMPARE(form->Picture2[1]->pixmap().toImage().pixelColor(4, 8), QColor(255, 0, 0));
        for (const QSize size : {QSize(900, 700), QSize(1200, 800), QSize(700, 500)}) {
            env.mainWindow()->resize(size);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            // Both markers inside their cell at its upper left corner, the red one right of the
            // blue one.
            for (int i = 1; i <= 42; ++i) {
                const QRect cell = form->dayCellRect(i), b = form->Picture1[i]->geometry(),
                            r = form->Picture2[i]->geometry();
                QVERIFY2(!cell.isEmpty() && cell.contains(b.topLeft()) && b.x() - cell.left() < 6 &&
                             b.y() - cell.top() < 6 && r.y() == b.y() && r.x() > b.x() &&
                             cell.contains(r.topRight()),
                         qPrintable(QStringLiteral("cell %1").arg(i)));
            }
        }
    }

    // The calendar's own month buttons, a day of the next month clicked in its last rows, and
    // the spinner's arrows, which select the first of the next or previous month; the markers
    // follow each change.
    void monthChangesRecomputeTheMarkers()
    {
        TestEnvironment env;
        QVERIFY(startOn(env, QDate(2004, 2, 10)));
        for (const char *id :
             {"20031203-1", "20040103-1", "20040203-1", "20040210-1", "20040301-1"})
            appointment(QString::fromLatin1(id));
        CalendarWindow *form = Forms::Form1();
        QCalendarWidget *c = form->Calendar1;
        // After each change: the month shown and the cells with the red marker.
        auto shows = [&](QDate month, const QList<int> &red) {
            QCOMPARE(QDate(c->yearShown(), c->monthShown(), 1), month);
            QCOMPARE(shownCells(form->Picture2), red);
        };
        c->showNextMonth();
        shows(QDate(2004, 3, 1), {2}); // March 2004 begins on a Monday
        c->showPreviousMonth();
        shows(QDate(2004, 2, 1), {10, 17});
        c->setSelectedDate(QDate(2004, 3, 1));
        shows(QDate(2004, 3, 1), {2});
        // Another day empties the activities window filled for the day before.
        ActivitiesWindow *activities = Forms::Form4();
        activities->DTPicker1->setValue(QDate(2004, 2, 10));
        Module1::LoadDayActivities();
        QCOMPARE(activities->Combo3->count(), 1);
        c->setSelectedDate(QDate(2004, 2, 11));
        QCOMPARE(items(activities->Combo3) + QStringList{activities->Text3->text()},
                 QStringList{"ID"});
        shows(QDate(2004, 2, 1), {10, 17});
        for (const auto &[from, arrow, selected, red] :
             {std::tuple{QDate(2004, 1, 20), "Down", QDate(2003, 12, 1), QList<int>{4}},
              std::tuple{QDate(2004, 1, 31), "Up", QDate(2004, 2, 1), QList<int>{10, 17}}}) {
            c->setSelectedDate(from);
            QTest::mouseClick(form->UpDown1->findChild<QToolButton *>(arrow), Qt::LeftButton);
            QCOMPARE(c->selectedDate(), selected);
            shows(selected, red);
        }
    }

    void whichGestureOpensADay_data()
    {
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QDate>("opened"); // invalid: no day opens
        QTest::addColumn<QString>("listed");
        // February 2004: day 1 in cell 8, 27 January in cell 3, 4 March in cell 40.
        const QDate day(2004, 2, 12);
        auto row = [](const char *name, int cell, const char *gesture, QDate opened,
                      const char *listed = "") {
            QTest::newRow(name) << cell << QString(gesture) << opened << QString(listed);
        };
        row("double-click on a day", 19, "double-click", day, "Dentist");
        row("double-click on a greyed day before", 3, "double-click", QDate(2004, 1, 27));
        row("double-click on a greyed day after", 40, "double-click", QDate(2004, 3, 4));
        row("a click, also where one click opens items", 19, "click", QDate());
        row("Return on the selected day", 19, "Return", day, "Dentist");
        row("Return while another month is shown", 19, "Return, March", QDate());
    }
    void whichGestureOpensADay()
    {
        QFETCH(int, cell);
        QFETCH(QString, gesture);
        QFETCH(QDate, opened);
        QFETCH(QString, listed);
        TestEnvironment env;
        MainWindow *main = startOn(env, QDate(2004, 2, 10));
        QVERIFY(main);
        appointment(QStringLiteral("20040212-1"), QStringLiteral("Dentist"));
        QTableView *table = dayTable();
        OneClickStyle style;
        table->setStyle(&style);
        const QPoint at = table->visualRect(indexOf(cell)).center();
        // A double-click as the window system delivers one: a click, then the double-click.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        if (gesture == "double-click")
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        if (gesture == "Return, March")
            Forms::Form1()->Calendar1->setCurrentPage(2004, 3);
        if (gesture.startsWith("Return"))
            QTest::keyClick(table, Qt::Key_Return);
        table->setStyle(nullptr);
        ActivitiesWindow *activities = Forms::Form4();
        QCOMPARE(main->isEnabled(), !opened.isValid());
        QCOMPARE(activities->isVisible() ? activities->DTPicker1->Value() : QDate(), opened);
        QCOMPARE(activities->Combo3->currentText(), listed);
    }
};

QTEST_MAIN(CalendarWindowTest)
#include "tst_calendar_window.moc"
