// The launcher file as the desktop store writes it, byte for byte.
#include "data/desktop_store.h"
#include "store_steps.h"
#include "test_support.h"

#include <QTest>

class TestDesktopStore : public QObject, StoreFile {
    Q_OBJECT

    DesktopStore store;

    // Caption, program path and picture path of every button, in order.
    QStringList entries() const
    {
        QStringList all;
        for (const DesktopEntry &e : store.ReadDesktopEntries())
            all << e.ButtonCaption << e.ProgramPath << e.IconPath;
        return all;
    }

public:
    TestDesktopStore() : StoreFile(QStringLiteral("MyDesk.dat"), 128) {}

private slots:
    void init() { QVERIFY(openFolder()); }
    void cleanup() { env.reset(); }

    void newFileIsEmptyAndFirstAddWritesItsBlock()
    {
        QVERIFY(store.ReadDesktopEntries().isEmpty());
        QCOMPARE(bytes(), QByteArray(3 * 128, '\0') + Bytes::count16(0));
        QVERIFY(store.AppendDesktopEntry("edit", "C:\\Tools\\edit.exe").ok());
        QCOMPARE(bytes(), fileImage(strings({"edit", "C:\\Tools\\edit.exe", "none"})
                                        << QByteArray::fromHex("02000100"),
                                    128));
        QCOMPARE(entries(), QStringList({"edit", "C:\\Tools\\edit.exe", "none"}));
    }

    void removeMovesLaterEntriesDown_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first of three")
            << 3 << 0 << QStringList({"b", "C:\\b.exe", "none", "c", "C:\\c.exe", "C:\\last.ico"});
        QTest::newRow("last of three")
            << 3 << 2 << QStringList({"a", "C:\\a.exe", "none", "b", "C:\\b.exe", "none"});
        QTest::newRow("only entry") << 1 << 0 << QStringList();
    }
    void removeMovesLaterEntriesDown()
    {
        QFETCH(int, entries);
        QFETCH(int, removed);
        QFETCH(QStringList, left);
        for (const QString &c : QStringList{"a", "b", "c"}.first(entries))
            QVERIFY(store.AppendDesktopEntry(c, "C:\\" + c + ".exe").ok());
        QVERIFY(store.SetDesktopIcon(entries - 1, QStringLiteral("C:\\last.ico")).ok());

        QVERIFY(store.RemoveDesktopEntry(removed).ok());

        QCOMPARE(this->entries(), left);
        // The count is lowered and the old last block blank.
        QCOMPARE(recordAt(4).left(4), Bytes::count16(qint16(entries - 1)));
        QCOMPARE(valuesFrom(4 * entries - 3, strings({"", "", ""})), strings({"", "", ""}));
    }

    void setIconWritesOnlyItsRecordAndKeepsItsText()
    {
        for (const char *c : {"a", "b", "c"})
            QVERIFY(store.AppendDesktopEntry(c, QStringLiteral("C:\\x.exe")).ok());
        const QByteArray before = bytes();

        QVERIFY(store.SetDesktopIcon(2, QStringLiteral("C:\\pic.ico")).ok());

        QCOMPARE(bytes(), before.left(10 * 128) + Bytes::string("C:\\pic.ico"));
        // "None" is a path like any other: only "none" marks a button without an icon.
        QVERIFY(store.SetDesktopIcon(0, QStringLiteral("None")).ok());
        QCOMPARE(store.ReadDesktopEntries()[0].IconPath, QStringLiteral("None"));
        QCOMPARE(stringAt(3), Bytes::string("None"));
    }

    void refusalsLeaveTheFileAsItWas()
    {
        QVERIFY(store.AppendDesktopEntry(QStringLiteral("a"), QStringLiteral("C:\\a.exe")).ok());
        const QByteArray before = bytes();
        for (int p : {-1, 1, 8192}) {
            QCOMPARE(store.RemoveDesktopEntry(p).status, StoreResult::NotFound);
            QCOMPARE(store.SetDesktopIcon(p, QStringLiteral("x.ico")).status,
                     StoreResult::NotFound);
        }
        // 127 bytes: no caption is left in the free record 5 either.
        const QString path127 = "C:\\" + QString(124, QLatin1Char('p'));
        QCOMPARE(store.AppendDesktopEntry("edit", path127).status, StoreResult::TooLong);
        QCOMPARE(store.AppendDesktopEntry(QString(127, QLatin1Char('c')), "C:\\edit.exe").status,
                 StoreResult::TooLong);
        QCOMPARE(store.SetDesktopIcon(0, path127).status, StoreResult::TooLong);
        QCOMPARE(bytes(), before);
        // 126 bytes fit exactly.
        QVERIFY(store.AppendDesktopEntry("b", path127.left(126)).ok());
        QCOMPARE(stringAt(6), Bytes::string(path127.left(126).toLatin1()));

        QVERIFY(PutCount(DesktopStore::FileNumber, 4, DesktopStore::Capacity).ok());
        const QByteArray full = bytes();
        QCOMPARE(store.GetButtonCount(), 8192);
        const StoreResult r =
            store.AppendDesktopEntry(QStringLiteral("a"), QStringLiteral("C:\\a"));
        QCOMPARE(r.status, StoreResult::CapacityFull);
        QVERIFY(r.message.contains(QStringLiteral("8192")));
        QCOMPARE(bytes(), full);
    }
};

QTEST_GUILESS_MAIN(TestDesktopStore)
#include "tst_desktop_store.moc"
