// Form1: the calendar view: a month calendar with birthday and appointment markers.
#pragma once

#include <QDate>
#include <QWidget>

#include <array>

class QCalendarWidget;
class QLabel;
class QTableView;
class QToolButton;

// UpDown1: two arrows side by side; the left (down) one steps back, the right (up) one on.
class UpDownSpinner : public QWidget {
    Q_OBJECT
public:
    explicit UpDownSpinner(QWidget *parent = nullptr);

    QToolButton *Down = nullptr;
    QToolButton *Up = nullptr;

signals:
    void DownClick();
    void UpClick();
};

class CalendarWindow : public QWidget {
    Q_OBJECT
public:
    explicit CalendarWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    QCalendarWidget *Calendar1 = nullptr;
    UpDownSpinner *UpDown1 = nullptr;
    // Index 0 is the legend dot; 1 to 42 are the markers of the day cells.
    std::array<QLabel *, 43> Picture1{};
    std::array<QLabel *, 43> Picture2{};
    QLabel *Picture3 = nullptr;

    void Form_Load();
    void Calendar1_AfterUpdate();
    // Opens the selected day's activities.
    void Calendar1_DblClick();
    void UpDown1_DownClick();
    void UpDown1_UpClick();

    // The area of day cell `cell` (1 to 42) as the calendar draws it, in this window's
    // coordinates; empty when the calendar has not laid itself out.
    QRect dayCellRect(int cell) const;
    // The date of the day cell at a point of the calendar's day table (its viewport's
    // coordinates), greyed days of the months before and after included; invalid elsewhere.
    QDate dateAt(QPoint viewportPoint) const;
    // Puts every marker on the upper left corner of its day cell and the spinner beside the
    // calendar's title.
    void placeMarkers();
    void placeMarkersSoon();
    // The date that day cell `cell` (1 to 42) stands for in the month shown.
    QDate cellDate(int cell) const;
    // Names every marker shown after its day, and describes the selected day's markers on the
    // calendar's day table.
    void describeMarkedDays();

    // The designed size.
    QSize sizeHint() const override;
    // The least size at which the six weeks read: rows high enough for a line of text or a
    // marker, columns wide enough for both markers, and a title bar with room for the legend,
    // the month and year, and the spinner.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void goToMonth(int year, int month);
    void showWeekendsReadably();

    QTableView *m_dayTable = nullptr;
    bool m_stepping = false;
    bool m_placingSoon = false;
    QDate m_pressedDate; // the day under the last press, before the calendar acted on it
};
