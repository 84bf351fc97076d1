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

// The dates of a recurrence rule ("FREQ=MONTHLY;BYDAY=-1FR;COUNT=3") from `start` up to
// `last`, `start` always the first. An unknown or unsupported rule gives nullopt and a reason.
std::optional<QList<QDate>> RuleDates(const QString &rule, QDate start, QDate last,
                                      QString *reason);

} // namespace Import
