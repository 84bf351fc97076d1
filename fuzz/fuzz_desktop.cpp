// Arbitrary bytes as MyDesk.dat: the start-up's opening of the data files, every read of the
// desktop store, then a change of picture, a remove and an append, checked against the reads.
#include "data/desktop_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::check;

QList<QStringList> readAll(const DesktopStore &store)
{
    QList<QStringList> all;
    for (const DesktopEntry &e : store.ReadDesktopEntries())
        all.append(Fuzz::shown(QStringList{e.ButtonCaption, e.ProgramPath, e.IconPath}));
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr int kFile = DesktopStore::FileNumber;
    Fuzz::openWith(kFile, QByteArrayView(data, qsizetype(size)));
    DesktopStore store;

    const int c = store.GetButtonCount();
    check(c >= 0 && c <= DesktopStore::Capacity, "the count stays within the capacity");
    QList<QStringList> all = readAll(store);
    const QStringList captions = store.ReadCaptions();
    check(all.size() == c && captions.size() == c, "one entry per button");
    for (int i = 0; i < c; ++i)
        check(all[i][0] == Fuzz::shown(captions[i]), "captions read alike");

    const bool damaged =
        ReadStoreCount(kFile, DesktopStore::BlockSize, DesktopStore::Capacity).damaged();
    // Writes far past the end of a short file (a large count) only make big files; they are
    // tried on files of up to 256 KiB of entries, refusals on every damaged count.
    if (!damaged && qint64(c) * DesktopStore::BlockSize * DesktopStore::RecordLength > (1 << 18)) {
        Module1::CloseDataFiles();
        return 0;
    }
    if (c > 0) {
        const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
        const StoreResult set = store.SetDesktopIcon(0, QStringLiteral("/icons/a.ico"));
        if (damaged) {
            check(!set.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
                  "a damaged count refuses a change and changes nothing");
        } else {
            check(set.ok(), "a change of picture succeeds");
            all[0][2] = QStringLiteral("/icons/a.ico");
            check(readAll(store) == all, "a change of picture changes that button only");
            check(store.RemoveDesktopEntry(0).ok(), "a remove succeeds");
            all.removeFirst();
            check(readAll(store) == all, "a remove takes out that button only");
        }
    }

    const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
    const int count = store.GetButtonCount();
    const StoreResult appended =
        store.AppendDesktopEntry(QStringLiteral("edit"), QStringLiteral("/usr/bin/edit"));
    if (damaged || count == DesktopStore::Capacity) {
        check(!appended.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
              "a refused append changes nothing");
    } else {
        check(appended.ok(), "an append succeeds");
        all.append(
            {QStringLiteral("edit"), QStringLiteral("/usr/bin/edit"), QStringLiteral("none")});
        check(readAll(store) == all, "an append keeps the other buttons");
    }
    Module1::CloseDataFiles();
    return 0;
}
