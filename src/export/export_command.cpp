#include "export/export_command.h"

#include "export/folder_check.h"
#include "export/ical_export.h"
#include "export/notes_export.h"
#include "export/vcard_export.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace Export {

namespace {

constexpr auto kProgram = "tallowby-export";

struct Options {
    QString command;
    QStringList positional;
    QString outputFile; // empty or "-": standard output
};

int usageError(QTextStream &err, const QString &message)
{
    err << kProgram << ": " << message << "\n"
        << "Try '" << kProgram << " --help' for more information.\n";
    err.flush();
    return ExitFailure;
}

// Warnings of the files that an export reads, then those of the export itself.
void printWarnings(QTextStream &err, const QList<Finding> &findings,
                   std::initializer_list<const FileLayout *> files)
{
    for (const Finding &f : findings) {
        for (const FileLayout *layout : files) {
            if (f.file == QLatin1String(layout->fileName)) {
                err << kProgram << ": warning: " << f.toString() << "\n";
                break;
            }
        }
    }
    err.flush();
}

bool writeOutput(const QByteArray &bytes, const QString &file, QIODevice &out, QTextStream &err)
{
    if (file.isEmpty() || file == QLatin1String("-")) {
        if (out.write(bytes) != bytes.size()) {
            err << kProgram << ": cannot write to standard output\n";
            return false;
        }
        return true;
    }
    // The export holds private data: readable by the owner alone, like the data folder.
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        f.write(bytes) != bytes.size() || !f.commit()) {
        err << kProgram << ": " << file << ": " << f.errorString() << "\n";
        return false;
    }
    return true;
}

// The absolute path with symbolic links resolved as far as it exists.
QString resolvedPath(const QString &path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList missing;
    while (!QFileInfo::exists(existing) && QFileInfo(existing).path() != existing) {
        missing.prepend(QFileInfo(existing).fileName());
        existing = QFileInfo(existing).path();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    missing.prepend(canonical.isEmpty() ? existing : canonical);
    return QDir::cleanPath(missing.join(QLatin1Char('/')));
}

// Why an export may not go to `target` (an output file, or the notes' folder when `isFolder`):
// the tool never writes into the folder it reads, nor over a file named like a data file.
QString refusedTarget(const QString &target, bool isFolder, const QString &dataFolder)
{
    const QString resolved = resolvedPath(target);
    const QString folder = resolvedPath(dataFolder);
    if ((isFolder ? resolved : QFileInfo(resolved).path()) == folder)
        return QStringLiteral("%1: refused: the export would be written into the data folder %2, "
                              "which is only read")
            .arg(target, dataFolder);
    for (const FileLayout *layout :
         {&AppointmentsLayout, &NotesLayout, &AddressesLayout, &DesktopLayout}) {
        const QString name = QString::fromLatin1(layout->fileName);
        if (!isFolder && (QFileInfo(resolved).fileName().compare(name, Qt::CaseInsensitive) == 0 ||
                          QFileInfo(target).fileName().compare(name, Qt::CaseInsensitive) == 0))
            return QStringLiteral("%1: refused: the export would overwrite a data file")
                .arg(target);
    }
    return {};
}

} // namespace

QString HelpText()
{
    return QStringLiteral(
        "Usage: tallowby-export COMMAND FOLDER [ARGUMENTS]\n"
        "\n"
        "Reads a Tallowby data folder (Appoint.dat, Notes.dat, AddBook.dat, MyDesk.dat) and\n"
        "exports or checks it. The data files are opened read-only and never changed, so the\n"
        "command may run while Tallowby itself has the folder open. A missing data file counts\n"
        "as an empty one; a folder with none of them is refused.\n"
        "\n"
        "Commands:\n"
        "  ical FOLDER [-o FILE]   The appointments and birthdays as an iCalendar file\n"
        "                          (RFC 5545): one event per appointment on its day, with its\n"
        "                          start and end as local (floating) times, the subject as\n"
        "                          SUMMARY, the description, and an alarm the chosen minutes\n"
        "                          before the start when the reminder is on; every birthday of\n"
        "                          the address book as a yearly all-day event \"Birthday - \n"
        "                          NAME\" (on 29 February: on the last day of February in\n"
        "                          other years). An empty subject is titled \"(no subject)\".\n"
        "                          A UID comes from the date and start time of an appointment\n"
        "                          and from the name of an address book entry, so it survives\n"
        "                          other edits and the delete of other appointments.\n"
        "  vcard FOLDER [-o FILE]  The address book as vCard 4.0 (RFC 6350): name parts (N),\n"
        "                          full name (FN), home address (ADR), the six phone numbers\n"
        "                          (Home: home; Business #1 and #2: work; Mobile: cell; Fax:\n"
        "                          fax; Other: voice), birthday (BDAY), e-mail, home page (URL)\n"
        "                          and notes (NOTE).\n"
        "  notes FOLDER OUTDIR     Every note as a UTF-8 text file named after the note in\n"
        "                          OUTDIR (created when missing). Characters that file names\n"
        "                          cannot hold become \"_\", a note without a name is \"Unnamed\n"
        "                          note\", and notes that would share a file name get \" (2)\",\n"
        "                          \" (3)\" ..., Windows device names (nul.txt) \"_\". Files of\n"
        "                          the same names are replaced. Prints which note went into\n"
        "                          which file.\n"
        "  check FOLDER            Reports every broken rule of the data files: counts beyond\n"
        "                          the end of the file, negative counts, counts over the\n"
        "                          capacity, unknown count types, texts whose length overruns\n"
        "                          their record or the file, appointment ids that are not\n"
        "                          YYYYMMDD-n, days whose appointment numbers have gaps,\n"
        "                          repeats or another order than 1, 2, 3 ..., reminder flags\n"
        "                          other than -1 and 0, repeated display names in the address\n"
        "                          book, repeated note names, birthday flags other than \"0\"\n"
        "                          and \"1\", and invalid birthdays. It also warns of texts the\n"
        "                          exports cannot carry as they stand (times that are not\n"
        "                          hh:mm, reminder minutes that are not a number, events that\n"
        "                          end after 31 December 9999 and so get a DURATION).\n"
        "\n"
        "Options:\n"
        "  -o FILE, --output FILE  Write the export to FILE instead of standard output.\n"
        "                          Exported files are readable by their owner alone, and so\n"
        "                          are the folders that notes creates. A FILE in the data\n"
        "                          folder, a FILE named like a data file, and an OUTDIR that is\n"
        "                          the data folder are refused (exit status 2).\n"
        "  -h, --help              Show this help.\n"
        "  --version               Show the version.\n"
        "\n"
        "Exports are UTF-8 with CR LF line ends and lines folded at 75 octets; line breaks,\n"
        "commas, semicolons and backslashes in texts are escaped. Whatever cannot be exported\n"
        "as it stands is reported on standard error as a warning and written in a form that\n"
        "stays valid: an appointment whose start time is not hh:mm becomes an all-day event\n"
        "with the times in its description, one whose end time is not hh:mm or not after the\n"
        "start has no end, a reminder whose minutes are not a number is left out, and so is a\n"
        "birthday that is not a valid date. Broken counts are reported, and only the entries\n"
        "the file really holds are exported.\n"
        "\n"
        "Exit status: 0 on success; 1 when check found broken rules (warnings alone give 0);\n"
        "2 on a bad command line, a folder that cannot be read or an output that cannot be\n"
        "written.\n");
}

int RunExportCommand(const QStringList &arguments, QIODevice &out, QTextStream &err,
                     const QDateTime &now)
{
    Options o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            out.write(HelpText().toUtf8());
            return ExitOk;
        }
        if (a == QLatin1String("--version")) {
            out.write("tallowby-export 1.2\n");
            return ExitOk;
        }
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (i + 1 >= arguments.size())
                return usageError(err, QStringLiteral("%1 needs a file name").arg(a));
            o.outputFile = arguments[++i];
        } else if (a.startsWith(QLatin1String("--output="))) {
            o.outputFile = a.mid(9);
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return usageError(err, QStringLiteral("unknown option %1").arg(a));
        } else if (o.command.isEmpty()) {
            o.command = a;
        } else {
            o.positional.append(a);
        }
    }
    if (o.command.isEmpty())
        return usageError(err, QStringLiteral("no command given"));

    const bool takesOutput =
        o.command == QLatin1String("ical") || o.command == QLatin1String("vcard");
    qsizetype wanted = 1;
    if (o.command == QLatin1String("notes"))
        wanted = 2;
    else if (!takesOutput && o.command != QLatin1String("check"))
        return usageError(err, QStringLiteral("unknown command %1").arg(o.command));
    if (o.positional.size() != wanted) {
        return usageError(err, wanted == 2 ? QStringLiteral("notes needs FOLDER and OUTDIR")
                                           : QStringLiteral("%1 needs one FOLDER").arg(o.command));
    }
    if (!o.outputFile.isEmpty() && !takesOutput)
        return usageError(err, QStringLiteral("%1 writes no output file").arg(o.command));

    const bool toFile = !o.outputFile.isEmpty() && o.outputFile != QLatin1String("-");
    const bool isNotes = o.command == QLatin1String("notes");
    if (toFile || isNotes) {
        const QString refused =
            refusedTarget(isNotes ? o.positional[1] : o.outputFile, isNotes, o.positional.front());
        if (!refused.isEmpty()) {
            err << kProgram << ": " << refused << "\n";
            err.flush();
            return ExitFailure;
        }
    }

    QString error;
    // Each command reads the files it needs, and each of them once.
    const int needed = o.command == QLatin1String("ical")    ? AppointmentsFile | AddressesFile
                       : o.command == QLatin1String("vcard") ? AddressesFile
                       : o.command == QLatin1String("notes") ? NotesFile
                                                             : AllDataFiles;
    const auto data = ReadDataFolder(o.positional.front(), &error, needed);
    if (!data) {
        err << kProgram << ": " << error << "\n";
        err.flush();
        return ExitFailure;
    }

    if (o.command == QLatin1String("check")) {
        const QList<Finding> findings = CheckDataFolder(*data);
        QTextStream report(&out);
        for (const Finding &f : findings) {
            report << (f.severity == Finding::Error ? "error: " : "warning: ") << f.toString()
                   << "\n";
        }
        const int errors = ErrorCount(findings);
        const auto warnings = findings.size() - errors;
        if (findings.isEmpty())
            report << "No problems found.\n";
        else
            report << errors << (errors == 1 ? " broken rule, " : " broken rules, ") << warnings
                   << (warnings == 1 ? " warning.\n" : " warnings.\n");
        report.flush();
        return errors > 0 ? ExitFindings : ExitOk;
    }

    QList<Finding> warnings;
    if (o.command == QLatin1String("ical")) {
        const QByteArray bytes = WriteICalendar(*data, now, &warnings);
        printWarnings(err, data->findings + warnings, {&AppointmentsLayout, &AddressesLayout});
        return writeOutput(bytes, o.outputFile, out, err) ? ExitOk : ExitFailure;
    }
    if (o.command == QLatin1String("vcard")) {
        const QByteArray bytes = WriteVCards(*data, &warnings);
        printWarnings(err, data->findings + warnings, {&AddressesLayout});
        return writeOutput(bytes, o.outputFile, out, err) ? ExitOk : ExitFailure;
    }

    // notes
    printWarnings(err, data->findings, {&NotesLayout});
    const QList<NoteFile> files = PlanNoteFiles(data->notes);
    if (!WriteNoteFiles(files, o.positional[1], &error)) {
        err << kProgram << ": " << error << "\n";
        err.flush();
        return ExitFailure;
    }
    QTextStream report(&out);
    for (const NoteFile &f : files)
        report << f.number << "\t" << f.fileName << "\n";
    report.flush();
    return ExitOk;
}

} // namespace Export
