#include "export/content_lines.h"

namespace Export {

QString EscapeText(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '\\':
        case ',':
        case ';':
            out += QLatin1Char('\\');
            out += c;
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i; // CR LF is one line break
            out += QStringLiteral("\\n");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += c;
            break;
        default:
            // Control characters are not allowed in text values.
            if (c.unicode() < 0x20 || c.unicode() == 0x7F ||
                (c.unicode() >= 0x80 && c.unicode() < 0xA0))
                break;
            out += c;
        }
    }
    return out;
}

QByteArray FoldLine(QStringView line)
{
    // At most 75 octets a line, the blank that begins a continuation line counted; a character
    // is never split between two lines.
    constexpr qsizetype kMaxOctets = 75;
    QByteArray utf8 = line.toUtf8();
    if (utf8.size() <= kMaxOctets)
        return utf8 += "\r\n";
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    qsizetype i = 0;
    qsizetype room = kMaxOctets;
    for (;;) {
        qsizetype end = i + room;
        if (end >= utf8.size()) {
            out.append(utf8.constData() + i, utf8.size() - i);
            break;
        }
        // Back to the first byte of the character that the limit falls in.
        while (end > i && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        out.append(utf8.constData() + i, end - i);
        out += "\r\n ";
        i = end;
        room = kMaxOctets - 1;
    }
    out += "\r\n";
    return out;
}

} // namespace Export
