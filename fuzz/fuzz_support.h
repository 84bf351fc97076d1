// What the fuzz targets share: a scratch data folder, the start-up's opening of the data files
// with a check of its count-record handling, a check that stops the run loudly, and the run of
// a store target: its reads against each other, then its writes against the reads.
#pragma once

#include "app/data_files.h"
#include "app/module1.h"
#include "records/record_file.h"
#include "records/store_result.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace Fuzz {

inline void check(bool ok, const char *what, const char *how = "")
{
    if (!ok)
        std::fprintf(stderr, "Check failed: %s%s\n", what, how), std::abort();
}

// The scratch data folder, made once per process in memory (/dev/shm where there is one), with
// its four files kept open: every run rewrites and reads them through these descriptors, while
// the program opens them by name as it always does. Qt's warnings are kept out of the fuzzer's log.
inline int scratch[std::size(kDataFiles) + 1];

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // In memory where the system has /dev/shm, else in the temporary folder.
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        auto d = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tallowby-fuzz-XXXXXX"));
        if (!d->isValid())
            d = std::make_unique<QTemporaryDir>();
        return d;
    }();
    check(dir->isValid(), "a temporary folder can be made");
    Module1::DataFolder = dir->path();
    for (const DataFileLayout &f : kDataFiles)
        check((scratch[f.number] = ::open(QFile::encodeName(DataFilePath(dir->path(), f.baseName)),
                                          O_RDWR | O_CREAT, 0600)) >= 0,
              "a scratch file can be made");
    return 0;
}

inline QByteArray readFile(const DataFileLayout &f)
{
    QByteArray bytes(qsizetype(::lseek(scratch[f.number], 0, SEEK_END)), Qt::Uninitialized);
    check(::pread(scratch[f.number], bytes.data(), bytes.size(), 0) == bytes.size(),
          "a scratch file is read");
    return bytes;
}

// An empty content leaves an empty file, which opens as a missing one would: it is made empty.
inline void writeFile(const DataFileLayout &f, QByteArrayView bytes)
{
    check(::ftruncate(scratch[f.number], 0) == 0 &&
              ::pwrite(scratch[f.number], bytes.data(), std::size_t(bytes.size()), 0) ==
                  bytes.size(),
          "a scratch file is written");
}

// What opening the data files must leave of `before`: a count record that holds anything but
// the tag 0 stays as it is; a blank one (or one past the end) becomes the count 0.
inline QByteArray expectedAfterOpening(const DataFileLayout &f, QByteArray before)
{
    const qsizetype offset = qsizetype(f.countRecord - 1) * f.recordLength;
    // Bytes past the end of the file read as zero bytes.
    QByteArray after = before;
    after.resize(std::max(after.size(), offset + 4), '\0');
    if (after[offset] || after[offset + 1])
        return before;
    return after.replace(offset, 4, QByteArray("\x02\x00\x00\x00", 4));
}

// Writes the four files (contents[n - 1] is file number n; an empty content: an empty file), runs
// the start-up's opening of the data files and checks what it did to each file. The files stay
// open.
inline void openDataFiles(const QList<QByteArray> &contents)
{
    for (const DataFileLayout &f : kDataFiles)
        writeFile(f, contents.value(f.number - 1));
    check(Module1::OpenDataFiles(), "the data files open");
    for (const DataFileLayout &f : kDataFiles)
        check(readFile(f) == expectedAfterOpening(f, contents.value(f.number - 1)),
              "opening changes nothing but a blank count record");
}

// A text as the checks compare it. A record cut short by the end of the file reads only the
// bytes that are there; once the file grows past it, the zero bytes that fill the gap read as
// NUL characters too. Trailing NULs are therefore not compared.
inline QStringList shown(QStringList texts)
{
    for (QString &t : texts) {
        while (t.endsWith(QChar(u'\0')))
            t.chop(1);
    }
    return texts;
}

// Every entry of a store as the user sees it, in order.
using Rows = QList<QStringList>;

// The positions of `count` entries that a target reads on their own: every position the file
// reaches, the first one past its end and the last. The records of the positions between those
// lie past the end of the file and read as that first one does, so reading each would only make
// a large count cost more than the file's size.
template <typename Store> QList<int> positionsAlone(int count)
{
    const qint64 entryBytes = qint64(Store::BlockSize) * Store::RecordLength;
    const qint64 reached = (RecordFileSize(Store::FileNumber) + entryBytes - 1) / entryBytes;
    QList<int> out;
    for (int i = 0; i < count; i = i < reached || i + 1 == count ? i + 1 : count - 1)
        out.append(i);
    return out;
}

// The rows of all `count` entries: row(store, i) at the positions read alone, and a copy of
// the row before at each of the others.
template <typename Store, QStringList (*row)(const Store &, int)>
Rows readRows(const Store &store, int count)
{
    Rows all;
    for (int i : positionsAlone<Store>(count)) {
        all.resize(i, all.value(all.size() - 1));
        all.append(row(store, i));
    }
    return all;
}

// The names or ids the lookups are tried with: up to four of the first, each once. The empty
// ones that the entries past the end of the file show are left out: each lookup reads every
// entry, and a large count makes that the cost of a run.
inline QStringList probes(const QStringList &keys)
{
    QStringList out = keys.mid(0, 4);
    out.removeDuplicates();
    out.removeAll(QString());
    return out;
}

// The first column of the rows.
inline QStringList firstColumn(const Rows &rows)
{
    QStringList out;
    for (const QStringList &r : rows)
        out.append(r.value(0));
    return out;
}

// One write of a store target: `run` makes it on the store; unless `refused` by the rows the
// reads show before it, `change` makes it on those rows.
template <typename Store> struct Write {
    const char *what;
    std::function<StoreResult(Store &)> run;
    std::function<bool(const Rows &)> refused;
    std::function<void(Rows &)> change;
};
template <typename Store> using Writes = QList<Write<Store>>;
inline const auto empty = [](const Rows &all) { return all.isEmpty(); };
template <typename Store>
inline const auto full = [](const Rows &all) { return all.size() == Store::Capacity; };

// The run of a store target: the input as the store's file, the start-up's opening of the data
// files, the count and every entry (`read`, given the count), then `checks`, the target's own
// checks of its reads, which returns its writes. Each write is then made and checked in turn: on a
// damaged count, or where `refused` says so, it is refused and changes nothing; otherwise it
// succeeds and the reads show the rows as changed.
template <typename Store, typename Checks>
int runStore(const uint8_t *data, size_t size, int (Store::*count)() const,
             Rows (*read)(const Store &, int), Checks checks)
{
    QList<QByteArray> contents(4);
    contents[Store::FileNumber - 1] = QByteArrayView(data, qsizetype(size)).toByteArray();
    openDataFiles(contents);
    Store store;
    const int c = (store.*count)();
    check(c >= 0 && c <= Store::Capacity, "the count stays within the capacity");
    Rows all = read(store, c);
    check(all.size() == c, "one entry per count");
    const Writes<Store> writes = checks(std::as_const(store), std::as_const(all));
    const bool damaged =
        ReadStoreCount(Store::FileNumber, Store::BlockSize, Store::Capacity).damaged();
    // A write far past the end of a short file (a large count) only makes a big file and reads
    // of thousands of entries: writes that succeed are tried on up to 32 KiB of entries,
    // refusals on every count.
    const bool small = qint64(c) * Store::BlockSize * Store::RecordLength <= (1 << 15);
    for (const Write<Store> &w : writes) {
        const bool refused = damaged || w.refused(all);
        if (!refused && !small)
            continue;
        const QByteArray before = readFile(Store::Layout);
        const bool ok = w.run(store).ok();
        if (refused) {
            check(!ok && readFile(Store::Layout) == before, w.what, ": refused, no change");
        } else {
            check(ok, w.what, ": succeeds");
            w.change(all);
            check(read(store, (store.*count)()) == all, w.what,
                  ": the reads show that change only");
        }
    }
    Module1::CloseDataFiles();
    return 0;
}

} // namespace Fuzz
