#include "import/import_run.h"

#include "data/address_store.h"
#include "data/appointment_store.h"
#include "import/ical_import.h"
#include "import/vcard_import.h"
#include "records/data_layout.h"
#include "records/record_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace Import {

namespace {

QString dataFile(const QString &folder, const DataFileLayout &layout)
{
    return QDir(folder).filePath(QLatin1StringView(layout.fileName));
}

// "the subject holds characters ... : "☃" (U+2603)", or empty when every field can be stored.
QString unstorable(const QList<std::pair<const char *, const QString *>> &fields)
{
    for (const auto &[what, text] : fields) {
        const QString bad = Cp1252::unstorable(*text);
        if (bad.isEmpty())
            continue;
        QStringList named;
        for (const char32_t c : bad.toUcs4())
            named.append(QStringLiteral("\"%1\" (U+%2)")
                             .arg(QString::fromUcs4(&c, 1))
                             .arg(uint(c), 4, 16, QLatin1Char('0'))
                             .toUpper());
        return QStringLiteral("the %1 holds characters that Tallowby's files cannot store: %2")
            .arg(QLatin1StringView(what), named.join(u", "_s));
    }
    return {};
}

// The data folder's two files for the length of an import: the program's own when it has them
// open here, else opened (and Appoint.dat locked) for the import and closed after it.
class FolderFiles {
public:
    FolderFiles(const QString &folder, bool readOnly, QString *error)
    {
        const QString appointments = dataFile(folder, kAppointmentsFile);
        if (IsRecordFileOpen(kAppointmentsFile.number) &&
            QFileInfo(RecordFilePath(kAppointmentsFile.number)).canonicalFilePath() ==
                QFileInfo(appointments).canonicalFilePath()) {
            m_ok = IsRecordFileOpen(kAddressesFile.number);
            return;
        }
        if (!QFileInfo(folder).isDir()) {
            *error = QStringLiteral("The data folder %1 does not exist.")
                         .arg(QDir::toNativeSeparators(folder));
            return;
        }
        m_own = true;
        for (const DataFileLayout &f : {kAppointmentsFile, kAddressesFile}) {
            const QString path = dataFile(folder, f);
            if (readOnly ? QFileInfo::exists(path) &&
                               !OpenRecordFileReadOnly(f.number, path, f.recordLength, error)
                         : !OpenRecordFile(f.number, path, f.recordLength, error))
                return;
        }
        // The program's own lock: it cannot start on a folder half imported, and an import
        // cannot write into a folder the program has open.
        if (!readOnly && !LockRecordFile(kAppointmentsFile.number)) {
            *error = QStringLiteral("Tallowby is running with the data folder %1. Close it, "
                                    "then import again.")
                         .arg(QDir::toNativeSeparators(folder));
            return;
        }
        m_ok = true;
    }
    ~FolderFiles()
    {
        if (m_own) {
            CloseRecordFile(kAppointmentsFile.number);
            CloseRecordFile(kAddressesFile.number);
        }
    }
    bool ok() const { return m_ok; }

private:
    bool m_own = false;
    bool m_ok = false;
};

void addAppointments(const FileContents<NewAppointment> &in, const Options &options, Summary *s)
{
    AppointmentStore store;
    int count = store.GetAppointmentCount();
    // The appointments already there, by day, times and subject; the ids taken on each day.
    QSet<QString> present;
    QHash<QString, QSet<QString>> ids;
    const auto key = [](const QString &day, const Appointment &a) {
        return QStringList{day, a.StartTime, a.EndTime, a.Subject}.join(u'\n');
    };
    for (int i = 0; i < count; ++i) {
        const Appointment a = store.ReadAppointment(i);
        present.insert(key(a.AppointmentId.left(8), a));
        ids[a.AppointmentId.left(8)].insert(a.AppointmentId);
    }
    int repeated = 0;
    for (const NewAppointment &n : in.entries) {
        const QString day = AppointmentStore::DayKey(n.day);
        const QString where = QStringLiteral("line %1 (%2, %3)")
                                  .arg(n.line)
                                  .arg(n.fields.Subject, n.day.toString(Qt::ISODate));
        for (const QString &note : n.notes)
            s->details.append(where + u": "_s + note);
        if (present.contains(key(day, n.fields))) {
            ++repeated;
            continue;
        }
        if (const QString bad = unstorable(
                {{"subject", &n.fields.Subject}, {"description", &n.fields.Description}});
            !bad.isEmpty()) {
            ++s->skipped;
            s->details.append(where + u": skipped: "_s + bad);
            continue;
        }
        if (count >= AppointmentStore::Capacity) {
            s->stopped = true;
            s->error = QStringLiteral("The appointment book is full (%1 appointments); the "
                                      "import stopped at %2.")
                           .arg(AppointmentStore::Capacity)
                           .arg(where);
            return;
        }
        Appointment a = n.fields;
        QSet<QString> &taken = ids[day];
        for (qsizetype k = taken.size() + 1; a.AppointmentId.isEmpty(); ++k) {
            if (!taken.contains(AppointmentStore::MakeAppointmentId(n.day, int(k))))
                a.AppointmentId = AppointmentStore::MakeAppointmentId(n.day, int(k));
        }
        if (!options.dryRun) {
            if (const StoreResult r = store.AddAppointment(a); !r.ok()) {
                s->stopped = true;
                s->error = QStringLiteral("The import stopped at %1: %2").arg(where, r.message);
                return;
            }
        }
        s->planned.append(QStringLiteral("%1 %2-%3 %4")
                              .arg(n.day.toString(Qt::ISODate), a.StartTime, a.EndTime, a.Subject));
        taken.insert(a.AppointmentId);
        present.insert(key(day, a));
        ++count;
        ++s->imported;
        s->shortened += n.shortened ? 1 : 0;
    }
    s->skipped += repeated;
    if (repeated)
        s->details.append(QStringLiteral("%1 already in the diary (same day, times and "
                                         "subject): skipped")
                              .arg(repeated));
}

void addAddresses(const FileContents<NewAddress> &in, const Options &options, Summary *s)
{
    AddressStore store;
    int count = store.GetEntryCount();
    const QStringList names = store.ReadAllDisplayNames();
    QSet<QString> present(names.begin(), names.end());
    for (const NewAddress &n : in.entries) {
        const AddressEntry &e = n.entry;
        const QString where = QStringLiteral("line %1 (%2)").arg(n.line).arg(e.DisplayName);
        for (const QString &note : n.notes)
            s->details.append(where + u": "_s + note);
        if (present.contains(e.DisplayName)) {
            ++s->skipped;
            s->details.append(where + u": skipped: the name is already in the address book"_s);
            continue;
        }
        if (const QString bad = unstorable({{"name", &e.Name},
                                            {"surname", &e.Surname},
                                            {"address", &e.Address},
                                            {"Home phone", &e.PhoneHome},
                                            {"Business #1 phone", &e.PhoneBusiness1},
                                            {"Business #2 phone", &e.PhoneBusiness2},
                                            {"Mobile phone", &e.PhoneMobile},
                                            {"Fax", &e.PhoneFax},
                                            {"Other phone", &e.PhoneOther},
                                            {"e-mail", &e.EMail},
                                            {"home page", &e.HomePage},
                                            {"notes", &e.Notes}});
            !bad.isEmpty()) {
            ++s->skipped;
            s->details.append(where + u": skipped: "_s + bad);
            continue;
        }
        if (count >= AddressStore::Capacity) {
            s->stopped = true;
            s->error = QStringLiteral("The address book is full (%1 entries); the import "
                                      "stopped at %2.")
                           .arg(AddressStore::Capacity)
                           .arg(where);
            return;
        }
        if (!options.dryRun) {
            if (const StoreResult r = store.AddAddressEntry(e); !r.ok()) {
                s->stopped = true;
                s->error = QStringLiteral("The import stopped at %1: %2").arg(where, r.message);
                return;
            }
        }
        s->planned.append(e.DisplayName);
        present.insert(e.DisplayName);
        ++count;
        ++s->imported;
        s->shortened += n.shortened ? 1 : 0;
    }
}

} // namespace

Options Options::around(QDate today)
{
    return {today.addYears(-1), today.addYears(2), today, false};
}

QString Summary::text() const
{
    if (refused)
        return error + u"\nNothing was imported."_s;
    const bool one = imported == 1;
    QString out =
        QStringLiteral("%1 %2 %3; %4 skipped, %5 shortened.")
            .arg(dryRun ? u"Would import"_s : u"Imported"_s)
            .arg(imported)
            .arg(kind == Kind::Calendar ? (one ? u"appointment"_s : u"appointments"_s)
                                        : (one ? u"address entry"_s : u"address entries"_s))
            .arg(skipped)
            .arg(shortened);
    if (stopped)
        out +=
            u"\n"_s + error + QStringLiteral(" The %1 before it are imported whole.").arg(imported);
    for (const QString &d : details)
        out += u"\n"_s + d;
    return out;
}

Summary ImportFile(Kind kind, const QString &file, const QString &folder, const Options &options)
{
    Summary s;
    s.kind = kind;
    s.dryRun = options.dryRun;
    auto refuse = [&s](const QString &why) {
        s.refused = true;
        s.error = why;
        return s;
    };
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("%1 cannot be read: %2").arg(file, f.errorString()));
    const QByteArray bytes = f.readAll();
    QString error;
    std::optional<FileContents<NewAppointment>> events;
    std::optional<FileContents<NewAddress>> contacts;
    if (kind == Kind::Calendar)
        events = ReadCalendar(bytes, options.from, options.to, &error);
    else
        contacts = ReadContacts(bytes, options.today, &error);
    if (!events && !contacts)
        return refuse(QStringLiteral("%1 is not a valid %2 file: %3")
                          .arg(QFileInfo(file).fileName(),
                               kind == Kind::Calendar ? u"iCalendar"_s : u"vCard"_s, error));
    const QStringList &notes = events ? events->notes : contacts->notes;
    s.skipped = events ? events->skipped : contacts->skipped;
    FolderFiles files(folder, options.dryRun, &error);
    if (!files.ok())
        return refuse(error);
    // The whole import goes to the disk once, at its end.
    RecordDisk::FlushBatch batch;
    if (events)
        addAppointments(*events, options, &s);
    else
        addAddresses(*contacts, options, &s);
    if (const RecordStatus flushed = batch.finish(); !flushed.ok() && !s.stopped) {
        s.stopped = true;
        s.error = QStringLiteral("The import could not be completed: %1").arg(flushed.message);
    }
    s.details = notes + s.details;
    return s;
}

QString ImportHelpText()
{
    return uR"(Usage: tallowby-import ical FILE [FOLDER] [options]
       tallowby-import vcard FILE [FOLDER] [options]

Imports the events of an iCalendar file as appointments (ical), or the contacts of a vCard
file as address book entries (vcard), into a Tallowby data folder (by default the current
folder). An entry that is already there is skipped, so importing a file twice adds nothing.
The folder must not be open in Tallowby while the import writes.

Options:
  --dry-run        print what would be imported; write nothing
  --from DATE      recurring events from this day on (YYYY-MM-DD; default a year ago)
  --to DATE        recurring events up to this day (default two years ahead)
  --help           this text

Exit status: 0 imported, 1 stopped partway (the entries before are imported whole),
2 nothing imported (unreadable or malformed file, folder in use, bad command line).
)"_s;
}

int RunImportCommand(const QStringList &arguments, QTextStream &out, QTextStream &err, QDate today)
{
    Options options = Options::around(today);
    QStringList plain;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == u"--help" || a == u"-h") {
            out << ImportHelpText();
            return 0;
        }
        if (a == u"--dry-run") {
            options.dryRun = true;
        } else if (a == u"--from" || a == u"--to") {
            const QDate d = QDate::fromString(arguments.value(++i), Qt::ISODate);
            if (!d.isValid()) {
                err << a << " needs a date YYYY-MM-DD\n";
                return 2;
            }
            (a == u"--from" ? options.from : options.to) = d;
        } else if (a.startsWith(u"--")) {
            err << "unknown option " << a << "\n" << ImportHelpText();
            return 2;
        } else {
            plain.append(a);
        }
    }
    if (plain.size() < 2 || plain.size() > 3 || (plain[0] != u"ical" && plain[0] != u"vcard")) {
        err << ImportHelpText();
        return 2;
    }
    const Summary s = ImportFile(plain[0] == u"ical" ? Kind::Calendar : Kind::Contacts, plain[1],
                                 plain.value(2, QDir::currentPath()), options);
    if (s.refused) {
        err << s.text() << "\n";
        return 2;
    }
    if (options.dryRun) {
        for (const QString &p : s.planned)
            out << p << "\n";
    }
    (s.stopped ? err : out) << s.text() << "\n";
    return s.stopped ? 1 : 0;
}

} // namespace Import
