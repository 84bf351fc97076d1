#include "export/vcard_export.h"

#include "export/content_lines.h"
#include "export/ical_export.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace Export {

namespace {

// A home page as a URI: kept when it starts with a scheme ("http://...", or one of the schemes
// that need no "//", such as "mailto:"), "https://" put in front of anything else, so that a
// host with a port ("www.example.com:8080/x") is not taken for a scheme; nullopt when the text
// then still is no address with a host name.
std::optional<QString> homePageUri(const QString &text)
{
    static const QRegularExpression withScheme(
        QStringLiteral("^(?:[a-z][a-z0-9+.-]*://|(?:mailto|tel|sip|sips|xmpp|urn|news|geo):)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString t = text.trimmed();
    if (t.isEmpty() || t.contains(QLatin1Char(' ')))
        return std::nullopt;
    QUrl url(t, QUrl::StrictMode);
    if (!withScheme.match(t).hasMatch()) {
        url = QUrl(QStringLiteral("https://") + t, QUrl::StrictMode);
        if (url.host().isEmpty() || !url.host().contains(QLatin1Char('.')))
            return std::nullopt;
    }
    if (!url.isValid())
        return std::nullopt;
    return QString::fromLatin1(url.toEncoded(QUrl::FullyEncoded));
}

} // namespace

QByteArray WriteVCards(const DataFolderContents &data, QList<Finding> *warnings)
{
    ContentWriter w;
    QSet<QString> uids;
    for (const AddressRecord &e : data.addresses) {
        const QString where =
            QStringLiteral("entry %1 (%2)").arg(e.position + 1).arg(e.DisplayName);
        auto warn = [&](const QString &message) {
            warnings->append(
                {Finding::Warning, QString::fromLatin1(AddressesLayout.fileName), where, message});
        };
        w.line(u"BEGIN:VCARD");
        w.line(u"VERSION:4.0");
        QString uid =
            StableUuid(QStringLiteral("address\n") + e.DisplayName).toString(QUuid::WithoutBraces);
        if (uids.contains(uid)) // only in a broken file with a repeated display name
            uid = StableUuid(QStringLiteral("address\n%1#%2").arg(e.DisplayName).arg(e.position))
                      .toString(QUuid::WithoutBraces);
        uids.insert(uid);
        w.property(u"UID", QStringLiteral("urn:uuid:") + uid);
        if (data.addressesFile.modified.isValid()) // the last change of the file, as for events
            w.property(u"REV", data.addressesFile.modified.toUTC().toString(
                                   QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));

        QString formatted = (e.Name.trimmed() + QLatin1Char(' ') + e.Surname.trimmed()).trimmed();
        if (formatted.isEmpty())
            formatted = e.DisplayName.trimmed();
        w.property(u"FN", EscapeText(formatted));
        // N: family name; given name; additional names; prefixes; suffixes.
        w.property(u"N", EscapeText(e.Surname) + QLatin1Char(';') + EscapeText(e.Name) +
                             QStringLiteral(";;;"));
        if (!e.Address.trimmed().isEmpty()) {
            // The address is one free text of several lines: it goes whole into the street
            // component, its line breaks kept. This is a personal address book, so the address
            // is the home address (readers file an untyped one as a work address).
            w.property(u"ADR;TYPE=home", QStringLiteral(";;%1;;;;").arg(EscapeText(e.Address)));
        }
        const struct {
            const QString &number;
            const char *types;
        } phones[] = {{e.PhoneHome, "home,voice"},
                      {e.PhoneBusiness1, "work,voice"},
                      {e.PhoneBusiness2, "work,voice"},
                      {e.PhoneMobile, "cell"},
                      {e.PhoneFax, "fax"},
                      {e.PhoneOther, "voice"}};
        for (const auto &phone : phones) {
            if (phone.number.trimmed().isEmpty())
                continue;
            w.line(QStringLiteral("TEL;VALUE=text;TYPE=%1:%2")
                       .arg(QString::fromLatin1(phone.types), EscapeText(phone.number)));
        }
        if (HasBirthday(e.HasBirthday)) {
            if (const auto born = BirthdayDate(e.BirthdayDate))
                w.property(u"BDAY", born->toString(QStringLiteral("yyyyMMdd")));
            else
                warn(QStringLiteral("the birthday \"%1\" is not a valid dd/mm/yyyy date; left out")
                         .arg(e.BirthdayDate));
        }
        if (!e.EMail.trimmed().isEmpty())
            w.property(u"EMAIL", EscapeText(e.EMail.trimmed()));
        QString notes = e.Notes;
        if (!e.HomePage.trimmed().isEmpty()) {
            if (const auto uri = homePageUri(e.HomePage)) {
                w.property(u"URL", EscapeText(*uri));
            } else {
                warn(QStringLiteral("the home page \"%1\" is no web address; put into the note")
                         .arg(e.HomePage));
                const QString line = QStringLiteral("Home Page: ") + e.HomePage;
                notes = notes.isEmpty() ? line : notes + QStringLiteral("\r\n") + line;
            }
        }
        if (!notes.isEmpty())
            w.property(u"NOTE", EscapeText(notes));
        w.line(u"END:VCARD");
    }
    return w.bytes();
}

} // namespace Export
