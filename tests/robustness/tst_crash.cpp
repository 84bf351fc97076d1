// The process is killed (SIGKILL) at random points of a long series of adds, edits and deletes
// on the four stores. After each kill every operation that had finished is in the files, and
// the one that was running is absent, complete, or (for the operations that move entries down)
// left one entry twice: nothing is ever lost. A second copy of the program on the same data
// folder stops with a message and writes nothing; once the first copy is killed, the folder
// can be used again.
//
// The same executable, started with --worker <folder> <seed> [<n> <ns>], is the process that is
// killed (and the first copy): it runs the series that the seed gives and reports each finished
// operation on stdout. A timer sends it SIGKILL <ns> nanoseconds after operation <n> begins:
// the operations take some microseconds, too short for another process to aim at.
//
// The normal run kills 60 workers (seeds 1 to 60). TALLOWBY_LONG=1 kills 1000 (seeds 1 to
// 1000), TALLOWBY_LONG=<n> with n > 1 kills n, and writes a tally to crash-tally.txt in the
// folder the test was started in: the kills, the operations finished before them, and for each
// kind of interrupted operation how often the files held the old state, the new state, or (for
// an operation that moves entries) one entry twice, with the time the run took. An operation
// that finished and was reported before the kill counts as finished, not as interrupted.
#include "app/module1.h"
#include "robustness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
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
const char *const kStoreNames[] = {"appointment", "note", "address", "button"};
const char *const kKindNames[] = {"add", "edit", "delete"};

// The kills of the long mode; 0 in the normal run.
int longKills()
{
    const int n = qEnvironmentVariableIntValue("TALLOWBY_LONG");
    return n == 1 ? 1000 : std::max(n, 0);
}

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

// Sends this process SIGKILL `ns` nanoseconds from now (less than a second).
void killSelfIn(long ns)
{
    sigevent event{};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGKILL;
    timer_t timer{};
    itimerspec when{};
    when.it_value.tv_nsec = std::max(ns, 1L); // 0 would disarm the timer
    if (timer_create(CLOCK_MONOTONIC, &event, &timer) != 0 ||
        timer_settime(timer, 0, &when, nullptr) != 0)
        std::abort();
}

// The worker: runs the series of `seed` in `folder` and reports each finished operation. It
// starts each operation when the parent lets it (one byte on stdin), and is killed `killNs`
// nanoseconds after operation `killAt` begins.
int runWorker(const char *folder, const char *seed, int killAt, long killNs)
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
        if (serial == killAt)
            killSelfIn(killNs);
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
    Worker(const QString &folder, quint32 seed, int killAt = 0, int killNs = 0)
    {
        setProcessChannelMode(QProcess::ForwardedErrorChannel);
        start(QCoreApplication::applicationFilePath(),
              {"--worker", folder, QString::number(seed), QString::number(killAt),
               QString::number(killNs)});
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
    // What the kills found. For each store and kind of the interrupted operation: how often it
    // left the old state, the new state, one entry twice, or anything else (a fault).
    QMap<QString, std::array<int, 4>> m_outcomes;
    int m_kills = 0, m_lateKills = 0; // late: after the operation they aimed at had finished
    qint64 m_finished = 0;
    QElapsedTimer m_time;
    QString m_tallyFile;

private slots:
    void initTestCase()
    {
        m_tallyFile = QDir::current().absoluteFilePath(QStringLiteral("crash-tally.txt"));
        m_time.start();
    }

    void cleanupTestCase()
    {
        if (longKills() == 0)
            return;
        QString text = QString::asprintf(
            "%d kills in %.1f s, %lld operations finished before them, %d kills after the "
            "operation they aimed at\ninterrupted: old state, new state, one entry twice, fault\n",
            m_kills, double(m_time.elapsed()) / 1000, m_finished, m_lateKills);
        for (auto it = m_outcomes.cbegin(); it != m_outcomes.cend(); ++it)
            text += QString::asprintf("%s: %d, %d, %d, %d\n", qPrintable(it.key()), it->at(0),
                                      it->at(1), it->at(2), it->at(3));
        QFile file(m_tallyFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
        std::printf("%s(written to %s)\n", qPrintable(text), qPrintable(m_tallyFile));
    }

    void killedAtAnyPointLosesNothing_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("killAfter");
        QTest::addColumn<int>("delayNs");
        // Fixed seeds, so a failure repeats. The worker runs `killAfter` operations, is let
        // start the next one and is killed `delayNs` nanoseconds into it: before its first
        // write, during or after it. Every other row aims at an operation that moves many entries
        // (the longest ones, with the most moments in between).
        for (quint32 seed = 1; seed <= quint32(longKills() ? longKills() : 60); ++seed) {
            QRandomGenerator pick(seed * 7919);
            int killAfter = int(pick.bounded(1, kSeriesLength - 1));
            const int delayNs = int(longKills() ? pick.bounded(seed % 2 ? 30000 : 100000)
                                                : pick.bounded(seed % 2 ? 1000000 : 400000));
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
        // The long mode's worker kills itself with a timer `delayNs` into the next operation.
        // In the normal run the parent kills it `delayNs` after letting that operation start
        // (a busy wait of at most 1 ms), mostly just before or just after the operation.
        Worker worker(env.folder(), seed, longKills() ? killAfter + 1 : 0, delayNs);
        QCOMPARE(worker.run(killAfter), killAfter);
        worker.write("g");
        worker.waitForBytesWritten();
        QElapsedTimer moment;
        moment.start();
        while (!longKills() && moment.nsecsElapsed() < delayNs) {
        }
        if (!longKills())
            worker.kill(); // SIGKILL
        QVERIFY(worker.waitForFinished(10000));
        worker.output += worker.readAllStandardOutput();
        QCOMPARE(worker.exitStatus(), QProcess::CrashExit);
        ++m_kills;

        // Replay the series on the model: `before` holds the finished operations, `after` the
        // one that may have been running too.
        const int finished = worker.finished();
        m_finished += finished;
        Stores before;
        const Op running =
            replay(seed, before, [&](int serial, const Op &) { return serial > finished; }).second;
        Stores after = before;
        applyOp(after, running);

        QVERIFY(env.openDataFiles());
        const Stores found = readStores();
        Module1::CloseDataFiles();
        const int r = int(running.store);
        // Tallies the outcome of the operation the kill came into (none when it had finished).
        const auto tally = [&](int outcome) {
            m_lateKills += finished > killAfter;
            if (finished == killAfter)
                ++m_outcomes[QStringLiteral("%1 %2").arg(kStoreNames[r],
                                                         kKindNames[int(running.kind)])][outcome];
        };
        if (found == before || found == after)
            return tally(found == before ? 0 : 1);

        // Only the store of the running operation may differ, and only by an interrupted move.
        Stores othersAsBefore = before;
        othersAsBefore[r] = found[r];
        tally(found == othersAsBefore && movesEntries(running.store, running.kind) &&
                      interruptedShift(running.store, before[r], after[r], found[r])
                  ? 2
                  : 3);
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
    if (argc == 6 && std::strcmp(argv[1], "--worker") == 0) {
        QCoreApplication app(argc, argv);
        return runWorker(argv[2], argv[3], std::atoi(argv[4]), std::atol(argv[5]));
    }
    QApplication app(argc, argv);
    CrashTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash.moc"
