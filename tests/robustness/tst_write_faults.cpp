// Every write of every store operation fails in turn, and, separately, the operation stops right
// after each of its writes as if the process ended there (the files are then closed and opened
// again as start-up opens them). Each time the files hold the entries as they were before the
// operation or as it leaves them (an operation that moves entries may leave one entry twice,
// never one missing), never an empty or half-written entry within the count; a failure comes
// back as a failed result whose message names the file. An operation puts its file on the disk
// once when it succeeds, and a failing flush is a failed write.
#include "app/module1.h"
#include "robustness.h"
#include "store_images.h"

#include <QTest>

namespace {

// The disk as the test drives it: it counts the writes and the files flushed, fails write
// `failAt` (the flush after the last write counting as one more) or, with `stop`, every write
// after it.
struct Disk {
    int writes = 0;
    QList<int> flushed;
    int failAt = 0; // 0: nothing fails
    bool stop = false;

    Disk()
    {
        RecordDisk::setWriteGate([this](int) {
            ++writes;
            const bool fails = failAt > 0 && (stop ? writes > failAt : writes == failAt);
            return fails ? QStringLiteral("Input/output error") : QString();
        });
        RecordDisk::setFlushHandler([this](int number) {
            flushed.append(number);
            return !stop && writes + 1 == failAt ? QStringLiteral("Input/output error") : QString();
        });
    }
    ~Disk()
    {
        RecordDisk::setWriteGate({});
        RecordDisk::setFlushHandler({});
    }
    void reset(int k = 0, bool stopping = false)
    {
        writes = 0;
        flushed.clear();
        failAt = k;
        stop = stopping;
    }
};

struct Case {
    QString name;
    Store store;
    Kind kind;
    Entries entries; // the store's file before the operation, as the program writes them
    std::function<StoreResult()> op;
    StoreResult::Status status = StoreResult::Ok; // a refused operation writes nothing
    int unreported = 0; // the write whose failure is no loss: the file cut back after a move
    int cut = 0;        // bytes cut off the end of the file
};

Entries samples(Store s, int n)
{
    Entries e;
    for (int i = 1; i <= n; ++i)
        e.append(sampleEntry(s, i));
    return e;
}

QByteArray imageOf(Store s, const Entries &entries)
{
    QList<StoreEntry> image;
    for (const QStringList &e : entries) {
        StoreEntry records;
        for (qsizetype k = 0; k < e.size(); ++k)
            records.append(s == Store::Appointments && k == 4
                               ? StoreRecord::raw(Bytes::flag(e[k] != "0"))
                               : StoreRecord(e[k].toLatin1()));
        image.append(records);
    }
    return storeImage(kDataFiles[int(s)], image);
}

// The operation of `kind` on the entry at `position` of `entries`, with new fields `f`.
Case op(const QString &name, Store s, Kind kind, const Entries &entries, int position,
        QStringList f = {})
{
    const QString key = entries.value(position).value(0);
    f = f.isEmpty() ? sampleEntry(s, 9999) : f;
    return {name, s, kind, entries, [=] { return runOp(s, kind, position, key, f); }};
}

const QList<Case> &cases()
{
    using S = Store;
    using K = Kind;
    static QList<Case> all;
    if (!all.isEmpty())
        return all;
    const Entries a = samples(S::Appointments, 6), n = samples(S::Notes, 5),
                  e = samples(S::Addresses, 5), b = samples(S::Buttons, 5);
    const Entries fullBook = samples(S::Addresses, AddressStore::Capacity);
    const Entries brokenDay = {sampleEntry(S::Appointments, 3), sampleEntry(S::Appointments, 1),
                               sampleEntry(S::Appointments, 2)};
    all = {op("AddAppointment", S::Appointments, K::Add, a, 0),
           op("UpdateAppointment", S::Appointments, K::Edit, a, 2),
           op("DeleteAppointment, first", S::Appointments, K::Delete, a, 0),
           op("DeleteAppointment, last", S::Appointments, K::Delete, a, 5),
           op("DeleteAppointment, numbering broken", S::Appointments, K::Delete, brokenDay, 1),
           op("AppendNote", S::Notes, K::Add, n, 0),
           op("ReplaceNoteText", S::Notes, K::Edit, n, 1),
           op("RemoveNote, first", S::Notes, K::Delete, n, 0),
           op("RemoveNote, third", S::Notes, K::Delete, n, 2),
           op("RemoveNote, last", S::Notes, K::Delete, n, 4),
           op("RemoveNote, last text cut short", S::Notes, K::Delete, n, 0),
           op("RemoveNote, first of 800", S::Notes, K::Delete, samples(S::Notes, 800), 0),
           op("SaveNoteByName, new", S::Notes, K::Add, n, 0),
           op("SaveNoteByName, existing", S::Notes, K::Edit, n, 3),
           op("AddAddressEntry", S::Addresses, K::Add, e, 0),
           op("AddAddressEntry, name taken", S::Addresses, K::Add, e, 0, e[2]),
           op("AddAddressEntry, book full", S::Addresses, K::Add, fullBook, 0),
           op("DeleteAddressEntry, first", S::Addresses, K::Delete, e, 0),
           op("DeleteAddressEntry, first of a full book", S::Addresses, K::Delete, fullBook, 0),
           op("ReplaceAddressEntry", S::Addresses, K::Edit, e, 1),
           op("ReplaceAddressEntry, same name", S::Addresses, K::Edit, e, 1, e[1]),
           op("ReplaceAddressEntry, full book", S::Addresses, K::Edit, fullBook, 3),
           op("AppendDesktopEntry", S::Buttons, K::Add, b, 0),
           op("SetDesktopIcon", S::Buttons, K::Edit, b, 2, {{}, {}, "/icons/new.ico"}),
           op("RemoveDesktopEntry, first", S::Buttons, K::Delete, b, 0),
           op("RemoveDesktopEntry, last", S::Buttons, K::Delete, b, 4)};
    all[10].cut = 400; // the slow path: the last text is not whole in the file
    all[12].op = [] { return NoteStore().SaveNoteByName("New note", "New text"); };
    all[13].op = [] { return NoteStore().SaveNoteByName("Note 4", "Changed text"); };
    all[15].status = StoreResult::NameTaken;
    all[16].status = StoreResult::CapacityFull;
    all[21].unreported = 3;
    return all;
}

void openWith(TestEnvironment &env, const Files &files)
{
    Module1::CloseDataFiles();
    for (auto it = files.begin(); it != files.end(); ++it)
        env.writeFile(it.key(), it.value());
    QVERIFY(env.openDataFiles());
}

} // namespace

class WriteFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void everyWriteFailsInTurn_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < cases().size(); ++i)
            QTest::newRow(qPrintable(cases()[i].name)) << i;
    }

    void everyWriteFailsInTurn()
    {
        QFETCH(int, index);
        const Case &c = cases()[index];
        const int s = int(c.store);
        const QString file = kDataFiles[s].fileName;
        TestEnvironment env;
        Disk disk;
        QByteArray image = imageOf(c.store, c.entries);
        image.chop(c.cut);
        env.writeFile(file, image);
        QVERIFY(env.openDataFiles());
        const Files start = filesIn(env);
        const Stores before = readStores();

        // Undisturbed: the writes it makes, and one flush of its file when it succeeds.
        disk.reset();
        const StoreResult done = c.op();
        QCOMPARE(done.status, c.status);
        const int writes = disk.writes;
        QCOMPARE(disk.flushed, QList<int>(done.ok() ? 1 : 0, kDataFiles[s].number));
        const Stores after = readStores();
        if (!done.ok()) {
            QCOMPARE(writes, 0);
            QCOMPARE(filesIn(env), start);
            return;
        }
        QVERIFY(after != before);

        // Outcomes, for the log: O as before, N as after, D one entry twice.
        QString outcomes[2];
        for (const bool stop : {false, true}) {
            for (int k = 1; k <= writes + !stop; ++k) {
                openWith(env, start);
                disk.reset(k, stop);
                const StoreResult r = c.op();
                if (!stop) {
                    const bool quiet = k == c.unreported;
                    QVERIFY2(quiet
                                 ? r.ok()
                                 : r.status == StoreResult::WriteFailed && r.message.contains(file),
                             qPrintable(QStringLiteral("write %1: %2").arg(k).arg(r.message)));
                    QCOMPARE(disk.flushed.size(), qsizetype(quiet || k > writes));
                }
                disk.reset();
                openWith(env, Files{}); // as start-up opens the files
                Stores found = readStores();
                const Entries got = found[s];
                found[s] = before[s];
                QVERIFY2(found == before, "only the operation's own file changes");
                const bool shift = got != before[s] && got != after[s];
                QVERIFY2(!shift || (movesEntries(c.store, c.kind) &&
                                    interruptedShift(c.store, before[s], after[s], got, false)),
                         qPrintable(
                             QString(stop ? "stopped after write %1" : "write %1 failed").arg(k)));
                // Once every write is made, the operation is done, its flush failing or not.
                if (k - !stop == writes)
                    QCOMPARE(got, after[s]);
                outcomes[stop] += shift ? 'D' : got == before[s] ? 'O' : 'N';
            }
        }
        qInfo("%s: %d writes; write k fails: %s, the flush fails: %s; stops after write k: %s",
              qPrintable(c.name), writes, qPrintable(outcomes[0].chopped(1)),
              qPrintable(outcomes[0].right(1)), qPrintable(outcomes[1]));
    }
};

QTEST_GUILESS_MAIN(WriteFaultsTest)
#include "tst_write_faults.moc"
