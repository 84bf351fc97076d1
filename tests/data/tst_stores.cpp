// What the stores' lookups and scans find: the last of equal keys, birthdays, letter groups,
// the marked days of a month. What the stores write is compared byte for byte with a model of
// the files by tst_store_model.cpp.
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/kept_month_marks.h"
#include "store_steps.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

Appointment appointment(const QString &id, const QString &subject = QStringLiteral("Dentist"))
{
    return {id, subject, "09:30", "10:00", -1, "15", "Check-up"};
}

AddressEntry entry(const QString &surname, const QString &name = {},
                   QDate birthday = QDate(1970, 3, 5), bool hasBirthday = true)
{
    return AddressStore::BuildEntry(name, surname, {}, {}, birthday, hasBirthday, {}, {}, {});
}

} // namespace

class TestStores : public QObject, StoreFolder {
    Q_OBJECT

    AppointmentStore appointments;
    AddressStore addresses;

private slots:
    void init() { QVERIFY(openFolder()); }
    void cleanup() { env.reset(); }

    void addressReadersGiveWhatWasWritten()
    {
        QVERIFY(
            addresses.AddAddressEntry(entry(QStringLiteral("Müller"), QStringLiteral("Zoë"))).ok());
        QVERIFY(addresses.AddAddressEntry(entry("B", "2", QDate(2001, 12, 25), false)).ok());

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

    void appointmentReadersKeepPositionOrderAndTakeTheLastMatch()
    {
        // Two appointments carrying one id (a file whose numbering is broken): the lookup gives
        // the last.
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
        QCOMPARE(appointments.FindAppointment("20240105-"), -1);
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

    // A month's marks are read from the files until both have stood unchanged for two seconds;
    // then they are kept and given back without a read, for that month only, until either file
    // changes or another build asks. A kept file cut short is read past; an empty name keeps
    // nothing.
    void monthMarksAreKeptWhileTheFilesStandStill()
    {
        QTemporaryDir dir;
        const QStringList files{dir.filePath("Appoint.dat"), dir.filePath("AddBook.dat")};
        const QString kept = dir.filePath("cache/marks.bin");
        const auto change = [](const QString &name) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::Append) && f.write("x") == 1);
        };
        change(files[0]);
        change(files[1]);
        MonthMarks inFiles{{3, 17}, {31}};
        QByteArray build = "1";
        // The marks given, and whether the files were read for them.
        using Given = std::pair<std::pair<QList<int>, QList<int>>, bool>;
        const auto marks = [&](const QString &keptFile, int month, qint64 sinceChange) {
            qint64 latest = 0;
            for (const QString &name : files)
                latest = std::max(latest, QFileInfo(name).lastModified().toMSecsSinceEpoch());
            bool read = false;
            const MonthMarks m =
                KeptMonthMarks(keptFile, files, build, 2024, month, latest + sinceChange,
                               [&] { return read = true, inFiles; });
            return Given({m.appointmentDays, m.birthdayDays}, read);
        };
        const Given first({{3, 17}, {31}}, true), kept1({{3, 17}, {31}}, false);

        QCOMPARE(marks(kept, 1, 1999), first);
        QVERIFY(!QFile::exists(kept));
        QCOMPARE(marks(kept, 1, 2000), first);
        inFiles = {{1}, {}}; // what a read would find now; the kept marks answer instead
        QCOMPARE(marks(kept, 1, 60000), kept1);
        QCOMPARE(marks(kept, 2, 60000), Given({{1}, {}}, true)); // another month
        QCOMPARE(marks(kept, 2, 60000), Given({{1}, {}}, false));
        build = "2"; // another build of the program reads again
        QCOMPARE(marks(kept, 2, 60000), Given({{1}, {}}, true));
        inFiles = {{2}, {2}};
        change(files[1]);
        QCOMPARE(marks(kept, 2, 60000), Given({{2}, {2}}, true));
        QFile cut(kept);
        QVERIFY(cut.resize(cut.size() - 1));
        QCOMPARE(marks(kept, 2, 60000), Given({{2}, {2}}, true));
        QCOMPARE(marks({}, 2, 60000), Given({{2}, {2}}, true));
        QCOMPARE(marks(kept, 2, 60000), Given({{2}, {2}}, false)); // kept again when read past
    }
};

QTEST_GUILESS_MAIN(TestStores)
#include "tst_stores.moc"
