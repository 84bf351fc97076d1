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

namespace Fuzz {

inline void check(bool ok, const char *what, const char *how = "")
{
    if (!ok) {
        std::fprintf(stderr, "Check failed: %s%s\n", what, how);
        std::abort();
    }
}

// The scratch data folder, made once per run. Qt's warnings are kept out of the fuzzer's log.
inline const QString &folder()
{
    static const QString path = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        static QTemporaryDir dir;
        check(dir.isValid(), "a temporary folder can be made");
        return dir.path();
    }();
    return path;
}

inline QString pathOf(const DataFileLayout &f)
{
    return DataFilePath(folder(), f.baseName);
}

inline QByteArray readFile(const DataFileLayout &f)
{
    QFile file(pathOf(f));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const DataFileLayout &f, QByteArrayView bytes)
{
    QFile file(pathOf(f));
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "a scratch file can be written");
    check(file.write(bytes.data(), bytes.size()) == bytes.size(), "a scratch file is written");
}

// What opening the data files must leave of `before`: a count record that holds anything but
// the tag 0 stays as it is; a blank one (or one past the end) becomes the count 0.
inline QByteArray expectedAfterOpening(const DataFileLayout &f, QByteArray before)
{
    const qsizetype offset = qsizetype(f.countRecord - 1) * f.recordLength;
    // Bytes past the end of the file read as zero bytes.
    auto byteAt = [&](qsizetype i) { return i < before.size() ? before[i] : '\0'; };
    const bool blank = byteAt(offset) == 0 && byteAt(offset + 1) == 0;
    if (!blank)
        return before;
    if (before.size() < offset + 4)
        before.resize(offset + 4, '\0');
    before.replace(offset, 4, QByteArray("\x02\x00\x00\x00", 4));
    return before;
}

// Writes the four files (an empty content: the file is absent), runs the start-up's opening of
// the data files and checks what it did to each file. The files stay open.
inline void openDataFiles(const QList<QByteArray> &contents)
{
    for (std::size_t i = 0; i < std::size(kDataFiles); ++i) {
        const DataFileLayout &f = kDataFiles[i];
        QFile::remove(pathOf(f));
        if (!contents.value(qsizetype(i)).isEmpty())
            writeFile(f, contents[qsizetype(i)]);
    }
    Module1::DataFolder = folder();
    check(Module1::OpenDataFiles(), "the data files open");
    for (std::size_t i = 0; i < std::size(kDataFiles); ++i) {
        const DataFileLayout &f = kDataFiles[i];
        check(readFile(f) == expectedAfterOpening(f, contents.value(qsizetype(i))),
              "opening changes nothing but a blank count record");
    }
}

// A text as the checks compare it. A record cut short by the end of the file reads only the
// bytes that are there; once the file grows past it, the zero bytes that fill the gap read as
// NUL characters too. Trailing NULs are therefore not compared.
inline QString shown(QString text)
{
    while (text.endsWith(QChar(u'\0')))
        text.chop(1);
    return text;
}

inline QStringList shown(QStringList texts)
{
    for (QString &t : texts)
        t = shown(t);
    return texts;
}

// Every entry of a store as the user sees it, in order.
using Rows = QList<QStringList>;

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
// files, the count and every entry (`read`), then `checks`, the target's own checks of its
// reads, which returns its writes. Each write is then made and checked in turn: on a damaged
// count, or where `refused` says so, it is refused and changes nothing; otherwise it succeeds
// and the reads show the rows as changed.
template <typename Store, typename Checks>
int runStore(const uint8_t *data, size_t size, int (Store::*count)() const,
             Rows (*read)(const Store &), Checks checks)
{
    QList<QByteArray> contents(4);
    contents[Store::FileNumber - 1] =
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    openDataFiles(contents);
    Store store;
    const int c = (store.*count)();
    check(c >= 0 && c <= Store::Capacity, "the count stays within the capacity");
    Rows all = read(store);
    check(all.size() == c, "one entry per count");
    const Writes<Store> writes = checks(std::as_const(store), std::as_const(all));
    const bool damaged =
        ReadStoreCount(Store::FileNumber, Store::BlockSize, Store::Capacity).damaged();
    // Writes far past the end of a short file (a large count) only make big files; they are
    // tried on files of up to 256 KiB of entries, refusals on every damaged count.
    if (damaged || qint64(c) * Store::BlockSize * Store::RecordLength <= (1 << 18)) {
        for (const Write<Store> &w : writes) {
            const QByteArray before = readFile(Store::Layout);
            const bool ok = w.run(store).ok();
            if (damaged || w.refused(all)) {
                check(!ok && readFile(Store::Layout) == before, w.what, ": refused, no change");
            } else {
                check(ok, w.what, ": succeeds");
                w.change(all);
                check(read(store) == all, w.what, ": the reads show that change only");
            }
        }
    }
    Module1::CloseDataFiles();
    return 0;
}

} // namespace Fuzz
