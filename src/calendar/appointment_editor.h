// Form5: the appointment editor.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class LimitedTextBox;
class QPushButton;

class AppointmentEditor : public QWidget {
    Q_OBJECT
public:
    // Typed texts are limited so that every field fits its 128-byte record.
    static constexpr int SubjectLength = 100;
    static constexpr int DescriptionLength = 100; // a line break counts two (CR LF)
    static constexpr int TimeLength = 5;          // hh:mm
    static constexpr int MinutesLength = 6;

    explicit AppointmentEditor(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text4 = nullptr; // subject
    QLabel *Label2 = nullptr;
    QComboBox *Combo1 = nullptr; // start time
    QLabel *Label3 = nullptr;
    QComboBox *Combo2 = nullptr; // end time
    QCheckBox *Check1 = nullptr;
    QLineEdit *Text2 = nullptr; // minutes before meeting
    QLabel *Label4 = nullptr;
    LimitedTextBox *Text1 = nullptr; // description
    QLineEdit *Text3 = nullptr;      // hidden: the appointment's id, shown from appointmentId
    QPushButton *Command2 = nullptr; // OK

    // The id of the appointment this visit adds or edits. The editor keeps it itself; the
    // hidden box Text3 only shows it.
    QString appointmentId() const { return m_appointmentId; }
    void setAppointmentId(const QString &id);

    // The fields a new visit starts with: subject, description, minutes and both times. The
    // activities window calls it when it opens the editor; "Reminder" and the id stay.
    void presetFields();

    void Check1_Click();
    void Combo1_Click(int index);
    void Command2_Click();

protected:
    // The close box returns to the activities window without saving.
    void closeEvent(QCloseEvent *event) override;

private:
    void returnToActivities();

    QString m_appointmentId;
};
