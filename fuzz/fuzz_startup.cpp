// Arbitrary bytes split into the four data files: the start-up's opening of the data files
// (only a blank count record may be written), twice, as after a restart. What each store makes
// of its count is the store targets' part.
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
    // A second opening, as after a restart, changes nothing more: no count record is blank now,
    // so the check of what an opening may change leaves no byte to change.
    for (const DataFileLayout &f : kDataFiles)
        contents[f.number - 1] = Fuzz::readFile(f);
    Module1::CloseDataFiles();
    Fuzz::openDataFiles(contents);
    Module1::CloseDataFiles();
    return 0;
}
