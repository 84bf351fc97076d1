// Every window at the desktop's usual font sizes, on the screen the test runs on (the plain
// offscreen screen, and a 1366 by 768 screen at scale 2): each caption fits its control, each
// window lies within the screen's available area, the views use the room the main window
// gives them and keep a usable size when restored, and the calendar shows its six weeks.
#include "addressbook/address_book_window.h"
#include "app/about_box.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "calendar/activities_window.h"
#include "calendar/appointment_editor.h"
#include "calendar/calendar_window.h"
#include "calendar/reminder_window.h"
#include "controls/twips.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "desktop/desktop_window.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"
#include "notes/notes_window.h"
#include "test_support.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <functional>

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
        if (auto *label = qobject_cast<QLabel *>(w); label && !label->text().isEmpty()) {
            check(w, label->text(), label->sizeHint(), label->rect());
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            // The style's frame around the text, and its margin beside it.
            const int frame = 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
            const int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
            const QSize text = fm.size(Qt::TextShowMnemonic, button->text());
            check(w, button->text(), text + QSize(frame + margin, frame), button->rect());
        } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QToolButton *>(w)) {
            const auto *b = static_cast<QAbstractButton *>(w);
            if (!b->text().isEmpty())
                check(w, b->text(), b->sizeHint(), b->rect());
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
    void everyWindowAtEachFontSize_data();
    void everyWindowAtEachFontSize();
};

void WindowFitTest::everyWindowAtEachFontSize_data()
{
    QTest::addColumn<qreal>("points");
    for (const qreal points : {9.0, 10.0, 11.0, 14.0})
        QTest::addRow("%g pt", points) << points;
}

void WindowFitTest::everyWindowAtEachFontSize()
{
    QFETCH(qreal, points);
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    QApplication::setFont(font);
    TestEnvironment env;
    MainWindow *main = env.startProgram();
    QVERIFY(main);
    // Each step brings windows or states on screen and names the view it puts in front.
    const std::function<QWidget *()> steps[] = {
        [] { return Forms::Form1(); },
        [&] { return main->ShowChildView(Forms::Form2()), Forms::Form2(); },
        [&] { return main->ShowChildView(Forms::Form3()), Forms::Form3(); },
        [] {
            Forms::Form3()->Command5->click(); // the details
            Forms::Form3()->Command3->click(); // the entry editor
            return nullptr;
        },
        [&] {
            main->ShowChildView(Forms::Form9());
            Forms::Form9()->Command2->click();
            return Forms::Form9();
        },
        [] {
            Forms::Form10()->Command2->click();
            Forms::Form9()->Command3->click();
            return nullptr;
        },
        [] {
            Forms::Form11()->Command2->click();
            Forms::Form1()->Calendar1_DblClick();
            Forms::Form4()->Check1->setChecked(true);
            Forms::Form4()->Command6->click(); // the day schedule
            return nullptr;
        },
        [] {
            Forms::Form4()->Command3->click(); // the appointment editor
            Forms::Form5()->Check1->setChecked(true);
            Forms::Form8()->showReminders({{"Dentist", "09:00", "09:30", "15"}});
            return nullptr;
        },
        [] {
            Forms::frmSplash()->show();
            Forms::Form12()->show();
            Forms::Form13()->show();
            return nullptr;
        },
    };
    Findings found;
    for (const auto &step : steps) {
        QWidget *view = step();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            checkCaptions(window, found);
            if (!window->screen()->availableGeometry().contains(window->frameGeometry()))
                found.fault() << window->objectName() << "off the screen" << window->geometry();
        }
        if (view)
            checkView(main, view, found);
    }
    // Where the screen has room, the main window keeps its designed client area.
    const QSize room = main->screen()->availableGeometry().size() - main->frameGeometry().size();
    const QSize client = main->mdiArea()->size();
    if ((client.width() < twipsX(7920) && room.width() > 0) ||
        (client.height() < twipsY(6435) && room.height() > 0))
        found.fault() << "the main window is smaller than designed" << client;
    found.faults.removeDuplicates();
    qInfo("%lld captions checked at %g pt", qlonglong(found.captions.size()), points);
    for (const QString &fault : found.faults)
        qWarning("%s", qPrintable(fault));
    QVERIFY(found.faults.isEmpty());
}

QTEST_MAIN(WindowFitTest)
#include "tst_window_fit.moc"
