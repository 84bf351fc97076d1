// Every text of every window reads on what it stands on (contrast at least 4.5:1), with a dark
// desktop palette as with a light one: where the design fixes a background colour it fixes a
// text colour to match, and everything else follows the desktop's palette.
#include "../calendar/calendar_fixtures.h"
#include "window_walk.h"

#include <QStyleFactory>
#include <QTableView>
#include <QTextBlock>
#include <QToolButton>

using namespace Fixtures;

namespace {

// The contrast ratio of two colours, from 1 (none) to 21 (black on white).
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
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

// The colour the brush paints, or the widget's colour of `role` when the brush paints none.
QColor colourOf(const QBrush &brush, const QWidget *w, QPalette::ColorRole role)
{
    return brush.style() != Qt::NoBrush ? brush.color()
                                        : w->palette().color(QPalette::Active, role);
}

// Adds what does not read in the window to `unreadable`: the texts of its controls, of its
// help pages and of the cells of its grids and of the calendar's day table.
void checkWindow(QWidget *top, QStringList &unreadable)
{
    const auto check = [&](const QString &what, const QColor &ink, const QColor &ground) {
        if (contrast(ink, ground) < 4.5)
            unreadable << QStringLiteral("%1 in %2: %3 on %4")
                              .arg(what, top->objectName(), ink.name(), ground.name());
    };
    // As the window shows it when active (a disabled control is meant to fade).
    for (QWidget *w : top->findChildren<QWidget *>()) {
        const QVariant text = w->property("text"); // or the current text of a combo box
        if (w->isVisibleTo(top) &&
            !(text.isValid() ? text : w->property("currentText")).toString().trimmed().isEmpty())
            check(w->objectName(), w->palette().color(QPalette::Active, w->foregroundRole()),
                  backgroundOf(w));
    }
    for (QTextBrowser *page : top->findChildren<QTextBrowser *>()) {
        for (QTextBlock b = page->document()->begin(); b.isValid(); b = b.next()) {
            for (auto f = b.begin(); !f.atEnd(); ++f)
                check(page->objectName() + ": " + f.fragment().text().left(20),
                      colourOf(f.fragment().charFormat().foreground(), page, QPalette::Text),
                      colourOf({}, page, QPalette::Base));
        }
    }
    for (QTableView *grid : top->findChildren<QTableView *>()) {
        for (int r = 0; grid->isVisibleTo(top) && r < grid->model()->rowCount(); ++r) {
            for (int c = 0; c < grid->model()->columnCount(); ++c) {
                const QModelIndex i = grid->model()->index(r, c);
                const QColor text =
                    colourOf(i.data(Qt::ForegroundRole).value<QBrush>(), grid, QPalette::Text);
                // The greyed days of the months before and after are meant to fade.
                if (!i.data().toString().isEmpty() &&
                    text != grid->palette().color(QPalette::Disabled, QPalette::Text))
                    check(
                        QStringLiteral("cell %1,%2").arg(r).arg(c), text,
                        colourOf(i.data(Qt::BackgroundRole).value<QBrush>(), grid, QPalette::Base));
            }
        }
    }
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
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light palette") << QStyleFactory::create("Fusion")->standardPalette();
        QTest::newRow("dark palette") << darkPalette();
    }

    void everyTextReads()
    {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        TestEnvironment env;
        QVERIFY(env.startProgram());
        // Marks on the calendar and an appointment in the day's schedule show their colours.
        appointment("20240105-1", "Meeting", "10:00", "11:00", true, "15");
        birthday("Adams", "Ann", "05/01/1980");
        QStringList unreadable;
        walkEveryWindow(env.mainWindow(), [&](QWidget *) {
            for (QWidget *top : windowsOnScreen())
                checkWindow(top, unreadable);
        });
        unreadable.removeDuplicates();
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(u'\n')));
    }
};

QTEST_MAIN(ReadableColoursTest)
#include "tst_readable_colours.moc"
