// Arbitrary bytes as Appoint.dat: the start-up's opening of the data files, every read of the
// appointment store, then an update, a delete and an add, each checked against the reads.
#include "data/appointment_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::check;
using Fuzz::Rows;
using Store = AppointmentStore;

// What the user sees of an appointment besides its id (a delete renumbers ids).
QStringList content(const Appointment &a)
{
    return Fuzz::shown(QStringList{a.Subject, a.StartTime, a.EndTime, QString::number(a.ReminderOn),
                                   a.ReminderMinutes, a.Description});
}

QStringList row(const Store &store, int i)
{
    return content(store.ReadAppointment(i));
}

Fuzz::Writes<Store> checkReads(const Store &store, const Rows &all)
{
    const QStringList ids = store.ReadAllIds();
    check(ids.size() == all.size(), "one id per appointment");
    for (int i : Fuzz::positionsAlone<Store>(int(ids.size())))
        check(store.ReadAppointment(i).AppointmentId == ids[i],
              "an appointment reads alike alone and in the scan");
    check(store.ReadAppointment(-1).AppointmentId.isEmpty(), "no appointment before position 0");
    check(store.ReadAppointment(Store::Capacity).AppointmentId.isEmpty(),
          "no appointment past the capacity");
    for (const QString &id : Fuzz::probes(ids)) {
        const QString day = id.left(8);
        const QList<int> positions = store.ListDayAppointments(day);
        const QList<Appointment> dayList = store.ReadDayAppointments(day);
        check(positions.size() == dayList.size(), "a day lists alike by position and in full");
        for (qsizetype k = 0; k < positions.size(); ++k)
            check(dayList[k].AppointmentId == ids[positions[k]], "a day's appointments match");
        const int found = store.FindAppointment(id);
        check(found >= 0 && ids[found] == id && ids.lastIndexOf(id) == found,
              "the lookup finds the last appointment with the id");
        // The calendar shows years of four digits.
        const QDate date = QDate::fromString(day, QStringLiteral("yyyyMMdd"));
        check(!date.isValid() || date.year() < 1000 ||
                  (store.DaysWithAppointments(date.year(), date.month()).contains(date.day()) &&
                   !ids.contains(store.NextAppointmentId(day))),
              "the calendar marks the day of an appointment, and a new id of it is free");
    }

    static const Appointment fresh{"20240105-1", "Fuzz", "09:00", "10:00", -1, "15", "new"};
    // Without appointments there is no id: the update and the delete find nothing.
    const QString first = ids.value(0);
    return {{"an update of a listed id",
             [=](Store &s) { return s.UpdateAppointment(first, fresh); }, Fuzz::empty,
             [=](Rows &all) { all[ids.lastIndexOf(first)] = content(fresh); }},
            // By the id as the file holds it when the delete runs: the update before it may
            // have made the file longer, and a last id the file cut short reads whole then.
            {"a delete of a listed id",
             [](Store &s) {
                 return s.DeleteAppointment(s.ReadAllIds().value(s.GetAppointmentCount() - 1));
             },
             Fuzz::empty, [](Rows &all) { all.removeLast(); }},
            {"an add", [](Store &s) { return s.AddAppointment(fresh); }, Fuzz::full<Store>,
             [](Rows &all) { all.append(content(fresh)); }}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz::runStore(data, size, &Store::GetAppointmentCount, Fuzz::readRows<Store, row>,
                          checkReads);
}
