#include "calendar/reminder_window.h"

#include "controls/keyboard.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *label(QWidget *parent, const QString &name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // a subject or a time from the file, shown as typed
    // The desktop's font in bold: the design's 8.25 point MS Sans Serif is the dialog font.
    QFont font = l->font();
    font.setBold(true);
    l->setFont(font);
    return l;
}

// Dark blue text (RGB 0, 0, 192), on white for the value boxes.
void valueLook(QLabel *l, bool whiteBackground)
{
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 192));
    if (whiteBackground) {
        p.setColor(QPalette::Window, Qt::white);
        l->setAutoFillBackground(true);
        l->setMinimumWidth(60);
    }
    l->setPalette(p);
}

} // namespace

ReminderWindow::ReminderWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Reminder"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("You have a meeting in"));
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("15"));
    // Its dark blue text needs a light ground of its own to read on a dark desktop palette.
    valueLook(Label2, true);
    Label2->setMinimumWidth(0);
    Label2->setAlignment(Qt::AlignCenter);
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("minutes."));
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("Subject:"));
    Label7[0] = label(this, QStringLiteral("Label7(0)"), QString());
    Label5 = label(this, QStringLiteral("Label5"), QStringLiteral("Start Time"));
    Label7[1] = label(this, QStringLiteral("Label7(1)"), QStringLiteral("99:99"));
    Label6 = label(this, QStringLiteral("Label6"), QStringLiteral("End Time"));
    Label7[2] = label(this, QStringLiteral("Label7(2)"), QStringLiteral("99:99"));
    for (QLabel *value : Label7)
        valueLook(value, true);
    Label7[0]->setMinimumWidth(260);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto *meeting = new QHBoxLayout;
    meeting->addWidget(Label1);
    meeting->addWidget(Label2);
    meeting->addWidget(Label3);
    meeting->addStretch();
    auto *grid = new QGridLayout;
    grid->addWidget(Label4, 0, 0);
    grid->addWidget(Label7[0], 0, 1, 1, 3);
    grid->addWidget(Label5, 1, 0);
    grid->addWidget(Label7[1], 1, 1);
    grid->addWidget(Label6, 1, 2);
    grid->addWidget(Label7[2], 1, 3);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(meeting);
    layout->addLayout(grid);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Keyboard::setDialogKeys(this, Command1);
    connect(Command1, &QPushButton::clicked, this, &ReminderWindow::Command1_Click);
}

void ReminderWindow::load() {}

void ReminderWindow::Command1_Click()
{
    if (m_waiting.isEmpty()) {
        hide();
        return;
    }
    showReminder(m_waiting.takeFirst());
}

void ReminderWindow::closeEvent(QCloseEvent *event)
{
    // Closed through the window system, it is answered as with "OK": a reminder still waiting
    // comes up next.
    event->ignore();
    Command1_Click();
}

void ReminderWindow::showReminders(const QList<CalendarLogic::DueReminder> &reminders)
{
    if (reminders.isEmpty())
        return;
    m_waiting.append(reminders);
    if (!isVisible())
        showReminder(m_waiting.takeFirst());
    else
        raise();
}

void ReminderWindow::showReminder(const CalendarLogic::DueReminder &reminder)
{
    Label7[0]->setText(reminder.subject);
    Label7[1]->setText(reminder.startTime);
    Label7[2]->setText(reminder.endTime);
    Label2->setText(reminder.minutes);
    // The pop-up comes up without taking the focus; a screen reader announces it as an alert
    // that reads in one sentence.
    setAccessibleDescription(QStringLiteral("%1 %2 %3 %4, %5 to %6")
                                 .arg(Label1->text(), reminder.minutes, Label3->text(),
                                      reminder.subject, reminder.startTime, reminder.endTime));
    show();
    raise();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
