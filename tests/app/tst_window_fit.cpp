// Every window at the desktop's usual font sizes, on the screen the test runs on (the plain
// offscreen screen, and a 1366 by 768 screen at scale 2): each caption fits its control, each
// window lies within the screen's available area, the views use the room the main window
// gives them and keep a usable size when restored, and the calendar shows its six weeks.
#include "window_walk.h"

#include <QAbstractItemModel>
#include <QGroupBox>
#include <QScreen>
#include <QStyle>
#include <QTableView>

namespace {

struct Findings {
    QSet<std::pair<const QWidget *, QString>> captions;
    QStringList faults;
    QDebug fault() { return QDebug(&faults.emplace_back()); }
};

// Checks the caption of each control in the window against the room the control gives it.
void checkCaptions(QWidget *window, Findings &found)
{
    auto check = [&](QWidget *w, const QString &text, QSize needed, QRect room) {
        found.captions.insert({w, text});
        if (room.width() < needed.width() || room.height() < needed.height() ||
            !w->parentWidget()->rect().contains(w->geometry()))
            found.fault() << w->objectName() << text << "needs" << needed << "has" << room;
    };
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        const QFontMetrics fm = w->fontMetrics();
        // Labels, check boxes and tool buttons (the program has no radio buttons).
        const bool captioned = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
        const QString caption = captioned ? w->property("text").toString() : QString();
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            // The style's frame around the text, and its margin beside it.
            const int frame = 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
            const int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
            const QSize text = fm.size(Qt::TextShowMnemonic, button->text());
            check(w, button->text(), text + QSize(frame + margin, frame), button->rect());
        } else if (!caption.isEmpty()) {
            check(w, caption, w->sizeHint(), w->rect());
        } else if (auto *frame = qobject_cast<QGroupBox *>(w); frame && !frame->title().isEmpty()) {
            const QSize text = fm.size(Qt::TextShowMnemonic, frame->title());
            check(w, frame->title(), text + QSize(16, 0), frame->rect());
        } else if (auto *table = qobject_cast<QTableView *>(w)) {
            // Row 0 of the grids and of the calendar's day table is their header.
            for (int c = 0; c < table->model()->columnCount(); ++c) {
                const QModelIndex header = table->model()->index(0, c);
                const QString text = header.data().toString();
                const QVariant font = header.data(Qt::FontRole);
                const QFontMetrics cell(font.isValid() ? font.value<QFont>() : table->font());
                if (!text.isEmpty())
                    check(w, text, QSize(cell.horizontalAdvance(text) + 6, cell.height()),
                          table->visualRect(header));
            }
        }
    }
}

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

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowAtEachFontSize_data()
    {
        QTest::addColumn<qreal>("points");
        for (const qreal points : {9.0, 10.0, 11.0, 14.0})
            QTest::addRow("%g pt", points) << points;
    }

    void everyWindowAtEachFontSize()
    {
        QFETCH(qreal, points);
        QFont font = QApplication::font();
        font.setPointSizeF(points);
        QApplication::setFont(font);
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QVERIFY(main);
        Findings found;
        walkEveryWindow(main, [&](QWidget *view) {
            for (QWidget *window : windowsOnScreen()) {
                checkCaptions(window, found);
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
        found.faults.removeDuplicates();
        qInfo("%lld captions checked at %g pt", qlonglong(found.captions.size()), points);
        QVERIFY2(found.faults.isEmpty(), qPrintable(found.faults.join(u'\n')));
    }
};

QTEST_MAIN(WindowFitTest)
#include "tst_window_fit.moc"
