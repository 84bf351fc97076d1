// The address book file as the address store writes it, byte for byte.
#include "data/address_store.h"
#include "store_steps.h"
#include "test_support.h"

#include <QTest>

namespace {

AddressEntry entry(const QString &surname, const QString &name = {},
                   QDate birthday = QDate(1970, 3, 5), bool hasBirthday = true)
{
    return AddressStore::BuildEntry(name, surname, QStringLiteral("1 High Street\r\nTown"),
                                    {"111", "222", "333", "444", "555", "666"}, birthday,
                                    hasBirthday, QStringLiteral("a@b.c"), QStringLiteral("www.b.c"),
                                    QStringLiteral("Friend"));
}

// The fifteen records of an entry made by entry(), as stored.
QByteArrayList block(const QByteArray &display, const QByteArray &name, const QByteArray &surname,
                     const QByteArray &date = "05/03/1970", const QByteArray &flag = "1")
{
    return strings({display, name, surname, "1 High Street\r\nTown", "111", "222", "333", "444",
                    "555", "666", date, flag, "a@b.c", "www.b.c", "Friend"});
}

const QByteArrayList kBlank = strings(QByteArrayList(15, QByteArray()));

} // namespace

class TestAddressStore : public QObject, StoreFile {
    Q_OBJECT

    AddressStore store;

public:
    TestAddressStore() : StoreFile(QStringLiteral("AddBook.dat"), 128) {}

private slots:
    void init() { QVERIFY(openFolder()); }
    void cleanup() { env.reset(); }

    void addWritesTheFieldsBuildEntryForms_data()
    {
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDate>("birthday");
        QTest::addColumn<bool>("hasBirthday");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("date");
        const auto row = [](const char *tag, const char *surname, const char *name, QDate birthday,
                            bool has, const char *display, const char *date) {
            QTest::newRow(tag) << surname << name << birthday << has << QByteArray(display)
                               << QByteArray(date);
        };
        row("birthday 5 March 1970", "Smith", "John", {1970, 3, 5}, true, "Smith, John",
            "05/03/1970");
        row("birthday 25 December 2001", "Smith", "John", {2001, 12, 25}, true, "Smith, John",
            "25/12/2001");
        row("no birthday keeps the date", "Smith", "John", {2024, 1, 5}, false, "Smith, John",
            "05/01/2024");
        row("empty first name", "Smith", "", {1970, 3, 5}, true, "Smith, ", "05/03/1970");
        row("blanks kept", " Smith", "John ", {1970, 3, 5}, true, " Smith, John ", "05/03/1970");
    }
    void addWritesTheFieldsBuildEntryForms()
    {
        QFETCH(QString, surname);
        QFETCH(QString, name);
        QFETCH(QDate, birthday);
        QFETCH(bool, hasBirthday);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, date);
        QCOMPARE(store.GetEntryCount(), 0);
        QVERIFY(store.AddAddressEntry(entry(surname, name, birthday, hasBirthday)).ok());
        QVERIFY(store.AddAddressEntry(entry("Jones", "Ann")).ok());
        // Record 32 is never written: the second entry's last field ends the file.
        QCOMPARE(
            bytes(),
            fileImage(
                block(display, name.toLatin1(), surname.toLatin1(), date, hasBirthday ? "1" : "0")
                    << QByteArray::fromHex("02000200") << block("Jones, Ann", "Ann", "Jones"),
                128));
    }

    void deleteMovesLaterEntriesDown_data()
    {
        QTest::addColumn<QByteArrayList>("surnames");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first of three")
            << QByteArrayList{"A", "B", "C"} << QStringList{"B, ", "C, "};
        QTest::newRow("only entry") << QByteArrayList{"Smith"} << QStringList();
    }
    void deleteMovesLaterEntriesDown()
    {
        QFETCH(QByteArrayList, surnames);
        QFETCH(QStringList, left);
        // The entry added i-th has its birthday in 198i.
        const auto date = [](int i) { return "07/06/198" + QByteArray::number(i); };
        for (int i = 0; i < surnames.size(); ++i)
            QVERIFY(store.AddAddressEntry(entry(surnames[i], "", QDate(1980 + i, 6, 7))).ok());
        const qsizetype size = bytes().size();

        QVERIFY(store.DeleteAddressEntry(surnames[0] + ", ").ok());

        QCOMPARE(store.ReadAllDisplayNames(), left);
        for (int i = 1; i < surnames.size(); ++i) {
            const QByteArrayList moved = block(surnames[i] + ", ", "", surnames[i], date(i));
            QCOMPARE(valuesFrom(16 * i - 15, moved), moved);
        }
        QCOMPARE(recordAt(16).left(4), Bytes::count16(qint16(left.size())));
        // The old last block is blank; the file keeps its length.
        QCOMPARE(valuesFrom(16 * left.size() + 1, kBlank), kBlank);
        QCOMPARE(bytes().size(), size);
    }

    void replaceWithSameNameMovesEntryToTheEnd()
    {
        for (const char *surname : {"A", "B", "C"})
            QVERIFY(store.AddAddressEntry(entry(surname)).ok());

        AddressEntry changed = entry("A", "", QDate(1999, 9, 9));
        changed.PhoneMobile = QStringLiteral("0777");
        QVERIFY(store.ReplaceAddressEntry(QStringLiteral("A, "), changed).ok());

        QCOMPARE(store.ReadAllDisplayNames(), QStringList({"B, ", "C, ", "A, "}));
        QByteArrayList stored = block("A, ", "", "A", "09/09/1999");
        stored[7] = Bytes::string("0777");
        QCOMPARE(valuesFrom(33, stored), stored);
        // The block that held the appended copy for a moment is blank again.
        QCOMPARE(valuesFrom(49, kBlank), kBlank);
        QCOMPARE(recordAt(16).left(4), Bytes::count16(3));
    }

    void refusalsLeaveTheFileAsItWas()
    {
        QVERIFY(store.AddAddressEntry(entry("A", "1")).ok());
        const QByteArray before = bytes();
        // Too long in the last field: nothing before it may be written.
        AddressEntry tooLong = entry("B", "2");
        tooLong.Notes = QString(127, QLatin1Char('n'));
        QCOMPARE(store.AddAddressEntry(tooLong).status, StoreResult::TooLong);
        QCOMPARE(store.ReplaceAddressEntry(QStringLiteral("A, 1"), tooLong).status,
                 StoreResult::TooLong);
        for (const char *name : {"Smith, Jane", ""})
            QCOMPARE(store.DeleteAddressEntry(name).status, StoreResult::NotFound);
        QCOMPARE(bytes(), before);
    }

    void readersGiveWhatWasWritten()
    {
        QVERIFY(store.AddAddressEntry(entry(QStringLiteral("Müller"), QStringLiteral("Zoë"))).ok());
        QVERIFY(store.AddAddressEntry(entry("B", "2", QDate(2001, 12, 25), false)).ok());

        QCOMPARE(stringAt(1), Bytes::string("M\xFCller, Zo\xEB"));
        QCOMPARE(store.ReadAddressEntry(0).PhoneOther, QStringLiteral("666"));
        QCOMPARE((QList<int>{store.FindAddressEntry(QStringLiteral("Müller, Zoë")),
                             store.FindAddressEntry("B, 2"), store.FindAddressEntry("B,2")}),
                 (QList<int>{0, 1, -1}));
        QStringList birthdays;
        for (const BirthdayInfo &b : store.ReadBirthdays())
            birthdays << b.DisplayName << b.BirthdayDate << b.HasBirthday;
        QCOMPARE(birthdays, QStringList({QStringLiteral("Müller, Zoë"), "05/03/1970", "1", "B, 2",
                                         "25/12/2001", "0"}));
    }

    void fullFileUsesRecord32767()
    {
        QByteArray image(AddressStore::Capacity * 16 * 128, '\0');
        for (int i = 0; i < AddressStore::Capacity; ++i) {
            const QByteArray name = Bytes::string("N" + QByteArray::number(i));
            image.replace(qsizetype(i) * 16 * 128, name.size(), name);
            const QByteArray notes = Bytes::string("notes " + QByteArray::number(i));
            image.replace(qsizetype(i * 16 + 14) * 128, notes.size(), notes);
        }
        image.replace(15 * 128, 4, Bytes::count16(2048));
        QVERIFY(openFolder(image));
        QCOMPARE((QList<int>{store.GetEntryCount(), int(store.ReadAllDisplayNames().size()),
                             store.FindAddressEntry("N2047")}),
                 (QList<int>{2048, 2048, 2047}));
        QCOMPARE(store.ReadAddressEntry(2047).Notes, QStringLiteral("notes 2047"));

        // A full book is edited like any other: the entry moves to the last of the 2048
        // positions, the count stays, and the file keeps its length (the block past the last
        // entry that held the changed entry for a moment is gone again).
        QVERIFY(store.ReplaceAddressEntry("N3", entry("N3", "")).ok());
        QCOMPARE(recordAt(16).left(4), Bytes::count16(2048));
        QCOMPARE(bytes().size(), image.size());
        QCOMPARE((QStringList{store.ReadDisplayName(2047), store.ReadDisplayName(3)}),
                 (QStringList{"N3, ", "N4"}));
        QCOMPARE((QByteArrayList{stringAt(32767), stringAt(16 * 2046 + 15)}),
                 strings({"Friend", "notes 2047"}));
        QCOMPARE(store.ReadAllDisplayNames().count(QStringLiteral("N3, ")), 1);

        QVERIFY(store.DeleteAddressEntry("N0").ok());

        QCOMPARE(store.GetEntryCount(), 2047);
        QCOMPARE((QByteArrayList{stringAt(32767), stringAt(16 * 2045 + 15)}),
                 strings({"", "notes 2047"}));
        // The new entry is held in the last block for a moment, which is blank again after.
        QVERIFY(store.ReplaceAddressEntry("N5", entry("N", "5")).ok());
        QCOMPARE(store.ReadDisplayName(2046), QStringLiteral("N, 5"));
        QCOMPARE((QByteArrayList{stringAt(16 * 2046 + 15), stringAt(32767)}),
                 strings({"Friend", ""}));
        QCOMPARE(store.FindAddressEntry("N5"), -1);
    }

    void letterGroups()
    {
        for (const QString &surname : QStringList{
                 "adams",      "Baker", "Adams", "BLACK",    "Bach",   "Roberts",   "Parker",
                 "Quinn",      "Émile", " Eve",  "Evans",    "Ørsted", "olsen",     "Özil",
                 "van Hollow", "Vance", "«Qué»", "(Office)", "7 Seas", "0800 Taxis"})
            QVERIFY(store.AddAddressEntry(entry(surname)).ok());
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
            QCOMPARE(store.NamesOfLetterGroup(group), listed);
    }
};

QTEST_GUILESS_MAIN(TestAddressStore)
#include "tst_address_store.moc"
