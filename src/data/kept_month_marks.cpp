#include "data/kept_month_marks.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace {

// The file: this magic, then for each source its size and its times of last change of content
// and of metadata (milliseconds since the epoch), the build's name after its length, the year
// and the month, and the two sets of days as bit masks (bit d for day d), all little-endian.
constexpr char kMagic[8] = {'T', 'L', 'B', 'M', 'R', 'K', '1', '\n'};
constexpr qint64 kSettledMs = 2000;

// The state of the sources, or an empty array when one cannot be seen; the latest of their
// times of last change of content in `latest`.
QByteArray stateOf(const QStringList &sources, qint64 *latest)
{
    QByteArray state;
    *latest = 0;
    for (const QString &source : sources) {
        const QFileInfo info(source);
        const QDateTime changed = info.lastModified();
        const QDateTime metadata = info.metadataChangeTime();
        if (!info.isFile() || !changed.isValid())
            return {};
        const qint64 values[3] = {info.size(), changed.toMSecsSinceEpoch(),
                                  metadata.isValid() ? metadata.toMSecsSinceEpoch() : 0};
        for (qint64 v : values) {
            char bytes[8];
            qToLittleEndian(v, bytes);
            state.append(bytes, 8);
        }
        *latest = std::max(*latest, values[1]);
    }
    return state;
}

quint32 maskOf(const QList<int> &days)
{
    quint32 mask = 0;
    for (int d : days)
        if (d >= 1 && d <= 31)
            mask |= 1u << d;
    return mask;
}

QList<int> daysOf(quint32 mask)
{
    QList<int> days;
    for (int d = 1; d <= 31; ++d)
        if (mask & (1u << d))
            days.append(d);
    return days;
}

} // namespace

MonthMarks KeptMonthMarks(const QString &keptFile, const QStringList &sources,
                          const QByteArray &build, int year, int month, qint64 nowMs,
                          const std::function<MonthMarks()> &read)
{
    if (keptFile.isEmpty())
        return read();
    qint64 latest = 0;
    const QByteArray state = stateOf(sources, &latest);
    if (state.isEmpty())
        return read();

    QByteArray when(8, '\0');
    qToLittleEndian(qint32(year), when.data());
    qToLittleEndian(qint32(month), when.data() + 4);
    QByteArray buildSize(4, '\0');
    qToLittleEndian(quint32(build.size()), buildSize.data());
    const QByteArray key = QByteArray(kMagic, sizeof kMagic) + state + buildSize + build + when;
    QFile kept(keptFile);
    if (kept.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = kept.read(key.size() + 9);
        if (bytes.size() == key.size() + 8 && bytes.startsWith(key))
            return {daysOf(qFromLittleEndian<quint32>(bytes.constData() + key.size())),
                    daysOf(qFromLittleEndian<quint32>(bytes.constData() + key.size() + 4))};
        kept.close();
    }

    const MonthMarks marks = read();
    qint64 latestAfter = 0;
    if (nowMs - latest < kSettledMs || stateOf(sources, &latestAfter) != state)
        return marks;
    QByteArray masks(8, '\0');
    qToLittleEndian(maskOf(marks.appointmentDays), masks.data());
    qToLittleEndian(maskOf(marks.birthdayDays), masks.data() + 4);
    // Written beside the old one, which then gives way to it, so that a reader finds a whole
    // file or none; a cut-short one is never taken. Nothing is flushed: a lost file only means
    // that the next start reads the month from the files.
    QDir().mkpath(QFileInfo(keptFile).absolutePath());
    const QString part = keptFile + QStringLiteral(".part");
    QFile out(part);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        out.write(key + masks) == key.size() + masks.size() && out.flush()) {
        // The days that carry appointments are the owner's business only.
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        out.close();
        QFile::remove(keptFile);
        if (!QFile::rename(part, keptFile))
            QFile::remove(part);
    } else {
        QFile::remove(part);
    }
    return marks;
}
