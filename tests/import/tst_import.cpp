// Tests of the import: the round trip through tallowby-export's files, events and contacts as
// other programs write them (time zones, recurrence, alarms, vCard 2.1 to 4.0), and the limits:
// a malformed file, a folder the program holds, a write failure and a full store. The files
// that python3-icalendar, python3-vobject and calcurse write are imported by import_roundtrip.py.
#include "export/data_folder.h"
#include "export/ical_export.h"
#include "export/vcard_export.h"
#include "import/ical_import.h"
#include "import/import_run.h"
#include "import/vcard_import.h"
#include "robustness.h"
#include "store_images.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>

using namespace Import;

namespace {

const QDate kToday(2024, 3, 1);

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

// "2024-03-05 09:30-10:45 Subject [15] Description" for each appointment of a calendar file.
QStringList appointmentsOf(const QByteArray &ics, QString *error)
{
    QStringList out;
    const auto read = ReadCalendar(ics, QDate(2024, 1, 1), QDate(2024, 12, 31), error);
    for (const NewAppointment &a : read ? read->entries : QList<NewAppointment>{})
        out << QStringLiteral("%1 %2-%3 %4%5%6")
                   .arg(a.day.toString(Qt::ISODate), a.fields.StartTime, a.fields.EndTime,
                        a.fields.Subject,
                        a.fields.ReminderOn ? QStringLiteral(" [%1]").arg(a.fields.ReminderMinutes)
                                            : QString(),
                        a.fields.Description.isEmpty() ? QString() : " " + a.fields.Description)
            << a.notes;
    if (read)
        out += read->notes;
    return out;
}

QByteArray calendar(const QByteArray &events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

QStringList appointmentFields(const Export::DataFolderContents &c)
{
    QStringList out;
    for (const auto &a : c.appointments)
        out << QStringList{a.AppointmentId,
                           a.Subject,
                           a.StartTime,
                           a.EndTime,
                           QString::number(a.ReminderOn),
                           a.ReminderMinutes,
                           a.Description}
                   .join(u'|');
    return out;
}

QStringList addressFields(const Export::DataFolderContents &c)
{
    QStringList out;
    for (const auto &e : c.addresses)
        out << fieldsOf(e).join(u'|');
    return out;
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }

    // A folder exported and imported into an empty one comes back field by field; a second
    // import adds nothing and leaves the files as they are.
    void roundTrip()
    {
        QTemporaryDir from, to;
        const Options options = Options::around(kToday);
        const QString subject100 =
            QString("Lunch, \"Café\"; Zoë \\ Co — „Tee“ ™ € ").repeated(3).left(100);
        const auto cp = [](const QString &text) { return StoreRecord(Cp1252::fromUnicode(text)); };
        const StoreRecord on = StoreRecord::raw(Bytes::flag(true));
        const QList<StoreEntry> appointments = {
            {"20240305-1", cp(subject100), "09:30", "10:45", on, "15",
             "Line one\r\nLine two; a, b"},
            {"20240305-2", "  ", "12:00", "24:00", on, "0", ""},
            {"20240306-1", "Late", "23:00", "23:30", StoreRecord::raw(Bytes::flag(false)), "15",
             "x"},
        };
        QList<StoreEntry> addresses;
        for (const AddressEntry &e :
             {AddressStore::BuildEntry("Zoë", "O'Neil, Jr.", "1 Long Road\r\nTown; Land",
                                       {"1", "2", "3", "4", "5", "6"}, QDate(1970, 3, 5), true,
                                       "z@example.com", "https://x.example", "Note\r\nmore"),
              AddressStore::BuildEntry("", "Solo", "", {}, kToday, false, "", "my page", "")}) {
            StoreEntry entry;
            for (const QString &f : fieldsOf(e))
                entry << cp(f);
            addresses << entry;
        }
        write(from, "Appoint.dat", storeImage(kAppointmentsFile, appointments));
        write(from, "AddBook.dat", storeImage(kAddressesFile, addresses));
        QString error;
        const auto source = Export::ReadDataFolder(from.path(), &error);
        QVERIFY2(source, qPrintable(error));
        QList<Export::Finding> warnings;
        const QString ics =
            write(to, "diary.ics",
                  Export::WriteICalendar(*source, QDateTime::currentDateTimeUtc(), &warnings));
        const QString vcf = write(to, "contacts.vcf", Export::WriteVCards(*source, &warnings));

        // Each import is put on the disk once, at its end, not once per entry.
        QStringList flushed;
        RecordDisk::setFlushHandler([&flushed](int number) {
            flushed << QFileInfo(RecordFilePath(number)).fileName();
            return QString();
        });
        const auto restore = qScopeGuard([] { RecordDisk::setFlushHandler({}); });
        for (int pass = 0; pass < 2; ++pass) {
            flushed.clear();
            const Summary events = ImportFile(Import::Kind::Calendar, ics, to.path(), options);
            const Summary contacts = ImportFile(Import::Kind::Contacts, vcf, to.path(), options);
            QCOMPARE(flushed, pass ? QStringList{} : QStringList({"Appoint.dat", "AddBook.dat"}));
            QCOMPARE(events.imported, pass ? 0 : 3);
            QCOMPARE(events.skipped, pass ? 4 : 1); // the birthday, then everything
            QCOMPARE(contacts.imported, pass ? 0 : 2);
            QCOMPARE(contacts.skipped, pass ? 2 : 0);
            const auto back = Export::ReadDataFolder(to.path(), &error);
            QCOMPARE(appointmentFields(*back), appointmentFields(*source));
            QCOMPARE(addressFields(*back), addressFields(*source));
        }
    }

    void events_data()
    {
        QTest::addColumn<QByteArray>("ics");
        QTest::addColumn<QStringList>("want");
        QTest::newRow("zones, UTC, Windows ids, unknown zone, folded UTF-8")
            << calendar(
                   "BEGIN:VEVENT\r\nDTSTART;TZID=America/New_York:20240704T090000\r\n"
                   "DTEND;TZID=America/New_York:20240704T100000\r\nSUMMARY:NY\r\nEND:VEVENT\r\n"
                   "BEGIN:VEVENT\r\nDTSTART:20240105T230000Z\r\nDURATION:PT2H\r\nSUMMARY:"
                   "Caf\xC3\r\n \xA9\r\nEND:VEVENT\r\n"
                   "BEGIN:VEVENT\r\nDTSTART;TZID=W. Europe Standard "
                   "Time:20240105T080000\r\nSUMMARY:Win\r\nEND:VEVENT\r\n"
                   "BEGIN:VEVENT\r\nDTSTART;TZID=Mars/"
                   "Olympus:20240105T080000\r\nSUMMARY:Mars\r\nEND:VEVENT\r\n")
            << QStringList{
                   "2024-07-04 13:00-14:00 NY",
                   "2024-01-05 23:00-24:00 Café",
                   "it lasts 2 days: one appointment on each",
                   "2024-01-06 00:00-01:00 Café",
                   "2024-01-05 07:00-07:00 Win",
                   "2024-01-05 08:00-08:00 Mars",
                   "the time zone \"Mars/Olympus\" is unknown; its times are taken as local times"};
        QTest::newRow("all-day, alarms, cut texts, escapes, a birthday and a cancelled event")
            << calendar(
                   "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20240229\r\nDTEND;VALUE=DATE:"
                   "20240302\r\nSUMMARY:Trip\r\nEND:VEVENT\r\n"
                   "BEGIN:VEVENT\r\nDTSTART:20240105T100000\r\nDTEND:20240105T110000\r\nSUMMARY:"
                   "A\\, b\\; c\r\n"
                   "DESCRIPTION:" +
                   QByteArray("x").repeated(99) +
                   "\\ny\r\n"
                   "BEGIN:VALARM\r\nTRIGGER;RELATED=END:-PT1H30M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
                   "BEGIN:VEVENT\r\nDTSTART:20240105T120000\r\nSUMMARY:Late alarm\r\n"
                   "BEGIN:VALARM\r\nTRIGGER:PT5M\r\nEND:VALARM\r\nBEGIN:VALARM\r\nTRIGGER;VALUE="
                   "DATE-TIME:20240105T115930\r\nEND:VALARM\r\nEND:VEVENT\r\n"
                   "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:19700305\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:"
                   "Birthday - Doe\\, Jo\r\nEND:VEVENT\r\n"
                   "BEGIN:VEVENT\r\nDTSTART:20240105T120000\r\nSTATUS:CANCELLED\r\nSUMMARY:"
                   "Off\r\nEND:VEVENT\r\n")
            << QStringList{"2024-02-29 00:00-24:00 Trip",
                           "it lasts 2 days: one appointment on each",
                           "2024-03-01 00:00-24:00 Trip",
                           "2024-01-05 10:00-11:00 A, b; c [30] " + QString("x").repeated(99),
                           "the description was cut to 100 characters",
                           "2024-01-05 12:00-12:00 Late alarm [1]",
                           "an alarm (PT5M) that does not go off before the start was left out",
                           "line 27 (Birthday - Doe, Jo): skipped: a birthday, which comes from "
                           "the address book",
                           "line 32 (Off): skipped: it is cancelled"};
        QTest::newRow(
            "recurrence: weekly on two days until, monthly last Friday, yearly, exceptions")
            << calendar("BEGIN:VEVENT\r\nUID:w\r\nDTSTART:20240101T090000\r\nRRULE:FREQ=WEEKLY;"
                        "BYDAY=MO,WE;UNTIL=20240110T090000\r\nSUMMARY:W\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:m\r\nDTSTART:20240126T090000\r\nRRULE:FREQ=MONTHLY;"
                        "INTERVAL=2;BYDAY=-1FR;COUNT=3\r\nEXDATE:20240329T090000\r\nSUMMARY:"
                        "M\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:m\r\nRECURRENCE-ID:20240531T090000\r\nDTSTART:"
                        "20240601T100000\r\nSUMMARY:M moved\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20200310\r\nRRULE:FREQ=YEARLY;BYMONTH="
                        "3;BYDAY=2TU\r\nSUMMARY:Y\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART:20240110T080000\r\nRRULE:FREQ=DAILY;BYMONTHDAY=1,-"
                        "1;COUNT=2\r\nSUMMARY:D\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART:20240110T080000\r\nRRULE:FREQ=HOURLY\r\nSUMMARY:"
                        "H\r\nEND:VEVENT\r\n")
            << QStringList{"2024-01-01 09:00-09:00 W",
                           "2024-01-03 09:00-09:00 W",
                           "2024-01-08 09:00-09:00 W",
                           "2024-01-10 09:00-09:00 W",
                           "2024-01-26 09:00-09:00 M",
                           "2024-06-01 10:00-10:00 M moved",
                           "2024-03-12 00:00-24:00 Y",
                           "2024-01-10 08:00-08:00 D",
                           "2024-01-31 08:00-08:00 D",
                           "2024-01-10 08:00-08:00 H",
                           "repeats hourly, which Tallowby does not take; only its first day was "
                           "imported"};
    }

    void events()
    {
        QFETCH(QByteArray, ics);
        QString error;
        QFETCH(QStringList, want);
        QCOMPARE(appointmentsOf(ics, &error), want);
        QCOMPARE(error, QString());
    }

    void contacts()
    {
        QString error;
        const auto read =
            ReadContacts("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;John;Q;;\r\nFN:John Q "
                         "Doe\r\nitem1.TEL;TYPE=HOME,VOICE:111\r\n"
                         "TEL;TYPE=WORK:222\r\nTEL;TYPE=WORK:333\r\nTEL;TYPE=WORK:444\r\nTEL;TYPE="
                         "CELL:555\r\nTEL;TYPE=FAX:666\r\n"
                         "ADR;TYPE=WORK:;;Work St;;;;\r\nADR;TYPE=HOME:;Flat 2;1 Home "
                         "St\\nBack;Town;Reg;12345;Land\r\n"
                         "BDAY:1970-03-05\r\nEMAIL:j@example.com\r\nURL:https://"
                         "j.example\r\nNOTE:a\\, b\\nc\r\nEND:VCARD\r\n"
                         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:"
                         "M=C3=BCller;Anna\r\n"
                         "TEL;HOME:777\r\nBDAY:--0229\r\nNOTE:" +
                             QByteArray("n").repeated(120) +
                             "\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ada King "
                             "Lovelace\r\nTEL;VALUE=uri;TYPE=cell:tel:+44-1\r\n"
                             "NOTE:x\\nHome Page: my "
                             "page\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:4.0\r\nEND:VCARD\r\n",
                         kToday, &error);
        QVERIFY2(read, qPrintable(error));
        QStringList got;
        for (const NewAddress &n : read->entries)
            got << fieldsOf(n.entry).join(u'|');
        QCOMPARE(
            got,
            (QStringList{
                "Doe, John Q|John Q|Doe|Flat 2\r\n1 Home St\r\nBack\r\n12345 "
                "Town\r\nReg\r\nLand|111|222|333|555|666|444|05/03/1970|1|j@example.com|https://"
                "j.example|a, b\r\nc",
                "Müller, Anna|Anna|Müller||777||||||29/02/1604|1|||" + QString("n").repeated(100),
                "Lovelace, Ada King|Ada King|Lovelace|||||+44-1|||01/03/2024|0||my page|x"}));
        QCOMPARE(read->skipped, 1);
        QCOMPARE(read->notes, QStringList{"line 31 (): skipped: the contact has no name"});
        QCOMPARE(read->entries[0].notes, QStringList{"only one of its 2 addresses was taken"});
        QVERIFY(read->entries[1].shortened);
    }

    // What stops an import: nothing is written for a malformed file or a folder in use; a full
    // store or a failing write stops at the entry that does not fit, the ones before it whole.
    void limits_data()
    {
        QTest::addColumn<QByteArray>("ics");
        QTest::addColumn<int>(
            "setup"); // 0 none, 1 held by the program, 2 size limit, 3 nearly full
        QTest::addColumn<int>("imported");
        QTest::addColumn<QString>("message");
        const QByteArray five =
            calendar(QByteArray("BEGIN:VEVENT\r\nDTSTART:20240105T080000\r\nSUMMARY:Snow "
                                "\xE2\x98\x83\r\nEND:VEVENT\r\n"
                                "BEGIN:VEVENT\r\nDTSTART:20240105T080000\r\nRRULE:FREQ=DAILY;COUNT="
                                "5\r\nSUMMARY:Day\r\nEND:VEVENT\r\n"));
        QTest::newRow("malformed")
            << QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20240105T080000\r\nno colon "
                          "here\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
            << 0 << 0
            << "diary.ics is not a valid iCalendar file: line 4: \"no colon here\" is no content "
               "line (NAME:value)\nNothing was imported.";
        QTest::newRow("unended") << calendar("BEGIN:VEVENT\r\n") << 0 << 0
                                 << "diary.ics is not a valid iCalendar file: line 4: "
                                    "END:VCALENDAR where END:VEVENT was due\nNothing was imported.";
        QTest::newRow("bad date")
            << calendar("BEGIN:VEVENT\r\nDTSTART:20241305T080000\r\nEND:VEVENT\r\n") << 0 << 0
            << "diary.ics is not a valid iCalendar file: line 4: DTSTART has no valid date or time "
               "(\"20241305T080000\")\nNothing was imported.";
        QTest::newRow("held by the program")
            << five << 1 << 0
            << "Tallowby is running with the data folder %1. Close it, then import again.\nNothing "
               "was imported.";
        QTest::newRow("write failure") << five << 2 << 3
                                       << "Imported 3 appointments; 1 skipped, 0 shortened.\nThe "
                                          "import stopped at line 7 (Day, 2024-01-08): ";
        QTest::newRow("full, one unstorable")
            << five << 3 << 2
            << "Imported 2 appointments; 1 skipped, 0 shortened.\nThe appointment book is full "
               "(4096 appointments); the import stopped at line 7 (Day, 2024-01-07). The 2 before "
               "it are imported whole.\nline 3 (Snow ☃, 2024-01-05): skipped: the subject holds "
               "characters that Tallowby's files cannot store: \"☃\" (U+2603)";
    }

    void limits()
    {
        QFETCH(QByteArray, ics);
        QFETCH(int, setup);
        QTemporaryDir dir;
        const QString file = write(dir, "diary.ics", ics);
        const QString appointments = dir.filePath("Appoint.dat");
        QFile held(appointments);
        QVERIFY(held.open(QIODevice::ReadWrite));
        const QByteArray before =
            setup == 3 ? storeImage(kAppointmentsFile, {}, Bytes::count16(4094)) : QByteArray();
        held.write(before);
        held.flush();
        if (setup == 1)
            QVERIFY(flock(held.handle(), LOCK_EX | LOCK_NB) == 0);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto restore = qScopeGuard([old] { setrlimit(RLIMIT_FSIZE, &old); });
        if (setup == 2) { // room for three appointments and part of the fourth
            const rlimit limit{rlim_t(3 * 8 * 128 + 200), old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        const Summary s =
            ImportFile(Import::Kind::Calendar, file, dir.path(), Options::around(kToday));
        QFETCH(QString, message);
        QVERIFY2(s.text().startsWith(message.replace("%1", dir.path())), qPrintable(s.text()));
        QFETCH(int, imported);
        QCOMPARE(s.imported, imported);
        setrlimit(RLIMIT_FSIZE, &old);
        QString error;
        const auto back = Export::ReadDataFolder(dir.path(), &error);
        if (setup != 3) {
            QStringList want;
            for (int i = 0; i < s.imported; ++i)
                want << QStringLiteral("202401%1-1|Day|08:00|08:00|0|15|")
                            .arg(5 + i, 2, 10, QChar('0'));
            QCOMPARE(appointmentFields(*back), want);
        }
        QCOMPARE(back->findings.size(), 0);
    }

    // The command line: a dry run lists what it would import and writes nothing.
    void command()
    {
        QTemporaryDir dir;
        const QString file =
            write(dir, "c.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Doe;Jo;;;\r\nEND:VCARD\r\n");
        QString out, err;
        QTextStream o(&out), e(&err);
        QCOMPARE(RunImportCommand({"vcard", file, dir.path(), "--dry-run"}, o, e, kToday), 0);
        QCOMPARE(out, "Doe, Jo\nWould import 1 address entry; 0 skipped, 0 shortened.\n");
        QVERIFY(!QFile::exists(dir.filePath("AddBook.dat")));
        QCOMPARE(RunImportCommand({"ical", file, dir.path()}, o, e, kToday), 2);
        QCOMPARE(RunImportCommand({"vcard", file, dir.path(), "--to", "x"}, o, e, kToday), 2);
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
