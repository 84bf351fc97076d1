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

// The disk as the test drives it: it counts the writes and the files flushed, and fails write
// `failAt` (the flush after the last write counting as one more) or, with `stop`, every write
// after it.
struct Disk {
    int failAt = 1 << 30;
    bool stop = false;
    int writes = 0;
    QList<int> flushed;
} g_disk;
const QString kFault = QStringLiteral("Input/output error");

struct Case {
    const char *name;
    Store store;
    Kind kind;
    int count;       // sample entries 1 to count added first; -3: ids 3, 1, 2 of one day
    int position;    // of the entry the operation works on
    QStringList f{}; // the new fields, when not those of sample entry 9999
    std::function<StoreResult()> op{};            // when not runOp's
    StoreResult::Status status = StoreResult::Ok; // a refused operation writes nothing
    int unreported = 0; // the write whose failure is no loss: the file cut back after a move
    int cut = 0;        // bytes cut off the end of the file
};

using S = Store;
using K = Kind;
const Case kCases[] = {
    {"AddAppointment", S::Appointments, K::Add, 6, 0},
    {"UpdateAppointment", S::Appointments, K::Edit, 6, 2},
    {"DeleteAppointment, first", S::Appointments, K::Delete, 6, 0},
    {"DeleteAppointment, last", S::Appointments, K::Delete, 6, 5},
    {"DeleteAppointment, numbering broken", S::Appointments, K::Delete, -3, 1},
    {"AppendNote", S::Notes, K::Add, 5, 0},
    {"ReplaceNoteText", S::Notes, K::Edit, 5, 1},
    {"RemoveNote, first of 800", S::Notes, K::Delete, 800, 0},
    {"RemoveNote, last", S::Notes, K::Delete, 5, 4},
    {"RemoveNote, last text cut short", S::Notes, K::Delete, 5, 0, {}, {}, StoreResult::Ok, 0, 400},
    {"SaveNoteByName, new",
     S::Notes,
     K::Add,
     5,
     0,
     {},
     [] { return NoteStore().SaveNoteByName("New", "Text"); }},
    {"SaveNoteByName, existing",
     S::Notes,
     K::Edit,
     5,
     3,
     {},
     [] { return NoteStore().SaveNoteByName("Note 4", "Text"); }},
    {"AddAddressEntry", S::Addresses, K::Add, 5, 0},
    {"AddAddressEntry, book full",
     S::Addresses,
     K::Add,
     AddressStore::Capacity,
     0,
     {},
     {},
     StoreResult::CapacityFull},
    {"DeleteAddressEntry", S::Addresses, K::Delete, 5, 0},
    {"ReplaceAddressEntry", S::Addresses, K::Edit, 5, 1},
    {"ReplaceAddressEntry, book full",
     S::Addresses,
     K::Edit,
     AddressStore::Capacity,
     3,
     {},
     {},
     StoreResult::Ok,
     3},
    {"AppendDesktopEntry", S::Buttons, K::Add, 5, 0},
    {"SetDesktopIcon", S::Buttons, K::Edit, 5, 2, {"", "", "/icons/new.ico"}},
    {"RemoveDesktopEntry", S::Buttons, K::Delete, 5, 0}};

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
    void initTestCase()
    {
        RecordDisk::setWriteGate([](int) {
            ++g_disk.writes;
            const bool fails =
                g_disk.stop ? g_disk.writes > g_disk.failAt : g_disk.writes == g_disk.failAt;
            return fails ? kFault : QString();
        });
        RecordDisk::setFlushHandler([](int number) {
            g_disk.flushed.append(number);
            return !g_disk.stop && g_disk.writes + 1 == g_disk.failAt ? kFault : QString();
        });
    }

    void everyWriteFailsInTurn_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kCases)); ++i)
            QTest::newRow(kCases[i].name) << i;
    }

    void everyWriteFailsInTurn()
    {
        QFETCH(int, index);
        const Case &c = kCases[index];
        const int s = int(c.store);
        const QString file = kDataFiles[s].fileName;
        TestEnvironment env;
        g_disk = {};
        QVERIFY(env.openDataFiles());
        for (int i = 1; i <= std::abs(c.count); ++i) {
            const int n = c.count < 0 ? (i + 1) % 3 + 1 : i;
            QVERIFY(runOp(c.store, K::Add, 0, {}, sampleEntry(c.store, n)).ok());
        }
        Files start = filesIn(env);
        start[file].chop(c.cut);
        openWith(env, start);
        const Stores before = readStores();
        const QString key = before[s].value(c.position).value(0);
        const auto run = [&] {
            const QStringList f = c.f.isEmpty() ? sampleEntry(c.store, 9999) : c.f;
            return c.op ? c.op() : runOp(c.store, c.kind, c.position, key, f);
        };

        // Undisturbed: the writes it makes, and one flush of its file when it succeeds.
        g_disk = {};
        const StoreResult done = run();
        QCOMPARE(done.status, c.status);
        const int writes = g_disk.writes;
        QCOMPARE(g_disk.flushed, QList<int>(done.ok() ? 1 : 0, kDataFiles[s].number));
        const Stores after = readStores();
        QCOMPARE(after == before, !done.ok());
        QCOMPARE(filesIn(env) == start, writes == 0);
        if (!done.ok())
            return;

        // Outcomes, for the log: O as before, N as after, D one entry twice.
        QString outcomes[2];
        for (const bool stop : {false, true}) {
            for (int k = 1; k <= writes + !stop; ++k) {
                openWith(env, start);
                g_disk = {k, stop, 0, {}};
                const StoreResult r = run();
                const bool quiet = stop || k == c.unreported;
                QVERIFY2(quiet ||
                             (r.status == StoreResult::WriteFailed && r.message.contains(file)),
                         qPrintable(QStringLiteral("write %1: %2").arg(k).arg(r.message)));
                QVERIFY(stop || g_disk.flushed.size() == (quiet || k > writes));
                g_disk = {};
                openWith(env, {}); // as start-up opens the files
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
              c.name, writes, qPrintable(outcomes[0].chopped(1)), qPrintable(outcomes[0].right(1)),
              qPrintable(outcomes[1]));
    }

    void cleanupTestCase()
    {
        RecordDisk::setWriteGate({});
        RecordDisk::setFlushHandler({});
    }
};

QTEST_GUILESS_MAIN(WriteFaultsTest)
#include "tst_write_faults.moc"
