#include "find/find_logic.h"

#include "data/stored_text.h"

#include <QLocale>

#include <algorithm>
#include <cstring>

namespace FindLogic {

namespace {

QChar foldChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'A' && u <= 'Z') ? QChar(char16_t(u + ('a' - 'A'))) : c;
    if (u == 0)
        return QChar(u' ');
    // The base letter of an accented one: its canonical decomposition begins with it.
    QChar base = c;
    while (base.decompositionTag() == QChar::Canonical) {
        const QString parts = base.decomposition();
        if (parts.isEmpty() || parts[0].isSurrogate())
            break;
        base = parts[0];
    }
    return base.toCaseFolded();
}

// A phone number as it is also matched: without blanks and dashes.
QString withoutBlanksAndDashes(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('-') && c != QChar(0xA0))
            out += c;
    }
    return out;
}

QDate dateOfId(const QString &id)
{
    return QDate::fromString(id.left(8), QStringLiteral("yyyyMMdd"));
}

} // namespace

QString Fold(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *to = out.data();
    for (const QChar c : text)
        *to++ = foldChar(c);
    return out;
}

FindIndex FindIndex::Build(QList<Appointment> appointments, QList<AddressEntry> entries,
                           QList<Note> notes)
{
    // Newest appointments first: by day, then start time, the later first.
    std::stable_sort(
        appointments.begin(), appointments.end(), [](const Appointment &a, const Appointment &b) {
            const QDate da = dateOfId(a.AppointmentId);
            const QDate db = dateOfId(b.AppointmentId);
            if (da != db)
                return da > db;
            return StoredText::trimBlanks(a.StartTime) > StoredText::trimBlanks(b.StartTime);
        });
    // Address entries by display name, an accented letter with its base letter ("Ångström"
    // with the names under A), as their letter groups file them.
    std::stable_sort(
        entries.begin(), entries.end(), [](const AddressEntry &a, const AddressEntry &b) {
            const int folded = Fold(a.DisplayName).compare(Fold(b.DisplayName));
            return folded != 0 ? folded < 0
                               : QString::localeAwareCompare(a.DisplayName, b.DisplayName) < 0;
        });

    FindIndex index;
    const QLocale locale = QLocale::system();
    for (const Appointment &a : std::as_const(appointments)) {
        const QDate date = dateOfId(a.AppointmentId);
        const QString when =
            date.isValid() ? locale.toString(date, QLocale::ShortFormat) : a.AppointmentId.left(8);
        index.addEntry(Kind::Appointment, a.AppointmentId,
                       when + QLatin1Char(' ') + StoredText::trimBlanks(a.StartTime));
        index.addField(a.Subject, false);
        index.addField(a.Description, false);
    }
    for (const AddressEntry &e : std::as_const(entries)) {
        index.addEntry(Kind::Address, e.DisplayName, StoredText::trimBlanks(e.DisplayName));
        for (const QString *text : {&e.Name, &e.Surname, &e.Address})
            index.addField(*text, false);
        for (const QString *phone : {&e.PhoneHome, &e.PhoneBusiness1, &e.PhoneBusiness2,
                                     &e.PhoneMobile, &e.PhoneFax, &e.PhoneOther})
            index.addField(*phone, true);
        for (const QString *text : {&e.EMail, &e.HomePage, &e.Notes})
            index.addField(*text, false);
    }
    for (qsizetype n = 0; n < notes.size(); ++n) {
        index.addEntry(Kind::Note, QString::number(n + 1),
                       StoredText::trimBlanks(notes[n].NoteName));
        index.addField(notes[n].NoteName, false);
        index.addField(notes[n].NoteText, false);
    }
    index.finish();
    return index;
}

FindIndex FindIndex::Load()
{
    // Each file in one pass.
    return Build(AppointmentStore().ReadAllAppointments(), AddressStore().ReadAllAddressEntries(),
                 NoteStore().ReadAllNotes());
}

void FindIndex::addEntry(Kind kind, const QString &key, const QString &where)
{
    m_entries.append({kind, key, where});
    m_text.entryStarts.append(m_text.bytes.size());
    m_phones.entryStarts.append(m_phones.bytes.size());
}

void FindIndex::finish()
{
    m_text.entryStarts.append(m_text.bytes.size());
    m_phones.entryStarts.append(m_phones.bytes.size());
}

void FindIndex::addField(const QString &text, bool phone)
{
    if (text.isEmpty())
        return;
    const int entry = int(m_entries.size()) - 1;
    const int stored = int(m_texts.size());
    m_texts.append(text);
    m_text.fields.append({m_text.bytes.size(), entry, stored});
    m_text.bytes += Fold(text).toUtf8();
    m_text.bytes += '\0';
    if (phone) {
        m_phones.fields.append({m_phones.bytes.size(), entry, stored});
        m_phones.bytes += Fold(withoutBlanksAndDashes(text)).toUtf8();
        m_phones.bytes += '\0';
    }
}

int FindIndex::Buffer::fieldAt(qsizetype at) const
{
    const auto f = std::upper_bound(
        fields.cbegin(), fields.cend(), at,
        [](qsizetype position, const Field &field) { return position < field.start; });
    return int(f - fields.cbegin()) - 1;
}

template <typename Hit> void FindIndex::matches(const QString &query, Hit hit) const
{
    const QByteArray folded = Fold(query.trimmed()).toUtf8();
    if (folded.isEmpty())
        return;
    // A phone number is also found when the query and the number differ in blanks and dashes.
    const QByteArray digits = Fold(withoutBlanksAndDashes(query.trimmed())).toUtf8();
    const bool phones =
        std::any_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; });

    // The next match in a buffer at or after byte `from`, or -1.
    const auto next = [](const Buffer &b, const QByteArray &needle, qsizetype from) -> qsizetype {
        if (from >= b.bytes.size())
            return -1;
        const void *at = ::memmem(b.bytes.constData() + from, size_t(b.bytes.size() - from),
                                  needle.constData(), size_t(needle.size()));
        return at ? static_cast<const char *>(at) - b.bytes.constData() : -1;
    };
    // The first match of each entry in order, from the two buffers: after a match, both go on
    // from the next entry's fields.
    qsizetype at = next(m_text, folded, 0);
    qsizetype atPhone = phones ? next(m_phones, digits, 0) : -1;
    while (at >= 0 || atPhone >= 0) {
        const int field = at >= 0 ? m_text.fieldAt(at) : -1;
        const int phoneField = atPhone >= 0 ? m_phones.fieldAt(atPhone) : -1;
        const int entry = field >= 0 ? m_text.fields[field].entry : -1;
        const int phoneEntry = phoneField >= 0 ? m_phones.fields[phoneField].entry : -1;
        const bool byPhone = entry < 0 || (phoneEntry >= 0 && phoneEntry < entry);
        const bool more = byPhone
                              ? hit(m_phones, phoneField,
                                    atPhone - m_phones.fields[phoneField].start, digits.size())
                              : hit(m_text, field, at - m_text.fields[field].start, folded.size());
        if (!more)
            return;
        const int done = byPhone ? phoneEntry : entry;
        if (entry == done)
            at = next(m_text, folded, m_text.entryStarts[done + 1]);
        if (phoneEntry == done)
            atPhone = next(m_phones, digits, m_phones.entryStarts[done + 1]);
    }
}

QList<FindLogic::Found> FindIndex::Find(const QString &query, int limit) const
{
    QList<Found> results;
    if (limit <= 0)
        return results;
    matches(query, [&](const Buffer &buffer, int field, qsizetype at, qsizetype length) {
        results.append(found(buffer, field, at, length));
        return results.size() < limit;
    });
    return results;
}

int FindIndex::Count(const QString &query) const
{
    int count = 0;
    matches(query, [&](const Buffer &, int, qsizetype, qsizetype) {
        ++count;
        return true;
    });
    return count;
}

Found FindIndex::found(const Buffer &buffer, int field, qsizetype at, qsizetype length) const
{
    const Field &f = buffer.fields[field];
    const Entry &e = m_entries[f.entry];
    const QString &text = m_texts[f.text];
    QString context;
    if (&buffer == &m_phones) {
        context = text;
    } else {
        // The folded text has a character for each of the text's: the match's place in it is
        // its place in the text. Some words before the match and more after it.
        const qsizetype start =
            QString::fromUtf8(QByteArrayView(buffer.bytes).sliced(f.start, at)).size();
        const qsizetype size =
            QString::fromUtf8(QByteArrayView(buffer.bytes).sliced(f.start + at, length)).size();
        const qsizetype from = std::max<qsizetype>(0, start - 24);
        const qsizetype to = std::min(text.size(), start + size + 48);
        context = text.mid(from, to - from);
        if (from > 0)
            context.prepend(QChar(0x2026));
        if (to < text.size())
            context.append(QChar(0x2026));
    }
    for (QChar &c : context) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t') ||
            c.unicode() == 0)
            c = QLatin1Char(' ');
    }
    return {e.kind, e.key, e.where, context.simplified()};
}

} // namespace FindLogic
