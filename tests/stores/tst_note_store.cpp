// The notes file as the note store writes it, byte for byte.
#include "notes/note_store.h"
#include "test_support.h"

#include <QTest>

namespace {

const QString kFile = QStringLiteral("Notes.dat");
constexpr int kLen = 500;

} // namespace

class TestNoteStore : public QObject {
    Q_OBJECT

private slots:
    void firstNoteWritesNameTextAndCount();
    void replaceKeepsNameAndPlace();
    void findTakesExactNameAndLastMatch_data();
    void findTakesExactNameAndLastMatch();
    void removeMovesLaterNotesDown_data();
    void removeMovesLaterNotesDown();
    void appendIsRefusedWhenFull();
    void tooLongTextLeavesFileUnchanged_data();
    void tooLongTextLeavesFileUnchanged();
    void unknownNoteNumberChangesNothing_data();
    void unknownNoteNumberChangesNothing();
};

void TestNoteStore::firstNoteWritesNameTextAndCount()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    NoteStore store;
    QCOMPARE(store.GetNoteCount(), 0);
    QVERIFY(store.ReadNoteNames().isEmpty());

    QVERIFY(store.AppendNote(QStringLiteral("Note"), QStringLiteral("Buy milk")).ok());

    QCOMPARE(env.record(kFile, kLen, 3).left(4), Bytes::count16(1));
    QCOMPARE(env.stringAt(kFile, kLen, 1), Bytes::string("Note"));
    QCOMPARE(env.stringAt(kFile, kLen, 2), Bytes::string("Buy milk"));
    QCOMPARE(store.ReadNoteNames(), QStringList({"Note"}));
    QCOMPARE(store.ReadNote(1).NoteText, QStringLiteral("Buy milk"));
}

void TestNoteStore::replaceKeepsNameAndPlace()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    NoteStore store;
    QVERIFY(store.AppendNote(QStringLiteral("One"), QStringLiteral("first")).ok());
    QVERIFY(store.AppendNote(QStringLiteral("Two"), QStringLiteral("second text")).ok());
    const QByteArray before = env.fileBytes(kFile);

    QVERIFY(store.ReplaceNoteText(2, QStringLiteral("  new\r\ntext  ")).ok());

    QCOMPARE(env.stringAt(kFile, kLen, 5), Bytes::string("  new\r\ntext  "));
    QCOMPARE(env.stringAt(kFile, kLen, 4), Bytes::string("Two"));
    QCOMPARE(env.fileBytes(kFile).left(4 * kLen), before.left(4 * kLen));
    QCOMPARE(store.GetNoteCount(), 2);

    QVERIFY(store.ReplaceNoteText(1, QString()).ok());
    QCOMPARE(env.stringAt(kFile, kLen, 2), QByteArray(2, '\0'));
}

void TestNoteStore::findTakesExactNameAndLastMatch_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("found");
    QTest::newRow("exact") << "Note" << 3;
    QTest::newRow("other case") << "note" << 2;
    QTest::newRow("trailing blank") << "Note " << 0;
    QTest::newRow("empty name") << "" << 0;
}

void TestNoteStore::findTakesExactNameAndLastMatch()
{
    QFETCH(QString, name);
    QFETCH(int, found);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    NoteStore store;
    QVERIFY(store.AppendNote(QStringLiteral("Note"), QStringLiteral("a")).ok());
    QVERIFY(store.AppendNote(QStringLiteral("note"), QStringLiteral("b")).ok());
    QVERIFY(store.AppendNote(QStringLiteral("Note"), QStringLiteral("c")).ok());
    QCOMPARE(store.FindNoteByName(name), found);
}

void TestNoteStore::removeMovesLaterNotesDown_data()
{
    QTest::addColumn<int>("removed");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("middle of three") << 2 << QStringList({"N1", "N3"});
    QTest::newRow("first of three") << 1 << QStringList({"N2", "N3"});
    QTest::newRow("last of three") << 3 << QStringList({"N1", "N2"});
}

void TestNoteStore::removeMovesLaterNotesDown()
{
    QFETCH(int, removed);
    QFETCH(QStringList, left);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    NoteStore store;
    for (int n = 1; n <= 3; ++n)
        QVERIFY(store.AppendNote(QStringLiteral("N%1").arg(n), QStringLiteral("T%1").arg(n)).ok());
    const qsizetype size = env.fileBytes(kFile).size();

    QVERIFY(store.RemoveNote(removed).ok());

    QCOMPARE(store.ReadNoteNames(), left);
    QCOMPARE(env.stringAt(kFile, kLen, 7), QByteArray(2, '\0'));
    QCOMPARE(env.stringAt(kFile, kLen, 8), QByteArray(2, '\0'));
    QCOMPARE(env.record(kFile, kLen, 3).left(4), Bytes::count16(2));
    QCOMPARE(env.stringAt(kFile, kLen, 5), Bytes::string(("T" + left[1].mid(1)).toLatin1()));
    QCOMPARE(env.fileBytes(kFile).size(), size);
}

void TestNoteStore::appendIsRefusedWhenFull()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    QVERIFY(PutCount(NoteStore::FileNumber, 3, NoteStore::Capacity).ok());
    const QByteArray before = env.fileBytes(kFile);
    NoteStore store;
    QCOMPARE(store.GetNoteCount(), 10922);
    const StoreResult r = store.AppendNote(QStringLiteral("Note"), QStringLiteral("x"));
    QCOMPARE(r.status, StoreResult::CapacityFull);
    QVERIFY(r.message.contains(QStringLiteral("10922")));
    QCOMPARE(env.fileBytes(kFile), before);
}

void TestNoteStore::tooLongTextLeavesFileUnchanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("text of 499") << "Note" << QString(499, QLatin1Char('t'));
    QTest::newRow("name of 499") << QString(499, QLatin1Char('n')) << "text";
}

void TestNoteStore::tooLongTextLeavesFileUnchanged()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    NoteStore store;
    QVERIFY(store.AppendNote(QStringLiteral("One"), QStringLiteral("first")).ok());
    const QByteArray before = env.fileBytes(kFile);
    QCOMPARE(store.AppendNote(name, text).status, StoreResult::TooLong);
    QCOMPARE(env.fileBytes(kFile), before);
    QCOMPARE(store.ReplaceNoteText(1, QString(499, QLatin1Char('t'))).status, StoreResult::TooLong);
    QCOMPARE(env.fileBytes(kFile), before);
    QVERIFY(store.ReplaceNoteText(1, QString(498, QLatin1Char('t'))).ok());
    QCOMPARE(env.stringAt(kFile, kLen, 2).size(), 500);
}

void TestNoteStore::unknownNoteNumberChangesNothing_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("zero") << 0;
    QTest::newRow("past the count") << 2;
    QTest::newRow("negative") << -1;
}

void TestNoteStore::unknownNoteNumberChangesNothing()
{
    QFETCH(int, n);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    NoteStore store;
    QVERIFY(store.AppendNote(QStringLiteral("One"), QStringLiteral("first")).ok());
    const QByteArray before = env.fileBytes(kFile);
    QCOMPARE(store.RemoveNote(n).status, StoreResult::NotFound);
    QCOMPARE(store.ReplaceNoteText(n, QStringLiteral("x")).status, StoreResult::NotFound);
    QCOMPARE(env.fileBytes(kFile), before);
}

QTEST_GUILESS_MAIN(TestNoteStore)
#include "tst_note_store.moc"
