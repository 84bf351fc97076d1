// What the fuzz targets share: a scratch data folder, the start-up's opening of the data files
// with a check of its count-record handling, and a check that stops the run loudly.
#pragma once

#include "app/data_files.h"
#include "app/module1.h"
#include "records/record_file.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

inline void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "Check failed: %s\n", what);
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
    QString error;
    check(Module1::OpenDataFiles(&error), "the data files open");
    for (std::size_t i = 0; i < std::size(kDataFiles); ++i) {
        const DataFileLayout &f = kDataFiles[i];
        check(readFile(f) == expectedAfterOpening(f, contents.value(qsizetype(i))),
              "opening changes nothing but a blank count record");
    }
}

// Opens the data files with `bytes` as the file of `number` and the other three absent.
inline void openWith(int number, QByteArrayView bytes)
{
    QList<QByteArray> contents(4);
    contents[number - 1] = bytes.toByteArray();
    openDataFiles(contents);
}

inline const DataFileLayout &info(int number)
{
    return kDataFiles[number - 1];
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

// Removes the first element equal to `value`; false when there is none.
template <typename T> bool removeOne(QList<T> &list, const T &value)
{
    const qsizetype i = list.indexOf(value);
    if (i < 0)
        return false;
    list.remove(i);
    return true;
}

} // namespace Fuzz
