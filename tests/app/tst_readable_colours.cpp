// Every text of every window reads on what it stands on (contrast at least 4.5:1), with a dark
// desktop palette as with a light one: where the design fixes a background colour it fixes a
// text colour to match, and everything else follows the desktop's palette.
#include "../calendar/calendar_fixtures.h"
#include "addressbook/address_book_window.h"
#include "app/about_box.h"
#include "app/module1.h"
#include "calendar/activities_window.h"
#include "calendar/calendar_window.h"
#include "calendar/day_schedule_window.h"
#include "calendar/reminder_window.h"
#include "controls/flex_grid.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTableView>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>

using namespace Fixtures;

namespace {

double luminance(const QColor &c)
{
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a widget's text stands on: its own background when it paints one (text boxes, buttons,
// labels that fill their background), else that of the nearest parent that paints one.
QColor backgroundOf(const QWidget *w)
{
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w))
        return w->palette().color(QPalette::Active, QPalette::Base);
    auto *tool = qobject_cast<const QToolButton *>(w);
    if ((qobject_cast<const QAbstractButton *>(w) && !(tool && tool->autoRaise())) ||
        qobject_cast<const QComboBox *>(w))
        return w->palette().color(QPalette::Active, QPalette::Button);
    // A flat tool button, like a label, shows what it stands on.
    for (w = tool ? w->parentWidget() : w; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(QPalette::Active, w->backgroundRole());
    }
    return {};
}

QString textOf(const QWidget *w)
{
    for (const char *property : {"text", "currentText"}) {
        if (const QVariant text = w->property(property); text.isValid())
            return text.toString();
    }
    return {};
}

// A dark desktop palette: light text on dark grounds.
QPalette darkPalette()
{
    QPalette p(QColor(53, 53, 53), QColor(53, 53, 53));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, Qt::white);
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    return p;
}

} // namespace

class ReadableColoursTest : public QObject {
    Q_OBJECT
private slots:
    void everyTextReads_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light palette") << false;
        QTest::newRow("dark palette") << true;
    }

    void everyTextReads()
    {
        QFETCH(bool, dark);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(dark ? darkPalette()
                                      : QStyleFactory::create("Fusion")->standardPalette());
        TestEnvironment env;
        const QDate day(2024, 1, 5);
        QVERIFY(startOn(env, day, QTime(9, 0)));
        appointment("20240105-1", "Meeting", "10:00", "11:00", true, "15");
        birthday("Adams", "Ann", "05/01/1980");
        // Every window with a colour of its own on screen: a highlighted letter group, the
        // schedule, the reminder, the About box.
        Forms::Form3()->Command4[0]->click();
        openDay(day)->Command6->click();
        Forms::Form4()->Command1->click(); // the frame enabled again, the schedule stays
        env.setNow(QDateTime(day, QTime(9, 45)));
        env.mainWindow()->Timer1_Timer();
        Forms::frmSplash()->show();
        Module1::ShowHelpPage(11);
        Forms::Form13()->show();
        Forms::Form12()->show();

        QStringList unreadable;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            for (QWidget *w : top->findChildren<QWidget *>()) {
                if (!w->isVisibleTo(top) || textOf(w).trimmed().isEmpty())
                    continue;
                // As the window shows it when active (a disabled control is meant to fade).
                const QColor fg = w->palette().color(QPalette::Active, w->foregroundRole());
                const QColor bg = backgroundOf(w);
                if (contrast(fg, bg) < 4.5)
                    unreadable.append(
                        QStringLiteral("%1 in %2: %3 on %4")
                            .arg(w->objectName(), top->objectName(), fg.name(), bg.name()));
            }
            // A help page's text on its page.
            for (QTextBrowser *page : top->findChildren<QTextBrowser *>()) {
                const QColor paper = page->palette().color(QPalette::Active, QPalette::Base);
                for (QTextBlock b = page->document()->begin(); b.isValid(); b = b.next()) {
                    for (auto f = b.begin(); !f.atEnd(); ++f) {
                        const QBrush ink = f.fragment().charFormat().foreground();
                        const QColor text =
                            ink.style() == Qt::NoBrush
                                ? page->palette().color(QPalette::Active, QPalette::Text)
                                : ink.color();
                        if (contrast(text, paper) < 4.5)
                            unreadable.append(page->objectName() + ": " +
                                              f.fragment().text().left(20));
                    }
                }
            }
            // The cells of the grids and of the calendar's day table.
            for (QTableView *grid : top->findChildren<QTableView *>()) {
                if (!grid->isVisibleTo(top))
                    continue;
                auto colour = [grid](const QVariant &v, QPalette::ColorRole role) {
                    return v.canConvert<QBrush>() && v.value<QBrush>().style() != Qt::NoBrush
                               ? v.value<QBrush>().color()
                               : grid->palette().color(QPalette::Active, role);
                };
                for (int r = 0; r < grid->model()->rowCount(); ++r) {
                    for (int c = 0; c < grid->model()->columnCount(); ++c) {
                        const QModelIndex i = grid->model()->index(r, c);
                        if (i.data().toString().isEmpty())
                            continue;
                        const QColor text = colour(i.data(Qt::ForegroundRole), QPalette::Text);
                        const QColor back = colour(i.data(Qt::BackgroundRole), QPalette::Base);
                        // The greyed days of the months before and after are meant to fade.
                        if (text == grid->palette().color(QPalette::Disabled, QPalette::Text))
                            continue;
                        if (contrast(text, back) < 4.5)
                            unreadable.append(
                                QStringLiteral("cell %1,%2 of %3: %4 on %5")
                                    .arg(r)
                                    .arg(c)
                                    .arg(top->objectName(), text.name(), back.name()));
                    }
                }
            }
        }
        QApplication::setPalette(before);
        for (const QString &u : unreadable)
            qWarning("unreadable: %s", qPrintable(u));
        QVERIFY(unreadable.isEmpty());
    }
};

QTEST_MAIN(ReadableColoursTest)
#include "tst_readable_colours.moc"
