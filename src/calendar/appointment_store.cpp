#include "calendar/appointment_store.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr int kLen = AppointmentStore::RecordLength;
constexpr int kK = AppointmentStore::BlockSize;
constexpr int kFields = 7;
constexpr int kFlagField = 5;

// The bytes of an empty String field, which also read back as the flag "no".
const QByteArray kEmptyValue(2, '\0');

// Records [first, first + count) of the file held in memory and kept in step with the writes
// made through it, so that an operation reads its records once and rewrites only those whose
// value changes.
class RecordBlock {
public:
    RecordBlock(int file, qint64 first, qint64 count)
        : m_file(file), m_first(first), m_bytes(ReadRecords(file, first, count))
    {}

    QByteArrayView record(qint64 r) const
    {
        const qint64 offset = (r - m_first) * kLen;
        if (r < m_first || offset + kLen > m_bytes.size())
            return {};
        return QByteArrayView(m_bytes).sliced(offset, kLen);
    }

    // Writes `value` at the start of record r unless the record already holds it.
    RecordStatus put(qint64 r, const QByteArray &value)
    {
        const QByteArrayView current = record(r);
        if (!current.isEmpty() && current.startsWith(value))
            return RecordStatus::success();
        const RecordStatus status = WriteRecordBytes(m_file, r, value);
        if (status.ok() && !current.isEmpty())
            std::copy(value.begin(), value.end(), m_bytes.begin() + (r - m_first) * kLen);
        return status;
    }

    // Changes record r in memory only, as put() would change it in the file; writeStaged()
    // then writes every staged change at once.
    void stage(qint64 r, QByteArrayView value)
    {
        const qint64 offset = (r - m_first) * kLen;
        if (r < m_first || offset + kLen > m_bytes.size() ||
            QByteArrayView(m_bytes).sliced(offset, kLen).startsWith(value))
            return;
        std::copy(value.begin(), value.end(), m_bytes.begin() + offset);
        m_stagedBegin = std::min(m_stagedBegin, offset);
        m_stagedEnd = std::max(m_stagedEnd, offset + value.size());
    }

    // Writes the staged records in one write, from the first changed byte to the last, in
    // ascending order.
    RecordStatus writeStaged()
    {
        if (m_stagedEnd <= m_stagedBegin)
            return RecordStatus::success();
        const RecordStatus status = WriteRecordSpan(
            m_file, m_first, m_stagedBegin,
            QByteArrayView(m_bytes).sliced(m_stagedBegin, m_stagedEnd - m_stagedBegin));
        m_stagedBegin = std::numeric_limits<qint64>::max();
        m_stagedEnd = 0;
        return status;
    }

private:
    int m_file;
    qint64 m_first;
    QByteArray m_bytes;
    qint64 m_stagedBegin = std::numeric_limits<qint64>::max();
    qint64 m_stagedEnd = 0;
};

// Records looked at in place, as a scan of the whole file reads them: a window at a time.
class RecordRun {
public:
    RecordRun(int file, qint64 first, qint64 count) : m_reader(file, first, count) {}

    // Record r as far as the file holds it: shorter at the end of the file, empty past it.
    QByteArrayView record(qint64 r) const { return m_reader.record(r); }

    QString text(qint64 r) const { return RecordCodec::decodeString(record(r)); }

private:
    mutable RecordReader m_reader;
};

// The stored value of a String record: its length prefix and the text it announces.
QByteArrayView stringValue(QByteArrayView rec)
{
    if (rec.size() < 2)
        return kEmptyValue;
    const qsizetype n = qFromLittleEndian<quint16>(rec.data());
    return rec.first(2 + std::min(n, rec.size() - 2));
}

// The stored value of record k (1 to 7) of a block, as it is copied when entries move.
QByteArrayView fieldValue(QByteArrayView rec, int k)
{
    if (k == kFlagField)
        return rec.size() >= 2 ? rec.first(2) : QByteArrayView(kEmptyValue);
    return stringValue(rec);
}

// The sequence number of an id: the text after its first nine characters read as a number
// (leading digits only; none gives 0).
int sequenceNumber(QStringView id)
{
    int n = 0;
    for (const QChar c : id.mid(std::min<qsizetype>(9, id.size()))) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || n > 100000000)
            break;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

bool isOfDay(QStringView id, QStringView dayKey)
{
    return id.left(8) == dayKey;
}

template <typename Block> Appointment decodeAppointment(const Block &block, qint64 firstRecord)
{
    Appointment a;
    a.AppointmentId = RecordCodec::decodeString(block.record(firstRecord));
    a.Subject = RecordCodec::decodeString(block.record(firstRecord + 1));
    a.StartTime = RecordCodec::decodeString(block.record(firstRecord + 2));
    a.EndTime = RecordCodec::decodeString(block.record(firstRecord + 3));
    a.ReminderOn = RecordCodec::decodeFlag(block.record(firstRecord + 4));
    a.ReminderMinutes = RecordCodec::decodeString(block.record(firstRecord + 5));
    a.Description = RecordCodec::decodeString(block.record(firstRecord + 6));
    return a;
}

// Calls f(position, run) for positions 0 to count-1, looking at the whole file in one run.
template <typename F> void scanAppointments(int file, int count, F f)
{
    if (count <= 0)
        return;
    const RecordRun run(file, 1, qint64(count) * kK);
    for (int i = 0; i < count; ++i)
        f(i, run);
}

// Refuses a field that does not fit its record, before anything is written.
StoreResult checkLengths(const Appointment &a, bool withId)
{
    const std::array<std::pair<const QString *, const char *>, 6> fields = {{
        {&a.AppointmentId, "appointment id"},
        {&a.Subject, "subject"},
        {&a.StartTime, "start time"},
        {&a.EndTime, "end time"},
        {&a.ReminderMinutes, "reminder time"},
        {&a.Description, "description"},
    }};
    for (const auto &[text, what] : fields) {
        if (!withId && text == &a.AppointmentId)
            continue;
        if (RecordCodec::encodeString(*text).size() - 2 > kLen - 2) {
            return {StoreResult::TooLong,
                    QStringLiteral("The %1 is too long: at most %2 characters can be stored.")
                        .arg(QLatin1StringView(what))
                        .arg(kLen - 2)};
        }
    }
    return StoreResult::success();
}

// Writes field k (1 to 7) of an appointment to record r: field 5 as a Flag, the others as Strings.
RecordStatus writeField(int file, qint64 r, int k, const Appointment &a)
{
    switch (k) {
    case 1:
        return PutString(file, r, a.AppointmentId);
    case 2:
        return PutString(file, r, a.Subject);
    case 3:
        return PutString(file, r, a.StartTime);
    case 4:
        return PutString(file, r, a.EndTime);
    case kFlagField:
        return PutFlag(file, r, a.ReminderOn != 0);
    case 6:
        return PutString(file, r, a.ReminderMinutes);
    default:
        return PutString(file, r, a.Description);
    }
}

} // namespace

int AppointmentStore::GetAppointmentCount() const
{
    return std::clamp(GetCount(m_file, kK).valueOrZero(), 0, Capacity);
}

QString AppointmentStore::DayKey(QDate date)
{
    return QStringLiteral("%1%2%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString AppointmentStore::MakeAppointmentId(QDate date, int n)
{
    return DayKey(date) + QLatin1Char('-') + QString::number(n);
}

Appointment AppointmentStore::ReadAppointment(int position) const
{
    if (position < 0 || position >= Capacity)
        return {};
    const qint64 first = qint64(position) * kK + 1;
    return decodeAppointment(RecordBlock(m_file, first, kFields), first);
}

int AppointmentStore::FindAppointment(const QString &id) const
{
    int found = -1;
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordRun &block) {
        if (RecordCodec::decodeString(block.record(qint64(i) * kK + 1)) == id)
            found = i;
    });
    return found;
}

QList<int> AppointmentStore::ListDayAppointments(const QString &dayKey) const
{
    QList<int> positions;
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordRun &block) {
        if (isOfDay(RecordCodec::decodeString(block.record(qint64(i) * kK + 1)), dayKey))
            positions.append(i);
    });
    return positions;
}

QStringList AppointmentStore::ReadAllIds() const
{
    QStringList ids;
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordRun &block) {
        ids.append(RecordCodec::decodeString(block.record(qint64(i) * kK + 1)));
    });
    return ids;
}

QList<Appointment> AppointmentStore::ReadDayAppointments(const QString &dayKey) const
{
    QList<Appointment> day;
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordRun &block) {
        const qint64 first = qint64(i) * kK + 1;
        if (isOfDay(RecordCodec::decodeString(block.record(first)), dayKey))
            day.append(decodeAppointment(block, first));
    });
    return day;
}

StoreResult AppointmentStore::AddAppointment(const Appointment &a)
{
    const int c = GetAppointmentCount();
    if (c >= Capacity) {
        return {StoreResult::CapacityFull,
                QStringLiteral("The appointment book is full: it can hold no more than %1 "
                               "appointments. Delete appointments you no longer need, then add "
                               "this one again.")
                    .arg(Capacity)};
    }
    if (StoreResult check = checkLengths(a, true); !check.ok())
        return check;

    // The fields first, the count last: an appointment becomes part of the file only when all
    // seven of its fields are written.
    const qint64 first = qint64(c) * kK + 1;
    for (int k = 1; k <= kFields; ++k) {
        if (const RecordStatus s = writeField(m_file, first + k - 1, k, a); !s.ok())
            return StoreResult::fromRecord(s);
    }
    return StoreResult::fromRecord(PutCount(m_file, kK, c + 1));
}

StoreResult AppointmentStore::UpdateAppointment(const QString &id, const Appointment &fields)
{
    if (StoreResult check = checkLengths(fields, false); !check.ok())
        return check;
    const QList<int> matches = [&] {
        QList<int> m;
        scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordRun &block) {
            if (RecordCodec::decodeString(block.record(qint64(i) * kK + 1)) == id)
                m.append(i);
        });
        return m;
    }();
    if (matches.isEmpty()) {
        return {StoreResult::NotFound,
                QStringLiteral("The appointment %1 is no longer in the appointment book.").arg(id)};
    }
    // Every appointment carrying the id gets the new fields 2 to 7; record 1 (the id) stays.
    for (const int i : matches) {
        for (int k = 2; k <= kFields; ++k) {
            const RecordStatus s = writeField(m_file, qint64(i) * kK + k, k, fields);
            if (!s.ok())
                return StoreResult::fromRecord(s);
        }
    }
    return StoreResult::success();
}

StoreResult AppointmentStore::DeleteAppointment(const QString &id)
{
    const int c = GetAppointmentCount();
    const StoreResult notFound{
        StoreResult::NotFound,
        QStringLiteral("The appointment %1 is no longer in the appointment book.").arg(id)};
    if (c == 0)
        return notFound;

    RecordBlock block(m_file, 1, qint64(c) * kK);
    int p = -1;
    for (int i = 0; i < c; ++i) {
        if (RecordCodec::decodeString(block.record(qint64(i) * kK + 1)) == id)
            p = i;
    }
    // Only the appointment asked for is removed, also when it is the only one in the file.
    if (p < 0)
        return notFound;

    // Close the gap: every later appointment moves down one position, field by field, and the
    // old last block is blanked; the changed records go to the file in one ascending write.
    for (int j = p; j <= c - 2; ++j) {
        for (int k = 1; k <= kFields; ++k)
            block.stage(qint64(j) * kK + k, fieldValue(block.record(qint64(j + 1) * kK + k), k));
    }
    for (int k = 1; k <= kFields; ++k)
        block.stage(qint64(c - 1) * kK + k, kEmptyValue);
    if (const RecordStatus s = block.writeStaged(); !s.ok())
        return StoreResult::fromRecord(s);
    if (const RecordStatus s = PutCount(m_file, kK, c - 1); !s.ok())
        return StoreResult::fromRecord(s);

    // Renumber the later appointments of the same day, so the day's ids stay 1, 2, 3, ...
    const QStringView day = QStringView(id).left(8);
    const int deleted = sequenceNumber(id);
    for (int i = 0; i <= c - 2; ++i) {
        const qint64 r = qint64(i) * kK + 1;
        const QString other = RecordCodec::decodeString(block.record(r));
        if (other.left(8) != day)
            continue;
        const int n = sequenceNumber(other);
        if (n <= deleted)
            continue;
        const QString renumbered = other.left(9) + QString::number(n - 1);
        if (const RecordStatus s = block.put(r, RecordCodec::encodeString(renumbered)); !s.ok())
            return StoreResult::fromRecord(s);
    }
    return StoreResult::success();
}
