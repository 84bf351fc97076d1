// Form4: the activities of one day: its appointments and birthdays.
#pragma once

#include <QWidget>

class DatePicker;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class LimitedTextBox;
class QPushButton;

class ActivitiesWindow : public QWidget {
    Q_OBJECT
public:
    explicit ActivitiesWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    DatePicker *DTPicker1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QComboBox *Combo3 = nullptr; // subjects of the day
    QComboBox *Combo1 = nullptr; // hidden: start times, parallel to Combo3
    QComboBox *Combo2 = nullptr; // hidden: end times, parallel to Combo3
    QLineEdit *Text3 = nullptr;  // hidden: id of the appointment shown
    QLabel *Label2 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text5 = nullptr;
    QCheckBox *Check1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label4 = nullptr;
    LimitedTextBox *Text1 = nullptr; // read-only description
    QPushButton *Command3 = nullptr; // Add
    QPushButton *Command5 = nullptr; // Edit
    QPushButton *Command4 = nullptr; // Delete
    QGroupBox *Frame2 = nullptr;
    QComboBox *Combo4 = nullptr;     // birthday lines
    QPushButton *Command6 = nullptr; // View Schedule
    QPushButton *Command1 = nullptr; // OK

    void DTPicker1_Change();
    void Combo3_Click();
    void Check1_Click();
    void Command3_Click();
    void Command5_Click();
    void Command4_Click();
    void Command6_Click();
    void Command1_Click();

protected:
    // The close box ends the visit like "OK".
    void closeEvent(QCloseEvent *event) override;
};
