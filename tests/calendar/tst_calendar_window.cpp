// The calendar view: the month layout, the birthday and appointment markers, the spinner and
// the opening of a day.
#include "app/module1.h"
#include "calendar_fixtures.h"
#include "controls/date_picker.h"

#include <QElapsedTimer>
#include <QProxyStyle>
#include <QTableView>
#include <QToolButton>

using namespace Fixtures;

namespace {

CalendarWindow *calendar()
{
    return Forms::Form1();
}

} // namespace

class CalendarWindowTest : public QObject {
    Q_OBJECT
private slots:
    void markers_data();
    void markers();
    void markersSitOnTheirDayCells();
    void spinnerStepsToTheFirstOfTheMonth_data();
    void spinnerStepsToTheFirstOfTheMonth();
    void monthAndDayChangesRecomputeTheMarkers();
    void whichGestureOpensADay_data();
    void whichGestureOpensADay();
    void fullFilesAreMarkedAtOnce();
};

void CalendarWindowTest::markers_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("dayOneCell");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("birthdays"); // "dd/mm/yyyy flag"
    QTest::addColumn<QList<int>>("blue");
    QTest::addColumn<QList<int>>("red");

    QTest::newRow("February 2004 begins on a Sunday: day 1 in cell 8")
        << QDate(2004, 2, 10) << 8 << QStringList{"20040201-1", "20040207-1", "20040301-1"}
        << QStringList{"07/02/1970 1", "29/02/1980 1"} << QList<int>{14, 36} << QList<int>{8, 14};
    QTest::newRow("May 2004 puts day 31 in cell 37")
        << QDate(2004, 5, 3) << 7 << QStringList{"20040531-1", "20040501-1", "20040531-2"}
        << QStringList{"31/05/1999 1"} << QList<int>{37} << QList<int>{7, 37};
    QTest::newRow("29 February in a year without it marks the cell after the 28th")
        << QDate(2005, 2, 3) << 3 << QStringList{} << QStringList{"29/02/1980 1"} << QList<int>{31}
        << QList<int>{};
}

void CalendarWindowTest::markers()
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
    int n = 0;
    for (const QString &b : birthdays)
        birthday(QStringLiteral("Person%1").arg(++n), QStringLiteral("A"), b.section(' ', 0, 0),
                 b.section(' ', 1, 1));
    Module1::MarkCalendarDays();
    QCOMPARE(shownCells(calendar()->Picture1), blue);
    QCOMPARE(shownCells(calendar()->Picture2), red);
    // A screen reader hears which day each marker marks.
    const QDate first = QDate(today.year(), today.month(), 1).addDays(-dayOneCell);
    for (const auto &[cells, markers, what] :
         {std::tuple{blue, calendar()->Picture1, "Birthday"},
          std::tuple{red, calendar()->Picture2, "Appointments"}})
        for (int cell : cells)
            QCOMPARE(markers[cell]->accessibleName(),
                     what +
                         (" on " + QLocale().toString(first.addDays(cell), QLocale::LongFormat)));
    // The cells counted are the ones the calendar draws: row 0 of its table holds day names.
    auto *table = calendar()->Calendar1->findChild<QTableView *>();
    QVERIFY(table);
    const QModelIndex one = table->model()->index((dayOneCell - 1) / 7 + 1, (dayOneCell - 1) % 7);
    QCOMPARE(table->model()->data(one).toString(), QStringLiteral("1"));
}

void CalendarWindowTest::markersSitOnTheirDayCells()
{
    TestEnvironment env;
    MainWindow *main = startOn(env, QDate(2004, 2, 10));
    QVERIFY(main);
    appointment(QStringLiteral("20040229-1"));
    birthday(QStringLiteral("Leap"), QStringLiteral("Day"), QStringLiteral("29/02/1980"));
    Module1::MarkCalendarDays();
    CalendarWindow *form = calendar();
    QLabel *blue = form->Picture1[36];
    QLabel *red = form->Picture2[36];
    // The disc beside its letter.
    QCOMPARE(blue->pixmap().toImage().pixelColor(4, 8), QColor(0, 0, 255));
    QCOMPARE(red->pixmap().toImage().pixelColor(4, 8), QColor(255, 0, 0));
    for (const QSize size : {QSize(900, 700), QSize(1200, 800), QSize(700, 500)}) {
        main->resize(size);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        // 29 February 2004 is in cell 36: both markers inside it, at its upper left corner.
        const QRect cell = form->dayCellRect(36);
        QVERIFY(!cell.isEmpty());
        QVERIFY(cell.contains(blue->geometry().topLeft()));
        QVERIFY(blue->x() - cell.left() < 6 && blue->y() - cell.top() < 6);
        QCOMPARE(red->y(), blue->y());
        QVERIFY(red->x() > blue->x());
        QVERIFY(cell.contains(red->geometry().topRight()));
    }
}

void CalendarWindowTest::spinnerStepsToTheFirstOfTheMonth_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QDate>("selected");
    QTest::newRow("back from January to December")
        << QDate(2004, 1, 20) << false << QDate(2003, 12, 1);
    QTest::newRow("on from December to January")
        << QDate(2003, 12, 20) << true << QDate(2004, 1, 1);
    QTest::newRow("on within the year") << QDate(2004, 1, 31) << true << QDate(2004, 2, 1);
}

void CalendarWindowTest::spinnerStepsToTheFirstOfTheMonth()
{
    QFETCH(QDate, today);
    QFETCH(bool, forward);
    QFETCH(QDate, selected);
    TestEnvironment env;
    QVERIFY(startOn(env, today));
    for (const char *id : {"20031203-1", "20040103-1", "20040203-1"})
        appointment(QString::fromLatin1(id));
    CalendarWindow *form = calendar();
    auto *arrow = form->UpDown1->findChild<QToolButton *>(forward ? "Up" : "Down");
    QVERIFY(arrow);
    QTest::mouseClick(arrow, Qt::LeftButton);
    QCOMPARE(form->Calendar1->selectedDate(), selected);
    QCOMPARE(form->Calendar1->monthShown(), selected.month());
    QCOMPARE(form->Calendar1->yearShown(), selected.year());
    // The 3rd of the new month carries the red marker.
    const int offset = selected.dayOfWeek() % 7 == 0 ? 7 : selected.dayOfWeek() % 7;
    QCOMPARE(shownCells(form->Picture2), QList<int>{offset + 3});
}

void CalendarWindowTest::monthAndDayChangesRecomputeTheMarkers()
{
    TestEnvironment env;
    QVERIFY(startOn(env, QDate(2004, 2, 10)));
    appointment(QStringLiteral("20040301-1"));
    appointment(QStringLiteral("20040210-1"));
    CalendarWindow *form = calendar();
    form->Calendar1->showNextMonth();
    QCOMPARE(shownCells(form->Picture2), QList<int>{2}); // March 2004 begins on a Monday
    form->Calendar1->showPreviousMonth();
    QCOMPARE(shownCells(form->Picture2), QList<int>{17});
    // A day of the next month clicked in the last rows.
    form->Calendar1->setSelectedDate(QDate(2004, 3, 1));
    QCOMPARE(form->Calendar1->monthShown(), 3);
    QCOMPARE(shownCells(form->Picture2), QList<int>{2});
    // Another day empties the activities window filled for the day before.
    ActivitiesWindow *activities = Forms::Form4();
    activities->DTPicker1->setValue(QDate(2004, 2, 10));
    Module1::LoadDayActivities();
    QCOMPARE(activities->Combo3->count(), 1);
    form->Calendar1->setSelectedDate(QDate(2004, 2, 11));
    QCOMPARE(activities->Combo3->count(), 0);
    QCOMPARE(activities->Text3->text(), QStringLiteral("ID"));
    QCOMPARE(shownCells(form->Picture2), QList<int>{17});
}

void CalendarWindowTest::whichGestureOpensADay_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QDate>("opened"); // invalid: no day opens
    // February 2004: day 1 in cell 8, 27 January in cell 3, 4 March in cell 40.
    QTest::newRow("double-click on a day") << 19 << "double-click" << QDate(2004, 2, 12);
    QTest::newRow("double-click on a greyed day before")
        << 3 << "double-click" << QDate(2004, 1, 27);
    QTest::newRow("double-click on a greyed day after")
        << 40 << "double-click" << QDate(2004, 3, 4);
    QTest::newRow("a click, also where one click opens items") << 19 << "click" << QDate();
    QTest::newRow("Return on the selected day") << 19 << "Return" << QDate(2004, 2, 12);
    QTest::newRow("Return while another month is shown") << 19 << "Return, March" << QDate();
}

void CalendarWindowTest::whichGestureOpensADay()
{
    QFETCH(int, cell);
    QFETCH(QString, gesture);
    QFETCH(QDate, opened);
    // Items open on one click where the desktop is set so.
    class OneClickStyle : public QProxyStyle {
    public:
        int styleHint(StyleHint hint, const QStyleOption *o, const QWidget *w,
                      QStyleHintReturn *r) const override
        {
            return hint == SH_ItemView_ActivateItemOnSingleClick
                       ? 1
                       : QProxyStyle::styleHint(hint, o, w, r);
        }
    };
    TestEnvironment env;
    MainWindow *main = startOn(env, QDate(2004, 2, 10));
    QVERIFY(main);
    appointment(QStringLiteral("20040212-1"), QStringLiteral("Dentist"));
    auto *table = calendar()->Calendar1->findChild<QTableView *>("qt_calendar_calendarview");
    QVERIFY(table);
    OneClickStyle style;
    table->setStyle(&style);
    const QPoint at =
        table->visualRect(table->model()->index((cell - 1) / 7 + 1, (cell - 1) % 7)).center();
    if (gesture == "double-click") {
        // As the window system delivers one: a click, then the double-click event.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    } else {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        if (gesture == "Return, March")
            calendar()->Calendar1->setCurrentPage(2004, 3);
        if (gesture.startsWith("Return"))
            QTest::keyClick(table, Qt::Key_Return);
    }
    ActivitiesWindow *activities = Forms::Form4();
    table->setStyle(nullptr);
    QCOMPARE(activities->isVisible(), opened.isValid());
    QCOMPARE(main->isEnabled(), !opened.isValid());
    if (opened.isValid()) {
        QCOMPARE(activities->DTPicker1->Value(), opened);
        QCOMPARE(activities->Combo3->currentText(),
                 opened == QDate(2004, 2, 12) ? QStringLiteral("Dentist") : QString());
    }
}

void CalendarWindowTest::fullFilesAreMarkedAtOnce()
{
    TestEnvironment env;
    // Full files, every appointment and birthday on 14 February.
    QByteArray appointments(AppointmentStore::Capacity * 8 * 128, '\0');
    for (int i = 0; i < AppointmentStore::Capacity; ++i)
        appointments.replace(i * 8 * 128, 12, Bytes::string("20040214-1"));
    appointments.replace(7 * 128, 4, Bytes::count16(AppointmentStore::Capacity));
    env.writeFile("Appoint.dat", appointments);
    QByteArray entries(AddressStore::Capacity * 16 * 128, '\0');
    for (int i = 0; i < AddressStore::Capacity; ++i) {
        entries.replace((i * 16 + 10) * 128, 12, Bytes::string("14/02/1970"));
        entries.replace((i * 16 + 11) * 128, 3, Bytes::string("1"));
    }
    entries.replace(15 * 128, 4, Bytes::count16(AddressStore::Capacity));
    env.writeFile("AddBook.dat", entries);
    QVERIFY(startOn(env, QDate(2004, 2, 10)));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 10; ++i)
        Module1::MarkCalendarDays();
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(shownCells(calendar()->Picture1), QList<int>{21});
    QCOMPARE(shownCells(calendar()->Picture2), QList<int>{21});
}

QTEST_MAIN(CalendarWindowTest)
#include "tst_calendar_window.moc"
