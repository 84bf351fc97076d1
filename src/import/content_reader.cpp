#include "import/content_reader.h"

namespace Import {

QStringList ContentLine::param(const QString &wanted) const
{
    QStringList out;
    for (const auto &[key, values] : params) {
        if (key == wanted)
            out += values;
        else if (wanted == QLatin1String("TYPE") && values.isEmpty())
            out += key;
    }
    return out;
}

const ContentLine *Component::property(const QString &wanted) const
{
    for (const ContentLine &p : properties) {
        if (p.name == wanted)
            return &p;
    }
    return nullptr;
}

QList<const ContentLine *> Component::all(const QString &wanted) const
{
    QList<const ContentLine *> out;
    for (const ContentLine &p : properties) {
        if (p.name == wanted)
            out.append(&p);
    }
    return out;
}

namespace {

bool isNameChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_' || c == u'.';
}

// Splits one unfolded line; false when it is no content line.
bool parseLine(const QString &text, ContentLine *out)
{
    qsizetype i = 0;
    while (i < text.size() && isNameChar(text[i]))
        ++i;
    QString name = text.first(i).toUpper();
    name = name.mid(name.lastIndexOf(u'.') + 1); // "item1.TEL": the group goes
    if (name.isEmpty() || i == text.size() || (text[i] != u';' && text[i] != u':'))
        return false;
    out->name = name;
    while (text[i] == u';') {
        const qsizetype start = ++i;
        while (i < text.size() && text[i] != u'=' && text[i] != u';' && text[i] != u':')
            ++i;
        if (i == text.size())
            return false;
        const QString key = text.sliced(start, i - start).trimmed().toUpper();
        QStringList values;
        if (text[i] == u'=') {
            // Values separated by commas, each possibly quoted (a quoted one may hold ":;,").
            do {
                ++i;
                QString value;
                if (i < text.size() && text[i] == u'"') {
                    const qsizetype close = text.indexOf(u'"', i + 1);
                    if (close < 0)
                        return false;
                    value = text.sliced(i + 1, close - i - 1);
                    i = close + 1;
                } else {
                    const qsizetype from = i;
                    while (i < text.size() && text[i] != u',' && text[i] != u';' && text[i] != u':')
                        ++i;
                    value = text.sliced(from, i - from);
                }
                values.append(value);
            } while (i < text.size() && text[i] == u',');
            if (i == text.size())
                return false;
        }
        out->params.append({key, values});
    }
    out->value = text.mid(i + 1);
    return true;
}

} // namespace

std::optional<QList<Component>> ReadComponents(const QByteArray &bytes, QString *error)
{
    // Unfolding works on the bytes, so that a fold inside a character of several bytes (which
    // some writers make) joins up again before the text is decoded.
    QList<std::pair<int, QByteArray>> lines;
    int number = 0;
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.sliced(at, end - at);
        if (line.endsWith('\r'))
            line.chop(1);
        ++number;
        at = end + 1;
        if (!line.isEmpty() && (line[0] == ' ' || line[0] == '\t') && !lines.isEmpty())
            lines.last().second += line.sliced(1);
        else if (!line.trimmed().isEmpty())
            lines.append({number, line});
    }

    QList<Component> top;
    QList<Component> open; // the components begun and not yet ended, innermost last
    auto fail = [error](int line, const QString &why) {
        *error = QStringLiteral("line %1: %2").arg(line).arg(why);
        return std::nullopt;
    };
    for (const auto &[line, raw] : lines) {
        ContentLine c;
        c.line = line;
        if (!parseLine(QString::fromUtf8(raw), &c))
            return fail(line, QStringLiteral("\"%1\" is no content line (NAME:value)")
                                  .arg(QString::fromUtf8(raw.left(60))));
        if (c.name == QLatin1String("BEGIN")) {
            open.append({line, c.value.trimmed().toUpper(), {}, {}});
        } else if (c.name == QLatin1String("END")) {
            const QString name = c.value.trimmed().toUpper();
            if (open.isEmpty() || open.last().name != name)
                return fail(line, open.isEmpty()
                                      ? QStringLiteral("END:%1 without its BEGIN").arg(name)
                                      : QStringLiteral("END:%1 where END:%2 was due")
                                            .arg(name, open.last().name));
            Component done = open.takeLast();
            (open.isEmpty() ? top : open.last().children).append(done);
        } else if (open.isEmpty()) {
            return fail(line, QStringLiteral("%1 stands outside any BEGIN/END").arg(c.name));
        } else {
            open.last().properties.append(c);
        }
    }
    if (!open.isEmpty())
        return fail(open.last().line,
                    QStringLiteral("BEGIN:%1 is never ended").arg(open.last().name));
    return top;
}

QString UnescapeText(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u'n' || next == u'N')
            out += QStringLiteral("\r\n");
        else
            out += next;
    }
    return out;
}

QStringList SplitEscaped(QStringView value, QChar separator)
{
    QStringList parts;
    qsizetype from = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\')
            ++i;
        else if (value[i] == separator) {
            parts.append(value.sliced(from, i - from).toString());
            from = i + 1;
        }
    }
    parts.append(value.sliced(std::min(from, value.size())).toString());
    return parts;
}

} // namespace Import
