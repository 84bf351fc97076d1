// Content lines of iCalendar (RFC 5545) and vCard (RFC 6350) files: escaping of text values
// and folding of long lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace Export {

// A text value of iCalendar (TEXT) or vCard: backslash, semicolon and comma are escaped, every
// line break (CR LF, CR or LF) becomes "\n", other control characters are dropped. vCard 3.0
// requires the semicolon escaped in every text value and 4.0 allows it; readers that split a
// value at a bare semicolon (Evolution) would otherwise cut it there.
QString EscapeText(QStringView text);

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
