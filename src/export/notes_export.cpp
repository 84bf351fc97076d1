#include "export/notes_export.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>

namespace Export {

namespace {

constexpr qsizetype kMaxStemBytes = 200;

bool isDeviceName(const QString &stem)
{
    // Names that Windows keeps for devices, whatever the extension.
    static const QSet<QString> names = [] {
        QSet<QString> s{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                        QStringLiteral("NUL")};
        for (int i = 1; i <= 9; ++i) {
            s.insert(QStringLiteral("COM%1").arg(i));
            s.insert(QStringLiteral("LPT%1").arg(i));
        }
        return s;
    }();
    return names.contains(stem.toUpper());
}

} // namespace

QString SafeFileStem(const QString &name)
{
    QString out;
    bool lastWasBlank = false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == '\r' || u == '\n' || u == '\t' || c.isSpace()) {
            if (!lastWasBlank)
                out += QLatin1Char(' ');
            lastWasBlank = true;
            continue;
        }
        lastWasBlank = false;
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            continue;
        if (QStringLiteral("/\\:*?\"<>|").contains(c))
            out += QLatin1Char('_');
        else
            out += c;
    }
    // Leading dots would hide the file; trailing dots and blanks are dropped by Windows.
    while (!out.isEmpty() && (out.front() == QLatin1Char('.') || out.front() == QLatin1Char(' ')))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back() == QLatin1Char('.') || out.back() == QLatin1Char(' ')))
        out.chop(1);
    while (out.toUtf8().size() > kMaxStemBytes)
        out.chop(1);
    out = out.trimmed();
    if (out.isEmpty())
        out = QStringLiteral("Unnamed note");
    if (isDeviceName(out))
        out += QLatin1Char('_');
    return out;
}

QList<NoteFile> PlanNoteFiles(const QList<NoteRecord> &notes)
{
    QList<NoteFile> files;
    QSet<QString> taken; // case-folded names, for file systems that ignore letter case
    for (const NoteRecord &note : notes) {
        const QString stem = SafeFileStem(note.name);
        QString fileName = stem + QStringLiteral(".txt");
        for (int n = 2; taken.contains(fileName.toCaseFolded()); ++n)
            fileName = QStringLiteral("%1 (%2).txt").arg(stem).arg(n);
        taken.insert(fileName.toCaseFolded());
        QString text = note.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        files.append({note.number, fileName, text});
    }
    return files;
}

bool WriteNoteFiles(const QList<NoteFile> &files, const QString &outputFolder, QString *error)
{
    QDir dir(outputFolder);
    if (!dir.exists() && !QDir().mkpath(outputFolder)) {
        *error = QStringLiteral("%1: cannot create the folder").arg(outputFolder);
        return false;
    }
    for (const NoteFile &f : files) {
        QSaveFile out(dir.filePath(f.fileName));
        if (!out.open(QIODevice::WriteOnly) || out.write(f.text.toUtf8()) < 0 || !out.commit()) {
            *error = QStringLiteral("%1: %2").arg(out.fileName(), out.errorString());
            return false;
        }
    }
    return true;
}

} // namespace Export
