// Data and steps shared by the calendar tests: records written through the stores into the
// open data files, starting the program on a day, and opening a day's activities; and the
// calendar's windows and controls the tests look at.
#pragma once

#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "calendar/activities_window.h"
#include "calendar/appointment_editor.h"
#include "calendar/calendar_window.h"
#include "calendar/reminder_window.h"
#include "controls/date_picker.h"
#include "controls/limited_text_box.h"
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "test_support.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace Fixtures {

// The day most calendar tests look at: a Friday.
inline const QDate kDay(2024, 1, 5);

inline void appointment(const QString &id, const QString &subject = QStringLiteral("Meeting"),
                        const QString &start = QStringLiteral("09:00"),
                        const QString &end = QStringLiteral("10:00"), bool reminder = false,
                        const QString &minutes = QStringLiteral("15"),
                        const QString &description = QStringLiteral("Notes"))
{
    const Appointment a{id, subject, start, end, qint16(reminder ? -1 : 0), minutes, description};
    QVERIFY(AppointmentStore().AddAppointment(a).ok());
}

// An address entry "surname, name" with its birthday date as stored (dd/mm/yyyy).
inline void birthday(const QString &surname, const QString &name, const QString &date,
                     const QString &hasBirthday = QStringLiteral("1"))
{
    AddressEntry e =
        AddressStore::BuildEntry(name, surname, {}, {}, QDate(2000, 1, 1), true, {}, {}, {});
    e.BirthdayDate = date;
    e.HasBirthday = hasBirthday;
    QVERIFY(AddressStore().AddAddressEntry(e).ok());
}

inline MainWindow *startOn(TestEnvironment &env, QDate day, QTime time = QTime(9, 0))
{
    env.setNow(QDateTime(day, time));
    return env.startProgram();
}

// Opens the day's activities as a double-click on the calendar does.
inline ActivitiesWindow *openDay(QDate day)
{
    Forms::Form1()->Calendar1->setSelectedDate(day);
    Forms::Form1()->Calendar1_DblClick();
    return Forms::Form4();
}

inline QStringList items(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

// The cells (1 to 42) whose marker of that kind is shown.
inline QList<int> shownCells(const std::array<QLabel *, 43> &markers)
{
    QList<int> cells;
    for (int i = 1; i <= 42; ++i)
        if (!markers[i]->isHidden())
            cells.append(i);
    return cells;
}

} // namespace Fixtures
