// The four stores as the robustness tests drive them: sample entries, every add, edit and
// delete through one table, what the stores hold, and the bytes of a whole folder.
#pragma once

#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/desktop_store.h"
#include "data/note_store.h"
#include "test_support.h"

#include <QDir>
#include <QMap>
#include <QSet>

#include <array>
#include <functional>
#include <memory>
#include <sys/resource.h>

enum class Store { Appointments, Notes, Addresses, Buttons }; // the order of kDataFiles
enum class Kind { Add, Edit, Delete };

// Each entry as its texts in field order. Appointments: id, subject, start, end, reminder,
// minutes, description; notes: name, text; addresses: display name, name, surname, then the
// other twelve; buttons: caption, program path, icon path.
using Entries = QList<QStringList>;
using Stores = std::array<Entries, 4>; // in the order of `Store`
using Files = QMap<QString, QByteArray>;

inline QStringList fieldsOf(const AddressEntry &e)
{
    return {e.DisplayName,    e.Name,           e.Surname,     e.Address,  e.PhoneHome,
            e.PhoneBusiness1, e.PhoneBusiness2, e.PhoneMobile, e.PhoneFax, e.PhoneOther,
            e.BirthdayDate,   e.HasBirthday,    e.EMail,       e.HomePage, e.Notes};
}

// Entry n of a store: appointment n of 5 January 2024, a note of a few records, an address
// of two lines.
inline QStringList sampleEntry(Store store, int n)
{
    const QString s = QString::number(n);
    const QString start = QStringLiteral("%1:30").arg(7 + n % 16, 2, 10, QChar('0'));
    const QStringList entries[] = {
        {"20240105-" + s, "Subject " + s, start, "23:30", QString::number(n % 2 ? -1 : 0),
         QString::number(n % 60), "Description of appointment " + s},
        {"Note " + s, QStringLiteral("Text %1 ").arg(s).repeated(20)},
        fieldsOf(AddressStore::BuildEntry("Name", "Surname" + s,
                                          QStringLiteral("%1 Long Road\r\nTown").arg(n),
                                          {QString::number(1000 + n)}, QDate(1970, 1, 1).addDays(n),
                                          n % 2, {}, {}, "Notes " + s)),
        {"Button " + s, "/usr/bin/program" + s, "none"}};
    return entries[int(store)];
}

// Runs an operation: `f` the fields of the new entry of an add or an edit, `position` the entry
// an edit or a delete works on and `key` its id or display name.
inline StoreResult runOp(Store store, Kind kind, int position, const QString &key,
                         const QStringList &f)
{
    const Appointment a{f.value(0), f.value(1), f.value(2), f.value(3), qint16(f.value(4).toInt()),
                        f.value(5), f.value(6)};
    const AddressEntry e{f.value(0),  f.value(1),  f.value(2),  f.value(3),  f.value(4),
                         f.value(5),  f.value(6),  f.value(7),  f.value(8),  f.value(9),
                         f.value(10), f.value(11), f.value(12), f.value(13), f.value(14)};
    const std::function<StoreResult()> calls[4][3] = {
        {[&] { return AppointmentStore().AddAppointment(a); },
         [&] { return AppointmentStore().UpdateAppointment(key, a); },
         [&] { return AppointmentStore().DeleteAppointment(key); }},
        {[&] { return NoteStore().AppendNote(f[0], f[1]); },
         [&] { return NoteStore().ReplaceNoteText(position + 1, f[1]); },
         [&] { return NoteStore().RemoveNote(position + 1); }},
        {[&] { return AddressStore().AddAddressEntry(e); },
         [&] { return AddressStore().ReplaceAddressEntry(key, e); },
         [&] { return AddressStore().DeleteAddressEntry(key); }},
        {[&] { return DesktopStore().AppendDesktopEntry(f[0], f[1]); },
         [&] { return DesktopStore().SetDesktopIcon(position, f[2]); },
         [&] { return DesktopStore().RemoveDesktopEntry(position); }}};
    return calls[int(store)][int(kind)]();
}

// Deletes move the later entries down; so does an edit of an address entry, which appends
// the changed entry and removes the old one.
inline bool movesEntries(Store store, Kind kind)
{
    return kind == Kind::Delete || (kind == Kind::Edit && store == Store::Addresses);
}

// True when `found` is what an operation that moves entries down may leave when interrupted:
// every entry of `after` is there, nothing but entries of `before` and `after`, and at most
// one entry more than before. With `withoutIds`, appointment ids are left out: a delete
// renumbers them as it goes.
inline bool interruptedShift(Store store, const Entries &before, const Entries &after,
                             const Entries &found, bool withoutIds = true)
{
    const auto set = [&](Entries list) {
        for (QStringList &e : list)
            e.remove(0, withoutIds && store == Store::Appointments);
        return QSet<QStringList>(list.begin(), list.end());
    };
    return set(found).contains(set(after)) && (set(before) + set(after)).contains(set(found)) &&
           found.size() <= before.size() + 1;
}

// What the four open files hold, read through the stores.
inline Stores readStores()
{
    Stores m;
    for (const Appointment &a : AppointmentStore().ReadAllAppointments())
        m[0].append({a.AppointmentId, a.Subject, a.StartTime, a.EndTime,
                     QString::number(a.ReminderOn), a.ReminderMinutes, a.Description});
    for (const Note &note : NoteStore().ReadAllNotes())
        m[1].append({note.NoteName, note.NoteText});
    for (const AddressEntry &e : AddressStore().ReadAllAddressEntries())
        m[2].append(fieldsOf(e));
    for (const DesktopEntry &e : DesktopStore().ReadDesktopEntries())
        m[3].append({e.ButtonCaption, e.ProgramPath, e.IconPath});
    return m;
}

// Every file of the data folder, by name.
inline Files filesIn(const TestEnvironment &env)
{
    Files out;
    for (const QString &name : QDir(env.folder()).entryList(QDir::Files))
        out[name] = env.fileBytes(name);
    return out;
}

// Limits the size of every file this process writes to `bytes` (below 0: leaves the limit as it
// is) until the returned guard goes or is reset, and says whether the limit is set.
inline std::pair<bool, std::shared_ptr<void>> fileSizeLimit(qint64 bytes)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{bytes < 0 ? old.rlim_cur : rlim_t(bytes), old.rlim_max};
    return {setrlimit(RLIMIT_FSIZE, &limit) == 0,
            std::shared_ptr<void>(nullptr, [old](void *) { setrlimit(RLIMIT_FSIZE, &old); })};
}
