// Arbitrary bytes as AddBook.dat: the start-up's opening of the data files, every read of the
// address store, then a change, a delete and an add, each checked against the reads.
#include "data/address_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::check;

QStringList fields(const AddressEntry &e)
{
    return Fuzz::shown(QStringList{e.DisplayName, e.Name, e.Surname, e.Address, e.PhoneHome,
                                   e.PhoneBusiness1, e.PhoneBusiness2, e.PhoneMobile, e.PhoneFax,
                                   e.PhoneOther, e.BirthdayDate, e.HasBirthday, e.EMail, e.HomePage,
                                   e.Notes});
}

QList<QStringList> readAll(const AddressStore &store)
{
    QList<QStringList> all;
    for (int i = 0; i < store.GetEntryCount(); ++i)
        all.append(fields(store.ReadAddressEntry(i)));
    return all;
}

QStringList namesOf(const QList<QStringList> &all)
{
    QStringList names;
    for (const QStringList &e : all)
        names.append(e[0]);
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr int kFile = AddressStore::FileNumber;
    Fuzz::openWith(kFile, QByteArrayView(data, qsizetype(size)));
    AddressStore store;

    const int c = store.GetEntryCount();
    check(c >= 0 && c <= AddressStore::Capacity, "the count stays within the capacity");
    const QStringList names = store.ReadAllDisplayNames();
    QList<QStringList> all = readAll(store);
    check(names.size() == c && namesOf(all) == Fuzz::shown(names),
          "names read alike alone and in the scan");
    const QList<BirthdayInfo> birthdays = store.ReadBirthdays();
    check(birthdays.size() == c, "one birthday line per entry");
    for (int i = 0; i < c; ++i) {
        check(store.ReadDisplayName(i) == names[i], "a display name reads alike");
        check(Fuzz::shown(birthdays[i].BirthdayDate) == all[i][10] &&
                  Fuzz::shown(birthdays[i].HasBirthday) == all[i][11],
              "birthdays read alike");
    }
    for (const QString &name : names.mid(0, 4))
        check(store.FindAddressEntry(name) == names.lastIndexOf(name),
              "the lookup finds the last entry of that name");
    check(store.ReadAddressEntry(-1).DisplayName.isEmpty(), "no entry before position 0");

    const bool damaged =
        ReadStoreCount(kFile, AddressStore::BlockSize, AddressStore::Capacity).damaged();
    // Writes far past the end of a short file (a large count) only make big files; they are
    // tried on files of up to 256 KiB of entries, refusals on every damaged count.
    if (!damaged && qint64(c) * AddressStore::BlockSize * AddressStore::RecordLength > (1 << 18)) {
        Module1::CloseDataFiles();
        return 0;
    }
    const AddressEntry changed = AddressStore::BuildEntry(
        QStringLiteral("Ann"), QStringLiteral("Fuzz"), QStringLiteral("1 Road\r\nTown"),
        {QStringLiteral("123")}, QDate(1970, 3, 5), true, {}, {}, {});
    if (c > 0) {
        const QString old = names.first();
        const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
        const StoreResult replaced = store.ReplaceAddressEntry(old, changed);
        const bool taken = changed.DisplayName != old && names.contains(changed.DisplayName);
        if (damaged || taken || c == AddressStore::Capacity) {
            check(!replaced.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
                  "a refused change changes nothing");
        } else {
            check(replaced.ok(), "a change succeeds");
            all.remove(names.lastIndexOf(old));
            all.append(fields(changed));
            check(readAll(store) == all, "a change moves that entry to the end only");
        }
        const QStringList now = namesOf(all);
        const QString last = now.isEmpty() ? QString() : now.last();
        const StoreResult deleted = store.DeleteAddressEntry(last);
        if (!damaged && !last.isEmpty()) {
            check(deleted.ok(), "a delete succeeds");
            all.remove(now.lastIndexOf(last));
            check(readAll(store) == all, "a delete removes that entry only");
        }
    }

    const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
    const bool taken = namesOf(all).contains(changed.DisplayName);
    const StoreResult added = store.AddAddressEntry(changed);
    if (damaged || taken || store.GetEntryCount() == AddressStore::Capacity) {
        check(!added.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
              "a refused add changes nothing");
    } else {
        check(added.ok(), "an add succeeds");
        all.append(fields(changed));
        check(readAll(store) == all, "an add keeps the other entries");
    }
    Module1::CloseDataFiles();
    return 0;
}
