#include "import/vcard_import.h"

#include "import/content_reader.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace Import {

namespace {

// The value of a property with the quoted-printable of vCard 2.1 decoded, escapes kept.
QString decoded(const ContentLine &p)
{
    if (p.firstParam(u"ENCODING"_s).toUpper() != u"QUOTED-PRINTABLE")
        return p.value;
    QByteArray bytes;
    const QByteArray raw = p.value.toUtf8();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        bool ok = false;
        const int code = raw[i] == '=' ? raw.mid(i + 1, 2).toInt(&ok, 16) : 0;
        bytes += ok ? char(code) : raw[i];
        i += ok ? 2 : 0;
    }
    return QString::fromUtf8(bytes).replace(u"\r\n"_s, u"\\n"_s).replace(u'\n', u"\\n"_s);
}

// The value as text: escapes resolved, line breaks as CR LF.
QString textOf(const ContentLine &p)
{
    return UnescapeText(decoded(p));
}

QStringList partsOf(const ContentLine &p, qsizetype count)
{
    QStringList parts = SplitEscaped(decoded(p), u';');
    for (QString &s : parts) {
        s = UnescapeText(s).trimmed();
    }
    while (parts.size() < count)
        parts.append(QString());
    return parts;
}

QStringList typesOf(const ContentLine &p)
{
    QStringList types;
    for (const QString &t : p.param(u"TYPE"_s))
        types += t.toLower().split(u',');
    return types;
}

QString joinNonEmpty(const QStringList &parts, const QString &separator)
{
    QStringList kept;
    for (const QString &s : parts) {
        if (!s.trimmed().isEmpty())
            kept.append(s.trimmed());
    }
    return kept.join(separator);
}

} // namespace

std::optional<FileContents<NewAddress>> ReadContacts(const QByteArray &bytes, QDate today,
                                                     QString *error)
{
    const auto components = ReadComponents(bytes, error);
    if (!components)
        return std::nullopt;
    FileContents<NewAddress> out;
    bool anyCard = false;
    for (const Component &card : *components) {
        if (card.name != u"VCARD")
            continue;
        anyCard = true;
        NewAddress n;
        n.line = card.line;
        AddressEntry &e = n.entry;

        // The name: N's family and given names; without them, FN split at its last blank,
        // or the organisation.
        if (const ContentLine *name = card.property(u"N"_s)) {
            const QStringList parts = partsOf(*name, 5);
            e.Surname = parts[0];
            e.Name = joinNonEmpty({parts[1], parts[2]}, u" "_s);
        }
        const ContentLine *fn = card.property(u"FN"_s);
        const QString formatted = fn ? textOf(*fn).trimmed() : QString();
        if (e.Surname.isEmpty() && !formatted.isEmpty()) {
            const qsizetype blank = formatted.lastIndexOf(u' ');
            e.Surname = formatted.mid(blank + 1);
            e.Name = blank > 0 ? formatted.left(blank) : QString();
        }
        if (const ContentLine *org = card.property(u"ORG"_s); e.Surname.isEmpty() && org)
            e.Surname = partsOf(*org, 1)[0];
        const QString where = QStringLiteral("line %1 (%2)")
                                  .arg(card.line)
                                  .arg(joinNonEmpty({e.Surname, e.Name}, u", "_s));
        if (e.Surname.isEmpty()) {
            ++out.skipped;
            out.notes.append(where + QStringLiteral(": skipped: the contact has no name"));
            continue;
        }

        // The address: the home one, else the first; its parts one line each.
        const QList<const ContentLine *> addresses = card.all(u"ADR"_s);
        const auto home = std::find_if(addresses.begin(), addresses.end(),
                                       [](auto *a) { return typesOf(*a).contains(u"home"_s); });
        if (!addresses.isEmpty()) {
            const QStringList p = partsOf(home != addresses.end() ? **home : *addresses[0], 7);
            e.Address = joinNonEmpty(
                {p[0], p[1], p[2], joinNonEmpty({p[5], p[3]}, u" "_s), p[4], p[6]}, u"\r\n"_s);
            if (addresses.size() > 1)
                n.notes.append(
                    QStringLiteral("only one of its %1 addresses was taken").arg(addresses.size()));
        }

        // The six phone numbers by type; one that finds its place taken goes to Other.
        QString *phoneFields[] = {&e.PhoneHome,   &e.PhoneBusiness1, &e.PhoneBusiness2,
                                  &e.PhoneMobile, &e.PhoneFax,       &e.PhoneOther};
        for (const ContentLine *tel : card.all(u"TEL"_s)) {
            QString number = textOf(*tel).trimmed();
            if (number.startsWith(u"tel:"_s, Qt::CaseInsensitive))
                number = number.mid(4);
            const QStringList t = typesOf(*tel);
            QList<int> wanted = t.contains(u"fax"_s)    ? QList<int>{4}
                                : t.contains(u"cell"_s) ? QList<int>{3}
                                : t.contains(u"work"_s) ? QList<int>{1, 2}
                                : t.contains(u"home"_s) ? QList<int>{0}
                                                        : QList<int>{};
            wanted.append(5);
            const auto free = std::find_if(wanted.begin(), wanted.end(),
                                           [&](int k) { return phoneFields[k]->isEmpty(); });
            if (free == wanted.end())
                n.notes.append(QStringLiteral("the phone number %1 was left out: no field was "
                                              "free for it")
                                   .arg(number));
            else
                *phoneFields[*free] = number;
        }

        QDate born = today;
        bool hasBirthday = false;
        if (const ContentLine *bday = card.property(u"BDAY"_s)) {
            QString v = bday->value.trimmed().left(10).remove(u'-');
            if (v.size() == 4) // "--0305": no year; a leap year keeps 29 February
                v.prepend(u"1604"_s);
            hasBirthday = QDate::fromString(v.left(8), u"yyyyMMdd"_s).isValid();
            if (hasBirthday) {
                born = QDate::fromString(v.left(8), u"yyyyMMdd"_s);
            } else {
                n.notes.append(
                    QStringLiteral("the birthday \"%1\" is no date; left out").arg(bday->value));
            }
        }
        if (const ContentLine *mail = card.property(u"EMAIL"_s))
            e.EMail = textOf(*mail).trimmed();
        if (const ContentLine *url = card.property(u"URL"_s))
            e.HomePage = textOf(*url).trimmed();
        if (const ContentLine *note = card.property(u"NOTE"_s))
            e.Notes = textOf(*note);
        // Tallowby's own export puts a home page that is no web address into the note.
        if (const qsizetype at = e.Notes.lastIndexOf(u"Home Page: "_s);
            e.HomePage.isEmpty() && at >= 0 && (at == 0 || e.Notes.mid(at - 2, 2) == u"\r\n") &&
            !e.Notes.mid(at).contains(u'\n')) {
            e.HomePage = e.Notes.mid(at + 11);
            e.Notes.truncate(std::max<qsizetype>(0, at - 2));
        }

        const struct {
            QString *text;
            int limit;
            const char *what;
        } fields[] = {{&e.Name, kNameLength, "name"},
                      {&e.Surname, kNameLength, "surname"},
                      {&e.Address, kMultiLineLength, "address"},
                      {&e.PhoneHome, kPhoneLength, "Home phone"},
                      {&e.PhoneBusiness1, kPhoneLength, "Business #1 phone"},
                      {&e.PhoneBusiness2, kPhoneLength, "Business #2 phone"},
                      {&e.PhoneMobile, kPhoneLength, "Mobile phone"},
                      {&e.PhoneFax, kPhoneLength, "Fax"},
                      {&e.PhoneOther, kPhoneLength, "Other phone"},
                      {&e.EMail, kWebLength, "e-mail"},
                      {&e.HomePage, kWebLength, "home page"},
                      {&e.Notes, kMultiLineLength, "notes"}};
        for (const auto &f : fields) {
            if (f.limit < kMultiLineLength)
                f.text->replace(u"\r\n"_s, u" "_s); // one-line boxes hold no line breaks
            if (FitText(f.text, f.limit)) {
                n.shortened = true;
                n.notes.append(QStringLiteral("the %1 was cut to %2 characters")
                                   .arg(QLatin1StringView(f.what))
                                   .arg(f.limit));
            }
        }
        e = AddressStore::BuildEntry(e.Name, e.Surname, e.Address,
                                     {e.PhoneHome, e.PhoneBusiness1, e.PhoneBusiness2,
                                      e.PhoneMobile, e.PhoneFax, e.PhoneOther},
                                     born, hasBirthday, e.EMail, e.HomePage, e.Notes);
        out.entries.append(n);
    }
    if (!anyCard) {
        *error = QStringLiteral("line 1: the file holds no contact (BEGIN:VCARD)");
        return std::nullopt;
    }
    return out;
}

} // namespace Import
