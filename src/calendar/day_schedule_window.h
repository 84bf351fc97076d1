// Form6: the half-hour schedule of one day.
#pragma once

#include <QWidget>

class DatePicker;
class FlexGrid;
class QPushButton;

class DayScheduleWindow : public QWidget {
    Q_OBJECT
public:
    explicit DayScheduleWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    DatePicker *DTPicker1 = nullptr;
    FlexGrid *MSFlexGrid1 = nullptr;
    QPushButton *Command1 = nullptr; // OK

    void DTPicker1_Change();
    void Command1_Click();
};
