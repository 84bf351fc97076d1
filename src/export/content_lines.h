// Content lines of iCalendar (RFC 5545) and vCard (RFC 6350) files: escaping of text values
// and folding of long lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace Export {

// iCalendar TEXT: backslash, semicolon and comma are escaped, every line break (CR LF, CR or
// LF) becomes "\n", other control characters are dropped.
QString EscapeICalText(QStringView text);
// vCard text value: backslash, comma and line breaks are escaped (a semicolon stays as it is).
QString EscapeVCardText(QStringView text);
// One component of a structured vCard value (N, ADR): semicolons are escaped as well.
QString EscapeVCardComponent(QStringView text);

// One content line as UTF-8, folded so that no line is longer than 75 octets (continuation
// lines start with a blank; a character is never split), ending in CR LF.
QByteArray FoldLine(QStringView line);

// Collects content lines into a file.
class ContentWriter {
public:
    void line(QStringView text) { m_bytes += FoldLine(text); }
    // NAME:value, the value already escaped as its type needs.
    void property(QStringView name, QStringView rawValue)
    {
        line(name.toString() + QLatin1Char(':') + rawValue.toString());
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace Export
