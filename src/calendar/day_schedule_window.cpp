#include "calendar/day_schedule_window.h"

#include <QFontMetrics>

#include "calendar/activities_window.h"
#include "calendar/calendar_forms.h"
#include "calendar/calendar_procedures.h"
#include "controls/date_picker.h"
#include "controls/flex_grid.h"
#include "controls/keyboard.h"
#include "controls/program_frame.h"
#include "controls/twips.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

DayScheduleWindow::DayScheduleWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Day Schedule"));
    // A fixed tool-window border without minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    DTPicker1 = new DatePicker(this);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setAccessibleName(QStringLiteral("Day"));
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(QStringLiteral("Schedule"));
    MSFlexGrid1->setCols(35);
    // A slot column is 500 twips wide; the grid's font is made small enough for a slot's
    // time ("07:00") to be read in full there, beside the cell's margins and grid line.
    QFont slotFont = MSFlexGrid1->font();
    while (slotFont.pointSizeF() > 6 &&
           QFontMetrics(slotFont).horizontalAdvance(QStringLiteral("00:00")) + 7 > twipsX(500)) {
        slotFont.setPointSizeF(slotFont.pointSizeF() - 0.5);
    }
    MSFlexGrid1->setFont(slotFont);
    // The schedule is only looked at: no cell is picked, so every colour stays in sight.
    MSFlexGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    MSFlexGrid1->setFocusPolicy(Qt::NoFocus);
    // The schedule's cells are white by design, so its texts are black and its header row light
    // grey whatever the desktop's palette: a dark palette never gives white on white.
    QPalette fixed = MSFlexGrid1->palette();
    for (const auto &[role, colour] : {std::pair{QPalette::Base, QColor(Qt::white)},
                                       std::pair{QPalette::Text, QColor(Qt::black)},
                                       std::pair{QPalette::Button, QColor(224, 224, 224)},
                                       std::pair{QPalette::ButtonText, QColor(Qt::black)}})
        fixed.setColor(role, colour);
    MSFlexGrid1->setPalette(fixed);
    MSFlexGrid1->setStyleSheet(QStringLiteral(
        "QTableView { background-color: white; color: black; gridline-color: #c0c0c0; }"));
    // The colours of the slots, told in words: an appointment's slot is busy; the last row
    // tells whether one appointment or more take the slot.
    MSFlexGrid1->setCellDescriber([grid = MSFlexGrid1](int row, int col) {
        if (row < 1 || col < 1)
            return QString();
        const QColor back = grid->cellBackColor(row, col);
        const QString state = back == QColor(0, 0, 255)   ? QStringLiteral("busy")
                              : back == QColor(255, 0, 0) ? QStringLiteral("one appointment")
                              : back == QColor(192, 0, 0)
                                  ? QStringLiteral("overlapping appointments")
                                  : QStringLiteral("free");
        return grid->TextMatrix(row, 0) + QStringLiteral(", ") + grid->TextMatrix(0, col) +
               QStringLiteral(": ") + state;
    });
    MSFlexGrid1->setMinimumSize(twipsX(3000) + 8 * twipsX(500) + 24, twipsY(3600));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto *top = new QHBoxLayout;
    top->addWidget(DTPicker1);
    top->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(MSFlexGrid1);
    layout->addLayout(bottom);
    resize(twipsSize(9600, 5400));

    Keyboard::setDialogKeys(this, Command1);

    connect(DTPicker1, &DatePicker::Change, this, &DayScheduleWindow::DTPicker1_Change);
    connect(Command1, &QPushButton::clicked, this, &DayScheduleWindow::Command1_Click);
}

void DayScheduleWindow::load() {}

void DayScheduleWindow::DTPicker1_Change()
{
    // The activities window follows the schedule's day.
    Forms::Form4()->DTPicker1->setValue(DTPicker1->Value());
    Module1::LoadDayActivities();
    Module1::FillDaySchedule();
}

void DayScheduleWindow::Command1_Click()
{
    hide();
}
