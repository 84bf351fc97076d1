// Export of the appointments and birthdays of a data folder as an iCalendar file (RFC 5545).
#pragma once

#include "export/data_folder.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QUuid>

#include <optional>

namespace Export {

// Minutes since midnight of an "hh:mm" text (00:00 to 23:59); "24:00" as 1440 when
// `allowEndOfDay`. Anything else (one-digit hours, blanks, 25:00, 9.30) gives nullopt.
std::optional<int> ParseTime(QStringView text, bool allowEndOfDay);
// The date of an appointment id "YYYYMMDD-n" (its first eight characters), when valid.
std::optional<QDate> AppointmentDate(QStringView id);
// The date of a birthday "dd/mm/yyyy", when valid.
std::optional<QDate> BirthdayDate(QStringView text);
// Whether HasBirthday is the number 1 ("1", also with blanks around it).
bool HasBirthday(QStringView text);
// Seconds of a reminder's "minutes before" text (a decimal number, fractions allowed).
std::optional<qint64> ReminderSeconds(QStringView minutes);

// Whether the event of an appointment (ending at 24:00, or all-day for want of a start time),
// or an all-day event on `allDayEvent`, would end after 31 December 9999, the last day that an
// iCalendar date can name. Such an event is exported with a DURATION instead of its end.
bool EndsAfterYear9999(const AppointmentRecord &a);
bool EndsAfterYear9999(QDate allDayEvent);
QString EndsAfterYear9999Message();

// A name-based UUID that stays the same for the same text, for UIDs.
QUuid StableUuid(QStringView text);

// The calendar: one VEVENT per appointment (floating local times, a VALARM when the reminder
// is on) and one yearly all-day VEVENT per birthday. `stamp` becomes every DTSTAMP, and the
// last change of the data file every LAST-MODIFIED. What could not be
// written as it stands (invalid times, minutes, dates) is added to *warnings.
QByteArray WriteICalendar(const DataFolderContents &data, const QDateTime &stamp,
                          QList<Finding> *warnings);

} // namespace Export
