#include "data/appointment_store.h"

#include "data/stored_text.h"
#include "records/record_block.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int kK = AppointmentStore::BlockSize;
constexpr int kFields = 7;
constexpr int kFlagField = 5;
// Appointments read per block when scanning the whole file (128 KiB per read).
constexpr int kScanChunk = 128;

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

// A text to look for among the stored ids. One of plain ASCII characters (as the program makes
// ids and day keys) is compared with the stored bytes, without decoding them: a stored text
// starts with or equals it only when its bytes do. Any other is compared as text.
class IdText {
public:
    explicit IdText(const QString &text)
        : m_text(text), m_bytes(text.toLatin1()),
          m_ascii(std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
    {}
    bool isIdOf(QByteArrayView rec) const
    {
        return m_ascii ? StoredText::of(rec) == m_bytes : RecordCodec::decodeString(rec) == m_text;
    }
    // Whether the id in `rec` is of the day this text is the key of (its first eight characters).
    bool isDayOf(QByteArrayView rec) const
    {
        if (m_ascii && m_text.size() == 8)
            return StoredText::of(rec).startsWith(m_bytes);
        return isOfDay(RecordCodec::decodeString(rec), m_text);
    }

private:
    QString m_text;
    QByteArray m_bytes;
    bool m_ascii;
};

Appointment decodeAppointment(const RecordBlock &block, qint64 firstRecord)
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

// Calls f(position, block) for positions 0 to count-1, reading the file in a few large blocks.
template <typename F> void scanAppointments(int file, int count, F f)
{
    for (int start = 0; start < count; start += kScanChunk) {
        const int n = std::min(kScanChunk, count - start);
        const RecordBlock block(file, qint64(start) * kK + 1, qint64(n) * kK,
                                RecordBlock::ReadOnly{});
        for (int i = start; i < start + n; ++i)
            f(i, block);
    }
}

// Refuses a field that does not fit its record, before anything is written.
StoreResult checkLengths(int file, const Appointment &a, bool withId)
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
        if (StoreResult check = CheckFits(file, *text, what); !check.ok())
            return check;
    }
    return StoreResult::success();
}

// The stored value of field k (1 to 7) of an appointment: field 5 as a Flag, the others as
// Strings.
QByteArray encodeField(int k, const Appointment &a)
{
    switch (k) {
    case 1:
        return RecordCodec::encodeString(a.AppointmentId);
    case 2:
        return RecordCodec::encodeString(a.Subject);
    case 3:
        return RecordCodec::encodeString(a.StartTime);
    case 4:
        return RecordCodec::encodeString(a.EndTime);
    case kFlagField:
        return a.ReminderOn != 0 ? QByteArray("\xFF\xFF", 2) : kEmptyStringValue;
    case 6:
        return RecordCodec::encodeString(a.ReminderMinutes);
    default:
        return RecordCodec::encodeString(a.Description);
    }
}

// The count for a write, or the refusal to write when the count record is damaged: a count
// that cannot be trusted would put the next appointment over existing ones.
StoreResult countForWrite(int file, int *count)
{
    return CountForWrite(file, kK, AppointmentStore::Capacity, "appointment", count);
}

} // namespace

int AppointmentStore::GetAppointmentCount() const
{
    return ReadStoreCount(m_file, kK, Capacity).usable;
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

QString AppointmentStore::NextAppointmentId(const QString &dayKey) const
{
    QStringList dayIds;
    const IdText day(dayKey);
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordBlock &block) {
        if (day.isDayOf(block.record(qint64(i) * kK + 1)))
            dayIds.append(RecordCodec::decodeString(block.record(qint64(i) * kK + 1)));
    });
    for (qsizetype n = dayIds.size() + 1;; ++n) {
        const QString id = dayKey + QLatin1Char('-') + QString::number(n);
        if (!dayIds.contains(id))
            return id;
    }
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
    const IdText wanted(id);
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordBlock &block) {
        if (wanted.isIdOf(block.record(qint64(i) * kK + 1)))
            found = i;
    });
    return found;
}

QList<int> AppointmentStore::ListDayAppointments(const QString &dayKey) const
{
    QList<int> positions;
    const IdText day(dayKey);
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordBlock &block) {
        if (day.isDayOf(block.record(qint64(i) * kK + 1)))
            positions.append(i);
    });
    return positions;
}

QStringList AppointmentStore::ReadAllIds() const
{
    QStringList ids;
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordBlock &block) {
        ids.append(RecordCodec::decodeString(block.record(qint64(i) * kK + 1)));
    });
    return ids;
}

QList<Appointment> AppointmentStore::ReadAllAppointments() const
{
    QList<Appointment> all;
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordBlock &block) {
        all.append(decodeAppointment(block, qint64(i) * kK + 1));
    });
    return all;
}

QList<Appointment> AppointmentStore::ReadDayAppointments(const QString &dayKey) const
{
    QList<Appointment> day;
    const IdText key(dayKey);
    scanAppointments(m_file, GetAppointmentCount(), [&](int i, const RecordBlock &block) {
        const qint64 first = qint64(i) * kK + 1;
        if (key.isDayOf(block.record(first)))
            day.append(decodeAppointment(block, first));
    });
    return day;
}

QList<int> AppointmentStore::DaysWithAppointments(int year, int month) const
{
    // An id marks day d when its first eight characters are the month's "YYYYMM" and d as two
    // digits; the keys are plain digits, one byte each in the code page, so the stored bytes
    // are compared as they are.
    std::array<bool, 32> marked{};
    const QByteArray monthKey =
        QStringLiteral("%1%2").arg(year).arg(month, 2, 10, QLatin1Char('0')).toLatin1();
    const int count = GetAppointmentCount();
    if (count > 0) {
        RecordReader reader(m_file, 1, qint64(count - 1) * kK + 1);
        for (int k = 0; k < count; ++k) {
            const QByteArrayView id = StoredText::of(reader.record(qint64(k) * kK + 1));
            if (id.size() >= 8 && id.startsWith(monthKey))
                marked[std::size_t(StoredText::dayOfTwoDigits(id.sliced(6, 2)))] = true;
        }
    }
    return StoredText::markedDays(marked);
}

StoreResult AppointmentStore::AddAppointment(const Appointment &a)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (c >= Capacity) {
        return {StoreResult::CapacityFull,
                QStringLiteral("The appointment book is full: it can hold no more than %1 "
                               "appointments. Delete appointments you no longer need, then add "
                               "this one again.")
                    .arg(Capacity)};
    }
    if (StoreResult check = checkLengths(m_file, a, true); !check.ok())
        return check;

    // The seven fields in one write, the count last: an appointment becomes part of the file
    // only when all of its fields are written.
    const qint64 first = qint64(c) * kK + 1;
    QList<QByteArray> values;
    for (int k = 1; k <= kFields; ++k)
        values.append(encodeField(k, a));
    RecordBlock block(m_file, first, kFields);
    if (const RecordStatus s = block.putSpan(first, values, true); !s.ok())
        return StoreResult::fromRecord(s);
    return Flushed(m_file, StoreResult::fromRecord(PutCount(m_file, kK, c + 1)));
}

StoreResult AppointmentStore::UpdateAppointment(const QString &id, const Appointment &fields)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (StoreResult check = checkLengths(m_file, fields, false); !check.ok())
        return check;
    // The appointment that the lookup finds (the last one carrying the id) gets the new fields
    // 2 to 7; record 1 (the id) stays. Another appointment that happens to carry the same id
    // in a damaged file keeps its own fields.
    int p = -1;
    const IdText wanted(id);
    scanAppointments(m_file, c, [&](int i, const RecordBlock &block) {
        if (wanted.isIdOf(block.record(qint64(i) * kK + 1)))
            p = i;
    });
    if (p < 0) {
        return {StoreResult::NotFound,
                QStringLiteral("The appointment %1 is no longer in the appointment book.").arg(id)};
    }
    // Fields 2 to 7 in one write: the appointment is never left half changed.
    const qint64 first = qint64(p) * kK + 2;
    QList<QByteArray> values;
    for (int k = 2; k <= kFields; ++k)
        values.append(encodeField(k, fields));
    RecordBlock block(m_file, first, kFields - 1);
    return Flushed(m_file, StoreResult::fromRecord(block.putSpan(first, values, true)));
}

StoreResult AppointmentStore::DeleteAppointment(const QString &id)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    const StoreResult notFound{
        StoreResult::NotFound,
        QStringLiteral("The appointment %1 is no longer in the appointment book.").arg(id)};
    if (c == 0)
        return notFound;

    RecordBlock block(m_file, 1, qint64(c) * kK);
    const IdText wanted(id);
    int p = -1;
    for (int i = 0; i < c; ++i) {
        if (wanted.isIdOf(block.record(qint64(i) * kK + 1)))
            p = i;
    }
    // Only the appointment asked for is removed, also when it is the only one in the file.
    if (p < 0)
        return notFound;

    // The later appointments of the same day take the next lower sequence number, so the
    // day's ids stay 1, 2, 3, ...
    const IdText dayKey(id.left(8));
    const int deleted = sequenceNumber(id);
    auto renumbered = [&](QByteArrayView idRecord) -> std::optional<QByteArray> {
        if (!dayKey.isDayOf(idRecord))
            return std::nullopt;
        const QString other = RecordCodec::decodeString(idRecord);
        const int n = sequenceNumber(other);
        if (n <= deleted)
            return std::nullopt;
        return RecordCodec::encodeString(other.left(9) + QString::number(n - 1));
    };

    // Close the gap: every later appointment moves down one position, renumbered as it moves,
    // and the appointments of the day before the deleted one with a higher number (only in a
    // file whose numbering is already broken) are renumbered the same way; all of it in one
    // ascending write from the first record that changes. A process that dies meanwhile leaves
    // one appointment twice, never one missing, never one made of two, and never a day whose
    // numbers are only partly changed.
    RecordBlock::Change change(block);
    for (int i = 0; i < p; ++i) {
        if (const auto newId = renumbered(block.record(qint64(i) * kK + 1)))
            change.put(qint64(i) * kK + 1, *newId);
    }
    for (int j = p; j <= c - 2; ++j) {
        const qint64 to = qint64(j) * kK, from = qint64(j + 1) * kK;
        if (const auto newId = renumbered(block.record(from + 1)))
            change.put(to + 1, *newId);
        else
            change.putStoredValueOf(to + 1, from + 1);
        for (int k = 2; k <= kFields; ++k) {
            if (k == kFlagField) {
                const QByteArrayView flag = block.record(from + k);
                change.put(to + k,
                           flag.size() >= 2 ? flag.first(2) : QByteArrayView(kEmptyStringValue));
            } else {
                change.putStoredValueOf(to + k, from + k);
            }
        }
    }
    if (const RecordStatus s = change.write(); !s.ok())
        return StoreResult::fromRecord(s);
    // The count before the blanking: the old last block is then outside the count, so an
    // interruption never shows an empty appointment.
    if (const RecordStatus s = PutCount(m_file, kK, c - 1); !s.ok())
        return StoreResult::fromRecord(s);
    if (const RecordStatus s =
            block.putSpan(qint64(c - 1) * kK + 1, QList<QByteArray>(kFields, kEmptyStringValue));
        !s.ok())
        return StoreResult::fromRecord(s);
    return Flushed(m_file, StoreResult::success());
}
