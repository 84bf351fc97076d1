// The launcher file as the desktop store writes it, byte for byte.
#include "desktop/desktop_store.h"
#include "test_support.h"

#include <QTest>

namespace {

const QString kFile = QStringLiteral("MyDesk.dat");
constexpr int kLen = 128;

} // namespace

class TestDesktopStore : public QObject {
    Q_OBJECT

private slots:
    void newFileIsEmptyAndFirstAddWritesItsBlock();
    void removeMovesLaterEntriesDown_data();
    void removeMovesLaterEntriesDown();
    void setIconWritesOnlyItsRecordAndKeepsItsText();
    void appendIsRefusedWhenFull();
    void tooLongTextLeavesNothingBehind_data();
    void tooLongTextLeavesNothingBehind();
    void unknownPositionChangesNothing();
};

void TestDesktopStore::newFileIsEmptyAndFirstAddWritesItsBlock()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    DesktopStore store;
    QVERIFY(store.ReadDesktopEntries().isEmpty());
    QCOMPARE(env.fileBytes(kFile), QByteArray(3 * kLen, '\0') + Bytes::count16(0));
    QVERIFY(store.AppendDesktopEntry(QStringLiteral("edit"), QStringLiteral("C:\\Tools\\edit.exe"))
                .ok());

    const QByteArray bytes = env.fileBytes(kFile);
    QCOMPARE(bytes.mid(0, 6), QByteArray::fromHex("0400") + "edit");
    QCOMPARE(bytes.mid(128, 19), QByteArray::fromHex("1100") + "C:\\Tools\\edit.exe");
    QCOMPARE(bytes.mid(256, 6), QByteArray::fromHex("0400") + "none");
    QCOMPARE(bytes.mid(384, 4), QByteArray::fromHex("02000100"));

    const QList<DesktopEntry> entries = store.ReadDesktopEntries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].ButtonCaption, QStringLiteral("edit"));
    QCOMPARE(entries[0].ProgramPath, QStringLiteral("C:\\Tools\\edit.exe"));
    QCOMPARE(entries[0].IconPath, QStringLiteral("none"));
}

void TestDesktopStore::removeMovesLaterEntriesDown_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("first of three") << 3 << 0 << QStringList({"b", "c"});
    QTest::newRow("last of three") << 3 << 2 << QStringList({"a", "b"});
    QTest::newRow("only entry") << 1 << 0 << QStringList();
}

void TestDesktopStore::removeMovesLaterEntriesDown()
{
    QFETCH(int, entries);
    QFETCH(int, removed);
    QFETCH(QStringList, left);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    DesktopStore store;
    for (int i = 0; i < entries; ++i) {
        const QString c = QString(QChar(u'a' + i));
        QVERIFY(store.AppendDesktopEntry(c, "C:\\" + c + ".exe").ok());
    }
    QVERIFY(store.SetDesktopIcon(entries - 1, QStringLiteral("C:\\last.ico")).ok());

    QVERIFY(store.RemoveDesktopEntry(removed).ok());

    QCOMPARE(store.ReadCaptions(), left);
    const int last = entries - 1;
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(env.stringAt(kFile, kLen, 4 * last + k), QByteArray(2, '\0'));
    QCOMPARE(env.record(kFile, kLen, 4).left(4), Bytes::count16(qint16(entries - 1)));
    if (!left.isEmpty()) {
        const QList<DesktopEntry> e = store.ReadDesktopEntries();
        QCOMPARE(e.last().ProgramPath, "C:\\" + left.last() + ".exe");
        QCOMPARE(e.last().IconPath,
                 removed == last ? QStringLiteral("none") : QStringLiteral("C:\\last.ico"));
    }
}

void TestDesktopStore::setIconWritesOnlyItsRecordAndKeepsItsText()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    DesktopStore store;
    for (const char *c : {"a", "b", "c"})
        QVERIFY(store.AppendDesktopEntry(c, QStringLiteral("C:\\x.exe")).ok());
    const QByteArray before = env.fileBytes(kFile);

    QVERIFY(store.SetDesktopIcon(2, QStringLiteral("C:\\pic.ico")).ok());

    const QByteArray after = env.fileBytes(kFile);
    QCOMPARE(env.stringAt(kFile, kLen, 11), Bytes::string("C:\\pic.ico"));
    QCOMPARE(after.left(10 * kLen), before.left(10 * kLen));
    QCOMPARE(after.size(), 10 * kLen + 12);
    // "None" is a path like any other: only "none" marks a button without an icon.
    QVERIFY(store.SetDesktopIcon(0, QStringLiteral("None")).ok());
    QCOMPARE(store.ReadDesktopEntries()[0].IconPath, QStringLiteral("None"));
    QCOMPARE(env.stringAt(kFile, kLen, 3), Bytes::string("None"));
}

void TestDesktopStore::appendIsRefusedWhenFull()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    QVERIFY(PutCount(DesktopStore::FileNumber, 4, DesktopStore::Capacity).ok());
    const QByteArray before = env.fileBytes(kFile);
    DesktopStore store;
    QCOMPARE(store.GetButtonCount(), 8192);
    const StoreResult r = store.AppendDesktopEntry(QStringLiteral("a"), QStringLiteral("C:\\a"));
    QCOMPARE(r.status, StoreResult::CapacityFull);
    QVERIFY(r.message.contains(QStringLiteral("8192")));
    QCOMPARE(env.fileBytes(kFile), before);
}

void TestDesktopStore::tooLongTextLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("path");
    QTest::newRow("path of 127") << "edit"
                                 << "C:\\" + QString(124, QLatin1Char('p'));
    QTest::newRow("caption of 127") << QString(127, QLatin1Char('c')) << "C:\\edit.exe";
}

void TestDesktopStore::tooLongTextLeavesNothingBehind()
{
    QFETCH(QString, caption);
    QFETCH(QString, path);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    DesktopStore store;
    QVERIFY(store.AppendDesktopEntry(QStringLiteral("a"), QStringLiteral("C:\\a.exe")).ok());
    const QByteArray before = env.fileBytes(kFile);

    QCOMPARE(store.AppendDesktopEntry(caption, path).status, StoreResult::TooLong);
    QCOMPARE(env.fileBytes(kFile), before); // no caption left in the free record 5
    QCOMPARE(store.SetDesktopIcon(0, "C:\\" + QString(124, QLatin1Char('i'))).status,
             StoreResult::TooLong);
    QCOMPARE(env.fileBytes(kFile), before);

    // 126 bytes fit exactly.
    QVERIFY(store.AppendDesktopEntry(QStringLiteral("b"), "C:\\" + QString(123, QLatin1Char('p')))
                .ok());
    QCOMPARE(env.stringAt(kFile, kLen, 6).size(), 128);
}

void TestDesktopStore::unknownPositionChangesNothing()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    DesktopStore store;
    QVERIFY(store.AppendDesktopEntry(QStringLiteral("a"), QStringLiteral("C:\\a.exe")).ok());
    const QByteArray before = env.fileBytes(kFile);
    for (int p : {-1, 1, 8192}) {
        QCOMPARE(store.RemoveDesktopEntry(p).status, StoreResult::NotFound);
        QCOMPARE(store.SetDesktopIcon(p, QStringLiteral("x.ico")).status, StoreResult::NotFound);
    }
    QCOMPARE(env.fileBytes(kFile), before);
}

QTEST_GUILESS_MAIN(TestDesktopStore)
#include "tst_desktop_store.moc"
