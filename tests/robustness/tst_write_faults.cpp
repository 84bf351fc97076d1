// Every write of every store operation fails in turn, and, separately, the operation stops right
// after each of its writes as if the process ended there (the files are then closed and opened
// again as start-up opens them). Each time the files hold the entries as they were before the
// operation or as it leaves them (an operation that moves entries may leave one entry twice,
// never one missing), never an empty or half-written entry within the count; a failure comes
// back as a failed result whose message names the file. An add that meets the real file size
// limit, with no room or room for part of the entry, fails the same way and is made in full once
// the file can grow again. An operation puts its file on the disk once when it succeeds, and a
// failing flush is a failed write.
#include "app/module1.h"
#include "robustness.h"
#include "store_images.h"

#include <QTest>

#include <csignal>

namespace {

// The disk as the test drives it: it counts the writes and the files flushed, and fails the
// writes numbered `from` to `to` (the flush after the last write counting as one more).
struct Disk {
    int from = 1 << 30, to = 1 << 30, writes = 0;
    QList<int> flushed;
} g_disk;
QString fault(int write)
{
    return write >= g_disk.from && write <= g_disk.to ? "Input/output error" : QString();
}

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
using R = StoreResult;
constexpr int kFull = AddressStore::Capacity;
const auto saveOld = [] { return NoteStore().SaveNoteByName("Note 4", "Text"); };
const Case kCases[] = {
    {"AddAppointment", S::Appointments, K::Add, 6, 0},
    {"UpdateAppointment", S::Appointments, K::Edit, 6, 2},
    {"DeleteAppointment, first", S::Appointments, K::Delete, 6, 0},
    {"DeleteAppointment, numbering broken", S::Appointments, K::Delete, -3, 1},
    {"AppendNote", S::Notes, K::Add, 5, 0},
    {"ReplaceNoteText", S::Notes, K::Edit, 5, 1},
    {"RemoveNote, first of 800", S::Notes, K::Delete, 800, 0},
    {"RemoveNote, last text cut short", S::Notes, K::Delete, 5, 0, {}, {}, R::Ok, 0, 400},
    {"SaveNoteByName, existing", S::Notes, K::Edit, 5, 3, {}, saveOld},
    {"AddAddressEntry", S::Addresses, K::Add, 5, 0},
    {"AddAddressEntry, book full", S::Addresses, K::Add, kFull, 0, {}, {}, R::CapacityFull},
    {"DeleteAddressEntry", S::Addresses, K::Delete, 5, 0},
    {"ReplaceAddressEntry", S::Addresses, K::Edit, 5, 1},
    {"ReplaceAddressEntry, book full", S::Addresses, K::Edit, kFull, 3, {}, {}, R::Ok, 3},
    {"AppendDesktopEntry", S::Buttons, K::Add, 5, 0},
    {"SetDesktopIcon", S::Buttons, K::Edit, 5, 2, {"", "", "/icons/new.ico"}},
    {"RemoveDesktopEntry", S::Buttons, K::Delete, 5, 0}};

} // namespace

class WriteFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the program does: a write past the size limit fails instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        RecordDisk::setWriteGate([](int) { return fault(++g_disk.writes); });
        RecordDisk::setFlushHandler([](int number) {
            g_disk.flushed.append(number);
            return fault(g_disk.writes + 1);
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
        for (int i = 1; i <= std::abs(c.count); ++i)
            QVERIFY(runOp(c.store, K::Add, 0, {},
                          sampleEntry(c.store, c.count < 0 ? (i + 1) % 3 + 1 : i))
                        .ok());
        // Puts `files` in the folder and opens the files again as start-up does.
        const auto reopen = [&](const Files &files) {
            for (auto it = files.begin(); it != files.end(); ++it)
                env.writeFile(it.key(), it.value());
            return env.openDataFiles();
        };
        Files start = filesIn(env);
        start[file].chop(c.cut);
        QVERIFY(reopen(start));
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

        // Modes: write k fails (k past the last write: the flush); the operation stops after
        // write k; an add meets the file size limit with room for (k - 1) * 150 bytes. The log
        // gives the outcome of each: O the entries as before, N as after, D one entry twice.
        QString log = QString::number(writes) + " writes:";
        for (int mode = 0; mode < 3; ++mode) {
            const int last = mode == 0 ? writes + 1 : mode == 1 ? writes : c.kind == K::Add ? 2 : 0;
            for (int k = 1; k <= last; ++k) {
                QVERIFY(reopen(start));
                g_disk = {mode == 2 ? 1 << 30 : k + mode, mode == 0 ? k : 1 << 30, 0, {}};
                auto [limited, limit] =
                    fileSizeLimit(mode == 2 ? start[file].size() + (k - 1) * 150 : -1);
                const StoreResult r = run();
                limit.reset();
                QVERIFY(limited);
                const bool quiet = mode == 1 || k == c.unreported;
                QVERIFY2(quiet ||
                             (r.status == StoreResult::WriteFailed && r.message.contains(file)),
                         qPrintable(QStringLiteral("write %1: %2").arg(k).arg(r.message)));
                QVERIFY(mode == 1 || g_disk.flushed.size() == (quiet || k > writes));
                g_disk = {};
                QVERIFY(reopen({}));
                Stores found = readStores();
                const Entries got = found[s];
                found[s] = before[s];
                QVERIFY2(found == before, "only the operation's own file changes");
                const bool shift = got != before[s] && got != after[s];
                QVERIFY2(!shift || (movesEntries(c.store, c.kind) &&
                                    interruptedShift(c.store, before[s], after[s], got, false)),
                         qPrintable(QStringLiteral("mode %1, write %2").arg(mode).arg(k)));
                // Once every write is made, the operation is done, its flush failing or not.
                if (mode < 2 && k - (mode == 0) == writes)
                    QCOMPARE(got, after[s]);
                log += QString(k == 1 ? " " : "") + (shift ? 'D' : got == before[s] ? 'O' : 'N');
                // The bytes before the limit stay; with room again, the add is made in full.
                QVERIFY(mode < 2 || (filesIn(env)[file].startsWith(start[file]) && run().ok() &&
                                     readStores()[s] == after[s]));
            }
        }
        qInfo("%s: %s", c.name, qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(WriteFaultsTest)
#include "tst_write_faults.moc"
