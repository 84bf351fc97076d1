// Data for the calendar tests, written through the stores into the open data files.
#pragma once

#include "addressbook/address_store.h"
#include "calendar/appointment_store.h"

#include <QTest>

namespace Fixtures {

inline void appointment(const QString &id, const QString &subject = QStringLiteral("Meeting"),
                        const QString &start = QStringLiteral("09:00"),
                        const QString &end = QStringLiteral("10:00"), bool reminder = false,
                        const QString &minutes = QStringLiteral("15"),
                        const QString &description = QStringLiteral("Notes"))
{
    Appointment a;
    a.AppointmentId = id;
    a.Subject = subject;
    a.StartTime = start;
    a.EndTime = end;
    a.ReminderOn = reminder ? -1 : 0;
    a.ReminderMinutes = minutes;
    a.Description = description;
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

} // namespace Fixtures
