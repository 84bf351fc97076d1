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

Rows readAll(const Store &store)
{
    return Fuzz::readRows<Store>(store, store.GetAppointmentCount(), [](const Store &s, int i) {
        return content(s.ReadAppointment(i));
    });
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
        if (date.isValid() && date.year() >= 1000) {
            check(store.DaysWithAppointments(date.year(), date.month()).contains(date.day()),
                  "the calendar marks the day of an appointment");
            check(!ids.contains(store.NextAppointmentId(day)), "a new id is not taken yet");
        }
    }

    static const Appointment fresh{QStringLiteral("20240105-1"),
                                   QStringLiteral("Fuzz"),
                                   QStringLiteral("09:00"),
                                   QStringLiteral("10:00"),
                                   -1,
                                   QStringLiteral("15"),
                                   QStringLiteral("new")};
    // Without appointments there is no id: the update and the delete find nothing.
    const QString first = ids.value(0), last = ids.value(ids.size() - 1);
    return {{"an update of a listed id",
             [=](Store &s) { return s.UpdateAppointment(first, fresh); }, Fuzz::empty,
             [=](Rows &all) { all[ids.lastIndexOf(first)] = content(fresh); }},
            {"a delete of a listed id", [=](Store &s) { return s.DeleteAppointment(last); },
             Fuzz::empty, [](Rows &all) { all.removeLast(); }},
            {"an add", [](Store &s) { return s.AddAppointment(fresh); }, Fuzz::full<Store>,
             [](Rows &all) { all.append(content(fresh)); }}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz::runStore(data, size, &Store::GetAppointmentCount, readAll, checkReads);
}
