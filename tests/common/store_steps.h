// Steps of the store and record-file tests: whole files built from record values, and the data
// file a store test looks at.
#pragma once

#include "test_support.h"

#include <QByteArrayList>

#include <memory>

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

// A store test's data folder and the file it looks at.
class StoreFile {
protected:
    StoreFile(const QString &name, int length) : m_name(name), m_length(length) {}

    std::unique_ptr<TestEnvironment> env;

    // Makes a fresh data folder, where the file holds `image` when one is given, and opens the
    // four data files in it.
    bool openFolder(const QByteArray &image = {})
    {
        env.reset();
        env = std::make_unique<TestEnvironment>();
        if (!image.isNull())
            env->writeFile(m_name, image);
        return env->openDataFiles();
    }

    QByteArray bytes() const { return env->fileBytes(m_name); }
    QByteArray recordAt(int r) const { return env->record(m_name, m_length, r); }
    // The String value of record r as stored: its length prefix and the text it announces.
    QByteArray stringAt(int r) const { return env->storedString(m_name, m_length, r); }
    // What records first, first + 1, ... hold, each as long as the value expected there: bytes a
    // longer value left behind in a record play no part.
    QByteArrayList valuesFrom(int first, const QByteArrayList &expected) const
    {
        QByteArrayList values;
        for (const QByteArray &value : expected)
            values.append(env->record(m_name, m_length, first++).left(value.size()));
        return values;
    }

private:
    QString m_name;
    int m_length;
};
