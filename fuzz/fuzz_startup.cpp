// Arbitrary bytes split into the four data files: the start-up's opening of the data files
// (only a blank count record may be written), then the count of every store.
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/desktop_store.h"
#include "data/note_store.h"
#include "fuzz_support.h"

#include <QtEndian>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first eight bytes give the sizes of the first three files (16 bits each, the fourth
    // file takes the rest); sizes past the end are cut short.
    const QByteArrayView input(data, qsizetype(size));
    QList<QByteArray> contents(4);
    qsizetype at = std::min<qsizetype>(8, input.size());
    for (int i = 0; i < 4; ++i) {
        qsizetype n = input.size() - at;
        if (i < 3 && 2 * i + 2 <= input.size())
            n = std::min<qsizetype>(n, qFromLittleEndian<quint16>(input.data() + 2 * i));
        contents[i] = input.sliced(at, n).toByteArray();
        at += n;
    }
    Fuzz::openDataFiles(contents);
    Fuzz::check(AppointmentStore().GetAppointmentCount() <= AppointmentStore::Capacity &&
                    NoteStore().GetNoteCount() <= NoteStore::Capacity &&
                    AddressStore().GetEntryCount() <= AddressStore::Capacity &&
                    DesktopStore().GetButtonCount() <= DesktopStore::Capacity,
                "every count stays within its capacity");
    // A second opening, as after a restart, changes nothing more: no count record is blank now.
    QList<QByteArray> opened;
    for (const DataFileLayout &f : kDataFiles)
        opened.append(Fuzz::readFile(f));
    Module1::CloseDataFiles();
    Fuzz::openDataFiles(opened);
    for (std::size_t i = 0; i < std::size(kDataFiles); ++i)
        Fuzz::check(Fuzz::readFile(kDataFiles[i]) == opened[qsizetype(i)],
                    "a second opening changes nothing");
    Module1::CloseDataFiles();
    return 0;
}
