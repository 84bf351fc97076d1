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
#include "records/record_file.h"
#include "test_support.h"

#include <QBuffer>
#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Export;

namespace {

// A store file: field records of each entry at i * K + k, the count at record K.
QByteArray storeBytes(const FileLayout &layout, const QList<QList<QByteArray>> &entries,
                      QByteArray count = {})
{
    QMap<qint64, QByteArray> records;
    records[layout.blockSize] = count.isNull() ? Bytes::count16(qint16(entries.size())) : count;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        for (qsizetype k = 0; k < entries[i].size(); ++k)
            records[i * layout.blockSize + k + 1] = entries[i][k];
    }
    QByteArray out;
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        out.resize((it.key() - 1) * layout.recordLength, '\0');
        out += Bytes::padded(it.value(), layout.recordLength);
    }
    return out;
}

QByteArray text(const QString &s)
{
    return RecordCodec::encodeString(s);
}

QList<QByteArray> appointment(const QString &id, const QString &subject = QStringLiteral("Meet"),
                              const QString &start = QStringLiteral("09:00"),
                              const QString &end = QStringLiteral("10:00"), bool reminder = false,
                              const QString &minutes = QStringLiteral("15"))
{
    return {text(id),      text(subject),  text(start), text(end), Bytes::flag(reminder),
            text(minutes), text(QString())};
}

QList<QByteArray> address(const QString &surname, const QString &name,
                          const QString &birthday = QStringLiteral("05/03/1970"),
                          const QString &has = QStringLiteral("0"))
{
    QList<QByteArray> f{text(surname + QStringLiteral(", ") + name), text(name), text(surname)};
    for (int k = 4; k <= 10; ++k)
        f << text(QString());
    f << text(birthday) << text(has) << text(QString()) << text(QString()) << text(QString());
    return f;
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

QString ical(const DataFolderContents &c, QList<Finding> *warnings)
{
    return QString::fromUtf8(
        WriteICalendar(c, QDateTime(QDate(2024, 1, 1), QTime(12, 0), Qt::UTC), warnings));
}

QStringList messages(const QList<Finding> &findings)
{
    QStringList out;
    for (const Finding &f : findings)
        out << (f.severity == Finding::Error ? QStringLiteral("error: ")
                                             : QStringLiteral("warning: ")) +
                   f.toString();
    return out;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void escaping_data();
    void escaping();
    void eventTimes_data();
    void eventTimes();
    void homePages_data();
    void homePages();
    void noteFileNames_data();
    void noteFileNames();
    void checkFindings_data();
    void checkFindings();
    void commandLine();
};

void TestExport::escaping_data()
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

void TestExport::escaping()
{
    QFETCH(QString, input);
    QFETCH(QString, escaped);
    QCOMPARE(EscapeText(input), escaped);
}

void TestExport::eventTimes_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("warnings");
    const auto row = [](const char *tag, const char *start, const char *end,
                        const QStringList &lines, const QStringList &warnings = {},
                        const char *id = "20240105-1", const char *subject = "Meet") {
        QTest::newRow(tag) << QString::fromLatin1(id) << QString::fromUtf8(subject)
                           << QString::fromLatin1(start) << QString::fromLatin1(end) << lines
                           << warnings;
    };
    const QString past9999 = EndsAfterYear9999Message();
    row("valid times are floating local times", "09:30", "10:45",
        {"DTSTART:20240105T093000", "DTEND:20240105T104500", "SUMMARY:Meet"});
    row("end 24:00 is midnight of the next day", "23:30", "24:00",
        {"DTSTART:20240105T233000", "DTEND:20240106T000000"});
    row("one-digit hour makes an all-day event", "9:30", "10:00",
        {"DTSTART;VALUE=DATE:20240105", "DTEND;VALUE=DATE:20240106",
         "DESCRIPTION:Start Time: 9:30\\, End Time: 10:00"},
        {"the start time \"9:30\" is not hh:mm; exported as an all-day event"});
    row("hour 24 is no start time", "24:00", "24:30",
        {"DTSTART;VALUE=DATE:20240105", "DTEND;VALUE=DATE:20240106"},
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
        {"DTSTART;VALUE=DATE:99991231", "DURATION:P1D"},
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

void TestExport::eventTimes()
{
    QFETCH(QString, id);
    QFETCH(QString, subject);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, warnings);
    const auto c =
        contentsOf(storeBytes(AppointmentsLayout, {appointment(id, subject, start, end)}));
    QList<Finding> found;
    const QStringList out = ical(c, &found).split(QStringLiteral("\r\n"));
    for (const QString &line : lines)
        QVERIFY2(out.contains(line), qPrintable(line));
    const bool hasEnd = std::any_of(out.begin(), out.end(), [](const QString &l) {
        return l.startsWith(QLatin1String("DTEND"));
    });
    QCOMPARE(hasEnd, lines.size() > 1 && lines[1].startsWith(QLatin1String("DTEND")));
    QCOMPARE(found.size(), warnings.size());
    for (qsizetype i = 0; i < found.size(); ++i) {
        QVERIFY2(found[i].message.startsWith(warnings[i]), qPrintable(found[i].message));
        QCOMPARE(found[i].where, QStringLiteral("appointment 1 (%1)").arg(id));
    }
}

void TestExport::homePages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("url"); // empty: no URL, the text goes into the note
    QTest::newRow("a host name gets https") << "www.example.com"
                                            << "https://www.example.com";
    QTest::newRow("a host with a port is no scheme") << "www.example.com:8080/x"
                                                     << "https://www.example.com:8080/x";
    QTest::newRow("a scheme is kept") << "HTTP://example.org/a,b"
                                      << "http://example.org/a\\,b";
    QTest::newRow("mailto needs no slashes") << "mailto:jm@example.org"
                                             << "mailto:jm@example.org";
    QTest::newRow("a drive letter is no address") << "C:\\web\\index.htm"
                                                  << "";
    QTest::newRow("a host without a dot is no address") << "localhost:8080"
                                                        << "";
    QTest::newRow("text is no address") << "ask me"
                                        << "";
}

void TestExport::homePages()
{
    QFETCH(QString, page);
    QFETCH(QString, url);
    QList<QByteArray> e = address(QStringLiteral("Smith"), QStringLiteral("John"));
    e[13] = text(page);
    QList<Finding> warnings;
    const QString out =
        QString::fromUtf8(WriteVCards(contentsOf({}, storeBytes(AddressesLayout, {e})), &warnings));
    if (url.isEmpty())
        QVERIFY2(out.contains("NOTE:Home Page: " + EscapeText(page) + "\r\n") &&
                     warnings.size() == 1,
                 qPrintable(out));
    else
        QVERIFY2(out.contains("URL:" + url + "\r\n") && warnings.isEmpty(), qPrintable(out));
}

void TestExport::noteFileNames_data()
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

void TestExport::noteFileNames()
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

void TestExport::checkFindings_data()
{
    QTest::addColumn<QByteArray>("appointments");
    QTest::addColumn<QByteArray>("addresses");
    QTest::addColumn<QByteArray>("notes");
    QTest::addColumn<QStringList>("expected");

    const QByteArray noAddresses = storeBytes(AddressesLayout, {});
    const QByteArray noNotes = storeBytes(NotesLayout, {});
    const QByteArray twoDays =
        storeBytes(AppointmentsLayout, {appointment("20240105-1"), appointment("20240106-1"),
                                        appointment("20240105-2")});
    QTest::newRow("a sound folder has no findings")
        << twoDays << noAddresses << noNotes << QStringList{};
    QTest::newRow("new empty files have no findings")
        << QByteArray() << QByteArray() << QByteArray() << QStringList{};

    QByteArray beyond = twoDays;
    beyond.replace(7 * 128, 4, Bytes::count16(5));
    QTest::newRow("count beyond the file")
        << beyond << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, record 8 (count): the count is 5, but the file "
                       "holds only 3 appointments (it ends at byte 2944)"};
    QTest::newRow("negative count")
        << storeBytes(AppointmentsLayout, {}, Bytes::count16(-2)) << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, record 8 (count): the count is negative (-2)"};
    QTest::newRow("count over the capacity")
        << storeBytes(AppointmentsLayout, {appointment("20240105-1")}, Bytes::count32(5000))
        << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, record 8 (count): the count 5000 is over the "
                       "capacity of 4096 appointments",
                       "error: Appoint.dat, record 8 (count): the count is 5000, but the file "
                       "holds only 1 appointment (it ends at byte 1024)"};
    QTest::newRow("unknown count tag")
        << storeBytes(AppointmentsLayout, {}, QByteArray("\x05\x00\x01\x00", 4)) << noAddresses
        << noNotes
        << QStringList{"error: Appoint.dat, record 8 (count): the count record has the unknown "
                       "type tag 5"};
    QTest::newRow("gap in a day's numbers")
        << storeBytes(AppointmentsLayout, {appointment("20240105-1"), appointment("20240105-3")})
        << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, day 20240105: the appointments are numbered 1, 3 in "
                       "file order, not 1 to 2; missing: 2"};
    QTest::newRow("repeat in a day's numbers")
        << storeBytes(AppointmentsLayout, {appointment("20240105-1"), appointment("20240105-1")})
        << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, day 20240105: the appointments are numbered 1, 1 in "
                       "file order, not 1 to 2; repeated: 1"};
    QTest::newRow("day's numbers out of order")
        << storeBytes(AppointmentsLayout, {appointment("20240105-2"), appointment("20240105-1")})
        << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, day 20240105: the appointments are numbered 2, 1 in "
                       "file order, not 1 to 2; out of order"};
    QTest::newRow("malformed id and times")
        << storeBytes(AppointmentsLayout, {appointment("2024015-01", "x", "9:00", "10:00")})
        << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, appointment 1 (2024015-01): the id is not of the "
                       "form YYYYMMDD-n with a valid date",
                       "warning: Appoint.dat, appointment 1 (2024015-01): the start time "
                       "\"9:00\" is not hh:mm"};

    QByteArray overrun = storeBytes(AppointmentsLayout, {appointment("20240105-1")});
    overrun.replace(128, 2, QByteArray("\x7f\x00", 2)); // subject: 127 bytes in a 128 record
    QTest::newRow("text length overruns its record")
        << overrun << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, appointment 1, record 2: the text length 127 "
                       "overruns its record (at most 126 bytes fit)"};
    QByteArray cut =
        storeBytes(AppointmentsLayout, {appointment("20240105-1"), appointment("20240105-2")});
    cut.replace(14 * 128, 2, QByteArray("\x50\x00", 2)); // description: 80 bytes declared
    cut.truncate(14 * 128 + 12);
    QTest::newRow("text cut off by the end of the file")
        << cut << noAddresses << noNotes
        << QStringList{"error: Appoint.dat, appointment 2, record 15: the text of 80 bytes is "
                       "cut off by the end of the file after 10 bytes"};
    QTest::newRow("events that end after 9999")
        << storeBytes(AppointmentsLayout, {appointment("99991231-1", "x", "23:30", "24:00")})
        << storeBytes(AddressesLayout, {address("Smith", "John", "31/12/9999", "1")}) << noNotes
        << QStringList{
               "warning: Appoint.dat, appointment 1 (99991231-1): " + EndsAfterYear9999Message(),
               "warning: AddBook.dat, entry 1 (Smith, John): " + EndsAfterYear9999Message()};
    QTest::newRow("duplicate display names")
        << QByteArray()
        << storeBytes(AddressesLayout,
                      {address("Smith", "John"), address("Jones", "Ann"), address("Smith", "John")})
        << noNotes
        << QStringList{"error: AddBook.dat, entries 1, 3: the display name \"Smith, John\" is "
                       "used 2 times"};
    QTest::newRow("bad birthday flag and date")
        << QByteArray() << storeBytes(AddressesLayout, {address("Smith", "John", "1/2/70", "yes")})
        << noNotes
        << QStringList{"error: AddBook.dat, entry 1 (Smith, John): the birthday flag is \"yes\" "
                       "(\"0\" or \"1\" expected)",
                       "warning: AddBook.dat, entry 1 (Smith, John): the birthday \"1/2/70\" is "
                       "not a valid dd/mm/yyyy date"};
    QTest::newRow("duplicate note names")
        << QByteArray() << noAddresses
        << storeBytes(NotesLayout, {{text("Note"), text("a")}, {text("Note"), text("b")}})
        << QStringList{"error: Notes.dat, notes 1, 2: the name \"Note\" is used 2 times"};
}

void TestExport::checkFindings()
{
    QFETCH(QByteArray, appointments);
    QFETCH(QByteArray, addresses);
    QFETCH(QByteArray, notes);
    QFETCH(QStringList, expected);
    const auto c = contentsOf(appointments, addresses, notes);
    QCOMPARE(messages(CheckDataFolder(c)), expected);
}

void TestExport::commandLine()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles()); // the program has the files open meanwhile
    env.writeFile(QStringLiteral("Appoint.dat"),
                  storeBytes(AppointmentsLayout,
                             {appointment("20240105-1", "Tea, 2"), appointment("20240105-3")}));
    env.writeFile(QStringLiteral("Notes.dat"), storeBytes(NotesLayout, {{text({}), text("x")}}));
    const QByteArray before = env.fileBytes(QStringLiteral("Appoint.dat"));
    const QDateTime now(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    auto run = [&](const QStringList &args, QString *errText) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QString err;
        QTextStream errStream(&err);
        const int status = RunExportCommand(args, out, errStream, now);
        *errText = err;
        return std::make_pair(status, QString::fromUtf8(out.data()));
    };
    QString err;
    auto [status, out] = run({"check", env.folder()}, &err);
    QCOMPARE(status, int(ExitFindings));
    QVERIFY2(out.contains("error: Appoint.dat, day 20240105: the appointments are numbered 1, 3"),
             qPrintable(out));
    QVERIFY(out.endsWith("1 broken rule, 0 warnings.\n"));

    std::tie(status, out) = run({"ical", env.folder()}, &err);
    QCOMPARE(status, int(ExitOk));
    QVERIFY(out.startsWith("BEGIN:VCALENDAR\r\n"));
    QVERIFY(out.contains("SUMMARY:Tea\\, 2\r\n"));

    // Exports are private; they never go into the data folder or over a data file.
    QTemporaryDir elsewhere;
    const QString file = elsewhere.filePath(QStringLiteral("out.vcf"));
    const QString notes = elsewhere.filePath(QStringLiteral("a/notes"));
    std::tie(status, out) = run({"vcard", env.folder(), "-o", file}, &err);
    QCOMPARE(status, int(ExitOk));
    std::tie(status, out) = run({"notes", env.folder(), notes}, &err);
    QCOMPARE(status, int(ExitOk));
    const auto privateFile =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QCOMPARE(QFile::permissions(file), privateFile);
    QCOMPARE(QFile::permissions(notes + "/Unnamed note.txt"), privateFile);
    for (const QString &folder : {notes, elsewhere.filePath("a")})
        QCOMPARE(QFile::permissions(folder), privateFile | QFile::ExeOwner | QFile::ExeUser);
    const QStringList refused[] = {
        {"ical", env.folder(), "-o", env.path("diary.ics")},
        {"ical", env.folder(),
         "--output=" +
             elsewhere.filePath("../" + QDir(elsewhere.path()).dirName() + "/addbook.dat")},
        {"vcard", env.folder(), "-o", QDir(env.folder()).filePath("x/../Appoint.dat")},
        {"notes", env.folder(), env.folder() + "/."}};
    for (const QStringList &args : refused) {
        std::tie(status, out) = run(args, &err);
        QCOMPARE(status, int(ExitFailure));
        QVERIFY2(err.contains("refused"), qPrintable(err));
    }
    QCOMPARE(QDir(env.folder()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 4);

    std::tie(status, out) = run({"notes", env.folder()}, &err);
    QCOMPARE(status, int(ExitFailure));
    QVERIFY(err.contains("notes needs FOLDER and OUTDIR"));
    std::tie(status, out) = run({"ical", env.path("missing")}, &err);
    QCOMPARE(status, int(ExitFailure));
    QVERIFY(err.contains("no such folder"));
    std::tie(status, out) = run({"--help"}, &err);
    QCOMPARE(status, int(ExitOk));
    for (const char *command : {"ical FOLDER", "vcard FOLDER", "notes FOLDER OUTDIR", "check"})
        QVERIFY2(out.contains(QLatin1String(command)), command);

    QCOMPARE(env.fileBytes(QStringLiteral("Appoint.dat")), before);
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
