// The days of a month that carry the calendar's markers, kept in a small file from one run to
// the next, so that a start whose files have not changed since need not read them whole.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct MonthMarks {
    QList<int> appointmentDays;
    QList<int> birthdayDays;
};

// The marks of (year, month). They come from `keptFile` when it holds that month's marks, kept
// by the same `build` of the program, and both `sources` (the appointment and address files)
// are exactly as they were when the marks were read: same size, same time of last change of
// content and of metadata. Otherwise `read` reads them, and they are kept in `keptFile` when
// neither file changed while `read` ran and the content of neither changed in the two seconds
// before `nowMs` (milliseconds since the epoch, on the clock of the file times): a file system
// may give two changes close together the same time, so a file that has just changed might
// change again without its time showing it, while one that has stood still longer gets a later
// time from any change. An empty `keptFile` turns keeping off.
MonthMarks KeptMonthMarks(const QString &keptFile, const QStringList &sources,
                          const QByteArray &build, int year, int month, qint64 nowMs,
                          const std::function<MonthMarks()> &read);
