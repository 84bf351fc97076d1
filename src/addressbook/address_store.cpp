#include "addressbook/address_store.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr int kLen = AddressStore::RecordLength;
constexpr int kK = AddressStore::BlockSize;
constexpr int kFields = 15;

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

    QString text(qint64 r) const { return RecordCodec::decodeString(record(r)); }

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

// Calls f(position, run) for positions 0 to count-1, looking at the whole file in one run.
template <typename F> void scanEntries(int file, int count, F f)
{
    if (count <= 0)
        return;
    const RecordRun run(file, 1, qint64(count) * kK);
    for (int i = 0; i < count; ++i)
        f(i, run);
}

qint64 recordOf(int position, int field)
{
    return qint64(position) * kK + field;
}

// The fifteen fields of an entry in record order.
template <typename E> auto fieldsOf(E &e)
{
    return std::array<decltype(&e.Name), kFields>{
        &e.DisplayName,    &e.Name,           &e.Surname,     &e.Address,  &e.PhoneHome,
        &e.PhoneBusiness1, &e.PhoneBusiness2, &e.PhoneMobile, &e.PhoneFax, &e.PhoneOther,
        &e.BirthdayDate,   &e.HasBirthday,    &e.EMail,       &e.HomePage, &e.Notes};
}

constexpr std::array<const char *, kFields> kFieldNames = {"name as listed",
                                                           "first name",
                                                           "surname",
                                                           "address",
                                                           "home phone number",
                                                           "business phone number #1",
                                                           "business phone number #2",
                                                           "mobile phone number",
                                                           "fax number",
                                                           "other phone number",
                                                           "birthday",
                                                           "birthday flag",
                                                           "e-mail address",
                                                           "home page",
                                                           "notes"};

// Refuses an entry with a field that does not fit its record, before anything is written.
StoreResult checkLengths(const AddressEntry &e)
{
    const auto fields = fieldsOf(e);
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (RecordCodec::encodeString(*fields[k]).size() - 2 > kLen - 2) {
            return {StoreResult::TooLong,
                    QStringLiteral("The %1 is too long: at most %2 characters can be stored.")
                        .arg(QLatin1StringView(kFieldNames[k]))
                        .arg(kLen - 2)};
        }
    }
    return StoreResult::success();
}

StoreResult nameTaken()
{
    return {StoreResult::NameTaken, QStringLiteral("Entry Already Exists!")};
}

StoreResult notFound(const QString &name)
{
    return {StoreResult::NotFound,
            QStringLiteral("The entry \"%1\" is no longer in the address book.").arg(name)};
}

// Writes the fifteen fields of `e` as the entry at `position`, in field order.
StoreResult writeEntry(int file, int position, const AddressEntry &e)
{
    const auto fields = fieldsOf(e);
    for (int k = 1; k <= kFields; ++k) {
        const RecordStatus s = PutString(file, recordOf(position, k), *fields[std::size_t(k - 1)]);
        if (!s.ok())
            return StoreResult::fromRecord(s);
    }
    return StoreResult::success();
}

// Removes the entry at position p of the c entries held in `block` (records 1 to 16*c): every
// later entry moves down one position, the old last block is blanked and the count lowered.
StoreResult removeAt(int file, RecordBlock &block, int p, int c)
{
    // The changed records go to the file in one ascending write, then the count.
    for (int j = p; j <= c - 2; ++j) {
        for (int k = 1; k <= kFields; ++k)
            block.stage(recordOf(j, k), stringValue(block.record(recordOf(j + 1, k))));
    }
    for (int k = 1; k <= kFields; ++k)
        block.stage(recordOf(c - 1, k), kEmptyValue);
    if (const RecordStatus s = block.writeStaged(); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(PutCount(file, kK, c - 1));
}

// The display names of the c entries held in `block`.
QStringList namesIn(const RecordBlock &block, int c)
{
    QStringList names;
    names.reserve(c);
    for (int i = 0; i < c; ++i)
        names.append(block.text(recordOf(i, 1)));
    return names;
}

} // namespace

int AddressStore::GetEntryCount() const
{
    return std::clamp(GetCount(m_file, kK).valueOrZero(), 0, Capacity);
}

QString AddressStore::ReadDisplayName(int position) const
{
    if (position < 0 || position >= Capacity)
        return {};
    return GetString(m_file, recordOf(position, 1));
}

QStringList AddressStore::ReadAllDisplayNames() const
{
    QStringList names;
    scanEntries(m_file, GetEntryCount(),
                [&](int i, const RecordRun &block) { names.append(block.text(recordOf(i, 1))); });
    return names;
}

int AddressStore::FindAddressEntry(const QString &name) const
{
    int found = -1;
    scanEntries(m_file, GetEntryCount(), [&](int i, const RecordRun &block) {
        if (block.text(recordOf(i, 1)) == name)
            found = i;
    });
    return found;
}

AddressEntry AddressStore::ReadAddressEntry(int position) const
{
    if (position < 0 || position >= Capacity)
        return {};
    const RecordBlock block(m_file, recordOf(position, 1), kFields);
    AddressEntry e;
    const auto fields = fieldsOf(e);
    for (int k = 1; k <= kFields; ++k)
        *fields[std::size_t(k - 1)] = block.text(recordOf(position, k));
    return e;
}

QList<BirthdayInfo> AddressStore::ReadBirthdays() const
{
    QList<BirthdayInfo> out;
    scanEntries(m_file, GetEntryCount(), [&](int i, const RecordRun &block) {
        out.append(
            {block.text(recordOf(i, 1)), block.text(recordOf(i, 11)), block.text(recordOf(i, 12))});
    });
    return out;
}

AddressEntry AddressStore::BuildEntry(const QString &name, const QString &surname,
                                      const QString &address, const QStringList &phones,
                                      QDate birthday, bool hasBirthday, const QString &email,
                                      const QString &homePage, const QString &notes)
{
    AddressEntry e;
    e.DisplayName = surname + QStringLiteral(", ") + name;
    e.Name = name;
    e.Surname = surname;
    e.Address = address;
    e.PhoneHome = phones.value(0);
    e.PhoneBusiness1 = phones.value(1);
    e.PhoneBusiness2 = phones.value(2);
    e.PhoneMobile = phones.value(3);
    e.PhoneFax = phones.value(4);
    e.PhoneOther = phones.value(5);
    e.BirthdayDate = QStringLiteral("%1/%2/%3")
                         .arg(birthday.day(), 2, 10, QLatin1Char('0'))
                         .arg(birthday.month(), 2, 10, QLatin1Char('0'))
                         .arg(birthday.year(), 4, 10, QLatin1Char('0'));
    e.HasBirthday = hasBirthday ? QStringLiteral("1") : QStringLiteral("0");
    e.EMail = email;
    e.HomePage = homePage;
    e.Notes = notes;
    return e;
}

StoreResult AddressStore::AddAddressEntry(const AddressEntry &entry)
{
    const int c = GetEntryCount();
    if (ReadAllDisplayNames().contains(entry.DisplayName))
        return nameTaken();
    if (c >= Capacity) {
        return {StoreResult::CapacityFull,
                QStringLiteral("The address book is full: it can hold no more than %1 entries. "
                               "Delete entries you no longer need, then add this one again.")
                    .arg(Capacity)};
    }
    if (StoreResult check = checkLengths(entry); !check.ok())
        return check;
    // The fields first, the count last: the entry becomes part of the file only when complete.
    if (StoreResult written = writeEntry(m_file, c, entry); !written.ok())
        return written;
    return StoreResult::fromRecord(PutCount(m_file, kK, c + 1));
}

StoreResult AddressStore::DeleteAddressEntry(const QString &name)
{
    if (name.isEmpty())
        return notFound(name);
    const int c = GetEntryCount();
    RecordBlock block(m_file, 1, qint64(c) * kK);
    const int p = int(namesIn(block, c).lastIndexOf(name));
    if (p < 0)
        return notFound(name);
    return removeAt(m_file, block, p, c);
}

StoreResult AddressStore::ReplaceAddressEntry(const QString &oldName, const AddressEntry &entry)
{
    const int c = GetEntryCount();
    const QStringList names = ReadAllDisplayNames();
    const int p = int(names.lastIndexOf(oldName));
    if (p < 0)
        return notFound(oldName);
    // The new name may be the old one; any other entry carrying it makes it taken.
    if (entry.DisplayName != oldName && names.contains(entry.DisplayName))
        return nameTaken();
    if (c >= Capacity) {
        return {StoreResult::CapacityFull,
                QStringLiteral("The address book is full: it can hold no more than %1 entries, "
                               "and a changed entry needs room for one more while it is saved. "
                               "The entry has not been changed. Delete an entry you no longer "
                               "need, then save this one again.")
                    .arg(Capacity)};
    }
    if (StoreResult check = checkLengths(entry); !check.ok())
        return check;

    // Append the new entry and count it before the old one is removed, so that the entry is in
    // the file at every moment. The old one is removed by its position, since both may carry
    // the same display name.
    if (StoreResult written = writeEntry(m_file, c, entry); !written.ok())
        return written;
    if (const RecordStatus s = PutCount(m_file, kK, c + 1); !s.ok())
        return StoreResult::fromRecord(s);
    RecordBlock block(m_file, 1, qint64(c + 1) * kK);
    return removeAt(m_file, block, p, c + 1);
}
