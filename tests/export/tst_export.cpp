// Tests of tallowby-export: escaping of text values, event times and titles, home pages, note
// file names, the findings of the folder check and the command line. What the readers make of
// every field (folding, reminders, birthdays, all the vCard fields, stable UIDs) is tested by
// the round trip through them, export_roundtrip.py.
#include "export/content_lines.h"
#include "export/data_folder.h"
#include "export/export_command.h"
#include "export/folder_check.h"
#include "export/ical_export.h"
#include "export/notes_export.h"
#include "export/vcard_export.h"
#include "store_images.h"
#include "test_support.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Export;

namespace {

StoreEntry appointment(const QByteArray &id, const QByteArray &subject = "Meet",
                       const QByteArray &start = "09:00", const QByteArray &end = "10:00")
{
    return {id, subject, start, end, StoreRecord::raw(Bytes::flag(false)), "15", ""};
}

StoreEntry address(const QByteArray &surname, const QByteArray &name,
                   const QByteArray &birthday = "05/03/1970", const QByteArray &has = "0")
{
    const QByteArray displayName = surname + ", " + name;
    return {displayName, name, surname, "", "", "", "", "", "", "", birthday, has, "", "", ""};
}

DataFolderContents contentsOf(const QByteArray &appointments, const QByteArray &addresses = {},
                              const QByteArray &notes = {})
{
    DataFolderContents c;
    c.appointmentsFile = {AppointmentsLayout, true, appointments, {}};
    c.addressesFile = {AddressesLayout, true, addresses, {}};
    c.notesFile = {NotesLayout, true, notes, {}};
    c.desktopFile = {DesktopLayout, true, {}, {}};
    DecodeDataFolder(c);
    return c;
}

QStringList messages(const QList<Finding> &findings)
{
    QStringList out;
    for (const Finding &f : findings)
        out << (f.severity == Finding::Error ? "error: " : "warning: ") + f.toString();
    return out;
}

} // namespace

Q_DECLARE_METATYPE(DataFolderContents)

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void escaping_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("escaped");
        const struct {
            const char *tag, *input, *escaped;
        } rows[] = {
            {"comma, semicolon and backslash are escaped", "a,b;c\\d", "a\\,b\\;c\\\\d"},
            {"CR LF is one line break", "one\r\ntwo", "one\\ntwo"},
            {"lone CR and LF are line breaks", "a\rb\nc", "a\\nb\\nc"},
            {"control characters are dropped, tab kept", "a\x01\tb\x7f", "a\tb"},
            {"non-ASCII stays as it is", "Zoë €5 «x»", "Zoë €5 «x»"},
            {"colon and quotes need no escape", "a:\"b\"", "a:\"b\""},
        };
        for (const auto &r : rows)
            QTest::newRow(r.tag) << QString::fromUtf8(r.input) << QString::fromUtf8(r.escaped);
    }

    void escaping()
    {
        QFETCH(QString, input);
        QFETCH(QString, escaped);
        QCOMPARE(EscapeText(input), escaped);
    }

    // Event times and titles of the calendar, home pages of the address book: the lines that show
    // them (times, descriptions, titled summaries, URLs and notes) and the warnings.
    void exportedLines_data()
    {
        QTest::addColumn<DataFolderContents>("folder");
        QTest::addColumn<bool>("vcard");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("warnings"); // how each warning begins
        const auto row = [](const char *tag, QByteArray start, QByteArray end, QStringList lines,
                            QStringList warnings = {}, QByteArray id = "20240105-1",
                            QByteArray subject = "Meet") {
            for (QString &w : warnings)
                w.prepend("warning: Appoint.dat, appointment 1 (" + id + "): ");
            QTest::newRow(tag) << contentsOf(storeImage(AppointmentsLayout,
                                                        {appointment(id, subject, start, end)}))
                               << false << lines << warnings;
        };
        // An empty URL: the text is no web address and goes into the note.
        const auto page = [](const char *tag, QByteArray text, QString url) {
            StoreEntry e = address("Smith", "John");
            e[13] = text;
            QTest::newRow(tag) << contentsOf({}, storeImage(AddressesLayout, {e})) << true
                               << QStringList{url.isEmpty()
                                                  ? "NOTE:Home Page: " + EscapeText(QString(text))
                                                  : "URL:" + url}
                               << (url.isEmpty()
                                       ? QStringList{"warning: AddBook.dat, entry 1 (Smith, "
                                                     "John): the home page \"" +
                                                     text + "\" is no web address"}
                                       : QStringList{});
        };
        page("a host name gets https", "www.example.com", "https://www.example.com");
        page("a host with a port is no scheme", "www.example.com:8080/x",
             "https://www.example.com:8080/x");
        page("a scheme is kept", "HTTP://example.org/a,b", "http://example.org/a\\,b");
        page("mailto needs no slashes", "mailto:jm@example.org", "mailto:jm@example.org");
        page("a drive letter is no address", "C:\\web\\index.htm", "");
        page("a host without a dot is no address", "localhost:8080", "");
        page("text is no address", "ask me", "");
        const QString past9999 = EndsAfterYear9999Message();
        row("valid times are floating local times", "09:30", "10:45",
            {"DTSTART:20240105T093000", "DTEND:20240105T104500"});
        row("end 24:00 is midnight of the next day", "23:30", "24:00",
            {"DTSTART:20240105T233000", "DTEND:20240106T000000"});
        row("one-digit hour makes an all-day event", "9:30", "10:00",
            {"DTSTART;VALUE=DATE:20240105", "DTEND;VALUE=DATE:20240106",
             "DESCRIPTION:Start Time: 9:30\\, End Time: 10:00"},
            {"the start time \"9:30\" is not hh:mm; exported as an all-day event"});
        row("hour 24 is no start time", "24:00", "24:30",
            {"DTSTART;VALUE=DATE:20240105", "DTEND;VALUE=DATE:20240106",
             "DESCRIPTION:Start Time: 24:00\\, End Time: 24:30"},
            {"the start time \"24:00\" is not hh:mm"});
        row("invalid end leaves the end out", "10:00", "10:60", {"DTSTART:20240105T100000"},
            {"the end time \"10:60\" is not hh:mm; exported without an end"});
        row("end before start leaves the end out", "10:00", "09:00", {"DTSTART:20240105T100000"},
            {"the end time \"09:00\" is not after the start time \"10:00\""});
        row("the first day of 1601", "00:00", "24:00",
            {"DTSTART:16010101T000000", "DTEND:16010102T000000"}, {}, "16010101-1");
        row("24:00 on 31 December 9999 is a duration", "22:30", "24:00",
            {"DTSTART:99991231T223000", "DURATION:PT90M"}, {past9999}, "99991231-1");
        row("all day on 31 December 9999 is a duration", "--", "--",
            {"DTSTART;VALUE=DATE:99991231", "DURATION:P1D",
             "DESCRIPTION:Start Time: --\\, End Time: --"},
            {"the start time \"--\" is not hh:mm", past9999}, "99991231-1");
        row("an empty subject gets a title and keeps the stored text", "09:00", "10:00",
            {"DTSTART:20240105T090000", "DTEND:20240105T100000",
             "SUMMARY;X-TALLOWBY-SUBJECT=\"\":(no subject)"},
            {}, "20240105-1", "");
        row("a blank subject too", "09:00", "10:00",
            {"DTSTART:20240105T090000", "DTEND:20240105T100000",
             "SUMMARY;X-TALLOWBY-SUBJECT=\" \t\":(no subject)"},
            {}, "20240105-1", " \t\x01");
    }

    void exportedLines()
    {
        QFETCH(DataFolderContents, folder);
        QFETCH(bool, vcard);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, warnings);
        QList<Finding> found;
        const QString out = QString::fromUtf8(
            vcard ? WriteVCards(folder, &found)
                  : WriteICalendar(folder, QDateTime(QDate(2024, 1, 1), QTime(12, 0), Qt::UTC),
                                   &found));
        static const QRegularExpression shown(
            "^(DT(START|END)|DURATION|DESCRIPTION|SUMMARY;|URL|NOTE)");
        QCOMPARE(out.split(QStringLiteral("\r\n")).filter(shown), lines);
        const QStringList said = messages(found);
        QCOMPARE(said.size(), warnings.size());
        for (qsizetype i = 0; i < said.size(); ++i)
            QVERIFY2(said[i].startsWith(warnings[i]), qPrintable(said[i]));
    }

    void noteFileNames_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("files");

        QTest::newRow("separators and reserved characters become _")
            << QStringList{"a/b\\c:d*e?f\"g<h>i|j"} << QStringList{"a_b_c_d_e_f_g_h_i_j.txt"};
        QTest::newRow("empty and blank names")
            << QStringList{"", "  ", "..."}
            << QStringList{"Unnamed note.txt", "Unnamed note (2).txt", "Unnamed note (3).txt"};
        QTest::newRow("repeats differing in letter case are numbered")
            << QStringList{"Note", "note", "NOTE"}
            << QStringList{"Note.txt", "note (2).txt", "NOTE (3).txt"};
        QTest::newRow("a numbered name that is taken is skipped")
            << QStringList{"x (2)", "x", "x"} << QStringList{"x (2).txt", "x.txt", "x (3).txt"};
        QTest::newRow("device names get an underscore, also with an extension or blanks")
            << QStringList{"con", "LPT1", "nul.txt", "com1.log", "CONIN$", "Lpt¹ .x", "console"}
            << QStringList{"con_.txt",    "LPT1_.txt",    "nul_.txt.txt", "com1_.log.txt",
                           "CONIN$_.txt", "Lpt¹_ .x.txt", "console.txt"};
        QTest::newRow("leading dots, line breaks and non-ASCII")
            << QStringList{".hidden", "two\r\nlines", "Café €"}
            << QStringList{"hidden.txt", "two lines.txt", "Café €.txt"};
    }

    void noteFileNames()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, files);
        QList<NoteRecord> notes;
        for (const QString &n : names)
            notes.append({{n, QStringLiteral("x\r\ny")}, int(notes.size()) + 1});
        QStringList planned;
        for (const NoteFile &f : PlanNoteFiles(notes)) {
            planned << f.fileName;
            QCOMPARE(f.text, QStringLiteral("x\ny"));
        }
        QCOMPARE(planned, files);
    }

    void checkFindings_data()
    {
        QTest::addColumn<DataFolderContents>("folder");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *tag, QStringList expected, QByteArray appointments,
                            QByteArray addresses = {}, QByteArray notes = {}) {
            QTest::newRow(tag) << contentsOf(appointments, addresses, notes) << expected;
        };
        const auto appointments = [](QList<StoreEntry> entries, QByteArray count = {}) {
            return storeImage(AppointmentsLayout, entries, count);
        };
        const QString day = "error: Appoint.dat, day 20240105: the appointments are numbered ";
        const QString count = "error: Appoint.dat, record 8 (count): the count ";
        const QString past9999 = EndsAfterYear9999Message();
        const QByteArray threeOnTwoDays = appointments(
            {appointment("20240105-1"), appointment("20240106-1"), appointment("20240105-2")});

        row("a sound folder has no findings", {}, threeOnTwoDays, storeImage(AddressesLayout, {}),
            storeImage(NotesLayout, {}));
        row("new empty files have no findings", {}, {});
        QByteArray beyond = threeOnTwoDays;
        beyond.replace(7 * 128, 4, Bytes::count16(5));
        row("count beyond the file",
            {count + "is 5, but the file holds only 3 appointments (it ends at byte 2944)"},
            beyond);
        row("negative count", {count + "is negative (-2)"}, appointments({}, Bytes::count16(-2)));
        row("count over the capacity",
            {count + "5000 is over the capacity of 4096 appointments",
             count + "is 5000, but the file holds only 1 appointment (it ends at byte 1024)"},
            appointments({appointment("20240105-1")}, Bytes::count32(5000)));
        row("unknown count tag",
            {"error: Appoint.dat, record 8 (count): the count record has the unknown type tag 5"},
            appointments({}, QByteArray("\x05\x00\x01\x00", 4)));
        row("gap in a day's numbers", {day + "1, 3 in file order, not 1 to 2; missing: 2"},
            appointments({appointment("20240105-1"), appointment("20240105-3")}));
        row("repeat in a day's numbers", {day + "1, 1 in file order, not 1 to 2; repeated: 1"},
            appointments({appointment("20240105-1"), appointment("20240105-1")}));
        row("day's numbers out of order", {day + "2, 1 in file order, not 1 to 2; out of order"},
            appointments({appointment("20240105-2"), appointment("20240105-1")}));
        row("malformed id and times",
            {"error: Appoint.dat, appointment 1 (2024015-01): the id is not of the form YYYYMMDD-n "
             "with a valid date",
             "warning: Appoint.dat, appointment 1 (2024015-01): the start time \"9:00\" is not "
             "hh:mm"},
            appointments({appointment("2024015-01", "x", "9:00", "10:00")}));

        QByteArray overrun = appointments({appointment("20240105-1")});
        overrun.replace(128, 2, QByteArray("\x7f\x00", 2)); // subject: 127 bytes in a 128 record
        row("text length overruns its record",
            {"error: Appoint.dat, appointment 1, record 2: the text length 127 overruns its record "
             "(at most 126 bytes fit)"},
            overrun);
        QByteArray cut = appointments({appointment("20240105-1"), appointment("20240105-2")});
        cut.replace(14 * 128, 2, QByteArray("\x50\x00", 2)); // description: 80 bytes declared
        cut.truncate(14 * 128 + 12);
        row("text cut off by the end of the file",
            {"error: Appoint.dat, appointment 2, record 15: the text of 80 bytes is cut off by the "
             "end of the file after 10 bytes"},
            cut);
        row("events that end after 9999",
            {"warning: Appoint.dat, appointment 1 (99991231-1): " + past9999,
             "warning: AddBook.dat, entry 1 (Smith, John): " + past9999},
            appointments({appointment("99991231-1", "x", "23:30", "24:00")}),
            storeImage(AddressesLayout, {address("Smith", "John", "31/12/9999", "1")}));
        row("duplicate display names",
            {"error: AddBook.dat, entries 1, 3: the display name \"Smith, John\" is used 2 times"},
            {},
            storeImage(AddressesLayout, {address("Smith", "John"), address("Jones", "Ann"),
                                         address("Smith", "John")}));
        row("bad birthday flag and date",
            {"error: AddBook.dat, entry 1 (Smith, John): the birthday flag is \"yes\" (\"0\" or "
             "\"1\" "
             "expected)",
             "warning: AddBook.dat, entry 1 (Smith, John): the birthday \"1/2/70\" is not a valid "
             "dd/mm/yyyy date"},
            {}, storeImage(AddressesLayout, {address("Smith", "John", "1/2/70", "yes")}));
        row("duplicate note names",
            {"error: Notes.dat, notes 1, 2: the name \"Note\" is used 2 times"}, {}, {},
            storeImage(NotesLayout, {{"Note", "a"}, {"Note", "b"}}));
    }

    void checkFindings()
    {
        QFETCH(DataFolderContents, folder);
        QFETCH(QStringList, expected);
        QCOMPARE(messages(CheckDataFolder(folder)), expected);
    }

    void commandLine()
    {
        TestEnvironment env;
        QVERIFY(env.openDataFiles()); // the program has the files open meanwhile
        env.writeFile("Appoint.dat", storeImage(AppointmentsLayout, {appointment("20240105-1"),
                                                                     appointment("20240105-3")}));
        env.writeFile("Notes.dat", storeImage(NotesLayout, {{"", "x"}}));
        const QByteArray before = env.fileBytes("Appoint.dat");
        QTemporaryDir elsewhere;
        const QString dir = env.folder(), vcf = elsewhere.filePath("out.vcf"),
                      notes = elsewhere.filePath("a/notes");
        // The exit status and what standard output and error together must hold.
        const struct {
            QStringList args;
            int status;
            QStringList shown;
        } runs[] = {
            {{"check", dir},
             ExitFindings,
             {"error: Appoint.dat, day 20240105: the appointments are numbered 1, 3 in file order, "
              "not "
              "1 to 2; missing: 2\n1 broken rule, 0 warnings.\n"}},
            {{"ical", dir}, ExitOk, {"BEGIN:VCALENDAR\r\n"}},
            {{"vcard", dir, "-o", vcf}, ExitOk, {}},
            {{"notes", dir, notes}, ExitOk, {"1\tUnnamed note.txt\n"}},
            // Exports never go into the data folder or over a data file.
            {{"ical", dir, "-o", env.path("diary.ics")}, ExitFailure, {"refused"}},
            {{"ical", dir,
              "--output=" +
                  elsewhere.filePath("../" + QDir(elsewhere.path()).dirName() + "/addbook.dat")},
             ExitFailure,
             {"refused"}},
            {{"vcard", dir, "-o", QDir(dir).filePath("x/../Appoint.dat")},
             ExitFailure,
             {"refused"}},
            {{"notes", dir, dir + "/."}, ExitFailure, {"refused"}},
            {{"notes", dir}, ExitFailure, {"notes needs FOLDER and OUTDIR"}},
            {{"ical", env.path("missing")}, ExitFailure, {"no such folder"}},
            {{"--help"}, ExitOk, {"ical FOLDER", "vcard FOLDER", "notes FOLDER OUTDIR", "check"}},
        };
        for (const auto &r : runs) {
            QBuffer out;
            out.open(QIODevice::WriteOnly);
            QString err;
            QTextStream errStream(&err);
            const int status = RunExportCommand(r.args, out, errStream,
                                                QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC));
            const QString shown = QString::fromUtf8(out.data()) + err;
            QCOMPARE(status, r.status);
            for (const QString &s : r.shown)
                QVERIFY2(shown.contains(s), qPrintable(r.args.join(' ') + ": " + shown));
        }
        // Exports are private.
        const auto rw = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        for (const QString &path :
             {vcf, notes + "/Unnamed note.txt", notes, elsewhere.filePath("a")})
            QCOMPARE(QFile::permissions(path),
                     QFileInfo(path).isDir() ? rw | QFile::ExeOwner | QFile::ExeUser : rw);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 4);
        QCOMPARE(env.fileBytes("Appoint.dat"), before);
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
