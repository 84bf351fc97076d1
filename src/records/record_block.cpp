#include "records/record_block.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

RecordBlock::RecordBlock(int file, qint64 first, qint64 count)
    : m_file(file), m_len(RecordFileLength(file)), m_first(first)
{
    m_bytes = ReadRecords(file, first, count, &m_present);
}

RecordBlock::RecordBlock(int file, qint64 first, qint64 count, ReadOnly)
    : RecordBlock(file, first,
                  std::clamp<qint64>(RecordFileRecordCount(file) - first + 1, 0, count))
{}

QByteArrayView RecordBlock::record(qint64 r) const
{
    const qint64 offset = (r - m_first) * m_len;
    if (r < m_first || offset + m_len > m_bytes.size())
        return {};
    return QByteArrayView(m_bytes).sliced(offset, std::clamp<qint64>(m_present - offset, 0, m_len));
}

RecordStatus RecordBlock::putSpan(qint64 first, const QList<QByteArray> &values, bool all)
{
    qsizetype from = -1;
    qsizetype to = -1;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QByteArrayView current = record(first + i);
        if (all || current.isEmpty() || !current.startsWith(values[i])) {
            if (from < 0)
                from = i;
            to = i;
        }
    }
    if (from < 0)
        return RecordStatus::success();
    QByteArray span;
    for (qsizetype i = from; i <= to; ++i) {
        QByteArray rec = record(first + i).toByteArray();
        rec.resize(m_len, '\0');
        rec.replace(0, values[i].size(), values[i]);
        span.append(i == to ? rec.first(values[i].size()) : rec);
    }
    const RecordStatus status = WriteRecordSpan(m_file, first + from, span);
    if (status.ok()) {
        const qint64 end = (first + from - m_first) * m_len + span.size();
        m_present = std::max(m_present, std::min<qint64>(end, m_bytes.size()));
        for (qsizetype i = from; i <= to; ++i) {
            const qint64 r = first + i;
            if (r >= m_first && (r - m_first + 1) * m_len <= m_bytes.size())
                m_bytes.replace((r - m_first) * m_len, values[i].size(), values[i]);
        }
    }
    return status;
}

void RecordBlock::Change::put(qint64 r, QByteArrayView value)
{
    if (m_outside)
        return;
    const QByteArrayView current = m_block.record(r);
    if (!current.isEmpty() && current.startsWith(value))
        return;
    const qint64 offset = (r - m_block.m_first) * m_block.m_len;
    if (r < m_block.m_first || offset + m_block.m_len > m_block.m_bytes.size()) {
        // Outside the block (never so in the stores): written at once, and nothing after it.
        m_outside = true;
        m_outsideStatus = WriteRecordSpan(m_block.m_file, r, value);
        return;
    }
    if (m_from < 0)
        m_image = m_block.m_bytes;
    std::copy(value.begin(), value.end(), m_image.data() + offset);
    m_from = m_from < 0 ? offset : std::min(m_from, offset);
    m_to = std::max(m_to, offset + value.size());
}

void RecordBlock::Change::putStoredValueOf(qint64 r, qint64 source)
{
    const QByteArrayView rec = m_block.record(source);
    if (rec.size() < 2)
        return put(r, kEmptyStringValue);
    const qsizetype declared = qFromLittleEndian<quint16>(rec.data());
    if (declared <= rec.size() - 2)
        return put(r, rec.first(2 + declared));
    put(r, StoredStringValue(rec)); // a length prefix beyond the record: cut to what it holds
}

RecordStatus RecordBlock::Change::write()
{
    if (m_outside)
        return m_outsideStatus;
    if (m_from < 0)
        return RecordStatus::success();
    const RecordStatus status =
        WriteRecordSpan(m_block.m_file, m_block.m_first + m_from / m_block.m_len,
                        QByteArrayView(m_image).sliced(m_from, m_to - m_from));
    if (status.ok()) {
        m_block.m_bytes = std::move(m_image);
        m_block.m_present =
            std::max(m_block.m_present, std::min<qint64>(m_to, m_block.m_bytes.size()));
    }
    m_image.clear();
    m_from = m_to = -1;
    return status;
}

QByteArray StoredStringValue(QByteArrayView rec)
{
    if (rec.size() < 2)
        return kEmptyStringValue;
    const qsizetype declared = qFromLittleEndian<quint16>(rec.data());
    const qsizetype n = std::min(declared, rec.size() - 2);
    if (n == declared)
        return rec.first(2 + n).toByteArray();
    QByteArray value(2, '\0');
    qToLittleEndian<quint16>(quint16(n), value.data());
    return value + rec.sliced(2, n).toByteArray();
}

StoreResult CountForWrite(int file, int blockSize, int capacity, const char *kind, int *count)
{
    const StoreCount c = ReadStoreCount(file, blockSize, capacity);
    if (c.damaged()) {
        return {StoreResult::WriteFailed,
                QStringLiteral("The %1 file %2 has a damaged count record (%3); nothing was "
                               "changed.")
                    .arg(QLatin1StringView(kind), QFileInfo(RecordFilePath(file)).fileName(),
                         c.damage)};
    }
    *count = c.usable;
    return StoreResult::success();
}

StoreResult Flushed(int file, StoreResult result)
{
    if (!result.ok())
        return result;
    return StoreResult::fromRecord(FlushRecordFile(file));
}

StoreResult CheckFits(int file, const QString &text, const char *what)
{
    if (const QString bad = Cp1252::unstorable(text); !bad.isEmpty()) {
        QStringList named;
        for (qsizetype i = 0; i < bad.size(); ++i) {
            const qsizetype width = bad[i].isHighSurrogate() ? 2 : 1;
            const QString c = bad.mid(i, width);
            const char32_t code = QStringView(c).toUcs4().value(0);
            named.append(
                QStringLiteral("\"%1\" (U+%2)")
                    .arg(c, QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper()));
            i += width - 1;
        }
        return {StoreResult::Unstorable,
                QStringLiteral("The %1 holds characters that Tallowby's files cannot store: %2. "
                               "Nothing was saved. Replace or remove them, then save again.")
                    .arg(QLatin1StringView(what), named.join(QStringLiteral(", ")))};
    }
    const int room = RecordFileLength(file) - 2;
    if (RecordCodec::encodeString(text).size() - 2 > room) {
        return {StoreResult::TooLong,
                QStringLiteral("The %1 is too long: at most %2 characters can be stored.")
                    .arg(QLatin1StringView(what))
                    .arg(room)};
    }
    return StoreResult::success();
}
