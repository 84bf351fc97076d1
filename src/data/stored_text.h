// Helpers for stored texts: the stores' scans that look at records in place without decoding
// every text, and the trimming with which the windows show texts read from the files.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace StoredText {

// The text bytes of a String record: as many as its length announces, within the record and
// what the file holds of it.
inline QByteArrayView of(QByteArrayView record)
{
    if (record.size() < 2)
        return {};
    const qsizetype length = qFromLittleEndian<quint16>(record.data());
    return record.sliced(2, std::min<qsizetype>(length, record.size() - 2));
}

// The day number 1 to 31 of two stored digit bytes "01" to "31", or 0.
inline int dayOfTwoDigits(QByteArrayView text)
{
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
        return 0;
    const int day = (text[0] - '0') * 10 + (text[1] - '0');
    return day >= 1 && day <= 31 ? day : 0;
}

// The day numbers marked in `marked` (index 1 to 31), ascending.
inline QList<int> markedDays(const std::array<bool, 32> &marked)
{
    QList<int> days;
    for (int d = 1; d <= 31; ++d) {
        if (marked[std::size_t(d)])
            days.append(d);
    }
    return days;
}

// The text with leading and trailing blanks removed (only blanks; line breaks and tabs stay),
// as texts read from the files are shown.
inline QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace StoredText
