// Arbitrary bytes as AddBook.dat: the start-up's opening of the data files, every read of the
// address store, then a change, a delete and an add, each checked against the reads.
#include "data/address_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::check;
using Fuzz::Rows;
using Store = AddressStore;

QStringList fields(const AddressEntry &e)
{
    return Fuzz::shown(QStringList{e.DisplayName, e.Name, e.Surname, e.Address, e.PhoneHome,
                                   e.PhoneBusiness1, e.PhoneBusiness2, e.PhoneMobile, e.PhoneFax,
                                   e.PhoneOther, e.BirthdayDate, e.HasBirthday, e.EMail, e.HomePage,
                                   e.Notes});
}

QStringList row(const Store &store, int i)
{
    return fields(store.ReadAddressEntry(i));
}

Fuzz::Writes<Store> checkReads(const Store &store, const Rows &all)
{
    const QStringList names = store.ReadAllDisplayNames();
    check(Fuzz::firstColumn(all) == Fuzz::shown(names), "names read alike alone and in the scan");
    const QList<BirthdayInfo> birthdays = store.ReadBirthdays();
    check(birthdays.size() == all.size(), "one birthday line per entry");
    for (int i = 0; i < all.size(); ++i)
        check(Fuzz::shown({birthdays[i].BirthdayDate, birthdays[i].HasBirthday}) ==
                  all[i].mid(10, 2),
              "birthdays read alike");
    for (int i : Fuzz::positionsAlone<Store>(int(all.size()))) {
        check(store.ReadDisplayName(i) == names[i], "a display name reads alike");
        const QDate born =
            QDate::fromString(birthdays[i].BirthdayDate, QStringLiteral("dd/MM/yyyy"));
        check(!born.isValid() || !Store::FlagIsOne(birthdays[i].HasBirthday) ||
                  store.BirthdayDays(born.month()).contains(born.day()),
              "a birthday marks its day in the calendar");
    }
    for (const QString &name : Fuzz::probes(names))
        check(store.FindAddressEntry(name) == names.lastIndexOf(name),
              "the lookup finds the last entry of that name");
    check(store.ReadAddressEntry(-1).DisplayName.isEmpty(), "no entry before position 0");

    static const AddressEntry changed = Store::BuildEntry(
        QStringLiteral("Ann"), QStringLiteral("Fuzz"), QStringLiteral("1 Road\r\nTown"),
        {QStringLiteral("123")}, QDate(1970, 3, 5), true, {}, {}, {});
    // Without entries there is no name: the change and the delete find nothing.
    const QString old = names.value(0);
    return {{"a change of the first entry",
             [=](Store &s) { return s.ReplaceAddressEntry(old, changed); },
             [=](const Rows &) {
                 return names.isEmpty() ||
                        (changed.DisplayName != old && names.contains(changed.DisplayName));
             },
             [=](Rows &all) {
                 all.remove(names.lastIndexOf(old));
                 all.append(fields(changed));
             }},
            // By the name as stored (one ending in NULs is another name than it shows).
            {"a delete of the last entry",
             [](Store &s) {
                 return s.DeleteAddressEntry(s.ReadAllDisplayNames().value(s.GetEntryCount() - 1));
             },
             [&store](const Rows &all) {
                 return all.isEmpty() ||
                        store.ReadAllDisplayNames().value(all.size() - 1).isEmpty();
             },
             [](Rows &all) { all.removeLast(); }},
            // The store compares names as stored: a name that shows alike but ends in NULs is
            // another name, so the rows (shown without them) cannot tell whether it is taken.
            {"an add", [](Store &s) { return s.AddAddressEntry(changed); },
             [&store](const Rows &all) {
                 return store.FindAddressEntry(changed.DisplayName) >= 0 || Fuzz::full<Store>(all);
             },
             [](Rows &all) { all.append(fields(changed)); }}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz::runStore(data, size, &Store::GetEntryCount, Fuzz::readRows<Store, row>,
                          checkReads);
}
