#include "calendar/calendar_window.h"

#include "calendar/activities_window.h"
#include "calendar/calendar_forms.h"
#include "calendar/calendar_logic.h"
#include "calendar/calendar_procedures.h"
#include "controls/date_picker.h"
#include "controls/program_frame.h"
#include "controls/seams.h"
#include "controls/twips.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolButton>

namespace {

// A marker is 255 by 255 twips at the designed density, 17 pixels: the size of its picture,
// which does not grow with the font.
constexpr int kMarkerSize = 17;

// A marker keeps its colours while the main window is disabled (the activities window is
// open over the calendar then), where a plain label would grey its picture out.
class MarkerLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, pixmap());
    }
};

QLabel *makeDot(QWidget *parent, const QString &name, const QPixmap &picture)
{
    auto *dot = new MarkerLabel(parent);
    dot->setObjectName(name);
    dot->setPixmap(picture);
    dot->setFixedSize(kMarkerSize, kMarkerSize);
    // Clicks on a marker belong to the day cell under it.
    dot->setAttribute(Qt::WA_TransparentForMouseEvents);
    return dot;
}

} // namespace

UpDownSpinner::UpDownSpinner(QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Down = new QToolButton(this);
    Down->setObjectName(QStringLiteral("Down"));
    Down->setArrowType(Qt::LeftArrow);
    Down->setToolTip(QStringLiteral("Previous month"));
    Down->setAccessibleName(Down->toolTip());
    Up = new QToolButton(this);
    Up->setObjectName(QStringLiteral("Up"));
    Up->setArrowType(Qt::RightArrow);
    Up->setToolTip(QStringLiteral("Next month"));
    Up->setAccessibleName(Up->toolTip());
    for (QToolButton *arrow : {Down, Up}) {
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        arrow->setAutoRepeat(true);
        row->addWidget(arrow);
    }
    connect(Down, &QToolButton::clicked, this, &UpDownSpinner::DownClick);
    connect(Up, &QToolButton::clicked, this, &UpDownSpinner::UpClick);
}

CalendarWindow::CalendarWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Calendar"));
    setAutoFillBackground(true);

    Calendar1 = new QCalendarWidget(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setFirstDayOfWeek(Qt::Sunday);
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    Calendar1->setGridVisible(true);
    Calendar1->setAccessibleName(QStringLiteral("Month calendar"));
    if (auto *year = Calendar1->findChild<QWidget *>(QStringLiteral("qt_calendar_yearedit")))
        year->setAccessibleName(QStringLiteral("Year"));
    // Four-digit years keep the month keys of the markers eight characters long.
    Calendar1->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
    // The calendar starts at the view's left edge, so that the markers of the Sunday column
    // stay wholly inside the view.
    Calendar1->setGeometry(QRect(QPoint(0, 0), sizeHint()));
    // The spinner steps the months; the title keeps the month menu and the year box.
    for (const char *name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"}) {
        if (auto *arrow = Calendar1->findChild<QToolButton *>(QString::fromLatin1(name)))
            arrow->hide();
    }
    // The month header and the selected day have colours of their own, white on a deep blue,
    // which read whatever the desktop's palette.
    QPalette title = Calendar1->palette();
    title.setColor(QPalette::Highlight, QColor(0, 70, 140));
    title.setColor(QPalette::HighlightedText, Qt::white);
    Calendar1->setPalette(title);
    showWeekendsReadably();
    // The title bar is tall enough for the legend that stands in its left part; the month and
    // year stand between the legend and the spinner at their right.
    if (auto *bar = Calendar1->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"))) {
        bar->setMinimumHeight(twipsY(540));
        if (QLayout *row = bar->layout()) {
            const QMargins margins = row->contentsMargins();
            row->setContentsMargins(twipsX(480 + 1695 + 120), margins.top(),
                                    twipsX(120 + 852 + 120), margins.bottom());
        }
    }
    m_dayTable = Calendar1->findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"));
    if (m_dayTable) {
        m_dayTable->viewport()->installEventFilter(this);
        // A day opens on a double-click or Return only, which this window tells apart itself:
        // the calendar's own "activated" also comes on a single click on desktops set to
        // open items so, and a double-click on a greyed day turns the page between its clicks.
        m_dayTable->installEventFilter(this);
        m_dayTable->setAccessibleName(QStringLiteral("Days of the month"));
        connect(m_dayTable->horizontalHeader(), &QHeaderView::sectionResized, this,
                &CalendarWindow::placeMarkersSoon);
        connect(m_dayTable->verticalHeader(), &QHeaderView::sectionResized, this,
                &CalendarWindow::placeMarkersSoon);
    }

    // The 43 dots of a colour share one picture.
    const QPixmap blue = CalendarProcedures::MarkerPicture(QColor(0, 0, 255), u'B');
    const QPixmap red = CalendarProcedures::MarkerPicture(QColor(255, 0, 0), u'A');
    for (int i = 0; i <= 42; ++i) {
        Picture1[i] = makeDot(this, QStringLiteral("Picture1(%1)").arg(i), blue);
        Picture2[i] = makeDot(this, QStringLiteral("Picture2(%1)").arg(i), red);
        if (i > 0) {
            Picture1[i]->hide();
            Picture2[i]->hide();
        }
    }
    Picture1[0]->setAccessibleName(QStringLiteral("Birthday marker"));
    Picture2[0]->setAccessibleName(QStringLiteral("Appointment marker"));
    Picture1[0]->move(twipsX(240), 0);
    Picture2[0]->move(twipsX(240), twipsY(240));

    Picture3 = new QLabel(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setGeometry(twipsRect(480, 0, 1695, 495));
    Picture3->setText(QStringLiteral("Birthday\nAppointment"));
    Picture3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Picture3->setAutoFillBackground(true);
    QPalette legend = Picture3->palette();
    legend.setColor(QPalette::Window, Qt::white);
    legend.setColor(QPalette::WindowText, Qt::black);
    Picture3->setPalette(legend);
    Picture3->setAttribute(Qt::WA_TransparentForMouseEvents);

    UpDown1 = new UpDownSpinner(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(twipsRect(4920, 120, 852, 240));

    for (QWidget *w : {static_cast<QWidget *>(Picture3), static_cast<QWidget *>(UpDown1)})
        w->raise();
    for (int i = 0; i <= 42; ++i) {
        Picture1[i]->raise();
        Picture2[i]->raise();
    }

    connect(Calendar1, &QCalendarWidget::selectionChanged, this,
            &CalendarWindow::Calendar1_AfterUpdate);
    connect(Calendar1, &QCalendarWidget::currentPageChanged, this,
            &CalendarWindow::Calendar1_AfterUpdate);
    connect(UpDown1, &UpDownSpinner::DownClick, this, &CalendarWindow::UpDown1_DownClick);
    connect(UpDown1, &UpDownSpinner::UpClick, this, &CalendarWindow::UpDown1_UpClick);
}

void CalendarWindow::load()
{
    Form_Load();
}

void CalendarWindow::Form_Load()
{
    m_stepping = true;
    Calendar1->setSelectedDate(Clock::Today());
    m_stepping = false;
    Module1::MarkCalendarDays();
}

void CalendarWindow::Calendar1_AfterUpdate()
{
    // A step of the spinner marks the days once, after the calendar has moved.
    if (m_stepping)
        return;
    Module1::MarkCalendarDays();
}

void CalendarWindow::Calendar1_DblClick()
{
    ProgramFrame::setEnabled(false);
    ActivitiesWindow *activities = Forms::Form4();
    activities->DTPicker1->setValue(Calendar1->selectedDate());
    activities->show();
    activities->raise();
    activities->activateWindow();
    Module1::LoadDayActivities();
}

void CalendarWindow::UpDown1_DownClick()
{
    int month = Calendar1->monthShown() - 1;
    int year = Calendar1->yearShown();
    if (month == 0) {
        month = 12;
        year -= 1;
    }
    goToMonth(year, month);
}

void CalendarWindow::UpDown1_UpClick()
{
    int month = Calendar1->monthShown() + 1;
    int year = Calendar1->yearShown();
    if (month == 13) {
        month = 1;
        year += 1;
    }
    goToMonth(year, month);
}

void CalendarWindow::goToMonth(int year, int month)
{
    const QDate first(year, month, 1);
    // Beyond the calendar's range the spinner stays where it is.
    if (!first.isValid() || first < Calendar1->minimumDate() || first > Calendar1->maximumDate())
        return;
    m_stepping = true;
    Calendar1->setSelectedDate(first);
    Calendar1->setCurrentPage(year, month);
    m_stepping = false;
    Module1::MarkCalendarDays();
}

QDate CalendarWindow::cellDate(int cell) const
{
    return CalendarLogic::CellDate(Calendar1->yearShown(), Calendar1->monthShown(), cell);
}

void CalendarWindow::describeMarkedDays()
{
    // A screen reader finds each marker under the day it marks, and hears with the selected day
    // whether it has appointments or birthdays.
    const QLocale locale;
    QStringList selected;
    for (int i = 1; i <= 42; ++i) {
        for (const auto &[marker, what] : {std::pair{Picture2[i], QStringLiteral("Appointments")},
                                           std::pair{Picture1[i], QStringLiteral("Birthday")}}) {
            if (marker->isHidden())
                continue;
            marker->setAccessibleName(what + QStringLiteral(" on ") +
                                      locale.toString(cellDate(i), QLocale::LongFormat));
            if (cellDate(i) == Calendar1->selectedDate())
                selected.append(what.toLower());
        }
    }
    if (m_dayTable)
        m_dayTable->setAccessibleDescription(
            locale.toString(Calendar1->selectedDate(), QLocale::LongFormat) +
            (selected.isEmpty() ? QStringLiteral(": nothing marked")
                                : QStringLiteral(": ") + selected.join(QStringLiteral(" and "))));
}

QRect CalendarWindow::dayCellRect(int cell) const
{
    if (!m_dayTable || !m_dayTable->model() || cell < 1 || cell > 42)
        return {};
    // Row 0 of the calendar's table holds the day names; the day cells follow row by row.
    const QModelIndex index = m_dayTable->model()->index((cell - 1) / 7 + 1, (cell - 1) % 7);
    const QRect r = m_dayTable->visualRect(index);
    if (r.isEmpty())
        return {};
    return QRect(m_dayTable->viewport()->mapTo(this, r.topLeft()), r.size());
}

void CalendarWindow::placeMarkers()
{
    for (int i = 1; i <= 42; ++i) {
        const QRect cell = dayCellRect(i);
        if (cell.isEmpty())
            continue;
        // Blue in the upper left corner, red right beside it.
        const QPoint corner = cell.topLeft() + QPoint(2, 2);
        Picture1[i]->move(corner);
        Picture2[i]->move(corner + QPoint(twipsX(240), 0));
    }
    // The spinner stands just right of the calendar's month and year.
    QWidget *year = Calendar1->findChild<QWidget *>(QStringLiteral("qt_calendar_yearbutton"));
    QWidget *bar = Calendar1->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"));
    if (year && bar && year->isVisibleTo(Calendar1) && year->width() > 0) {
        const QPoint right = year->mapTo(this, QPoint(year->width(), 0));
        const QPoint barTop = bar->mapTo(this, QPoint(0, 0));
        UpDown1->move(right.x() + twipsX(120),
                      barTop.y() + std::max(0, (bar->height() - UpDown1->height()) / 2));
    }
}

void CalendarWindow::placeMarkersSoon()
{
    // A resize of the table resizes each of its rows and columns in turn: the markers move
    // once, after all of them.
    if (m_placingSoon)
        return;
    m_placingSoon = true;
    QTimer::singleShot(0, this, [this] {
        m_placingSoon = false;
        placeMarkers();
    });
}

QSize CalendarWindow::sizeHint() const
{
    return twipsSize(7935, 5295);
}

QSize CalendarWindow::minimumSizeHint() const
{
    const QFontMetrics metrics = Calendar1->fontMetrics();
    const QSize cell(std::max(twipsX(240) + kMarkerSize + 4,
                              metrics.horizontalAdvance(QStringLiteral("Wed")) + 8),
                     std::max(kMarkerSize + 4, metrics.height() + 6));
    QSize title;
    auto *bar = Calendar1->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"));
    auto *month = Calendar1->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
    auto *year = Calendar1->findChild<QToolButton *>(QStringLiteral("qt_calendar_yearbutton"));
    if (bar && bar->layout() && month && year) {
        // The longest month name, with the button's frame and menu arrow.
        const QFontMetrics monthMetrics = month->fontMetrics();
        int longest = 0;
        for (int m = 1; m <= 12; ++m)
            longest = std::max(longest, monthMetrics.horizontalAdvance(locale().monthName(m)));
        const int monthWidth =
            longest + month->sizeHint().width() - monthMetrics.horizontalAdvance(month->text());
        const QMargins margins = bar->layout()->contentsMargins();
        title = QSize(margins.left() + monthWidth + year->sizeHint().width() + margins.right(),
                      std::max(bar->minimumHeight(), bar->sizeHint().height()));
    }
    return {std::max(7 * cell.width(), title.width()), title.height() + 7 * cell.height()};
}

void CalendarWindow::showWeekendsReadably()
{
    // Saturdays and Sundays stand out in red, dark on a light palette and light on a dark one,
    // so that they read on the calendar's ground either way.
    const bool dark = Calendar1->palette().color(QPalette::Base).lightness() < 128;
    QTextCharFormat weekend = Calendar1->weekdayTextFormat(Qt::Saturday);
    weekend.setForeground(dark ? QColor(255, 140, 140) : QColor(176, 0, 0));
    for (const Qt::DayOfWeek day : {Qt::Saturday, Qt::Sunday})
        Calendar1->setWeekdayTextFormat(day, weekend);
}

void CalendarWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showWeekendsReadably();
}

void CalendarWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The calendar fills the view.
    Calendar1->setGeometry(rect());
    placeMarkers();
    placeMarkersSoon();
}

QDate CalendarWindow::dateAt(QPoint viewportPoint) const
{
    if (!m_dayTable)
        return {};
    const QModelIndex index = m_dayTable->indexAt(viewportPoint);
    // Row 0 holds the day names.
    if (!index.isValid() || index.row() < 1 || index.row() > 6)
        return {};
    const QDate date = cellDate((index.row() - 1) * 7 + index.column() + 1);
    if (date < Calendar1->minimumDate() || date > Calendar1->maximumDate())
        return {};
    return date;
}

bool CalendarWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (m_dayTable && watched == m_dayTable->viewport()) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::LayoutRequest:
            placeMarkersSoon();
            break;
        case QEvent::MouseButtonPress:
            m_pressedDate = dateAt(static_cast<QMouseEvent *>(event)->position().toPoint());
            break;
        case QEvent::MouseButtonDblClick:
            // The day under the first click, though that click may have turned the page.
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                if (!m_pressedDate.isValid())
                    m_pressedDate = dateAt(static_cast<QMouseEvent *>(event)->position().toPoint());
                if (m_pressedDate.isValid()) {
                    Calendar1->setSelectedDate(m_pressedDate);
                    Calendar1_DblClick();
                }
            }
            m_pressedDate = {};
            return true;
        default:
            break;
        }
    }
    if (m_dayTable && watched == m_dayTable && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QDate selected = Calendar1->selectedDate();
            if (selected.month() == Calendar1->monthShown() &&
                selected.year() == Calendar1->yearShown())
                Calendar1_DblClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
