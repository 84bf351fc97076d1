#include "export/ical_export.h"

#include "export/content_lines.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <cmath>

namespace Export {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int twoDigits(QStringView text, qsizetype at)
{
    return (text[at].unicode() - '0') * 10 + (text[at + 1].unicode() - '0');
}

QString formatDate(QDate date)
{
    return QStringLiteral("%1%2%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString formatDateTime(QDate date, int minutes)
{
    if (minutes >= 24 * 60) {
        date = date.addDays(1);
        minutes -= 24 * 60;
    }
    return formatDate(date) + QLatin1Char('T') +
           QStringLiteral("%1%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0')) +
           QStringLiteral("00");
}

QString triggerFor(qint64 seconds)
{
    // The alarm goes off `seconds` before the start; a negative value means after it.
    const QString sign = seconds > 0 ? QStringLiteral("-") : QString();
    const qint64 s = std::abs(seconds);
    if (s % 60 == 0)
        return sign + QStringLiteral("PT%1M").arg(s / 60);
    return sign + QStringLiteral("PT%1S").arg(s);
}

class UidSet {
public:
    // A UID from the text; a repeat (possible only in a broken file) gets the position added.
    QString make(const QString &key, int position)
    {
        QString uid = StableUuid(key).toString(QUuid::WithoutBraces);
        if (m_used.contains(uid))
            uid = StableUuid(key + QStringLiteral("#%1").arg(position))
                      .toString(QUuid::WithoutBraces);
        m_used.insert(uid);
        return uid;
    }

private:
    QSet<QString> m_used;
};

Finding warning(const char *file, const QString &where, const QString &message)
{
    return {Finding::Warning, QString::fromLatin1(file), where, message};
}

} // namespace

std::optional<int> ParseTime(QStringView text, bool allowEndOfDay)
{
    if (text.size() != 5 || text[2] != QLatin1Char(':') || !isDigit(text[0]) || !isDigit(text[1]) ||
        !isDigit(text[3]) || !isDigit(text[4]))
        return std::nullopt;
    const int h = twoDigits(text, 0);
    const int m = twoDigits(text, 3);
    if (allowEndOfDay && h == 24 && m == 0)
        return 24 * 60;
    if (h > 23 || m > 59)
        return std::nullopt;
    return h * 60 + m;
}

std::optional<QDate> AppointmentDate(QStringView id)
{
    if (id.size() < 8)
        return std::nullopt;
    for (qsizetype i = 0; i < 8; ++i) {
        if (!isDigit(id[i]))
            return std::nullopt;
    }
    const QDate date(id.first(4).toInt(), twoDigits(id, 4), twoDigits(id, 6));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDate> BirthdayDate(QStringView text)
{
    if (text.size() != 10 || text[2] != QLatin1Char('/') || text[5] != QLatin1Char('/'))
        return std::nullopt;
    for (qsizetype i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (!isDigit(text[i]))
            return std::nullopt;
    }
    const QDate date(text.sliced(6).toInt(), twoDigits(text, 3), twoDigits(text, 0));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool HasBirthday(QStringView text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value == 1;
}

std::optional<qint64> ReminderSeconds(QStringView minutes)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(minutes.trimmed(), &ok);
    // More than a year either way is no reminder anybody can mean.
    if (!ok || !std::isfinite(value) || std::abs(value) > 366.0 * 24 * 60)
        return std::nullopt;
    return std::llround(value * 60);
}

QUuid StableUuid(QStringView text)
{
    // A fixed namespace of Tallowby's own, so the same data always gives the same UIDs.
    static const QUuid ns(QStringLiteral("{6f0e1c52-3c1a-4f37-9a8e-2d7b5e7a4c11}"));
    return QUuid::createUuidV5(ns, text.toString());
}

bool EndsAfterYear9999(QDate allDayEvent)
{
    return allDayEvent == QDate(9999, 12, 31);
}

bool EndsAfterYear9999(const AppointmentRecord &a)
{
    const auto day = AppointmentDate(a.AppointmentId);
    const auto start = ParseTime(a.StartTime, false);
    return day && EndsAfterYear9999(*day) && (!start || ParseTime(a.EndTime, true) == 24 * 60);
}

QString EndsAfterYear9999Message()
{
    return QStringLiteral("the event ends after 31 December 9999, the last day an iCalendar date "
                          "can name; exported with a DURATION instead of an end (some calendar "
                          "programs cannot take such an event)");
}

QByteArray WriteICalendar(const DataFolderContents &data, const QDateTime &stamp,
                          QList<Finding> *warnings)
{
    ContentWriter w;
    UidSet uids;
    const auto utc = [](const QDateTime &t) {
        return t.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    };
    const QString dtstamp = utc(stamp);
    // The last change of the file that holds an event: no event changed after it, so a
    // receiving program that compares LAST-MODIFIED takes up every change.
    const auto lastModified = [&](const FileImage &file) {
        if (file.modified.isValid())
            w.property(u"LAST-MODIFIED", utc(file.modified));
    };
    // An all-day event: its end is the next day, or a duration where that day would be past 9999.
    const auto allDayEnd = [&](QDate day, const char *file, const QString &where) {
        if (EndsAfterYear9999(day)) {
            warnings->append(warning(file, where, EndsAfterYear9999Message()));
            w.line(u"DURATION:P1D");
        } else {
            w.property(u"DTEND;VALUE=DATE", formatDate(day.addDays(1)));
        }
    };
    w.line(u"BEGIN:VCALENDAR");
    w.line(u"VERSION:2.0");
    w.line(QStringLiteral("PRODID:-//Tallowby//Tallowby %1//EN")
               .arg(QCoreApplication::applicationVersion().isEmpty()
                        ? QStringLiteral("1.2")
                        : QCoreApplication::applicationVersion()));
    w.line(u"CALSCALE:GREGORIAN");

    // The UID of an appointment comes from its date and start time, the two things that neither
    // an edit (which keeps the date and may change everything else) nor the delete of another
    // appointment (which renumbers the ids and moves the positions) changes. Appointments of a
    // day with the same start time are told apart by their order.
    QHash<QString, int> sameStart;
    for (const AppointmentRecord &a : data.appointments) {
        const QString where =
            QStringLiteral("appointment %1 (%2)").arg(a.position + 1).arg(a.AppointmentId);
        const auto date = AppointmentDate(a.AppointmentId);
        if (!date) {
            warnings->append(warning(AppointmentsLayout.fileName, where,
                                     QStringLiteral("the id holds no valid date; not exported")));
            continue;
        }
        const auto start = ParseTime(a.StartTime, false);
        const auto end = ParseTime(a.EndTime, true);
        QString description = a.Description;
        w.line(u"BEGIN:VEVENT");
        const QString key =
            QStringLiteral("appointment\n%1\n%2").arg(formatDate(*date), a.StartTime.trimmed());
        const int rank = ++sameStart[key];
        w.property(u"UID",
                   uids.make(rank == 1 ? key : key + QStringLiteral("\n%1").arg(rank), a.position));
        w.property(u"DTSTAMP", dtstamp);
        lastModified(data.appointmentsFile);
        if (start) {
            w.property(u"DTSTART", formatDateTime(*date, *start));
            if (end && *end > *start && EndsAfterYear9999(a)) {
                warnings->append(
                    warning(AppointmentsLayout.fileName, where, EndsAfterYear9999Message()));
                w.property(u"DURATION", QStringLiteral("PT%1M").arg(*end - *start));
            } else if (end && *end > *start) {
                w.property(u"DTEND", formatDateTime(*date, *end));
            } else {
                warnings->append(warning(
                    AppointmentsLayout.fileName, where,
                    end ? QStringLiteral("the end time \"%1\" is not after the start time \"%2\"; "
                                         "exported without an end")
                              .arg(a.EndTime, a.StartTime)
                        : QStringLiteral("the end time \"%1\" is not hh:mm; exported without "
                                         "an end")
                              .arg(a.EndTime)));
            }
        } else {
            // Without a start time the appointment becomes an all-day event of its day, and
            // the times as they were typed go into the description.
            warnings->append(warning(AppointmentsLayout.fileName, where,
                                     QStringLiteral("the start time \"%1\" is not hh:mm; "
                                                    "exported as an all-day event")
                                         .arg(a.StartTime)));
            w.property(u"DTSTART;VALUE=DATE", formatDate(*date));
            allDayEnd(*date, AppointmentsLayout.fileName, where);
            const QString times = QStringLiteral("Start Time: %1, End Time: %2")
                                      .arg(a.StartTime, a.EndTime)
                                      .trimmed();
            description =
                description.isEmpty() ? times : times + QStringLiteral("\r\n") + description;
        }
        // A SUMMARY without a value is refused by some readers (libical). A subject of nothing
        // but blanks gets a title, and the stored text stays readable in a parameter.
        QString title = a.Subject;
        if (EscapeText(a.Subject.trimmed()).trimmed().isEmpty()) {
            title = QStringLiteral("(no subject)");
            QString stored;
            for (const QChar c : a.Subject) {
                if (c == QLatin1Char('\t') || (c.unicode() >= 0x20 && c.unicode() != 0x7F &&
                                               (c.unicode() < 0x80 || c.unicode() >= 0xA0)))
                    stored += c;
            }
            w.line(QStringLiteral("SUMMARY;X-TALLOWBY-SUBJECT=\"%1\":%2").arg(stored, title));
        } else {
            w.property(u"SUMMARY", EscapeText(title));
        }
        if (!EscapeText(description).trimmed().isEmpty())
            w.property(u"DESCRIPTION", EscapeText(description));
        if (a.ReminderOn != 0) {
            const auto seconds = ReminderSeconds(a.ReminderMinutes);
            if (!start) {
                warnings->append(warning(AppointmentsLayout.fileName, where,
                                         QStringLiteral("the reminder is left out: the "
                                                        "appointment has no start time")));
            } else if (!seconds) {
                warnings->append(warning(
                    AppointmentsLayout.fileName, where,
                    QStringLiteral("the reminder minutes \"%1\" are not a number; the reminder "
                                   "is left out")
                        .arg(a.ReminderMinutes)));
            } else {
                w.line(u"BEGIN:VALARM");
                w.line(u"ACTION:DISPLAY");
                w.property(u"DESCRIPTION", EscapeText(title));
                w.property(u"TRIGGER", triggerFor(*seconds));
                w.line(u"END:VALARM");
            }
        }
        w.line(u"END:VEVENT");
    }

    for (const AddressRecord &e : data.addresses) {
        if (!HasBirthday(e.HasBirthday))
            continue;
        const QString where =
            QStringLiteral("entry %1 (%2)").arg(e.position + 1).arg(e.DisplayName);
        const auto born = BirthdayDate(e.BirthdayDate);
        if (!born) {
            warnings->append(warning(AddressesLayout.fileName, where,
                                     QStringLiteral("the birthday \"%1\" is not a valid "
                                                    "dd/mm/yyyy date; not exported")
                                         .arg(e.BirthdayDate)));
            continue;
        }
        w.line(u"BEGIN:VEVENT");
        w.property(u"UID",
                   uids.make(QStringLiteral("birthday\n%1").arg(e.DisplayName), e.position));
        w.property(u"DTSTAMP", dtstamp);
        lastModified(data.addressesFile);
        w.property(u"DTSTART;VALUE=DATE", formatDate(*born));
        allDayEnd(*born, AddressesLayout.fileName, where);
        // A birthday on 29 February comes on the last day of February in other years.
        w.line(born->month() == 2 && born->day() == 29
                   ? u"RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1"
                   : u"RRULE:FREQ=YEARLY");
        w.property(u"SUMMARY", EscapeText(QStringLiteral("Birthday - ") + e.DisplayName));
        w.line(u"CATEGORIES:BIRTHDAY");
        w.line(u"TRANSP:TRANSPARENT");
        w.line(u"END:VEVENT");
    }
    w.line(u"END:VCALENDAR");
    return w.bytes();
}

} // namespace Export
