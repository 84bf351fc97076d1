// Calendar events of an iCalendar file as appointments: times converted to local time through
// the events' time zones, recurring events expanded within a range of days, alarms before the
// start as reminders.
#pragma once

#include "import/incoming.h"

#include <QByteArray>

#include <optional>

namespace Import {

// The appointments of a calendar file, in the order of its events; a recurring event gives one
// per occurrence from `from` to `to`. A malformed file gives nullopt and *error with the line.
std::optional<FileContents<NewAppointment>> ReadCalendar(const QByteArray &bytes, QDate from,
                                                         QDate to, QString *error);

// Seconds of an iCalendar duration ("-PT15M", "P1DT2H", "P2W"; also calcurse's "-P300S").
std::optional<qint64> ParseDuration(QStringView text);

} // namespace Import
