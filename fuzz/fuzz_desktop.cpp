// Arbitrary bytes as MyDesk.dat: the start-up's opening of the data files, every read of the
// desktop store, then a change of picture, a remove and an append, checked against the reads.
#include "data/desktop_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::Rows;
using Store = DesktopStore;

Rows readAll(const Store &store, int)
{
    Rows all;
    for (const DesktopEntry &e : store.ReadDesktopEntries())
        all.append(Fuzz::shown(QStringList{e.ButtonCaption, e.ProgramPath, e.IconPath}));
    return all;
}

Fuzz::Writes<Store> checkReads(const Store &store, const Rows &all)
{
    Fuzz::check(Fuzz::firstColumn(all) == Fuzz::shown(store.ReadCaptions()), "captions read alike");
    static const QStringList button{"edit", "/usr/bin/edit", "none"};
    return {{"a change of picture", [](Store &s) { return s.SetDesktopIcon(0, "/icons/a.ico"); },
             Fuzz::empty, [](Rows &all) { all[0][2] = QStringLiteral("/icons/a.ico"); }},
            {"a remove", [](Store &s) { return s.RemoveDesktopEntry(0); }, Fuzz::empty,
             [](Rows &all) { all.removeFirst(); }},
            {"an append", [](Store &s) { return s.AppendDesktopEntry("edit", "/usr/bin/edit"); },
             Fuzz::full<Store>, [](Rows &all) { all.append(button); }}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz::runStore(data, size, &Store::GetButtonCount, readAll, checkReads);
}
