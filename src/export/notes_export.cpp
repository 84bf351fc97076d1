#include "export/notes_export.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace Export {

namespace {

constexpr qsizetype kMaxStemBytes = 200;

// Whether Windows takes the name for a device: the part before the first dot, without the
// blanks Windows drops, is CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM or LPT with a digit (also
// a superscript one), in any letter case, so "nul.txt" and "com1.log" are devices as well.
qsizetype deviceNameLength(const QString &stem)
{
    static const QRegularExpression device(
        QStringLiteral(
            "^(?:CON|PRN|AUX|NUL|CONIN\\$|CONOUT\\$|(?:COM|LPT)[0-9\u00B9\u00B2\u00B3]) *"
            "(?:\\.|$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = device.match(stem);
    if (!m.hasMatch())
        return 0;
    qsizetype n = m.capturedLength();
    while (n > 0 && (stem[n - 1] == QLatin1Char('.') || stem[n - 1] == QLatin1Char(' ')))
        --n;
    return n;
}

// Makes the folder and the missing ones above it, each readable by the owner alone.
bool makePrivatePath(const QString &absolute)
{
    const QFileInfo info(absolute);
    if (info.exists())
        return info.isDir();
    const QString parent = info.path();
    return (parent == absolute || makePrivatePath(parent)) &&
           QDir().mkdir(absolute, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
    if (const qsizetype device = deviceNameLength(out))
        out.insert(device, QLatin1Char('_'));
    return out;
}

QList<NoteFile> PlanNoteFiles(const QList<NoteRecord> &notes)
{
    QList<NoteFile> files;
    QSet<QString> taken; // case-folded names, for file systems that ignore letter case
    for (const NoteRecord &note : notes) {
        const QString stem = SafeFileStem(note.NoteName);
        QString fileName = stem + QStringLiteral(".txt");
        for (int n = 2; taken.contains(fileName.toCaseFolded()); ++n)
            fileName = QStringLiteral("%1 (%2).txt").arg(stem).arg(n);
        taken.insert(fileName.toCaseFolded());
        QString text = note.NoteText;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        files.append({note.number, fileName, text});
    }
    return files;
}

bool WriteNoteFiles(const QList<NoteFile> &files, const QString &outputFolder, QString *error)
{
    // Folders that have to be made, and the files, are readable by the owner alone, like the
    // data folder; a folder that exists already keeps its permissions.
    QDir dir(outputFolder);
    if (!makePrivatePath(dir.absolutePath())) {
        *error = QStringLiteral("%1: cannot create the folder").arg(outputFolder);
        return false;
    }
    for (const NoteFile &f : files) {
        QSaveFile out(dir.filePath(f.fileName));
        if (!out.open(QIODevice::WriteOnly) ||
            !out.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
            out.write(f.text.toUtf8()) < 0 || !out.commit()) {
            *error = QStringLiteral("%1: %2").arg(out.fileName(), out.errorString());
            return false;
        }
    }
    return true;
}

} // namespace Export
