// Steps of the store and record-file tests: the code page, whole files built from record values,
// and the data folder of a store test.
#pragma once

#include "test_support.h"

#include <QByteArrayList>

#include <memory>

// The characters of the bytes 0x80 to 0x9F in Windows-1252, as Python's cp1252 codec gives
// them. The five bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// control of the same value, so that a file holding them reads and writes back unchanged.
inline constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The bytes of a file whose records 1, 2, ... hold `values`, each padded with zero bytes to
// `length`; the last value ends the file.
inline QByteArray fileImage(const QByteArrayList &values, int length)
{
    QByteArray image;
    for (const QByteArray &value : values)
        image += Bytes::padded(value, length);
    image.chop(values.isEmpty() ? 0 : length - values.last().size());
    return image;
}

// String values of the texts, in order.
inline QByteArrayList strings(const QByteArrayList &texts)
{
    QByteArrayList values;
    for (const QByteArray &text : texts)
        values.append(Bytes::string(text));
    return values;
}

// A store test's data folder, where the four data files are open.
class StoreFolder {
protected:
    std::unique_ptr<TestEnvironment> env;

    // Makes a fresh data folder and opens the four data files in it, new.
    bool openFolder()
    {
        env.reset();
        env = std::make_unique<TestEnvironment>();
        return env->openDataFiles();
    }
};
