// The process is killed (SIGKILL) at random points of a long series of adds, edits and deletes
// on the four stores. After each kill every operation that had finished is in the files, and
// the one that was running is absent, complete, or (for the operations that move entries down)
// left one entry twice: nothing is ever lost.
//
// The same executable, started with --worker <folder> <seed>, is the process that is killed:
// it runs the series that the seed gives and reports each finished operation on stdout.
#include "app/module1.h"
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/desktop_store.h"
#include "data/note_store.h"
#include "test_support.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>

#include <array>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// What the files should hold: per store, in the order of `Store`, each entry as its texts in
// field order. Appointments: id, subject, start, end, reminder, minutes, description; notes:
// name, text; addresses: display name, name, surname, then the other twelve; buttons: caption,
// program path, icon path.
using Model = std::array<QList<QStringList>, 4>;

enum class Kind { Add, Edit, Delete };
enum class Store { Appointments, Notes, Addresses, Buttons };

struct Op {
    Store store = Store::Appointments;
    Kind kind = Kind::Add;
    int position = 0;  // the entry an edit or a delete works on
    QStringList entry; // the new fields of an add or an edit
};

constexpr int kSeriesLength = 1000;
const QStringList kDays = {"20240105", "20240106", "20240107"};

int sequenceOf(const QString &id)
{
    return id.mid(9).toInt();
}

QStringList fieldsOf(const AddressEntry &e)
{
    return {e.DisplayName,    e.Name,           e.Surname,     e.Address,  e.PhoneHome,
            e.PhoneBusiness1, e.PhoneBusiness2, e.PhoneMobile, e.PhoneFax, e.PhoneOther,
            e.BirthdayDate,   e.HasBirthday,    e.EMail,       e.HomePage, e.Notes};
}

// The next operation of a series: chosen by the random generator from what the model holds,
// so the worker and the checking parent, replaying the same seed, get the same series.
Op nextOp(QRandomGenerator &rng, const Model &m, int serial)
{
    Op op;
    op.store = Store(rng.bounded(4));
    const QList<QStringList> &list = m[int(op.store)];
    const int roll = rng.bounded(100);
    op.kind = list.isEmpty() || roll < 45 ? Kind::Add : roll < 70 ? Kind::Edit : Kind::Delete;
    op.position = list.isEmpty() ? 0 : rng.bounded(int(list.size()));
    const QString s = QString::number(serial);
    switch (op.store) {
    case Store::Appointments: {
        QString id = op.kind == Kind::Add ? QString() : list[op.position][0];
        if (op.kind == Kind::Add) {
            const QString day = kDays[rng.bounded(int(kDays.size()))];
            const auto sameDay = [&](const QStringList &a) { return a[0].startsWith(day); };
            id = day + "-" + QString::number(1 + std::count_if(list.begin(), list.end(), sameDay));
        }
        const QString start = QStringLiteral("%1:30").arg(7 + serial % 16, 2, 10, QChar('0'));
        op.entry = {id,
                    "Subject " + s,
                    start,
                    "23:30",
                    QString::number(serial % 2 ? -1 : 0),
                    QString::number(serial % 60),
                    "Description of appointment " + s};
        break;
    }
    case Store::Notes:
        op.entry = {op.kind == Kind::Edit ? list[op.position][0] : "Note " + s,
                    QStringLiteral("Text %1 ").arg(s).repeated(20)};
        break;
    case Store::Addresses:
        op.entry = fieldsOf(AddressStore::BuildEntry(
            "Name", "Surname" + s, QStringLiteral("%1 Long Road\r\nTown").arg(serial),
            {QString::number(1000 + serial)}, QDate(1970, 1, 1).addDays(serial), serial % 2, {}, {},
            "Notes " + s));
        break;
    case Store::Buttons:
        op.entry = {"Button " + s, "/usr/bin/program" + s, "none"};
        if (op.kind == Kind::Edit)
            op.entry = {list[op.position][0], list[op.position][1], "/icons/picture" + s + ".ico"};
        break;
    }
    return op;
}

void applyOp(Model &m, const Op &op)
{
    QList<QStringList> &list = m[int(op.store)];
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

StoreResult run(const Model &m, const Op &op)
{
    const QStringList &f = op.entry;
    const Appointment a{f.value(0), f.value(1), f.value(2), f.value(3), qint16(f.value(4).toInt()),
                        f.value(5), f.value(6)};
    const AddressEntry e{f.value(0),  f.value(1),  f.value(2),  f.value(3),  f.value(4),
                         f.value(5),  f.value(6),  f.value(7),  f.value(8),  f.value(9),
                         f.value(10), f.value(11), f.value(12), f.value(13), f.value(14)};
    const int i = op.position;
    const QString key = m[int(op.store)].value(i).value(0); // the id or the display name
    const std::function<StoreResult()> calls[4][3] = {
        {[&] { return AppointmentStore().AddAppointment(a); },
         [&] { return AppointmentStore().UpdateAppointment(a.AppointmentId, a); },
         [&] { return AppointmentStore().DeleteAppointment(key); }},
        {[&] { return NoteStore().AppendNote(f[0], f[1]); },
         [&] { return NoteStore().ReplaceNoteText(i + 1, f[1]); },
         [&] { return NoteStore().RemoveNote(i + 1); }},
        {[&] { return AddressStore().AddAddressEntry(e); },
         [&] { return AddressStore().ReplaceAddressEntry(key, e); },
         [&] { return AddressStore().DeleteAddressEntry(key); }},
        {[&] { return DesktopStore().AppendDesktopEntry(f[0], f[1]); },
         [&] { return DesktopStore().SetDesktopIcon(i, f[2]); },
         [&] { return DesktopStore().RemoveDesktopEntry(i); }}};
    return calls[int(op.store)][int(op.kind)]();
}

// What the four files hold now, read through the stores.
Model readFiles()
{
    Model m;
    AppointmentStore appointments;
    for (int i = 0; i < appointments.GetAppointmentCount(); ++i) {
        const Appointment a = appointments.ReadAppointment(i);
        m[0].append({a.AppointmentId, a.Subject, a.StartTime, a.EndTime,
                     QString::number(a.ReminderOn), a.ReminderMinutes, a.Description});
    }
    for (int n = 1; n <= NoteStore().GetNoteCount(); ++n) {
        const Note note = NoteStore().ReadNote(n);
        m[1].append({note.NoteName, note.NoteText});
    }
    for (int i = 0; i < AddressStore().GetEntryCount(); ++i)
        m[2].append(fieldsOf(AddressStore().ReadAddressEntry(i)));
    for (const DesktopEntry &e : DesktopStore().ReadDesktopEntries())
        m[3].append({e.ButtonCaption, e.ProgramPath, e.IconPath});
    return m;
}

// Replays the series of `seed` on `m` up to the first operation for which `stop` holds and
// returns its serial number and the operation, which is not applied.
std::pair<int, Op> replay(quint32 seed, Model &m, const std::function<bool(int, const Op &)> &stop)
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
    QString error;
    if (!Module1::OpenDataFiles(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    Model m;
    replay(quint32(std::strtoul(seed, nullptr, 10)), m, [&](int serial, const Op &op) {
        char go = 0;
        if (serial > kSeriesLength || ::read(STDIN_FILENO, &go, 1) != 1)
            return true;
        const StoreResult r = run(m, op);
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

// Deletes move the later entries down; so does an edit of an address entry, which appends
// the changed entry and removes the old one.
bool movesEntries(const Op &op)
{
    return op.kind == Kind::Delete || (op.kind == Kind::Edit && op.store == Store::Addresses);
}

// True when `found` is what an operation that moves entries down may leave when interrupted:
// every entry of `after` is there, nothing but entries of `before` and `after`, and at most
// one entry more than before. Appointment ids are left out: a delete renumbers them as it goes.
bool interruptedShift(Store store, const QList<QStringList> &before,
                      const QList<QStringList> &after, const QList<QStringList> &found)
{
    const auto set = [&](QList<QStringList> list) {
        for (QStringList &e : list)
            e.remove(0, store == Store::Appointments);
        return QSet<QStringList>(list.begin(), list.end());
    };
    return set(found).contains(set(after)) && (set(before) + set(after)).contains(set(found)) &&
           found.size() <= before.size() + 1;
}

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
            if (seed % 2 == 0) {
                Model m;
                const int next = replay(seed, m, [&](int serial, const Op &op) {
                                     return serial >= kSeriesLength ||
                                            (serial > killAfter && movesEntries(op) &&
                                             m[int(op.store)].size() - op.position > 8);
                                 }).first;
                if (next < kSeriesLength)
                    killAfter = next - 1;
            }
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

        QProcess worker;
        worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        worker.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--worker"), env.folder(), QString::number(seed)});
        QVERIFY(worker.waitForStarted());
        worker.write(QByteArray(killAfter, 'g'));
        QByteArray output;
        while (output.count('\n') < killAfter && worker.state() == QProcess::Running) {
            worker.waitForReadyRead(10000);
            output += worker.readAllStandardOutput();
        }
        QCOMPARE(output.count('\n'), killAfter);
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
        output += worker.readAllStandardOutput();
        QCOMPARE(worker.exitStatus(), QProcess::CrashExit);
        const int finished = int(output.count('\n'));

        // Replay the series on the model: `before` holds the finished operations, `after` the
        // one that may have been running too.
        Model before;
        const Op running =
            replay(seed, before, [&](int serial, const Op &) { return serial > finished; }).second;
        Model after = before;
        if (finished < kSeriesLength)
            applyOp(after, running);

        QVERIFY(env.openDataFiles());
        const Model found = readFiles();
        Module1::CloseDataFiles();
        if (found == before || found == after)
            return;

        // Only the store of the running operation may differ, and only by an interrupted move.
        const int r = int(running.store);
        Model othersAsBefore = before;
        othersAsBefore[r] = found[r];
        QVERIFY2(found == othersAsBefore, "only the store of the running operation changed");
        QVERIFY2(movesEntries(running), "an add or an edit is either complete or absent");
        QVERIFY2(interruptedShift(running.store, before[r], after[r], found[r]),
                 "an interrupted move leaves every entry in the file");
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
