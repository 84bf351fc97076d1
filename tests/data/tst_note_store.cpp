// The notes file as the note store writes it, byte for byte.
#include "data/note_store.h"
#include "store_steps.h"
#include "test_support.h"

#include <QTest>

class TestNoteStore : public QObject, StoreFile {
    Q_OBJECT

    NoteStore store;

    // Appends the notes "N<n>" with the text "T<n>", n = 1 to `count`.
    void appendNotes(int count)
    {
        for (int n = 1; n <= count; ++n)
            QVERIFY(
                store.AppendNote(QStringLiteral("N%1").arg(n), QStringLiteral("T%1").arg(n)).ok());
    }

public:
    TestNoteStore() : StoreFile(QStringLiteral("Notes.dat"), 500) {}

private slots:
    void init() { QVERIFY(openFolder()); }
    void cleanup() { env.reset(); }

    void firstNoteWritesNameTextAndCount()
    {
        QCOMPARE(store.GetNoteCount(), 0);
        QVERIFY(store.ReadNoteNames().isEmpty());
        QVERIFY(store.AppendNote("Note", "Buy milk").ok());
        QCOMPARE(bytes(), fileImage(strings({"Note", "Buy milk"}) << Bytes::count16(1), 500));
        QCOMPARE(store.ReadNoteNames(), QStringList({"Note"}));
        QCOMPARE(store.ReadNote(1).NoteText, QStringLiteral("Buy milk"));
    }

    void replaceKeepsNameAndPlace()
    {
        appendNotes(2);
        QVERIFY(store.ReplaceNoteText(2, "  new\r\ntext  ").ok());
        QVERIFY(store.ReplaceNoteText(1, QString()).ok());
        const QByteArrayList stored = {Bytes::string("N1"), Bytes::string(""), Bytes::count16(2),
                                       Bytes::string("N2"), Bytes::string("  new\r\ntext  ")};
        QCOMPARE(valuesFrom(1, stored), stored);
        QCOMPARE(store.GetNoteCount(), 2);
    }

    void findTakesExactNameAndLastMatch()
    {
        for (const char *name : {"Note", "note", "Note"})
            QVERIFY(store.AppendNote(name, "text").ok());
        // The last exact match; another case; a trailing blank; no name.
        QCOMPARE((QList<int>{store.FindNoteByName("Note"), store.FindNoteByName("note"),
                             store.FindNoteByName("Note "), store.FindNoteByName("")}),
                 (QList<int>{3, 2, 0, 0}));
    }

    void removeMovesLaterNotesDown_data()
    {
        QTest::addColumn<int>("removed");
        QTest::addColumn<QByteArrayList>("left");
        QTest::newRow("middle of three") << 2 << QByteArrayList({"1", "3"});
        QTest::newRow("first of three") << 1 << QByteArrayList({"2", "3"});
        QTest::newRow("last of three") << 3 << QByteArrayList({"1", "2"});
    }
    void removeMovesLaterNotesDown()
    {
        QFETCH(int, removed);
        QFETCH(QByteArrayList, left);
        appendNotes(3);
        const qsizetype size = bytes().size();

        QVERIFY(store.RemoveNote(removed).ok());

        // The old last note is blank; the file keeps its length.
        const QByteArrayList stored = strings({"N" + left[0], "T" + left[0]})
                                      << Bytes::count16(2)
                                      << strings({"N" + left[1], "T" + left[1], "", ""});
        QCOMPARE(valuesFrom(1, stored), stored);
        QCOMPARE(bytes().size(), size);
        QCOMPARE(store.ReadNoteNames(), QStringList({"N" + left[0], "N" + left[1]}));
    }

    void refusalsLeaveTheFileAsItWas()
    {
        appendNotes(1);
        const QByteArray before = bytes();
        for (int n : {0, 2, -1}) {
            QCOMPARE(store.RemoveNote(n).status, StoreResult::NotFound);
            QCOMPARE(store.ReplaceNoteText(n, "x").status, StoreResult::NotFound);
        }
        const QString tooLong(499, QLatin1Char('x'));
        QCOMPARE(store.AppendNote("Note", tooLong).status, StoreResult::TooLong);
        QCOMPARE(store.AppendNote(tooLong, "text").status, StoreResult::TooLong);
        QCOMPARE(store.ReplaceNoteText(1, tooLong).status, StoreResult::TooLong);
        QCOMPARE(bytes(), before);
        // The longest text that fits a record.
        QVERIFY(store.ReplaceNoteText(1, QString(498, QLatin1Char('t'))).ok());
        QCOMPARE(stringAt(2), Bytes::string(QByteArray(498, 't')));

        QVERIFY(PutCount(NoteStore::FileNumber, 3, NoteStore::Capacity).ok());
        const QByteArray full = bytes();
        QCOMPARE(store.GetNoteCount(), 10922);
        const StoreResult r = store.AppendNote("Note", "x");
        QCOMPARE(r.status, StoreResult::CapacityFull);
        QVERIFY(r.message.contains(QStringLiteral("10922")));
        QCOMPARE(bytes(), full);
    }
};

QTEST_GUILESS_MAIN(TestNoteStore)
#include "tst_note_store.moc"
