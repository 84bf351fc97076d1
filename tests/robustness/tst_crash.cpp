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
constexpr int kAppointments = 0, kNotes = 1, kAddresses = 2, kButtons = 3;

enum class Kind { Add, Edit, Delete };
enum class Store { Appointments, Notes, Addresses, Buttons };

struct Op {
    Store store = Store::Appointments;
    Kind kind = Kind::Add;
    int position = 0;  // the entry an edit or a delete works on
    QStringList entry; // the new fields of an add or an edit
};

const QStringList kDays = {QStringLiteral("20240105"), QStringLiteral("20240106"),
                           QStringLiteral("20240107")};

int sequenceOf(const QString &id)
{
    return id.mid(9).toInt();
}

QStringList addressFields(const QString &name, const QString &surname, int serial)
{
    const AddressEntry e = AddressStore::BuildEntry(
        name, surname, QStringLiteral("%1 Long Road\r\nTown").arg(serial),
        {QString::number(1000 + serial)}, QDate(1970, 1, 1).addDays(serial), serial % 2, {}, {},
        QStringLiteral("Notes %1").arg(serial));
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
    const qsizetype size = m[int(op.store)].size();
    const int roll = rng.bounded(100);
    op.kind = size == 0 || roll < 45 ? Kind::Add : roll < 70 ? Kind::Edit : Kind::Delete;
    op.position = size == 0 ? 0 : rng.bounded(int(size));
    const QString s = QString::number(serial);
    switch (op.store) {
    case Store::Appointments: {
        QString id;
        if (op.kind == Kind::Add) {
            const QString day = kDays[rng.bounded(int(kDays.size()))];
            int n = 1;
            for (const QStringList &a : m[kAppointments])
                n += a[0].startsWith(day);
            id = day + QLatin1Char('-') + QString::number(n);
        } else {
            id = m[kAppointments][op.position][0];
        }
        op.entry = {id,
                    QStringLiteral("Subject ") + s,
                    QStringLiteral("%1:30").arg(7 + serial % 16, 2, 10, QLatin1Char('0')),
                    QStringLiteral("23:30"),
                    QString::number(serial % 2 ? -1 : 0),
                    QString::number(serial % 60),
                    QStringLiteral("Description of appointment ") + s};
        break;
    }
    case Store::Notes:
        op.entry = {QStringLiteral("Note ") + s, QStringLiteral("Text %1 ").arg(s).repeated(20)};
        if (op.kind == Kind::Edit)
            op.entry[0] = m[kNotes][op.position][0];
        break;
    case Store::Addresses:
        op.entry = addressFields(QStringLiteral("Name"), QStringLiteral("Surname") + s, serial);
        break;
    case Store::Buttons:
        op.entry = {QStringLiteral("Button ") + s, QStringLiteral("/usr/bin/program") + s,
                    QStringLiteral("none")};
        if (op.kind == Kind::Edit) {
            op.entry = m[kButtons][op.position];
            op.entry[2] = QStringLiteral("/icons/picture%1.ico").arg(s);
        }
        break;
    }
    return op;
}

void applyOp(Model &m, const Op &op)
{
    QList<QStringList> &list = m[int(op.store)];
    if (op.kind == Kind::Add) {
        list.append(op.entry);
    } else if (op.kind == Kind::Edit) {
        if (op.store == Store::Addresses) { // an edited entry moves to the end
            list.remove(op.position);
            list.append(op.entry);
        } else {
            list[op.position] = op.entry;
        }
    } else {
        const QString id = list[op.position][0];
        list.remove(op.position);
        if (op.store == Store::Appointments) { // later ids of the day close up
            for (QStringList &a : list) {
                if (a[0].left(8) == id.left(8) && sequenceOf(a[0]) > sequenceOf(id))
                    a[0] = a[0].left(9) + QString::number(sequenceOf(a[0]) - 1);
            }
        }
    }
}

Appointment toAppointment(const QStringList &f)
{
    return {f[0], f[1], f[2], f[3], qint16(f[4].toInt()), f[5], f[6]};
}

AddressEntry toAddress(const QStringList &f)
{
    return {f[0], f[1], f[2],  f[3],  f[4],  f[5],  f[6], f[7],
            f[8], f[9], f[10], f[11], f[12], f[13], f[14]};
}

StoreResult run(const Model &m, const Op &op)
{
    switch (op.store) {
    case Store::Appointments:
        if (op.kind == Kind::Add)
            return AppointmentStore().AddAppointment(toAppointment(op.entry));
        if (op.kind == Kind::Edit)
            return AppointmentStore().UpdateAppointment(op.entry[0], toAppointment(op.entry));
        return AppointmentStore().DeleteAppointment(m[kAppointments][op.position][0]);
    case Store::Notes:
        if (op.kind == Kind::Add)
            return NoteStore().AppendNote(op.entry[0], op.entry[1]);
        if (op.kind == Kind::Edit)
            return NoteStore().ReplaceNoteText(op.position + 1, op.entry[1]);
        return NoteStore().RemoveNote(op.position + 1);
    case Store::Addresses:
        if (op.kind == Kind::Add)
            return AddressStore().AddAddressEntry(toAddress(op.entry));
        if (op.kind == Kind::Edit)
            return AddressStore().ReplaceAddressEntry(m[kAddresses][op.position][0],
                                                      toAddress(op.entry));
        return AddressStore().DeleteAddressEntry(m[kAddresses][op.position][0]);
    case Store::Buttons:
        if (op.kind == Kind::Add)
            return DesktopStore().AppendDesktopEntry(op.entry[0], op.entry[1]);
        if (op.kind == Kind::Edit)
            return DesktopStore().SetDesktopIcon(op.position, op.entry[2]);
        return DesktopStore().RemoveDesktopEntry(op.position);
    }
    return {};
}

// What the four files hold now, read through the stores.
Model readFiles()
{
    Model m;
    AppointmentStore appointments;
    for (int i = 0; i < appointments.GetAppointmentCount(); ++i) {
        const Appointment a = appointments.ReadAppointment(i);
        m[kAppointments].append({a.AppointmentId, a.Subject, a.StartTime, a.EndTime,
                                 QString::number(a.ReminderOn), a.ReminderMinutes, a.Description});
    }
    NoteStore notes;
    for (int n = 1; n <= notes.GetNoteCount(); ++n) {
        const Note note = notes.ReadNote(n);
        m[kNotes].append({note.NoteName, note.NoteText});
    }
    AddressStore addresses;
    for (int i = 0; i < addresses.GetEntryCount(); ++i) {
        const AddressEntry e = addresses.ReadAddressEntry(i);
        m[kAddresses].append({e.DisplayName, e.Name, e.Surname, e.Address, e.PhoneHome,
                              e.PhoneBusiness1, e.PhoneBusiness2, e.PhoneMobile, e.PhoneFax,
                              e.PhoneOther, e.BirthdayDate, e.HasBirthday, e.EMail, e.HomePage,
                              e.Notes});
    }
    for (const DesktopEntry &e : DesktopStore().ReadDesktopEntries())
        m[kButtons].append({e.ButtonCaption, e.ProgramPath, e.IconPath});
    return m;
}

constexpr int kSeriesLength = 1000;

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
    QRandomGenerator rng(quint32(std::strtoul(seed, nullptr, 10)));
    Model m;
    for (int serial = 1; serial <= kSeriesLength; ++serial) {
        char go = 0;
        if (::read(STDIN_FILENO, &go, 1) != 1)
            return 0;
        const Op op = nextOp(rng, m, serial);
        const StoreResult r = run(m, op);
        if (!r.ok()) {
            std::fprintf(stderr, "operation %d failed: %s\n", serial, qPrintable(r.message));
            return 3;
        }
        applyOp(m, op);
        std::printf("%d\n", serial);
        std::fflush(stdout);
    }
    return 0;
}

// Deletes move the later entries down; so does an edit of an address entry, which appends
// the changed entry and removes the old one.
bool movesEntries(const Op &op)
{
    return op.kind == Kind::Delete || (op.kind == Kind::Edit && op.store == Store::Addresses);
}

// The entries of a list without the appointment ids, which a delete renumbers as it goes.
QList<QStringList> withoutIds(QList<QStringList> list, Store store)
{
    if (store == Store::Appointments) {
        for (QStringList &e : list)
            e.removeFirst();
    }
    return list;
}

// True when `found` is what an operation that moves entries down may leave when interrupted:
// every entry of `after` is there, and nothing but entries of `before` and `after`.
bool interruptedShift(const QList<QStringList> &before, const QList<QStringList> &after,
                      const QList<QStringList> &found)
{
    for (const QStringList &e : after) {
        if (!found.contains(e))
            return false;
    }
    for (const QStringList &e : found) {
        if (!before.contains(e) && !after.contains(e))
            return false;
    }
    return found.size() <= before.size() + 1;
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
                QRandomGenerator series(seed);
                Model m;
                for (int serial = 1; serial < kSeriesLength; ++serial) {
                    const Op op = nextOp(series, m, serial);
                    if (serial > killAfter && movesEntries(op) &&
                        m[int(op.store)].size() - op.position > 8) {
                        killAfter = serial - 1;
                        break;
                    }
                    applyOp(m, op);
                }
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
        QRandomGenerator rng(seed);
        Model before;
        for (int serial = 1; serial <= finished; ++serial)
            applyOp(before, nextOp(rng, before, serial));
        const Op running = nextOp(rng, before, finished + 1);
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
        for (int s = 0; s < 4; ++s) {
            if (s != r)
                QCOMPARE(found[s], before[s]);
        }
        QVERIFY2(movesEntries(running), "an add or an edit is either complete or absent");
        QVERIFY2(interruptedShift(withoutIds(before[r], running.store),
                                  withoutIds(after[r], running.store),
                                  withoutIds(found[r], running.store)),
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
