// Arbitrary bytes as Notes.dat: the start-up's opening of the data files, every read of the
// note store, then a replace, a remove and an append, each checked against the reads.
#include "data/note_store.h"
#include "fuzz_support.h"

namespace {

using Fuzz::check;

QList<QStringList> readAll(const NoteStore &store)
{
    QList<QStringList> all;
    for (int n = 1; n <= store.GetNoteCount(); ++n) {
        const Note note = store.ReadNote(n);
        all.append(Fuzz::shown(QStringList{note.NoteName, note.NoteText}));
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr int kFile = NoteStore::FileNumber;
    Fuzz::openWith(kFile, QByteArrayView(data, qsizetype(size)));
    NoteStore store;

    const int c = store.GetNoteCount();
    check(c >= 0 && c <= NoteStore::Capacity, "the count stays within the capacity");
    const QStringList names = store.ReadNoteNames();
    check(names.size() == c, "one name per note");
    QList<QStringList> all = readAll(store);
    for (int n = 1; n <= c; ++n)
        check(all[n - 1][0] == Fuzz::shown(names[n - 1]),
              "a note reads alike alone and in the scan");
    for (const QString &name : names.mid(0, 4))
        check(store.FindNoteByName(name) == names.lastIndexOf(name) + 1,
              "the lookup finds the last note of that name");
    check(store.ReadNote(0).NoteName.isEmpty() && store.ReadNote(-1).NoteText.isEmpty(),
          "no note before note 1");

    const bool damaged = ReadStoreCount(kFile, NoteStore::BlockSize, NoteStore::Capacity).damaged();
    // Writes far past the end of a short file (a large count) only make big files; they are
    // tried on files of up to 256 KiB of entries, refusals on every damaged count.
    if (!damaged && qint64(c) * NoteStore::BlockSize * NoteStore::RecordLength > (1 << 18)) {
        Module1::CloseDataFiles();
        return 0;
    }
    if (c > 0) {
        const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
        const StoreResult replaced = store.ReplaceNoteText(1, QStringLiteral("replaced"));
        if (damaged) {
            check(!replaced.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
                  "a damaged count refuses a replace and changes nothing");
        } else {
            check(replaced.ok(), "a replace succeeds");
            all[0][1] = QStringLiteral("replaced");
            check(readAll(store) == all, "a replace changes that note only");
            check(store.RemoveNote(c).ok(), "a remove succeeds");
            all.removeLast();
            if (c > 2) {
                check(store.RemoveNote(2).ok(), "a remove in the middle succeeds");
                all.remove(1);
            }
            check(readAll(store) == all, "a remove takes out that note only");
        }
    }

    const QByteArray before = Fuzz::readFile(Fuzz::info(kFile));
    const int count = store.GetNoteCount();
    const StoreResult appended = store.AppendNote(QStringLiteral("Note"), QStringLiteral("text"));
    if (damaged || count == NoteStore::Capacity) {
        check(!appended.ok() && Fuzz::readFile(Fuzz::info(kFile)) == before,
              "a refused append changes nothing");
    } else {
        check(appended.ok(), "an append succeeds");
        all.append({QStringLiteral("Note"), QStringLiteral("text")});
        check(readAll(store) == all, "an append keeps the other notes");
    }
    Module1::CloseDataFiles();
    return 0;
}
