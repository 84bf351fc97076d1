// Arbitrary bytes as Appoint.dat: the start-up's opening of the data files, every read of the
// appointment store, then an update, a delete and an add, each checked against the reads.
#include "data/appointment_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::check;

// What the user sees of an appointment besides its id (a delete renumbers ids).
QStringList content(const Appointment &a)
{
    return Fuzz::shown(QStringList{a.Subject, a.StartTime, a.EndTime, QString::number(a.ReminderOn),
                                   a.ReminderMinutes, a.Description});
}

QList<QStringList> readAll(const AppointmentStore &store)
{
    QList<QStringList> all;
    for (int i = 0; i < store.GetAppointmentCount(); ++i)
        all.append(content(store.ReadAppointment(i)));
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr int kFile = AppointmentStore::FileNumber;
    Fuzz::openWith(kFile, QByteArrayView(data, qsizetype(size)));
    AppointmentStore store;

    const int c = store.GetAppointmentCount();
    check(c >= 0 && c <= AppointmentStore::Capacity, "the count stays within the capacity");
    const QStringList ids = store.ReadAllIds();
    check(ids.size() == c, "one id per appointment");
    QList<QStringList> all;
    for (int i = 0; i < c; ++i) {
        const Appointment a = store.ReadAppointment(i);
        check(a.AppointmentId == ids[i], "an appointment reads alike alone and in the scan");
        all.append(content(a));
    }
    check(store.ReadAppointment(-1).AppointmentId.isEmpty(), "no appointment before position 0");
    check(store.ReadAppointment(AppointmentStore::Capacity).AppointmentId.isEmpty(),
          "no appointment past the capacity");
    for (const QString &id : ids.mid(0, 4)) {
        const QString day = id.left(8);
        const QList<int> positions = store.ListDayAppointments(day);
        const QList<Appointment> dayList = store.ReadDayAppointments(day);
        check(positions.size() == dayList.size(), "a day lists alike by position and in full");
        for (qsizetype k = 0; k < positions.size(); ++k)
            check(dayList[k].AppointmentId == ids[positions[k]], "a day's appointments match");
        const int found = store.FindAppointment(id);
        check(found >= 0 && ids[found] == id && ids.lastIndexOf(id) == found,
              "the lookup finds the last appointment with the id");
    }

    const bool damaged =
        ReadStoreCount(kFile, AppointmentStore::BlockSize, AppointmentStore::Capacity).damaged();
    // Writes far past the end of a short file (a large count) only make big files; they are
    // tried on files of up to 256 KiB of entries, refusals on every damaged count.
    if (!damaged &&
        qint64(c) * AppointmentStore::BlockSize * AppointmentStore::RecordLength > (1 << 18)) {
        Module1::CloseDataFiles();
        return 0;
    }
    const Appointment fresh{QStringLiteral("20240105-1"),
                            QStringLiteral("Fuzz"),
                            QStringLiteral("09:00"),
                            QStringLiteral("10:00"),
                            -1,
                            QStringLiteral("15"),
                            QStringLiteral("new")};
    if (!ids.isEmpty()) {
        const QString id = ids.first();
        const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
        const StoreResult updated = store.UpdateAppointment(id, fresh);
        if (damaged) {
            check(!updated.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
                  "a damaged count refuses an update and changes nothing");
        } else {
            check(updated.ok(), "an update of a listed id succeeds");
            all[ids.lastIndexOf(id)] = content(fresh);
            check(readAll(store) == all, "an update changes that appointment only");
        }

        const QString last = ids.last();
        const StoreResult deleted = store.DeleteAppointment(last);
        if (!damaged) {
            check(deleted.ok(), "a delete of a listed id succeeds");
            all.remove(ids.lastIndexOf(last));
            check(readAll(store) == all, "a delete removes that appointment only");
        }
    }

    const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
    const int count = store.GetAppointmentCount();
    const StoreResult added = store.AddAppointment(fresh);
    if (damaged || count == AppointmentStore::Capacity) {
        check(!added.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
              "a refused add changes nothing");
    } else {
        check(added.ok(), "an add succeeds");
        all.append(content(fresh));
        check(readAll(store) == all, "an add appends and keeps the others");
    }
    Module1::CloseDataFiles();
    return 0;
}
