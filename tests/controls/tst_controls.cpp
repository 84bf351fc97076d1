// The grid and the date picker: the operations the windows rely on.
#include "controls/date_picker.h"
#include "controls/flex_grid.h"
#include "controls/seams.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Every cell's text, a string a row with "|" between the cells.
QStringList cells(const FlexGrid &grid)
{
    QStringList rows;
    for (int r = 0; r < grid.Rows(); ++r) {
        rows << QString();
        for (int c = 0; c < grid.Cols(); ++c)
            rows.last() += (c ? "|" : "") + grid.TextMatrix(r, c);
    }
    return rows;
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void cellsRowsColoursAndLongColumns()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setTextMatrix(0, 0, "Nr.");
        grid.AddItem("1");
        grid.AddItem("2");
        grid.setTextMatrix(2, 2, "x");
        QCOMPARE(cells(grid), (QStringList{"Nr.||", "1||", "2||x"}));

        grid.setRow(2);
        grid.setCol(1);
        grid.setCellBackColor(QColor(0, 0, 255));
        QCOMPARE(grid.cellBackColor(2, 1), QColor(0, 0, 255));
        QVERIFY(!grid.cellBackColor(2, 2).isValid()); // never set: the grid's own background

        grid.setRows(2); // lowering Rows drops rows at the end
        QCOMPARE(cells(grid), (QStringList{"Nr.||", "1||"}));
        grid.Clear(); // the texts go, the rows and columns stay
        QCOMPARE(cells(grid), (QStringList{"||", "||"}));

        // A long column fills in one piece; one cell of it changes alone.
        grid.setRows(4);
        grid.setColumnTexts(1, 1, "AlphaBetaGamma", {5, 9, 14});
        QCOMPARE(cells(grid), (QStringList{"||", "|Alpha|", "|Beta|", "|Gamma|"}));
        QCOMPARE(grid.model()->index(2, 1).data().toString(), "Beta"); // as a view reads it
        grid.setTextMatrix(2, 1, "Delta");
        grid.setRows(3); // rows that go take their texts with them
        grid.setRows(4);
        QCOMPARE(cells(grid), (QStringList{"||", "|Alpha|", "|Delta|", "||"}));
    }

    void selectionChangeAndHeaderRow()
    {
        FlexGrid grid;
        grid.setRows(1);
        QVERIFY(!grid.setFixedRows(1)); // a fixed row needs a row below it
        grid.setRows(3);
        QVERIFY(grid.setFixedRows(1));
        QSignalSpy changes(&grid, &FlexGrid::SelChange);
        grid.setRow(2);
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(changes.size(), 1);
        grid.setRow(0); // the program may make the header current: nothing is selected then
        QCOMPARE(grid.Row(), 0);
        QCOMPARE(changes.size(), 2);
        QVERIFY(!(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsSelectable));
        grid.setRows(1); // the header stays fixed once declared
        QCOMPARE(grid.FixedRows(), 1);
    }

    void aFillPutOffRunsWhenTheGridIsFirstLookedAt()
    {
        FlexGrid grid;
        int fills = 0;
        grid.fillWhenNeeded([&] { grid.AddItem(QString::number(++fills)); });
        QCOMPARE(fills, 0);
        QCOMPARE(grid.Rows(), 2);
        QCOMPARE(grid.TextMatrix(1, 0), "1");
        QCOMPARE(fills, 1);

        FlexGrid other;
        other.fillWhenNeeded([&] { other.AddItem("seen"); });
        // A cell looked up by its place, as a view or a test does.
        QCOMPARE(other.model()->index(1, 0).data().toString(), "seen");
    }

    void datePickerReadsDayMonthYearText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        const QDate today(2025, 6, 7); // never the date shown before
        QTest::newRow("day first") << "05/03/1970" << QDate(1970, 3, 5);
        QTest::newRow("not a date shows today") << "31/02/2001" << today;
        QTest::newRow("empty shows today") << "" << today;
        QTest::newRow("year before the range shows today") << "05/03/1500" << today;
        QTest::newRow("two-digit year shows today") << "05/03/70" << today;
    }
    void datePickerReadsDayMonthYearText()
    {
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        Clock::setSource([] { return QDateTime(QDate(2025, 6, 7), QTime(9, 0)); });
        DatePicker picker;
        picker.setValue(QDate(2024, 1, 1));
        QSignalSpy changes(&picker, &DatePicker::Change);
        picker.setValueFromText(text);
        Clock::setSource({});
        QCOMPARE(picker.Value(), expected);
        QCOMPARE(changes.size(), 0); // the program's own settings raise no Change
        picker.useDayMonthYearFormat();
        picker.setValue(QDate(1970, 3, 5));
        QCOMPARE(picker.text(), QStringLiteral("05/03/1970"));
    }
};

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
