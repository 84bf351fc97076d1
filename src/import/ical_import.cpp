#include "import/ical_import.h"

#include "import/content_reader.h"

#include <QHash>
#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace Import {

namespace {

// A DATE or DATE-TIME value: a day alone, a floating local time, or a time in a zone.
struct When {
    QDate date;
    QTime time;
    bool dateOnly = false;
    QTimeZone zone; // invalid: floating, the computer's own time

    QDateTime at() const
    {
        return QDateTime(date, dateOnly ? QTime(0, 0) : time,
                         zone.isValid() ? zone : QTimeZone::systemTimeZone());
    }
    // Keys that an EXDATE or RECURRENCE-ID of the same occurrence has.
    QString dayKey() const { return QStringLiteral("d") + date.toString(Qt::ISODate); }
    QString instantKey() const { return QStringLiteral("t%1").arg(at().toSecsSinceEpoch()); }
};

struct Rule {
    enum Freq { Daily, Weekly, Monthly, Yearly } freq = Daily;
    int interval = 1;
    int count = 0;
    QString until;
    QList<std::pair<int, int>> byDay; // ordinal (0: every), weekday 1 = Monday
    QList<int> byMonthDay;
    QList<int> byMonth;
    int weekStart = 1;
};

int weekdayOf(QStringView two)
{
    static const QStringList names = {u"MO"_s, u"TU"_s, u"WE"_s, u"TH"_s,
                                      u"FR"_s, u"SA"_s, u"SU"_s};
    return int(names.indexOf(two.toString().toUpper())) + 1;
}

bool parseNumbers(const QString &text, int low, int high, QList<int> *out)
{
    for (const QString &part : text.split(u',')) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n == 0 || n < low || n > high)
            return false;
        out->append(n);
    }
    return true;
}

std::optional<Rule> parseRule(const QString &text, QString *reason)
{
    Rule r;
    bool hasFreq = false;
    for (const QString &part : text.split(u';', Qt::SkipEmptyParts)) {
        const QString key = part.section(u'=', 0, 0).trimmed().toUpper();
        const QString value = part.section(u'=', 1).trimmed();
        bool ok = true;
        if (key == u"FREQ") {
            static const QStringList freqs = {u"DAILY"_s, u"WEEKLY"_s, u"MONTHLY"_s, u"YEARLY"_s};
            const qsizetype f = freqs.indexOf(value.toUpper());
            if (f < 0) {
                *reason =
                    QStringLiteral("repeats %1, which Tallowby does not take").arg(value.toLower());
                return std::nullopt;
            }
            r.freq = Rule::Freq(f);
            hasFreq = true;
        } else if (key == u"INTERVAL") {
            r.interval = value.toInt(&ok);
            ok = ok && r.interval >= 1;
        } else if (key == u"COUNT") {
            r.count = value.toInt(&ok);
            ok = ok && r.count >= 1;
        } else if (key == u"UNTIL") {
            r.until = value;
        } else if (key == u"BYMONTHDAY") {
            ok = parseNumbers(value, -31, 31, &r.byMonthDay);
        } else if (key == u"BYMONTH") {
            ok = parseNumbers(value, 1, 12, &r.byMonth);
        } else if (key == u"WKST") {
            r.weekStart = weekdayOf(value);
            ok = r.weekStart > 0;
        } else if (key == u"BYDAY") {
            for (const QString &d : value.split(u',')) {
                const int weekday = d.size() >= 2 ? weekdayOf(QStringView(d).last(2)) : 0;
                const int ordinal = d.size() > 2 ? d.chopped(2).toInt(&ok) : 0;
                ok = ok && weekday > 0 && (d.size() == 2 || ordinal != 0);
                if (!ok)
                    break;
                r.byDay.append({ordinal, weekday});
            }
        } else {
            *reason = QStringLiteral("its rule uses %1, which Tallowby does not take").arg(key);
            return std::nullopt;
        }
        if (!ok) {
            *reason = QStringLiteral("its rule has a bad %1 (\"%2\")").arg(key, value);
            return std::nullopt;
        }
    }
    if (!hasFreq) {
        *reason = QStringLiteral("its rule has no FREQ");
        return std::nullopt;
    }
    return r;
}

// The n-th (from 1, or from the end when negative; 0 for all) weekday among the days.
QList<QDate> pickWeekday(QDate first, QDate last, int ordinal, int weekday)
{
    QList<QDate> all;
    for (QDate d = first.addDays((weekday - first.dayOfWeek() + 7) % 7); d <= last;
         d = d.addDays(7))
        all.append(d);
    if (ordinal == 0)
        return all;
    const qsizetype i = ordinal > 0 ? ordinal - 1 : all.size() + ordinal;
    return i >= 0 && i < all.size() ? QList<QDate>{all[i]} : QList<QDate>{};
}

// The days of one month that a monthly rule (or a yearly one with BYMONTH) gives.
QList<QDate> monthDays(int year, int month, const Rule &r, int defaultDay)
{
    const QDate first(year, month, 1);
    const QDate last(year, month, first.daysInMonth());
    QList<QDate> days;
    for (int md : r.byMonthDay) {
        const QDate d = md > 0 ? first.addDays(md - 1) : last.addDays(md + 1);
        if (d.month() == month)
            days.append(d);
    }
    if (!r.byDay.isEmpty()) {
        QList<QDate> weekdays;
        for (const auto &[ordinal, weekday] : r.byDay)
            weekdays += pickWeekday(first, last, ordinal, weekday);
        if (r.byMonthDay.isEmpty())
            days = weekdays;
        else
            days.removeIf([&](QDate d) { return !weekdays.contains(d); });
    } else if (r.byMonthDay.isEmpty() && defaultDay <= last.day()) {
        days.append(QDate(year, month, defaultDay));
    }
    return days;
}

// The candidate days of the period that starts `p` intervals after the start.
QList<QDate> periodDays(const Rule &r, QDate start, int p, QDate *periodStart)
{
    QList<QDate> days;
    switch (r.freq) {
    case Rule::Daily:
        *periodStart = start.addDays(p);
        days.append(*periodStart);
        break;
    case Rule::Weekly: {
        *periodStart = start.addDays(-((start.dayOfWeek() - r.weekStart + 7) % 7) + 7 * qint64(p));
        if (r.byDay.isEmpty())
            days.append(periodStart->addDays((start.dayOfWeek() - r.weekStart + 7) % 7));
        for (const auto &[ordinal, weekday] : r.byDay)
            days.append(periodStart->addDays((weekday - r.weekStart + 7) % 7));
        break;
    }
    case Rule::Monthly:
        *periodStart = QDate(start.year(), start.month(), 1).addMonths(p);
        days = monthDays(periodStart->year(), periodStart->month(), r, start.day());
        break;
    case Rule::Yearly: {
        const int year = start.year() + p;
        *periodStart = QDate(year, 1, 1);
        if (!r.byMonth.isEmpty()) {
            for (int m : r.byMonth)
                days += monthDays(year, m, r, start.day());
        } else if (!r.byDay.isEmpty()) {
            for (const auto &[ordinal, weekday] : r.byDay)
                days += pickWeekday(*periodStart, QDate(year, 12, 31), ordinal, weekday);
        } else if (!r.byMonthDay.isEmpty()) {
            for (int m = 1; m <= 12; ++m)
                days += monthDays(year, m, r, start.day());
        } else if (QDate::isValid(year, start.month(), start.day())) {
            days.append(QDate(year, start.month(), start.day()));
        }
        return days; // BYMONTH has chosen the months already
    }
    }
    // BYMONTH, and for a daily rule BYMONTHDAY and BYDAY, limit the days.
    days.removeIf([&](QDate d) {
        if (!r.byMonth.isEmpty() && !r.byMonth.contains(d.month()))
            return true;
        if (r.freq != Rule::Daily)
            return false;
        const bool dayOk = r.byMonthDay.isEmpty() ||
                           std::any_of(r.byMonthDay.begin(), r.byMonthDay.end(), [&](int md) {
                               return md > 0 ? d.day() == md : d.daysInMonth() + 1 + md == d.day();
                           });
        const bool weekdayOk =
            r.byDay.isEmpty() || std::any_of(r.byDay.begin(), r.byDay.end(),
                                             [&](auto wd) { return wd.second == d.dayOfWeek(); });
        return !dayOk || !weekdayOk;
    });
    return days;
}

QList<QDate> expand(const Rule &r, QDate start, QDate last,
                    const std::function<bool(QDate)> &pastUntil)
{
    QList<QDate> out{start}; // the start is always the first occurrence
    // A bound on the periods looked at, against rules that never match (BYMONTHDAY=31 with
    // BYMONTH=2) in a file made to stall the import.
    for (int p = 0; p < 200000; p += r.interval) {
        QDate periodStart;
        QList<QDate> days = periodDays(r, start, p, &periodStart);
        if (!periodStart.isValid() || periodStart > last || periodStart.year() > 9999)
            break;
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        for (QDate d : days) {
            if (d <= start)
                continue;
            if (d > last || pastUntil(d) || (r.count && out.size() >= r.count))
                return out;
            out.append(d);
        }
    }
    return out;
}

// Dates and times of the file, with the zones of their TZID parameters.
class Times {
public:
    std::optional<When> read(const ContentLine &p, QString *error)
    {
        const QString v = p.value.trimmed();
        When w;
        const bool digits8 = v.size() >= 8 && std::all_of(v.begin(), v.begin() + 8,
                                                          [](QChar c) { return c.isDigit(); });
        w.date = digits8 ? QDate::fromString(v.left(8), u"yyyyMMdd"_s) : QDate();
        w.dateOnly = v.size() == 8;
        if (!w.dateOnly && (v.size() == 15 || (v.size() == 16 && v.endsWith(u'Z'))) &&
            v[8] == u'T') {
            w.time = QTime::fromString(v.mid(9, 6), u"HHmmss"_s);
            if (v.endsWith(u'Z'))
                w.zone = QTimeZone::utc();
            else if (const QString tzid = p.firstParam(u"TZID"_s); !tzid.isEmpty())
                w.zone = zone(tzid);
        }
        if (!w.date.isValid() || (!w.dateOnly && !w.time.isValid())) {
            *error = QStringLiteral("line %1: %2 has no valid date or time (\"%3\")")
                         .arg(p.line)
                         .arg(p.name, v);
            return std::nullopt;
        }
        return w;
    }
    QStringList notes;

private:
    QTimeZone zone(const QString &tzid)
    {
        if (m_zones.contains(tzid))
            return m_zones[tzid];
        // An IANA id, a Windows id, or an IANA id after a path that some writers put before it
        // ("/mozilla.org/20050126_1/Europe/Berlin"). Only ids the system knows count: Qt
        // would take any other text as a rule of its own and make it a zone of offset 0.
        QTimeZone z;
        QList<QByteArray> ids = {tzid.toUtf8(), QTimeZone::windowsIdToDefaultIanaId(tzid.toUtf8())};
        for (qsizetype i = tzid.indexOf(u'/'); i >= 0; i = tzid.indexOf(u'/', i + 1))
            ids.append(tzid.mid(i + 1).toUtf8());
        for (const QByteArray &id : ids) {
            if (!z.isValid() && !id.isEmpty() && QTimeZone::isTimeZoneIdAvailable(id))
                z = QTimeZone(id);
        }
        if (!z.isValid())
            notes.append(QStringLiteral("the time zone \"%1\" is unknown; its times are taken "
                                        "as local times")
                             .arg(tzid));
        return m_zones[tzid] = z;
    }
    QHash<QString, QTimeZone> m_zones;
};

QString hhmm(QTime t)
{
    return t.toString(u"HH:mm"_s);
}

} // namespace

std::optional<qint64> ParseDuration(QStringView text)
{
    text = text.trimmed();
    const qint64 sign = text.startsWith(u'-') ? -1 : 1;
    if (text.startsWith(u'-') || text.startsWith(u'+'))
        text = text.sliced(1);
    if (!text.startsWith(u'P') && !text.startsWith(u'p'))
        return std::nullopt;
    qint64 seconds = 0;
    bool any = false;
    qsizetype i = 1;
    while (i < text.size()) {
        if (text[i] == u'T' || text[i] == u't') {
            ++i;
            continue;
        }
        const qsizetype from = i;
        while (i < text.size() && text[i].isDigit())
            ++i;
        if (i == from || i == text.size() || i - from > 9)
            return std::nullopt;
        const qint64 n = text.sliced(from, i - from).toLongLong();
        static const QHash<QChar, qint64> units = {
            {u'W', 604800}, {u'D', 86400}, {u'H', 3600}, {u'M', 60}, {u'S', 1}};
        const qint64 unit = units.value(text[i].toUpper(), 0);
        if (!unit)
            return std::nullopt;
        seconds += n * unit;
        any = true;
        ++i;
    }
    if (!any)
        return std::nullopt;
    return sign * seconds;
}

std::optional<FileContents<NewAppointment>> ReadCalendar(const QByteArray &bytes, QDate from,
                                                         QDate to, QString *error)
{
    const auto components = ReadComponents(bytes, error);
    if (!components)
        return std::nullopt;
    QList<const Component *> events;
    for (const Component &c : *components) {
        for (const Component &e : c.children) {
            if (c.name == u"VCALENDAR" && e.name == u"VEVENT")
                events.append(&e);
        }
    }
    if (events.isEmpty() &&
        std::none_of(components->begin(), components->end(),
                     [](const Component &c) { return c.name == u"VCALENDAR"; })) {
        *error = QStringLiteral("line 1: the file holds no calendar (BEGIN:VCALENDAR)");
        return std::nullopt;
    }

    FileContents<NewAppointment> out;
    Times times;
    // Occurrences that an event with a RECURRENCE-ID replaces, by the UID of their series.
    QHash<QString, QSet<QString>> replaced;
    for (const Component *e : events) {
        const ContentLine *id = e->property(u"RECURRENCE-ID"_s);
        const ContentLine *uid = e->property(u"UID"_s);
        if (!id || !uid)
            continue;
        const auto w = times.read(*id, error);
        if (!w)
            return std::nullopt;
        replaced[uid->value].insert(w->dateOnly ? w->dayKey() : w->instantKey());
    }

    const QTimeZone local = QTimeZone::systemTimeZone();
    for (const Component *e : events) {
        const ContentLine *summary = e->property(u"SUMMARY"_s);
        QString subject = summary ? UnescapeText(summary->value) : QString();
        if (summary && !summary->param(u"X-TALLOWBY-SUBJECT"_s).isEmpty())
            subject = summary->firstParam(u"X-TALLOWBY-SUBJECT"_s);
        subject.replace(u"\r\n"_s, u" "_s);
        const QString where = QStringLiteral("line %1 (%2)").arg(e->line).arg(subject);
        auto skip = [&](const QString &why) {
            ++out.skipped;
            out.notes.append(where + QStringLiteral(": skipped: ") + why);
        };
        const ContentLine *startLine = e->property(u"DTSTART"_s);
        if (!startLine) {
            skip(QStringLiteral("it has no start (DTSTART)"));
            continue;
        }
        const auto start = times.read(*startLine, error);
        if (!start)
            return std::nullopt;
        const ContentLine *rrule = e->property(u"RRULE"_s);
        if (subject.startsWith(u"Birthday - ") && start->dateOnly && rrule &&
            rrule->value.toUpper().contains(u"FREQ=YEARLY")) {
            skip(QStringLiteral("a birthday, which comes from the address book"));
            continue;
        }
        if (const ContentLine *status = e->property(u"STATUS"_s);
            status && status->value.trimmed().toUpper() == u"CANCELLED") {
            skip(QStringLiteral("it is cancelled"));
            continue;
        }

        // The length: from DTEND or DURATION; a day for an all-day event without either.
        qint64 length = start->dateOnly ? 86400 : 0;
        if (const ContentLine *end = e->property(u"DTEND"_s)) {
            const auto w = times.read(*end, error);
            if (!w)
                return std::nullopt;
            length =
                start->dateOnly ? start->date.daysTo(w->date) * 86400 : start->at().secsTo(w->at());
        } else if (const ContentLine *duration = e->property(u"DURATION"_s)) {
            const auto d = ParseDuration(duration->value);
            if (!d) {
                *error = QStringLiteral("line %1: DURATION \"%2\" is no duration")
                             .arg(duration->line)
                             .arg(duration->value);
                return std::nullopt;
            }
            length = *d;
        }

        NewAppointment base;
        base.line = e->line;
        base.fields.Subject = subject;
        base.fields.ReminderMinutes = QStringLiteral("15"); // what the editor shows
        if (FitText(&base.fields.Subject, kSubjectLength)) {
            base.shortened = true;
            base.notes.append(
                QStringLiteral("the subject was cut to %1 characters").arg(kSubjectLength));
        }
        if (const ContentLine *d = e->property(u"DESCRIPTION"_s)) {
            base.fields.Description = UnescapeText(d->value);
            if (FitText(&base.fields.Description, kDescriptionLength)) {
                base.shortened = true;
                base.notes.append(QStringLiteral("the description was cut to %1 characters")
                                      .arg(kDescriptionLength));
            }
        }
        // The reminder: the first alarm that goes off at or before the start.
        for (const Component &alarm : e->children) {
            const ContentLine *trigger = alarm.property(u"TRIGGER"_s);
            if (alarm.name != u"VALARM" || !trigger || start->dateOnly)
                continue;
            std::optional<qint64> before;
            if (trigger->firstParam(u"VALUE"_s).toUpper() == u"DATE-TIME") {
                if (const auto at = times.read(*trigger, error))
                    before = at->at().secsTo(start->at());
                else
                    return std::nullopt;
            } else if (const auto d = ParseDuration(trigger->value)) {
                const bool fromEnd = trigger->firstParam(u"RELATED"_s).toUpper() == u"END";
                before = -(*d + (fromEnd ? length : 0));
            }
            const QString minutes = before ? QString::number((*before + 59) / 60) : QString();
            if (before && *before >= 0 && minutes.size() <= kMinutesLength) {
                base.fields.ReminderOn = -1;
                base.fields.ReminderMinutes = minutes;
                break;
            }
            base.notes.append(QStringLiteral("an alarm (%1) that does not go off before the "
                                             "start was left out")
                                  .arg(trigger->value));
        }

        // The occurrences, as days or times in the event's own zone.
        QList<When> occurrences{*start};
        const bool recurring = rrule && !e->property(u"RECURRENCE-ID"_s);
        if (recurring) {
            QString reason;
            const auto r = parseRule(rrule->value, &reason);
            if (!r) {
                base.notes.append(reason + QStringLiteral("; only its first day was imported"));
            } else {
                std::optional<When> until;
                if (!r->until.isEmpty()) {
                    ContentLine u = *rrule;
                    u.name = QStringLiteral("UNTIL");
                    u.value = r->until;
                    u.params = startLine->params; // a floating UNTIL is in the start's zone
                    until = times.read(u, error);
                    if (!until)
                        return std::nullopt;
                }
                const QList<QDate> dates =
                    expand(*r, start->date, std::max(to, start->date), [&](QDate d) {
                        if (!until)
                            return false;
                        When w = *start;
                        w.date = d;
                        return until->dateOnly || w.dateOnly ? d > until->date
                                                             : w.at() > until->at();
                    });
                occurrences.clear();
                for (QDate d : dates) {
                    When w = *start;
                    w.date = d;
                    occurrences.append(w);
                }
            }
        }
        QSet<QString> excluded;
        if (const ContentLine *uid = e->property(u"UID"_s); recurring && uid)
            excluded = replaced.value(uid->value);
        for (const ContentLine *ex : e->all(u"EXDATE"_s)) {
            for (const QString &v : ex->value.split(u',')) {
                ContentLine one = *ex;
                one.value = v;
                const auto w = times.read(one, error);
                if (!w)
                    return std::nullopt;
                excluded.insert(w->dateOnly ? w->dayKey() : w->instantKey());
            }
        }

        bool first = true;
        for (const When &o : occurrences) {
            if (excluded.contains(o.dayKey()) || excluded.contains(o.instantKey()) ||
                (recurring && (o.date < from || o.date > to)))
                continue;
            NewAppointment a = base;
            if (!first) // the notes go with the first occurrence only
                a.notes.clear(), a.shortened = false;
            first = false;
            QList<std::pair<QDate, std::pair<QString, QString>>> days;
            if (o.dateOnly) {
                for (qint64 i = 0; i < std::max<qint64>(1, length / 86400) && i < 366; ++i)
                    days.append({o.date.addDays(i), {u"00:00"_s, u"24:00"_s}});
                a.fields.ReminderOn = 0;
            } else {
                const QDateTime s = o.at().toTimeZone(local);
                const QDateTime f = s.addSecs(std::max<qint64>(0, length));
                const QDate lastDay = length > 0 ? f.addSecs(-1).date() : s.date();
                for (QDate d = s.date(); d <= lastDay && days.size() < 366; d = d.addDays(1))
                    days.append({d,
                                 {d == s.date() ? hhmm(s.time()) : u"00:00"_s,
                                  d == f.date() ? hhmm(f.time()) : u"24:00"_s}});
            }
            if (days.size() > 1)
                a.notes.append(
                    QStringLiteral("it lasts %1 days: one appointment on each").arg(days.size()));
            for (const auto &[day, span] : days) {
                a.day = day;
                a.fields.StartTime = span.first;
                a.fields.EndTime = span.second;
                out.entries.append(a);
                a.notes.clear(); // later days carry no reminder and no notes
                a.shortened = false;
                a.fields.ReminderOn = 0;
            }
        }
    }
    for (const QString &n : times.notes)
        out.notes.append(n);
    return out;
}

} // namespace Import
