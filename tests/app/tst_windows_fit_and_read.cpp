// Every window at the desktop's usual font sizes, with a light and with a dark desktop
// palette, on the screen the test runs on (the plain offscreen screen, and a 1366 by 768
// screen at scale 2). The windows fit: each caption fits its control, each window lies within
// the screen's available area, the views use the room the main window gives them and keep a
// usable size when restored, and the calendar shows its six weeks. Every text reads on what it
// stands on (contrast at least 4.5:1): where the design fixes a background colour it fixes a
// text colour to match, and everything else follows the desktop's palette. Texts from the
// files that look like markup show as typed in every label, tool tip and message.
#include "../calendar/calendar_fixtures.h"
#include "window_walk.h"

#include "data/desktop_store.h"
#include "data/note_store.h"

#include <QAbstractItemModel>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolButton>

namespace {

struct Findings {
    QStringList faults;
    QDebug fault() { return QDebug(&faults.emplace_back()); }
};

// The view in front: it fills the main window's area, or needs more and can be scrolled, its
// controls reach close to its right and bottom edges, and restored it keeps most of its size
// hint. The calendar shows its first and last day cells whole.
void checkView(MainWindow *main, QWidget *view, Findings &found)
{
    const QWidget *area = main->mdiArea()->viewport();
    QRect used;
    for (const QWidget *control : view->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        used |= control->isVisibleTo(view) ? control->geometry() : QRect();
    if (view->size() !=
            area->size().expandedTo(view->minimumSize()).expandedTo(view->minimumSizeHint()) ||
        used.right() < view->width() - twipsX(240) || used.bottom() < view->height() - twipsY(240))
        found.fault() << view->objectName() << "does not use its room" << view->size();
    if (auto *calendar = qobject_cast<CalendarWindow *>(view)) {
        for (const int cell : {1, 42}) {
            const QRect day = calendar->dayCellRect(cell);
            if (!area->rect().contains(QRect(calendar->mapTo(area, day.topLeft()), day.size())) ||
                day.height() < calendar->fontMetrics().height())
                found.fault() << "day cell" << cell << "out of sight:" << day;
        }
    }
    main->subWindowOf(view)->showNormal();
    if (view->size().expandedTo(view->sizeHint() * 0.75) != view->size())
        found.fault() << view->objectName() << "collapses when restored" << view->size();
    main->ShowChildView(view);
}

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

// Checks the controls of the window: each caption against the room its control gives it, and
// each text against what it stands on, as the window shows it when active (a disabled control
// is meant to fade); the same for the texts of the help pages, shown or not, and for the cells
// of the grids and of the calendar's day table, whose row 0 is their header.
void checkWindow(QWidget *window, Findings &found)
{
    const auto fits = [&](QWidget *w, const QString &text, QSize needed, QRect room) {
        if (room.width() < needed.width() || room.height() < needed.height() ||
            !w->parentWidget()->rect().contains(w->geometry()))
            found.fault() << w->objectName() << text << "needs" << needed << "has" << room;
    };
    const auto reads = [&](const QString &what, const QColor &ink, const QColor &ground) {
        if (contrast(ink, ground) < 4.5)
            found.fault() << what << "in" << window->objectName() << ink.name() << "on"
                          << ground.name();
    };
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (auto *page = qobject_cast<QTextBrowser *>(w)) {
            for (QTextBlock b = page->document()->begin(); b.isValid(); b = b.next()) {
                for (auto f = b.begin(); !f.atEnd(); ++f)
                    reads(page->objectName() + ": " + f.fragment().text().left(20),
                          colourOf(f.fragment().charFormat().foreground(), page, QPalette::Text),
                          colourOf({}, page, QPalette::Base));
            }
        }
        if (!w->isVisibleTo(window))
            continue;
        const QVariant text = w->property("text"); // or the current text of a combo box
        if (!(text.isValid() ? text : w->property("currentText")).toString().trimmed().isEmpty())
            reads(w->objectName(), w->palette().color(QPalette::Active, w->foregroundRole()),
                  backgroundOf(w));
        const QFontMetrics fm = w->fontMetrics();
        // Labels, check boxes and tool buttons (the program has no radio buttons).
        const bool captioned = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
        const QString caption = captioned ? text.toString() : QString();
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            // The style's frame around the text, and its margin beside it.
            const int frame = 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
            const int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
            const QSize size = fm.size(Qt::TextShowMnemonic, caption);
            fits(w, caption, size + QSize(frame + margin, frame), button->rect());
        } else if (!caption.isEmpty()) {
            fits(w, caption, w->sizeHint(), w->rect());
        } else if (auto *frame = qobject_cast<QGroupBox *>(w); frame && !frame->title().isEmpty()) {
            const QSize size = fm.size(Qt::TextShowMnemonic, frame->title());
            fits(w, frame->title(), size + QSize(16, 0), frame->rect());
        }
        auto *grid = qobject_cast<QTableView *>(w);
        for (int r = 0; grid && r < grid->model()->rowCount(); ++r) {
            for (int c = 0; c < grid->model()->columnCount(); ++c) {
                const QModelIndex i = grid->model()->index(r, c);
                const QString cell = i.data().toString();
                const QVariant font = i.data(Qt::FontRole);
                const QFontMetrics cfm(font.isValid() ? font.value<QFont>() : grid->font());
                if (r == 0 && !cell.isEmpty())
                    fits(w, cell, QSize(cfm.horizontalAdvance(cell) + 6, cfm.height()),
                         grid->visualRect(i));
                const QColor ink =
                    colourOf(i.data(Qt::ForegroundRole).value<QBrush>(), grid, QPalette::Text);
                // The greyed days of the months before and after are meant to fade.
                if (!cell.isEmpty() &&
                    ink != grid->palette().color(QPalette::Disabled, QPalette::Text))
                    reads(
                        QStringLiteral("cell %1,%2").arg(r).arg(c), ink,
                        colourOf(i.data(Qt::BackgroundRole).value<QBrush>(), grid, QPalette::Base));
            }
        }
    }
}

// Checks the labels and tool tips of the window (those of list items too): where one holds
// `text`, it shows it as typed. `seen` gets the controls that show it.
void checkShownAsTyped(QWidget *window, const QString &text, Findings &found, QSet<QString> &seen)
{
    const auto check = [&](const QWidget *w, const QString &raw, Qt::TextFormat format) {
        const bool markup =
            format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(raw));
        const QString shown = markup ? QTextDocumentFragment::fromHtml(raw).toPlainText() : raw;
        if (shown.contains(text))
            seen.insert(w->objectName());
        else if (raw.contains(text))
            found.fault() << w->objectName() << "shows" << raw << "as" << shown;
    };
    // A list filled when first asked for its items may replace controls: each is looked up
    // again.
    QList<QPointer<QWidget>> controls{window};
    for (QWidget *w : window->findChildren<QWidget *>())
        controls.append(w);
    for (QWidget *w : controls) {
        if (!w)
            continue;
        if (auto *label = qobject_cast<QLabel *>(w))
            check(w, label->text(), label->textFormat());
        check(w, w->toolTip(), Qt::AutoText);
        const QAbstractItemModel *items = qobject_cast<QAbstractItemView *>(w)
                                              ? qobject_cast<QAbstractItemView *>(w)->model()
                                              : nullptr;
        for (int r = 0; items && r < items->rowCount(); ++r)
            for (int c = 0; c < items->columnCount(); ++c)
                check(w, items->index(r, c).data(Qt::ToolTipRole).toString(), Qt::AutoText);
    }
}

} // namespace

class WindowsFitAndReadTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowFitsAndReads_data()
    {
        QTest::addColumn<qreal>("points");
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<QString>("text"); // in every file: it looks like markup
        // A light desktop palette, dark text on light grounds, and a dark one the other way round.
        const QStringList texts{"<b>x</b>", "<img src=\"x.png\">", "a &lt;i&gt; &amp; b",
                                "<i>Meeting</i>"};
        const qreal sizes[] = {9.0, 10.0, 11.0, 14.0};
        for (int i = 0; i < 4; ++i) {
            QTest::addRow("%g pt, %s palette", sizes[i], i % 2 ? "dark" : "light")
                << sizes[i] << QPalette(i % 2 ? QColor(53, 53, 53) : QColor(239, 239, 239))
                << texts[i];
        }
    }

    void everyWindowFitsAndReads()
    {
        QFETCH(qreal, points);
        QFETCH(QPalette, palette);
        QFETCH(QString, text);
        QFont font = QApplication::font();
        font.setPointSizeF(points);
        QApplication::setFont(font);
        QApplication::setPalette(palette);
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QVERIFY(main);
        // Marks on the calendar and an appointment in the day's schedule show their colours.
        Fixtures::appointment("20240105-1", text, "10:00", "11:00", true, "15", text);
        Fixtures::birthday(text, text, "05/01/1980");
        QVERIFY(NoteStore().AppendNote(text, text).ok());
        QVERIFY(DesktopStore().AppendDesktopEntry(text, "/bin/" + text).ok());
        env.setNow(QDateTime(Fixtures::kDay, QTime(9, 45)));
        Module1::CheckReminders();
        Findings found;
        QSet<QString> seen; // the controls that show the text
        walkEveryWindow(main, [&](QWidget *view) {
            for (QWidget *window : windowsOnScreen()) {
                checkWindow(window, found);
                checkShownAsTyped(window, text, found, seen);
                if (!window->screen()->availableGeometry().contains(window->frameGeometry()))
                    found.fault() << window->objectName() << "off the screen" << window->geometry();
            }
            if (view)
                checkView(main, view, found);
        });
        // Where the screen has room, the main window keeps its designed client area.
        const QSize room =
            main->screen()->availableGeometry().size() - main->frameGeometry().size();
        const QSize client = main->mdiArea()->size();
        if ((client.width() < twipsX(7920) && room.width() > 0) ||
            (client.height() < twipsY(6435) && room.height() > 0))
            found.fault() << "the main window is smaller than designed" << client;
        env.launchError = "refused"; // a message that quotes the button's program
        Forms::Form9()->Toolbar1_ButtonClick(1);
        MessageBox::setHandler({}); // the message box itself, closed as soon as it shows
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            checkShownAsTyped(box, text, found, seen);
            box->accept();
        });
        MessageBox::show(env.messages.value(0));
        QCOMPARE(seen, (QSet<QString>{"Label7(0)", "Toolbar1", "qt_msgbox_label"}));
        found.faults.removeDuplicates();
        QVERIFY2(found.faults.isEmpty(), qPrintable(found.faults.join(u'\n')));
    }
};

QTEST_MAIN(WindowsFitAndReadTest)
#include "tst_windows_fit_and_read.moc"
