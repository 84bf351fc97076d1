// The address book file as the address store writes it, byte for byte.
#include "data/address_store.h"
#include "test_support.h"

#include <QTest>

namespace {

const QString kFile = QStringLiteral("AddBook.dat");
constexpr int kLen = 128;

AddressEntry entry(const QString &surname, const QString &name, QDate birthday = QDate(1970, 3, 5),
                   bool hasBirthday = true)
{
    return AddressStore::BuildEntry(name, surname, QStringLiteral("1 High Street\r\nTown"),
                                    {"111", "222", "333", "444", "555", "666"}, birthday,
                                    hasBirthday, QStringLiteral("a@b.c"), QStringLiteral("www.b.c"),
                                    QStringLiteral("Friend"));
}

QByteArray stringAt(const TestEnvironment &env, int record)
{
    return env.storedString(kFile, kLen, record);
}

} // namespace

class TestAddressStore : public QObject {
    Q_OBJECT

private slots:
    void firstAndSecondAddWriteTheirBlocks();
    void buildEntryFormsTheStoredFields_data();
    void buildEntryFormsTheStoredFields();
    void deleteMovesLaterEntriesDown();
    void deleteOfOnlyEntryKeepsFileLength();
    void deleteOfUnknownOrEmptyNameChangesNothing_data();
    void deleteOfUnknownOrEmptyNameChangesNothing();
    void replaceWithSameNameMovesEntryToTheEnd();
    void tooLongFieldLeavesFileUnchanged();
    void readersGiveWhatWasWritten();
    void letterGroups_data();
    void letterGroups();
    void fullFileUsesRecord32767();
};

void TestAddressStore::firstAndSecondAddWriteTheirBlocks()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QCOMPARE(store.GetEntryCount(), 0);

    QVERIFY(store.AddAddressEntry(entry("Smith", "John")).ok());
    QCOMPARE(env.record(kFile, kLen, 16).left(4), QByteArray::fromHex("02000100"));
    QCOMPARE(stringAt(env, 1), Bytes::string("Smith, John"));
    QCOMPARE(stringAt(env, 15), Bytes::string("Friend"));

    QVERIFY(store.AddAddressEntry(entry("Jones", "Ann")).ok());
    QCOMPARE(env.record(kFile, kLen, 16).left(4), Bytes::count16(2));
    QCOMPARE(stringAt(env, 17), Bytes::string("Jones, Ann"));
    QCOMPARE(stringAt(env, 31), Bytes::string("Friend"));
    QCOMPARE(env.fileBytes(kFile).size(), 30 * kLen + 8); // record 32 never written
}

void TestAddressStore::buildEntryFormsTheStoredFields_data()
{
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("birthday");
    QTest::addColumn<bool>("hasBirthday");
    QTest::addColumn<QByteArray>("record1");
    QTest::addColumn<QByteArray>("record11");
    QTest::addColumn<QByteArray>("record12");
    const struct {
        const char *tag, *surname, *name;
        QDate birthday;
        bool has;
        const char *displayName, *date, *flag;
    } rows[] = {
        {"birthday 5 March 1970",
         "Smith",
         "John",
         {1970, 3, 5},
         true,
         "Smith, John",
         "05/03/1970",
         "1"},
        {"birthday 25 December 2001",
         "Smith",
         "John",
         {2001, 12, 25},
         true,
         "Smith, John",
         "25/12/2001",
         "1"},
        {"no birthday keeps the date",
         "Smith",
         "John",
         {2024, 1, 5},
         false,
         "Smith, John",
         "05/01/2024",
         "0"},
        {"empty first name", "Smith", "", {1970, 3, 5}, true, "Smith, ", "05/03/1970", "1"},
        {"blanks kept", " Smith", "John ", {1970, 3, 5}, true, " Smith, John ", "05/03/1970", "1"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << QString::fromLatin1(r.surname) << QString::fromLatin1(r.name)
                             << r.birthday << r.has << Bytes::string(r.displayName)
                             << Bytes::string(r.date) << Bytes::string(r.flag);
}

void TestAddressStore::buildEntryFormsTheStoredFields()
{
    QFETCH(QString, surname);
    QFETCH(QString, name);
    QFETCH(QDate, birthday);
    QFETCH(bool, hasBirthday);
    QFETCH(QByteArray, record1);
    QFETCH(QByteArray, record11);
    QFETCH(QByteArray, record12);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QVERIFY(store.AddAddressEntry(entry(surname, name, birthday, hasBirthday)).ok());
    QCOMPARE(stringAt(env, 1), record1);
    QCOMPARE(stringAt(env, 2), Bytes::string(name.toLatin1()));
    QCOMPARE(stringAt(env, 3), Bytes::string(surname.toLatin1()));
    QCOMPARE(stringAt(env, 4), Bytes::string("1 High Street\r\nTown"));
    QCOMPARE(stringAt(env, 11), record11);
    QCOMPARE(stringAt(env, 12), record12);
}

void TestAddressStore::deleteMovesLaterEntriesDown()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QVERIFY(store.AddAddressEntry(entry("A", "1")).ok());
    QVERIFY(store.AddAddressEntry(entry("B", "2", QDate(1980, 6, 7))).ok());
    QVERIFY(store.AddAddressEntry(entry("C", "3")).ok());

    QVERIFY(store.DeleteAddressEntry(QStringLiteral("A, 1")).ok());

    QCOMPARE(stringAt(env, 1), Bytes::string("B, 2"));
    QCOMPARE(stringAt(env, 11), Bytes::string("07/06/1980"));
    QCOMPARE(stringAt(env, 17), Bytes::string("C, 3"));
    for (int r = 33; r <= 47; ++r)
        QCOMPARE(stringAt(env, r), QByteArray(2, '\0'));
    QCOMPARE(env.record(kFile, kLen, 16).left(4), Bytes::count16(2));
    QCOMPARE(store.ReadAllDisplayNames(), QStringList({"B, 2", "C, 3"}));
}

void TestAddressStore::deleteOfOnlyEntryKeepsFileLength()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QVERIFY(store.AddAddressEntry(entry("Smith", "John")).ok());
    const qsizetype size = env.fileBytes(kFile).size();
    QVERIFY(store.DeleteAddressEntry(QStringLiteral("Smith, John")).ok());
    for (int r = 1; r <= 15; ++r)
        QCOMPARE(stringAt(env, r), QByteArray(2, '\0'));
    QCOMPARE(env.record(kFile, kLen, 16).left(4), Bytes::count16(0));
    QCOMPARE(env.fileBytes(kFile).size(), size);
}

void TestAddressStore::deleteOfUnknownOrEmptyNameChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("unknown") << "Smith, Jane";
    QTest::newRow("empty") << "";
}

void TestAddressStore::deleteOfUnknownOrEmptyNameChangesNothing()
{
    QFETCH(QString, name);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QVERIFY(store.AddAddressEntry(entry("Smith", "John")).ok());
    const QByteArray before = env.fileBytes(kFile);
    QCOMPARE(store.DeleteAddressEntry(name).status, StoreResult::NotFound);
    QCOMPARE(env.fileBytes(kFile), before);
}

void TestAddressStore::replaceWithSameNameMovesEntryToTheEnd()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QVERIFY(store.AddAddressEntry(entry("A", "1")).ok());
    QVERIFY(store.AddAddressEntry(entry("B", "2")).ok());
    QVERIFY(store.AddAddressEntry(entry("C", "3")).ok());

    AddressEntry changed = entry("A", "1", QDate(1999, 9, 9));
    changed.PhoneMobile = QStringLiteral("0777");
    QVERIFY(store.ReplaceAddressEntry(QStringLiteral("A, 1"), changed).ok());

    QCOMPARE(store.ReadAllDisplayNames(), QStringList({"B, 2", "C, 3", "A, 1"}));
    QCOMPARE(stringAt(env, 33), Bytes::string("A, 1"));
    QCOMPARE(stringAt(env, 40), Bytes::string("0777"));
    QCOMPARE(stringAt(env, 43), Bytes::string("09/09/1999"));
    QCOMPARE(env.record(kFile, kLen, 16).left(4), Bytes::count16(3));
    // The block that held the appended copy for a moment is blank again.
    for (int r = 49; r <= 63; ++r)
        QCOMPARE(stringAt(env, r), QByteArray(2, '\0'));
}

void TestAddressStore::tooLongFieldLeavesFileUnchanged()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QVERIFY(store.AddAddressEntry(entry("A", "1")).ok());
    const QByteArray before = env.fileBytes(kFile);

    AddressEntry tooLong = entry("B", "2");
    tooLong.Notes = QString(127, QLatin1Char('n')); // the last field: nothing before it is written
    QCOMPARE(store.AddAddressEntry(tooLong).status, StoreResult::TooLong);
    QCOMPARE(env.fileBytes(kFile), before);
    QCOMPARE(store.ReplaceAddressEntry(QStringLiteral("A, 1"), tooLong).status,
             StoreResult::TooLong);
    QCOMPARE(env.fileBytes(kFile), before);
}

void TestAddressStore::readersGiveWhatWasWritten()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QVERIFY(store.AddAddressEntry(entry(QStringLiteral("Müller"), QStringLiteral("Zoë"))).ok());
    QVERIFY(store.AddAddressEntry(entry("B", "2", QDate(2001, 12, 25), false)).ok());

    QCOMPARE(stringAt(env, 1), Bytes::string("M\xFCller, Zo\xEB"));
    QCOMPARE(store.ReadAddressEntry(0).PhoneOther, QStringLiteral("666"));
    QCOMPARE(store.FindAddressEntry(QStringLiteral("Müller, Zoë")), 0);
    QCOMPARE(store.FindAddressEntry(QStringLiteral("B, 2")), 1);
    QCOMPARE(store.FindAddressEntry(QStringLiteral("B,2")), -1);

    const QList<BirthdayInfo> birthdays = store.ReadBirthdays();
    QCOMPARE(birthdays.size(), 2);
    QCOMPARE(birthdays[0].BirthdayDate, QStringLiteral("05/03/1970"));
    QCOMPARE(birthdays[0].HasBirthday, QStringLiteral("1"));
    QCOMPARE(birthdays[1].DisplayName, QStringLiteral("B, 2"));
    QCOMPARE(birthdays[1].HasBirthday, QStringLiteral("0"));
}

void TestAddressStore::fullFileUsesRecord32767()
{
    QByteArray image(AddressStore::Capacity * 16 * kLen, '\0');
    for (int i = 0; i < AddressStore::Capacity; ++i) {
        const QByteArray name = Bytes::string("N" + QByteArray::number(i));
        image.replace(qsizetype(i) * 16 * kLen, name.size(), name);
        const QByteArray notes = Bytes::string("notes " + QByteArray::number(i));
        image.replace(qsizetype(i * 16 + 14) * kLen, notes.size(), notes);
    }
    image.replace(15 * kLen, 4, Bytes::count16(2048));
    TestEnvironment env;
    env.writeFile(kFile, image);
    QVERIFY(env.openDataFiles());
    AddressStore store;
    QCOMPARE(store.GetEntryCount(), 2048);
    QCOMPARE(store.ReadAllDisplayNames().size(), 2048);
    QCOMPARE(store.ReadAddressEntry(2047).Notes, QStringLiteral("notes 2047"));
    QCOMPARE(store.FindAddressEntry(QStringLiteral("N2047")), 2047);

    // A full book is edited like any other: the entry moves to the last of the 2048 positions,
    // the count stays, and the file keeps its length (the block past the last entry that held
    // the changed entry for a moment is gone again).
    QVERIFY(store.ReplaceAddressEntry(QStringLiteral("N3"), entry("N3", "")).ok());
    QCOMPARE(env.record(kFile, kLen, 16).left(4), Bytes::count16(2048));
    QCOMPARE(env.fileBytes(kFile).size(), image.size());
    QCOMPARE(store.ReadDisplayName(2047), QStringLiteral("N3, "));
    QCOMPARE(stringAt(env, 32767), Bytes::string("Friend"));
    QCOMPARE(stringAt(env, 16 * 2046 + 15), Bytes::string("notes 2047"));
    QCOMPARE(store.ReadDisplayName(3), QStringLiteral("N4"));
    QCOMPARE(store.ReadAllDisplayNames().count(QStringLiteral("N3, ")), 1);

    QVERIFY(store.DeleteAddressEntry(QStringLiteral("N0")).ok());

    QCOMPARE(store.GetEntryCount(), 2047);
    QCOMPARE(stringAt(env, 32767), QByteArray(2, '\0'));
    QCOMPARE(stringAt(env, 16 * 2045 + 15), Bytes::string("notes 2047"));
    QVERIFY(store.ReplaceAddressEntry(QStringLiteral("N5"), entry("N", "5")).ok());
    QCOMPARE(store.ReadDisplayName(2046), QStringLiteral("N, 5"));
    QCOMPARE(stringAt(env, 16 * 2046 + 15), Bytes::string("Friend"));
    QCOMPARE(stringAt(env, 32767), QByteArray(2, '\0')); // held the new entry for a moment
    QCOMPARE(store.FindAddressEntry(QStringLiteral("N5")), -1);
}

void TestAddressStore::letterGroups_data()
{
    QTest::addColumn<QStringList>("surnames");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("a letter whatever its case, sorted ignoring case, file order among equals")
        << QStringList{"adams", "Baker", "Adams", "BLACK", "Bach"} << "A"
        << QStringList{"adams, ", "Adams, "};
    QTest::newRow("QR lists Q and R, P neither")
        << QStringList{"Roberts", "Parker", "Quinn"} << "QR" << QStringList{"Quinn, ", "Roberts, "};
    QTest::newRow("accented letters under their base letter")
        << QStringList{"Émile", " Eve", "Evans"} << "E" << QStringList{"Evans, ", "Émile, "};
    QTest::newRow("O gathers Ö, Ø and o") << QStringList{"Ørsted", "olsen", "Özil"} << "O"
                                          << QStringList{"olsen, ", "Özil, ", "Ørsted, "};
    QTest::newRow("V lists van Hollow")
        << QStringList{"van Hollow", "Vance"} << "V" << QStringList{"van Hollow, ", "Vance, "};
    QTest::newRow("123 gathers digits, blanks and signs")
        << QStringList{"«Qué»", " Eve", "(Office)", "7 Seas", "0800 Taxis", "Evans"} << "123"
        << QStringList{" Eve, ", "(Office), ", "0800 Taxis, ", "7 Seas, ", "«Qué», "};
}

void TestAddressStore::letterGroups()
{
    QFETCH(QStringList, surnames);
    QFETCH(QString, group);
    QFETCH(QStringList, listed);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AddressStore store;
    for (const QString &surname : surnames)
        QVERIFY(store.AddAddressEntry(entry(surname, QString())).ok());
    QCOMPARE(store.NamesOfLetterGroup(group), listed);
}

QTEST_GUILESS_MAIN(TestAddressStore)
#include "tst_address_store.moc"
