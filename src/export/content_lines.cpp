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
    constexpr int kMaxOctets = 75;
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    qsizetype lineStart = 0; // index in `out` where the current physical line starts
    qsizetype i = 0;
    while (i < utf8.size()) {
        // The length of the UTF-8 sequence that starts here.
        const auto lead = static_cast<unsigned char>(utf8[i]);
        qsizetype n = 1;
        if (lead >= 0xF0)
            n = 4;
        else if (lead >= 0xE0)
            n = 3;
        else if (lead >= 0xC0)
            n = 2;
        n = std::min(n, utf8.size() - i);
        if (out.size() - lineStart + n > kMaxOctets) {
            out += "\r\n ";
            lineStart = out.size() - 1; // the blank counts towards the line
        }
        out.append(utf8.constData() + i, n);
        i += n;
    }
    out += "\r\n";
    return out;
}

} // namespace Export
