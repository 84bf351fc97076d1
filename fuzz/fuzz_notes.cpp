// Arbitrary bytes as Notes.dat: the start-up's opening of the data files, every read of the
// note store, then a replace, two removes and an append, each checked against the reads.
#include "data/note_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::check;
using Fuzz::Rows;
using Store = NoteStore;

QStringList row(const Store &store, int i)
{
    const Note note = store.ReadNote(i + 1);
    return Fuzz::shown(QStringList{note.NoteName, note.NoteText});
}

Fuzz::Writes<Store> checkReads(const Store &store, const Rows &all)
{
    const QStringList names = store.ReadNoteNames();
    check(Fuzz::firstColumn(all) == Fuzz::shown(names), "a note reads alike alone and in the scan");
    for (const QString &name : Fuzz::probes(names))
        check(store.FindNoteByName(name) == names.lastIndexOf(name) + 1,
              "the lookup finds the last note of that name");
    check(store.ReadNote(0).NoteName.isEmpty() && store.ReadNote(-1).NoteText.isEmpty(),
          "no note before note 1");
    static const QStringList note{"Note", "text"};
    return {{"a replace of note 1", [](Store &s) { return s.ReplaceNoteText(1, "replaced"); },
             Fuzz::empty, [](Rows &all) { all[0][1] = QStringLiteral("replaced"); }},
            {"a remove of the last note", [](Store &s) { return s.RemoveNote(s.GetNoteCount()); },
             Fuzz::empty, [](Rows &all) { all.removeLast(); }},
            {"a remove of note 2", [](Store &s) { return s.RemoveNote(2); },
             [](const Rows &all) { return all.size() < 2; }, [](Rows &all) { all.remove(1); }},
            {"an append", [](Store &s) { return s.AppendNote("Note", "text"); }, Fuzz::full<Store>,
             [](Rows &all) { all.append(note); }}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz::runStore(data, size, &Store::GetNoteCount, Fuzz::readRows<Store, row>, checkReads);
}
