// The grid and the date picker: the operations the windows rely on.
#include "controls/date_picker.h"
#include "controls/flex_grid.h"
#include "controls/seams.h"

#include <QSignalSpy>
#include <QTest>

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void cellsRowsAndColours()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setTextMatrix(0, 0, QStringLiteral("Nr."));
        grid.AddItem(QStringLiteral("1"));
        grid.AddItem(QStringLiteral("2"));
        grid.setTextMatrix(2, 2, QStringLiteral("x"));
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("x"));

        grid.setRow(2);
        grid.setCol(1);
        grid.setCellBackColor(QColor(0, 0, 255));
        QCOMPARE(grid.cellBackColor(2, 1), QColor(0, 0, 255));
        QVERIFY(!grid.cellBackColor(2, 2).isValid()); // never set: the grid's own background

        grid.Clear();
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.Cols(), 3);
        QCOMPARE(grid.TextMatrix(1, 0), QString());
        grid.setRows(2); // lowering Rows drops rows at the end
        QCOMPARE(grid.Rows(), 2);
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

    void longColumnsFillInOnePiece()
    {
        FlexGrid grid;
        grid.setRows(4);
        grid.setColumnTexts(1, 1, QStringLiteral("AlphaBetaGamma"), {5, 9, 14});
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("Alpha"));
        QCOMPARE(grid.TextMatrix(3, 1), QStringLiteral("Gamma"));
        QCOMPARE(grid.model()->index(2, 1).data().toString(), QStringLiteral("Beta"));
        grid.setTextMatrix(2, 1, QStringLiteral("Delta")); // one cell of such a column changes
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("Alpha"));
        QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("Delta"));
        grid.setRows(3); // rows that go take their texts with them
        grid.setRows(4);
        QCOMPARE(grid.TextMatrix(3, 1), QString());
    }

    void aFillPutOffRunsWhenTheGridIsFirstLookedAt()
    {
        FlexGrid grid;
        int fills = 0;
        grid.fillWhenNeeded([&] {
            ++fills;
            grid.AddItem(QStringLiteral("filled"));
        });
        QCOMPARE(fills, 0);
        QCOMPARE(grid.Rows(), 2);
        QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("filled"));
        QCOMPARE(fills, 1);

        FlexGrid other;
        other.fillWhenNeeded([&] { other.AddItem(QStringLiteral("seen")); });
        // A cell looked up by its place, as a view or a test does.
        QCOMPARE(other.model()->index(1, 0).data().toString(), QStringLiteral("seen"));
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
