// Reading of the content lines that iCalendar (RFC 5545) and vCard (RFC 6350, 2426) files are
// made of: lines unfolded, each split into name, parameters and value, and nested into the
// BEGIN/END components. Tolerant of what real files hold (LF line ends, lower-case names,
// groups such as "item1.TEL", blank lines, a missing last line end); a line that is no content
// line or a BEGIN without its END makes the whole file malformed, with the line number.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace Import {

struct ContentLine {
    int line = 0;                                  // the line of the file it starts on, from 1
    QString name;                                  // upper case, without a group
    QList<std::pair<QString, QStringList>> params; // names upper case, values unquoted
    QString value;                                 // as written: still escaped

    // The values of a parameter, empty when it is absent. Bare parameters of vCard 2.1
    // ("TEL;HOME;FAX:") count as values of TYPE.
    QStringList param(const QString &wanted) const;
    QString firstParam(const QString &wanted) const { return param(wanted).value(0); }
};

struct Component {
    int line = 0;
    QString name; // upper case: VCALENDAR, VEVENT, VALARM, VCARD, ...
    QList<ContentLine> properties;
    QList<Component> children;

    // The first property of that name, or nullptr.
    const ContentLine *property(const QString &name) const;
    QList<const ContentLine *> all(const QString &name) const;
};

// The top-level components of a file. A file whose text is not content lines gives nullopt
// and a message that names the line.
std::optional<QList<Component>> ReadComponents(const QByteArray &bytes, QString *error);

// A text value with its escapes resolved: "\n" becomes CR LF, as the data files keep line
// breaks; "\," "\;" "\\" and "\:" the character itself.
QString UnescapeText(QStringView value);
// Splits at the separator where it is not escaped; the parts stay escaped.
QStringList SplitEscaped(QStringView value, QChar separator);

} // namespace Import
