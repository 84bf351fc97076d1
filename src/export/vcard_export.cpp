#include "export/vcard_export.h"

#include "export/content_lines.h"
#include "export/ical_export.h"

#include <QSet>
#include <QUrl>

namespace Export {

namespace {

// A home page as a URI: kept when it has a scheme, "https://" put in front of a bare host
// name ("www.example.com"); nullopt when it cannot be an address at all.
std::optional<QString> homePageUri(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.contains(QLatin1Char(' ')))
        return std::nullopt;
    QUrl url(t, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.scheme().size() == 1 /* C:\ */) {
        url = QUrl(QStringLiteral("https://") + t, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty() || !url.host().contains(QLatin1Char('.')))
            return std::nullopt;
    }
    return QString::fromLatin1(url.toEncoded(QUrl::FullyEncoded));
}

} // namespace

QByteArray WriteVCards(const DataFolderContents &data, QList<Finding> *warnings)
{
    ContentWriter w;
    QSet<QString> uids;
    for (const AddressRecord &e : data.addresses) {
        const QString where =
            QStringLiteral("entry %1 (%2)").arg(e.position + 1).arg(e.displayName);
        auto warn = [&](const QString &message) {
            warnings->append(
                {Finding::Warning, QString::fromLatin1(AddressesLayout.fileName), where, message});
        };
        w.line(u"BEGIN:VCARD");
        w.line(u"VERSION:4.0");
        QString uid =
            StableUuid(QStringLiteral("address\n") + e.displayName).toString(QUuid::WithoutBraces);
        if (uids.contains(uid)) // only in a broken file with a repeated display name
            uid = StableUuid(QStringLiteral("address\n%1#%2").arg(e.displayName).arg(e.position))
                      .toString(QUuid::WithoutBraces);
        uids.insert(uid);
        w.property(u"UID", QStringLiteral("urn:uuid:") + uid);

        QString formatted = (e.name.trimmed() + QLatin1Char(' ') + e.surname.trimmed()).trimmed();
        if (formatted.isEmpty())
            formatted = e.displayName.trimmed();
        w.property(u"FN", EscapeVCardText(formatted));
        // N: family name; given name; additional names; prefixes; suffixes.
        w.property(u"N", EscapeVCardComponent(e.surname) + QLatin1Char(';') +
                             EscapeVCardComponent(e.name) + QStringLiteral(";;;"));
        if (!e.address.trimmed().isEmpty()) {
            // The address is one free text of several lines: it goes whole into the street
            // component, its line breaks kept.
            w.property(u"ADR", QStringLiteral(";;%1;;;;").arg(EscapeVCardComponent(e.address)));
        }
        const struct {
            const QString &number;
            const char *types;
        } phones[] = {{e.phoneHome, "home,voice"},
                      {e.phoneBusiness1, "work,voice"},
                      {e.phoneBusiness2, "work,voice"},
                      {e.phoneMobile, "cell"},
                      {e.phoneFax, "fax"},
                      {e.phoneOther, "voice"}};
        for (const auto &phone : phones) {
            if (phone.number.trimmed().isEmpty())
                continue;
            w.line(QStringLiteral("TEL;VALUE=text;TYPE=%1:%2")
                       .arg(QString::fromLatin1(phone.types), EscapeVCardText(phone.number)));
        }
        if (HasBirthday(e.hasBirthday)) {
            if (const auto born = BirthdayDate(e.birthdayDate))
                w.property(u"BDAY", born->toString(QStringLiteral("yyyyMMdd")));
            else
                warn(QStringLiteral("the birthday \"%1\" is not a valid dd/mm/yyyy date; left out")
                         .arg(e.birthdayDate));
        }
        if (!e.email.trimmed().isEmpty())
            w.property(u"EMAIL", EscapeVCardText(e.email.trimmed()));
        QString notes = e.notes;
        if (!e.homePage.trimmed().isEmpty()) {
            if (const auto uri = homePageUri(e.homePage)) {
                w.property(u"URL", *uri);
            } else {
                warn(QStringLiteral("the home page \"%1\" is no web address; put into the note")
                         .arg(e.homePage));
                const QString line = QStringLiteral("Home Page: ") + e.homePage;
                notes = notes.isEmpty() ? line : notes + QStringLiteral("\r\n") + line;
            }
        }
        if (!notes.isEmpty())
            w.property(u"NOTE", EscapeVCardText(notes));
        w.line(u"END:VCARD");
    }
    return w.bytes();
}

} // namespace Export
