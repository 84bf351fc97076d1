// The four data files as the stores write them, byte for byte. Tests of one shape run a row per
// store.
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/desktop_store.h"
#include "data/note_store.h"
#include "store_steps.h"

#include <QTest>

#include <functional>

namespace {

using Step = std::function<StoreResult()>;
using Steps = QList<Step>;

Appointment appointment(const QString &id, const QString &subject = QStringLiteral("Dentist"))
{
    return {id, subject, "09:30", "10:00", -1, "15", "Check-up"};
}

// The seven fields of an appointment made by appointment(), as stored.
QByteArrayList appointmentFields(const QByteArray &id, const QByteArray &subject = "Dentist")
{
    return strings({id, subject, "09:30", "10:00"})
           << QByteArray("\xFF\xFF", 2) << strings({"15", "Check-up"});
}

AddressEntry entry(const QString &surname, const QString &name = {},
                   QDate birthday = QDate(1970, 3, 5), bool hasBirthday = true)
{
    return AddressStore::BuildEntry(name, surname, QStringLiteral("1 High Street\r\nTown"),
                                    {"111", "222", "333", "444", "555", "666"}, birthday,
                                    hasBirthday, QStringLiteral("a@b.c"), QStringLiteral("www.b.c"),
                                    QStringLiteral("Friend"));
}

// The fifteen fields of an entry made by entry(), as stored.
QByteArrayList entryFields(const QByteArray &display, const QByteArray &name,
                           const QByteArray &surname, const QByteArray &date = "05/03/1970",
                           const QByteArray &flag = "1")
{
    return strings({display, name, surname, "1 High Street\r\nTown", "111", "222", "333", "444",
                    "555", "666", date, flag, "a@b.c", "www.b.c", "Friend"});
}

} // namespace

class TestStores : public QObject, StoreFolder {
    Q_OBJECT

    AppointmentStore appointments;
    NoteStore notes;
    AddressStore addresses;
    DesktopStore desktop;

    // Entry i of a store in the tests of one shape: `key` is its id, note name, surname or
    // caption; its other fields are made from i, and every odd button has a picture of its own.
    StoreResult addEntry(const DataFileLayout &file, const QString &key, int i)
    {
        if (file.number == AppointmentStore::FileNumber)
            return appointments.AddAppointment(appointment(key, QStringLiteral("S%1").arg(i)));
        if (file.number == NoteStore::FileNumber)
            return notes.AppendNote(key, QStringLiteral("T%1").arg(i));
        if (file.number == AddressStore::FileNumber)
            return addresses.AddAddressEntry(entry(key, {}, QDate(1980 + i, 6, 7)));
        const StoreResult added = desktop.AppendDesktopEntry(key, "C:\\" + key + ".exe");
        return added.ok() && i % 2 ? desktop.SetDesktopIcon(i, "C:\\" + key + ".ico") : added;
    }
    static QByteArrayList fieldsOf(const DataFileLayout &file, const QString &key, int i)
    {
        const QByteArray k = key.toLatin1(), n = QByteArray::number(i);
        if (file.number == AppointmentStore::FileNumber)
            return appointmentFields(k, "S" + n);
        if (file.number == NoteStore::FileNumber)
            return strings({k, "T" + n});
        if (file.number == AddressStore::FileNumber)
            return entryFields(k + ", ", "", k, "07/06/198" + n);
        return strings({k, "C:\\" + k + ".exe", i % 2 ? "C:\\" + k + ".ico" : "none"});
    }
    StoreResult removeEntry(const DataFileLayout &file, const QString &key, int i)
    {
        if (file.number == AppointmentStore::FileNumber)
            return appointments.DeleteAppointment(key);
        if (file.number == NoteStore::FileNumber)
            return notes.RemoveNote(i + 1);
        if (file.number == AddressStore::FileNumber)
            return addresses.DeleteAddressEntry(key + ", ");
        return desktop.RemoveDesktopEntry(i);
    }
    int countOf(const DataFileLayout &file) const
    {
        return QList<int>{appointments.GetAppointmentCount(), notes.GetNoteCount(),
                          addresses.GetEntryCount(), desktop.GetButtonCount()}[file.number - 1];
    }

private slots:
    void init() { QVERIFY(openFolder()); }
    void cleanup() { env.reset(); }

    void newFilesHoldACountOfZero()
    {
        QByteArrayList files, images;
        QList<int> counts;
        for (const DataFileLayout &file : kDataFiles) {
            files << bytes(file);
            images << fileImage(blocks(file, {}), file.recordLength);
            counts << countOf(file);
        }
        QCOMPARE(files, images);
        QCOMPARE(counts, QList<int>(4, 0));
    }

    void deleteMovesLaterEntriesDown_data()
    {
        QTest::addColumn<const DataFileLayout *>("file");
        QTest::addColumn<QStringList>("keys"); // of the entries added, in order
        QTest::addColumn<int>("removed");
        QTest::addColumn<QStringList>("renamed"); // the ids of the appointments left
        const QStringList abc{"A", "B", "C"}, none;
        QTest::newRow("address book: first of three") << &kAddressesFile << abc << 0 << none;
        QTest::newRow("address book: only entry") << &kAddressesFile << abc.first(1) << 0 << none;
        QTest::newRow("notes: middle of three") << &kNotesFile << abc << 1 << none;
        QTest::newRow("notes: first of three") << &kNotesFile << abc << 0 << none;
        QTest::newRow("notes: last of three") << &kNotesFile << abc << 2 << none;
        QTest::newRow("launcher: first of three") << &kDesktopFile << abc << 0 << none;
        QTest::newRow("launcher: last of three") << &kDesktopFile << abc << 2 << none;
        QTest::newRow("launcher: only entry") << &kDesktopFile << abc.first(1) << 0 << none;
        // A later appointment of the day is renumbered.
        QTest::newRow("appointments: first of its day")
            << &kAppointmentsFile << QStringList{"20240105-1", "20240106-1", "20240105-2"} << 0
            << QStringList{"20240106-1", "20240105-1"};
        QStringList ten;
        for (int n = 1; n <= 10; ++n)
            ten << QStringLiteral("20240105-%1").arg(n);
        QTest::newRow("appointments: two-digit numbers")
            << &kAppointmentsFile << ten << 2 << ten.first(9);
        QTest::newRow("appointments: only one") << &kAppointmentsFile << ten.first(1) << 0 << none;
    }
    void deleteMovesLaterEntriesDown()
    {
        QFETCH(const DataFileLayout *, file);
        QFETCH(QStringList, keys);
        QFETCH(int, removed);
        QFETCH(QStringList, renamed);
        QList<QByteArrayList> entries;
        for (int i = 0; i < keys.size(); ++i) {
            QVERIFY(addEntry(*file, keys[i], i).ok());
            entries << fieldsOf(*file, keys[i], i);
        }
        const QByteArray added = bytes(*file);
        QCOMPARE(added, fileImage(blocks(*file, entries), file->recordLength));

        QVERIFY(removeEntry(*file, keys[removed], removed).ok());

        entries.removeAt(removed);
        for (qsizetype p = 0; p < renamed.size(); ++p)
            entries[p][0] = Bytes::string(renamed[p].toLatin1());
        // The old last block is blank; the file keeps its length.
        const QByteArrayList left = blocks(*file, entries, 1);
        QCOMPARE(valuesFrom(*file, 1, left), left);
        QCOMPARE(bytes(*file).size(), added.size());
    }

    void refusalsLeaveTheFileAsItWas_data()
    {
        QTest::addColumn<const DataFileLayout *>("file");
        QTest::addColumn<QStringList>("keys"); // of the entry added first, and at capacity
        QTest::addColumn<Steps>("notFound");   // refused on an empty file and on one entry
        QTest::addColumn<Steps>("tooLong");    // refused on one entry
        QTest::addColumn<Step>("fits");        // the longest texts, after the refusals
        QTest::addColumn<int>("first");        // the first record `fits` writes
        QTest::addColumn<QByteArrayList>("fitted");

        Steps notFound, tooLong;
        for (const QString id : {"20240106-1", "20240105-7"})
            notFound << [=, this] { return appointments.DeleteAppointment(id); }
                     << [=, this] { return appointments.UpdateAppointment(id, appointment("x")); };
        Appointment longest = appointment(QString(126, u'x'));
        for (QString Appointment::*text :
             {&Appointment::AppointmentId, &Appointment::Subject, &Appointment::StartTime,
              &Appointment::EndTime, &Appointment::ReminderMinutes, &Appointment::Description}) {
            Appointment a = appointment("20240105-2");
            a.*text = QString(127, u'x');
            longest.*text = QString(126, u'x');
            tooLong << [=, this] { return appointments.AddAppointment(a); };
            if (text != &Appointment::AppointmentId) // an update never writes the id
                tooLong << [=, this] { return appointments.UpdateAppointment("20240105-1", a); };
        }
        const QByteArrayList x126 = strings(QByteArrayList(4, QByteArray(126, 'x')));
        QTest::newRow("appointments")
            << &kAppointmentsFile << QStringList{"20240105-1", "20240105-2"} << notFound << tooLong
            << Step([=, this] { return appointments.AddAppointment(longest); }) << 9
            << (x126.first(4) << QByteArray("\xFF\xFF", 2) << x126.first(2));

        notFound.clear();
        const QString x499(499, u'x');
        for (int n : {0, 2, -1})
            notFound << [=, this] { return notes.RemoveNote(n); }
                     << [=, this] { return notes.ReplaceNoteText(n, "x"); };
        QTest::newRow("notes") << &kNotesFile << QStringList{"N1", "N2"} << notFound
                               << Steps{[=, this] { return notes.AppendNote("Note", x499); },
                                        [=, this] { return notes.AppendNote(x499, "text"); },
                                        [=, this] { return notes.ReplaceNoteText(1, x499); }}
                               << Step([this] {
                                      return notes.ReplaceNoteText(1, {498, u't'});
                                  })
                               << 2 << strings({QByteArray(498, 't')});

        // Too long in the last field: nothing before it may be written.
        AddressEntry tooLongEntry = entry("B", "2");
        tooLongEntry.Notes = QString(127, u'n');
        AddressEntry longestEntry = tooLongEntry;
        longestEntry.Notes.chop(1);
        QTest::newRow("address book")
            << &kAddressesFile << QStringList{"A", "C"}
            << Steps{[this] { return addresses.DeleteAddressEntry("Smith, Jane"); },
                     [this] { return addresses.DeleteAddressEntry(""); }}
            << Steps{[=, this] { return addresses.AddAddressEntry(tooLongEntry); },
                     [=, this] { return addresses.ReplaceAddressEntry("A, ", tooLongEntry); }}
            << Step([=, this] { return addresses.AddAddressEntry(longestEntry); }) << 31
            << strings({QByteArray(126, 'n')});

        notFound.clear();
        for (int p : {-1, 1, 8192})
            notFound << [=, this] { return desktop.RemoveDesktopEntry(p); }
                     << [=, this] { return desktop.SetDesktopIcon(p, "x.ico"); };
        // 127 bytes: no caption is left in the free record 5 either.
        const QString path127 = "C:\\" + QString(124, u'p');
        QTest::newRow("launcher")
            << &kDesktopFile << QStringList{"a", "b"} << notFound
            << Steps{[=, this] { return desktop.AppendDesktopEntry("edit", path127); },
                     [=, this] {
                         return desktop.AppendDesktopEntry({127, u'c'}, "C:\\e.exe");
                     },
                     [=, this] { return desktop.SetDesktopIcon(0, path127); }}
            << Step([=, this] { return desktop.AppendDesktopEntry("b", path127.left(126)); }) << 6
            << strings({path127.left(126).toLatin1()});
    }
    void refusalsLeaveTheFileAsItWas()
    {
        QFETCH(const DataFileLayout *, file);
        QFETCH(QStringList, keys);
        QFETCH(Steps, notFound);
        QFETCH(Steps, tooLong);
        QFETCH(Step, fits);
        QFETCH(int, first);
        QFETCH(QByteArrayList, fitted);
        QList<int> refused;
        const QByteArray empty = bytes(*file);
        for (const Step &step : notFound)
            refused << step().status;
        QCOMPARE(bytes(*file), empty);
        QVERIFY(addEntry(*file, keys[0], 0).ok());
        const QByteArray one = bytes(*file);
        for (const Step &step : notFound + tooLong)
            refused << step().status;
        QCOMPARE(bytes(*file), one);
        QCOMPARE(refused, QList<int>(2 * notFound.size(), StoreResult::NotFound) +
                              QList<int>(tooLong.size(), StoreResult::TooLong));
        QVERIFY(fits().ok());
        QCOMPARE(valuesFrom(*file, first, fitted), fitted);

        // A full file refuses an add with the number of entries it holds.
        QVERIFY(PutCount(file->number, file->countRecord, file->capacity).ok());
        const QByteArray full = bytes(*file);
        QCOMPARE(countOf(*file), file->capacity);
        const StoreResult r = addEntry(*file, keys[1], 1);
        QCOMPARE(r.status, StoreResult::CapacityFull);
        QVERIFY(r.message.contains(QString::number(file->capacity)));
        QCOMPARE(bytes(*file), full);
    }

    void addressAddWritesTheFieldsBuildEntryForms_data()
    {
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDate>("birthday");
        QTest::addColumn<bool>("hasBirthday");
        QTest::addColumn<QByteArrayList>("fields"); // display name, birthday and flag
        const auto row = [](const char *tag, const char *surname, const char *name, QDate birthday,
                            bool has, const QByteArrayList &fields) {
            QTest::newRow(tag) << surname << name << birthday << has << fields;
        };
        row("birthday 5 March 1970", "Smith", "John", {1970, 3, 5}, true,
            {"Smith, John", "05/03/1970", "1"});
        row("birthday 25 December 2001", "Smith", "John", {2001, 12, 25}, true,
            {"Smith, John", "25/12/2001", "1"});
        row("no birthday keeps the date", "Smith", "John", {2024, 1, 5}, false,
            {"Smith, John", "05/01/2024", "0"});
        row("empty first name", "Smith", "", {1970, 3, 5}, true, {"Smith, ", "05/03/1970", "1"});
        row("blanks kept", " Smith", "John ", {1970, 3, 5}, true,
            {" Smith, John ", "05/03/1970", "1"});
    }
    void addressAddWritesTheFieldsBuildEntryForms()
    {
        QFETCH(QString, surname);
        QFETCH(QString, name);
        QFETCH(QDate, birthday);
        QFETCH(bool, hasBirthday);
        QFETCH(QByteArrayList, fields);
        QVERIFY(addresses.AddAddressEntry(entry(surname, name, birthday, hasBirthday)).ok());
        QCOMPARE(bytes(kAddressesFile),
                 fileImage(blocks(kAddressesFile,
                                  {entryFields(fields[0], name.toLatin1(), surname.toLatin1(),
                                               fields[1], fields[2])}),
                           128));
    }

    void addressReplaceWithSameNameMovesEntryToTheEnd()
    {
        for (const char *surname : {"A", "B", "C"})
            QVERIFY(addresses.AddAddressEntry(entry(surname)).ok());

        AddressEntry changed = entry("A", "", QDate(1999, 9, 9));
        changed.PhoneMobile = QStringLiteral("0777");
        QVERIFY(addresses.ReplaceAddressEntry(QStringLiteral("A, "), changed).ok());

        QCOMPARE(addresses.ReadAllDisplayNames(), QStringList({"B, ", "C, ", "A, "}));
        QByteArrayList a = entryFields("A, ", "", "A", "09/09/1999");
        a[7] = Bytes::string("0777");
        // The block that held the appended copy for a moment is blank again.
        const QByteArrayList stored = blocks(
            kAddressesFile, {entryFields("B, ", "", "B"), entryFields("C, ", "", "C"), a}, 1);
        QCOMPARE(valuesFrom(kAddressesFile, 1, stored), stored);
    }

    void addressReadersGiveWhatWasWritten()
    {
        QVERIFY(
            addresses.AddAddressEntry(entry(QStringLiteral("Müller"), QStringLiteral("Zoë"))).ok());
        QVERIFY(addresses.AddAddressEntry(entry("B", "2", QDate(2001, 12, 25), false)).ok());

        QCOMPARE(stringAt(kAddressesFile, 1), Bytes::string("M\xFCller, Zo\xEB"));
        QCOMPARE(addresses.ReadAddressEntry(0).PhoneOther, QStringLiteral("666"));
        QCOMPARE(
            (QList<int>{addresses.FindAddressEntry(QStringLiteral("Müller, Zoë")),
                        addresses.FindAddressEntry("B, 2"), addresses.FindAddressEntry("B,2")}),
            (QList<int>{0, 1, -1}));
        QStringList birthdays;
        for (const BirthdayInfo &b : addresses.ReadBirthdays())
            birthdays << b.DisplayName << b.BirthdayDate << b.HasBirthday;
        QCOMPARE(birthdays, QStringList({QStringLiteral("Müller, Zoë"), "05/03/1970", "1", "B, 2",
                                         "25/12/2001", "0"}));
    }

    void fullAddressBookUsesRecord32767()
    {
        QByteArray image(AddressStore::Capacity * 16 * 128, '\0');
        for (int i = 0; i < AddressStore::Capacity; ++i) {
            const QByteArray name = Bytes::string("N" + QByteArray::number(i));
            image.replace(qsizetype(i) * 16 * 128, name.size(), name);
            const QByteArray text = Bytes::string("notes " + QByteArray::number(i));
            image.replace(qsizetype(i * 16 + 14) * 128, text.size(), text);
        }
        image.replace(15 * 128, 4, Bytes::count16(2048));
        QVERIFY(openFolder(kAddressesFile.fileName, image));
        QCOMPARE((QList<int>{addresses.GetEntryCount(), int(addresses.ReadAllDisplayNames().size()),
                             addresses.FindAddressEntry("N2047")}),
                 (QList<int>{2048, 2048, 2047}));
        QCOMPARE(addresses.ReadAddressEntry(2047).Notes, QStringLiteral("notes 2047"));

        // A full book is edited like any other: the entry moves to the last of the 2048
        // positions, the count stays, and the file keeps its length (the block past the last
        // entry that held the changed entry for a moment is gone again).
        QVERIFY(addresses.ReplaceAddressEntry("N3", entry("N3", "")).ok());
        QCOMPARE(recordAt(kAddressesFile, 16).left(4), Bytes::count16(2048));
        QCOMPARE(bytes(kAddressesFile).size(), image.size());
        QCOMPARE((QStringList{addresses.ReadDisplayName(2047), addresses.ReadDisplayName(3)}),
                 (QStringList{"N3, ", "N4"}));
        QCOMPARE((QByteArrayList{stringAt(kAddressesFile, 32767),
                                 stringAt(kAddressesFile, 16 * 2046 + 15)}),
                 strings({"Friend", "notes 2047"}));
        QCOMPARE(addresses.ReadAllDisplayNames().count(QStringLiteral("N3, ")), 1);

        QVERIFY(addresses.DeleteAddressEntry("N0").ok());

        QCOMPARE(addresses.GetEntryCount(), 2047);
        QCOMPARE((QByteArrayList{stringAt(kAddressesFile, 32767),
                                 stringAt(kAddressesFile, 16 * 2045 + 15)}),
                 strings({"", "notes 2047"}));
        // The new entry is held in the last block for a moment, which is blank again after.
        QVERIFY(addresses.ReplaceAddressEntry("N5", entry("N", "5")).ok());
        QCOMPARE(addresses.ReadDisplayName(2046), QStringLiteral("N, 5"));
        QCOMPARE((QByteArrayList{stringAt(kAddressesFile, 16 * 2046 + 15),
                                 stringAt(kAddressesFile, 32767)}),
                 strings({"Friend", ""}));
        QCOMPARE(addresses.FindAddressEntry("N5"), -1);
    }

    void letterGroups()
    {
        for (const QString &surname : QStringList{
                 "adams",      "Baker", "Adams", "BLACK",    "Bach",   "Roberts",   "Parker",
                 "Quinn",      "Émile", " Eve",  "Evans",    "Ørsted", "olsen",     "Özil",
                 "van Hollow", "Vance", "«Qué»", "(Office)", "7 Seas", "0800 Taxis"})
            QVERIFY(addresses.AddAddressEntry(entry(surname)).ok());
        // A letter whatever its case, sorted ignoring case, names equal but for case in file
        // order; QR lists Q and R, P neither; accented letters under their base letter, so O
        // gathers Ö, Ø and o; 123 gathers digits, blanks and signs.
        const QList<std::pair<QString, QStringList>> groups = {
            {"A", {"adams, ", "Adams, "}},
            {"B", {"Bach, ", "Baker, ", "BLACK, "}},
            {"P", {"Parker, "}},
            {"QR", {"Quinn, ", "Roberts, "}},
            {"E", {"Evans, ", "Émile, "}},
            {"O", {"olsen, ", "Özil, ", "Ørsted, "}},
            {"V", {"van Hollow, ", "Vance, "}},
            {"123", {" Eve, ", "(Office), ", "0800 Taxis, ", "7 Seas, ", "«Qué», "}}};
        for (const auto &[group, listed] : groups)
            QCOMPARE(addresses.NamesOfLetterGroup(group), listed);
    }

    void appointmentTextsAndReminderOff()
    {
        Appointment quiet = appointment("20240105-2", "Café · €5");
        quiet.ReminderOn = 0;
        quiet.Description.clear();
        QVERIFY(appointments.AddAppointment(appointment("20240105-1")).ok());
        QVERIFY(appointments.AddAppointment(quiet).ok());
        // Windows-1252 text, reminder off as 00 00, and record 16 never written: the empty
        // description of record 15 ends the file.
        QCOMPARE(
            bytes(kAppointmentsFile),
            fileImage(blocks(kAppointmentsFile,
                             {appointmentFields("20240105-1"),
                              strings({"20240105-2", "Caf\xE9 \xB7 \x80\x35", "09:30", "10:00"})
                                  << QByteArray(2, '\0') << strings({"15", ""})}),
                      128));
    }

    void appointmentUpdateRewritesFieldsButNeverTheId()
    {
        QVERIFY(appointments.AddAppointment(appointment("20240105-1")).ok());
        QVERIFY(appointments.AddAppointment(appointment("20240105-2")).ok());
        const QByteArray before = bytes(kAppointmentsFile);

        // The id of the changed fields is ignored: an appointment keeps its id.
        QVERIFY(appointments
                    .UpdateAppointment("20240105-2",
                                       {"20991231-9", "Doctor", "14:00", "14:30", 0, "5", ""})
                    .ok());

        QCOMPARE(bytes(kAppointmentsFile).left(9 * 128), before.left(9 * 128));
        const QByteArrayList fields = strings({"Doctor", "14:00", "14:30"})
                                      << QByteArray(2, '\0') << strings({"5", ""});
        QCOMPARE(valuesFrom(kAppointmentsFile, 10, fields), fields);
        QCOMPARE(appointments.GetAppointmentCount(), 2);
    }

    void appointmentReadersKeepPositionOrderAndTakeTheLastMatch()
    {
        // Two appointments carrying one id (a file whose numbering is broken): lookup and edit
        // go to the last; the other keeps its own fields.
        QVERIFY(appointments.AddAppointment(appointment("20240105-1", "First")).ok());
        QVERIFY(appointments.AddAppointment(appointment("20240106-1")).ok());
        QVERIFY(appointments.AddAppointment(appointment("20240105-1", "Second")).ok());
        QCOMPARE(appointments.ReadAllIds(),
                 QStringList({"20240105-1", "20240106-1", "20240105-1"}));
        QCOMPARE(appointments.ListDayAppointments("20240105"), QList<int>({0, 2}));
        QStringList day;
        for (const Appointment &a : appointments.ReadDayAppointments("20240105"))
            day << a.Subject << QString::number(a.ReminderOn);
        QCOMPARE(day, QStringList({"First", "-1", "Second", "-1"}));
        QVERIFY(appointments.ListDayAppointments("20240107").isEmpty());

        QCOMPARE(appointments.FindAppointment("20240105-1"), 2);
        QCOMPARE(appointments.ReadAppointment(2).Subject, QStringLiteral("Second"));
        QCOMPARE(appointments.FindAppointment("20240105-"), -1);
        QVERIFY(appointments.UpdateAppointment("20240105-1", appointment("20240105-1", "Changed"))
                    .ok());
        QCOMPARE(appointments.ReadAppointment(0).Subject, QStringLiteral("First"));
        QCOMPARE(appointments.ReadAppointment(2).Subject, QStringLiteral("Changed"));
    }

    void markedDaysOfAMonth()
    {
        // Each day once, other months and years left out; ids that are no dates mark nothing.
        for (const char *id : {"20040207-1", "20040201-1", "20040207-2", "20040301-1", "20050207-1",
                               "200402", "2004020x-1", "20040200-1", "20040232-1"})
            QVERIFY(appointments.AddAppointment(appointment(id)).ok());
        QCOMPARE(appointments.DaysWithAppointments(2004, 2), QList<int>({1, 7}));
        // Birthdays by day and month, in any year, where the flag is the number 1.
        for (const QString &birthday : QStringList{"29/02/1980 1", "07/02/1970 1.0", "08/02/1970 0",
                                                   "09/03/1970 1", "9/02/1970 1"}) {
            AddressEntry e = AddressStore::BuildEntry(birthday, {}, {}, {}, {}, false, {}, {}, {});
            e.BirthdayDate = birthday.section(u' ', 0, 0);
            e.HasBirthday = birthday.section(u' ', 1);
            QVERIFY(addresses.AddAddressEntry(e).ok());
        }
        QCOMPARE(addresses.BirthdayDays(2), QList<int>({7, 29}));
    }

    void fullAppointmentsFileUsesRecord32767()
    {
        // 4096 appointments of one day, built directly as a file image.
        QByteArray image(AppointmentStore::Capacity * 8 * 128, '\0');
        for (int i = 0; i < AppointmentStore::Capacity; ++i) {
            const QByteArray id = Bytes::string("20240101-" + QByteArray::number(i + 1));
            image.replace(qsizetype(i) * 8 * 128, id.size(), id);
            const QByteArray last = Bytes::string("D" + QByteArray::number(i));
            image.replace(qsizetype(i * 8 + 6) * 128, last.size(), last);
        }
        image.replace(7 * 128, 4, Bytes::count16(4096));
        QVERIFY(openFolder(kAppointmentsFile.fileName, image));
        QCOMPARE(appointments.GetAppointmentCount(), 4096);
        QCOMPARE(appointments.ListDayAppointments("20240101").size(), 4096);
        QCOMPARE(appointments.ReadAppointment(4095).Description, QStringLiteral("D4095"));
        QCOMPARE(appointments.FindAppointment("20240101-4096"), 4095);

        QVERIFY(appointments.DeleteAppointment("20240101-1").ok());

        QCOMPARE(appointments.GetAppointmentCount(), 4095);
        QCOMPARE(
            (QByteArrayList{stringAt(kAppointmentsFile, 32767), stringAt(kAppointmentsFile, 32761),
                            stringAt(kAppointmentsFile, 8 * 4094 + 1),
                            stringAt(kAppointmentsFile, 8 * 4094 + 7)}),
            strings({"", "", "20240101-4095", "D4095"}));
        QCOMPARE(appointments.ReadAllIds().first(), QStringLiteral("20240101-1"));
        QVERIFY(appointments.AddAppointment(appointment("20240101-4096")).ok());
        QCOMPARE(stringAt(kAppointmentsFile, 32761), Bytes::string("20240101-4096"));
    }

    void launcherSetIconWritesOnlyItsRecordAndKeepsItsText()
    {
        for (const char *c : {"a", "b", "c"})
            QVERIFY(desktop.AppendDesktopEntry(c, QStringLiteral("C:\\x.exe")).ok());
        const QByteArray before = bytes(kDesktopFile);

        QVERIFY(desktop.SetDesktopIcon(2, QStringLiteral("C:\\pic.ico")).ok());

        QCOMPARE(bytes(kDesktopFile), before.left(10 * 128) + Bytes::string("C:\\pic.ico"));
        // "None" is a path like any other: only "none" marks a button without an icon.
        QVERIFY(desktop.SetDesktopIcon(0, QStringLiteral("None")).ok());
        QCOMPARE(stringAt(kDesktopFile, 3), Bytes::string("None"));
        QStringList buttons;
        for (const DesktopEntry &e : desktop.ReadDesktopEntries())
            buttons << e.ButtonCaption << e.ProgramPath << e.IconPath;
        QCOMPARE(buttons, QStringList({"a", "C:\\x.exe", "None", "b", "C:\\x.exe", "none", "c",
                                       "C:\\x.exe", "C:\\pic.ico"}));
    }

    void noteReplaceKeepsNameAndPlace()
    {
        QVERIFY(notes.AppendNote("N1", "T1").ok());
        QVERIFY(notes.AppendNote("N2", "T2").ok());
        QVERIFY(notes.ReplaceNoteText(2, "  new\r\ntext  ").ok());
        QVERIFY(notes.ReplaceNoteText(1, QString()).ok());
        const QByteArrayList stored =
            blocks(kNotesFile, {strings({"N1", ""}), strings({"N2", "  new\r\ntext  "})});
        QCOMPARE(valuesFrom(kNotesFile, 1, stored), stored);
        QCOMPARE(notes.ReadNoteNames(), QStringList({"N1", "N2"}));
        QCOMPARE(notes.ReadNote(2).NoteText, QStringLiteral("  new\r\ntext  "));
    }

    void noteFindTakesExactNameAndLastMatch()
    {
        for (const char *name : {"Note", "note", "Note"})
            QVERIFY(notes.AppendNote(name, "text").ok());
        // The last exact match; another case; a trailing blank; no name.
        QCOMPARE((QList<int>{notes.FindNoteByName("Note"), notes.FindNoteByName("note"),
                             notes.FindNoteByName("Note "), notes.FindNoteByName("")}),
                 (QList<int>{3, 2, 0, 0}));
    }
};

QTEST_GUILESS_MAIN(TestStores)
#include "tst_stores.moc"
