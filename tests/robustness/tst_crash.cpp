// The process is killed (SIGKILL) at random points of a long series of adds, edits and deletes
// on the four stores. After each kill every operation that had finished is in the files, and
// the one that was running is absent, complete, or (for the operations that move entries down)
// left one entry twice: nothing is ever lost. A second copy of the program on the same data
// folder stops with a message and writes nothing; once the first copy is killed, the folder
// can be used again.
//
// The same executable, started with --worker <folder> <seed>, is the process that is killed
// (and the first copy): it runs the series that the seed gives and reports each finished
// operation on stdout.
#include "app/module1.h"
#include "robustness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

struct Op {
    Store store = Store::Appointments;
    Kind kind = Kind::Add;
    int position = 0;  // the entry an edit or a delete works on
    QStringList entry; // the new fields of an add or an edit
};

constexpr int kSeriesLength = 1000;
const QStringList kDays = {"20240105", "20240106", "20240107"};

// The next operation of a series: chosen by the random generator from what the model holds,
// so the worker and the checking parent, replaying the same seed, get the same series.
Op nextOp(QRandomGenerator &rng, const Stores &m, int serial)
{
    Op op;
    op.store = Store(rng.bounded(4));
    const Entries &list = m[int(op.store)];
    const int roll = rng.bounded(100);
    op.kind = list.isEmpty() || roll < 45 ? Kind::Add : roll < 70 ? Kind::Edit : Kind::Delete;
    op.position = list.isEmpty() ? 0 : rng.bounded(int(list.size()));
    op.entry = sampleEntry(op.store, serial);
    const QStringList old = list.value(op.position);
    if (op.kind == Kind::Add && op.store == Store::Appointments) { // the next id of a day
        const QString day = kDays[rng.bounded(int(kDays.size()))];
        const auto sameDay = [&](const QStringList &a) { return a[0].startsWith(day); };
        op.entry[0] =
            day + "-" + QString::number(1 + std::count_if(list.begin(), list.end(), sameDay));
    } else if (op.kind == Kind::Edit && op.store == Store::Buttons) { // a new picture
        op.entry = {old[0], old[1], "/icons/picture" + QString::number(serial) + ".ico"};
    } else if (op.kind == Kind::Edit && op.store != Store::Addresses) { // same id or name
        op.entry[0] = old[0];
    }
    return op;
}

void applyOp(Stores &m, const Op &op)
{
    Entries &list = m[int(op.store)];
    const auto sequenceOf = [](const QString &id) { return id.mid(9).toInt(); };
    if (op.kind == Kind::Add) {
        list.append(op.entry);
    } else if (op.kind == Kind::Edit && op.store != Store::Addresses) {
        list[op.position] = op.entry;
    } else { // a delete, or an edit of an address entry, which moves the entry to the end
        const QString id = list.takeAt(op.position)[0];
        if (op.kind == Kind::Edit)
            list.append(op.entry);
        if (op.kind == Kind::Delete && op.store == Store::Appointments) {
            for (QStringList &a : list) { // later ids of the day close up
                if (a[0].left(8) == id.left(8) && sequenceOf(a[0]) > sequenceOf(id))
                    a[0] = a[0].left(9) + QString::number(sequenceOf(a[0]) - 1);
            }
        }
    }
}

// Replays the series of `seed` on `m` up to the first operation for which `stop` holds and
// returns its serial number and the operation, which is not applied.
std::pair<int, Op> replay(quint32 seed, Stores &m, const std::function<bool(int, const Op &)> &stop)
{
    QRandomGenerator rng(seed);
    for (int serial = 1;; ++serial) {
        const Op op = nextOp(rng, m, serial);
        if (stop(serial, op))
            return {serial, op};
        applyOp(m, op);
    }
}

// The worker: runs the series of `seed` in `folder` and reports each finished operation. It
// starts each operation when the parent lets it (one byte on stdin), so the parent can let one
// operation begin and kill the process while it runs.
int runWorker(const char *folder, const char *seed)
{
    Module1::DataFolder = QString::fromLocal8Bit(folder);
    // A killed process leaves what it wrote to the system: putting it on the disk only slows
    // the series down.
    RecordDisk::setFlushHandler([](int) { return QString(); });
    QString error;
    if (!Module1::OpenDataFiles(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    Stores m;
    replay(quint32(std::strtoul(seed, nullptr, 10)), m, [&](int serial, const Op &op) {
        char go = 0;
        if (serial > kSeriesLength || ::read(STDIN_FILENO, &go, 1) != 1)
            return true;
        const QString key = m[int(op.store)].value(op.position).value(0);
        const StoreResult r = runOp(op.store, op.kind, op.position, key, op.entry);
        if (!r.ok()) {
            std::fprintf(stderr, "operation %d failed: %s\n", serial, qPrintable(r.message));
            std::exit(3);
        }
        std::printf("%d\n", serial);
        std::fflush(stdout);
        return false;
    });
    return 0;
}

// The worker process, seen from the parent.
struct Worker : QProcess {
    QByteArray output;
    Worker(const QString &folder, quint32 seed)
    {
        setProcessChannelMode(QProcess::ForwardedErrorChannel);
        start(QCoreApplication::applicationFilePath(), {"--worker", folder, QString::number(seed)});
        waitForStarted();
    }
    int finished() const { return int(output.count('\n')); }
    // Lets the worker run `n` more operations and waits until it reports them or stops.
    int run(int n)
    {
        const int goal = finished() + n;
        write(QByteArray(n, 'g'));
        while (finished() < goal && state() == QProcess::Running) {
            waitForReadyRead(10000);
            output += readAllStandardOutput();
        }
        return finished();
    }
};

} // namespace

class CrashTest : public QObject {
    Q_OBJECT

private slots:
    void killedAtAnyPointLosesNothing_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("killAfter");
        QTest::addColumn<int>("delayNs");
        // Fixed seeds, so a failure repeats. The worker runs `killAfter` operations, is let
        // start the next one and is killed `delayNs` nanoseconds later: before, during or
        // after that operation. Every other row aims at an operation that moves many entries
        // (the longest ones, with the most moments in between).
        for (quint32 seed = 1; seed <= 60; ++seed) {
            QRandomGenerator pick(seed * 7919);
            int killAfter = int(pick.bounded(1, kSeriesLength - 1));
            const int delayNs = int(pick.bounded(seed % 2 ? 1000000 : 400000));
            Stores m;
            const int next = replay(seed, m, [&](int serial, const Op &op) {
                                 return serial >= kSeriesLength ||
                                        (serial > killAfter && movesEntries(op.store, op.kind) &&
                                         m[int(op.store)].size() - op.position > 8);
                             }).first;
            if (seed % 2 == 0 && next < kSeriesLength)
                killAfter = next - 1;
            QTest::addRow("seed %u, kill %d ns into operation %d", seed, delayNs, killAfter + 1)
                << seed << killAfter << delayNs;
        }
    }

    void killedAtAnyPointLosesNothing()
    {
        QFETCH(quint32, seed);
        QFETCH(int, killAfter);
        QFETCH(int, delayNs);
        TestEnvironment env; // a fresh data folder
        Worker worker(env.folder(), seed);
        QCOMPARE(worker.run(killAfter), killAfter);
        // Let the next operation start, and kill the worker a moment later (a busy wait of
        // at most 3 ms: the moment is what the test varies).
        worker.write("g");
        worker.waitForBytesWritten();
        QElapsedTimer moment;
        moment.start();
        while (moment.nsecsElapsed() < delayNs) {
        }
        worker.kill(); // SIGKILL
        QVERIFY(worker.waitForFinished(10000));
        worker.output += worker.readAllStandardOutput();
        QCOMPARE(worker.exitStatus(), QProcess::CrashExit);

        // Replay the series on the model: `before` holds the finished operations, `after` the
        // one that may have been running too.
        const int finished = worker.finished();
        Stores before;
        const Op running =
            replay(seed, before, [&](int serial, const Op &) { return serial > finished; }).second;
        Stores after = before;
        applyOp(after, running);

        QVERIFY(env.openDataFiles());
        const Stores found = readStores();
        Module1::CloseDataFiles();
        if (found == before || found == after)
            return;

        // Only the store of the running operation may differ, and only by an interrupted move.
        const int r = int(running.store);
        Stores othersAsBefore = before;
        othersAsBefore[r] = found[r];
        QVERIFY2(found == othersAsBefore, "only the store of the running operation changed");
        QVERIFY2(movesEntries(running.store, running.kind),
                 "an add or an edit is either complete or absent");
        QVERIFY2(interruptedShift(running.store, before[r], after[r], found[r]),
                 "an interrupted move leaves every entry in the file");
    }

    void secondCopyStopsUntilTheFirstIsKilled()
    {
        TestEnvironment env;
        Worker first(env.folder(), 1);
        QCOMPARE(first.run(1), 1); // the first copy holds the folder and has written to it
        const Files files = filesIn(env);
        QVERIFY(!env.startProgram());
        QCOMPARE(env.messages, QStringList{"Tallowby is already running with the data folder " +
                                           QDir::toNativeSeparators(QDir::currentPath()) + "."});
        QCOMPARE(filesIn(env), files);

        // The first copy dies without closing anything: the system releases its lock.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(env.startProgram());
        QCOMPARE(env.messages.size(), 1);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--worker") == 0) {
        QCoreApplication app(argc, argv);
        return runWorker(argv[2], argv[3]);
    }
    QApplication app(argc, argv);
    CrashTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash.moc"
