#include "data/address_store.h"

#include "data/stored_text.h"
#include "records/record_block.h"

#include <QFileInfo>
#include <QLocale>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace {

constexpr int kK = AddressStore::BlockSize;
constexpr int kFields = 15;
// Entries read per block when scanning the whole file (256 KiB per read).
constexpr int kScanChunk = 128;

// Calls f(position, block) for positions 0 to count-1, reading the file in a few large blocks.
template <typename F> void scanEntries(int file, int count, F f)
{
    for (int start = 0; start < count; start += kScanChunk) {
        const int n = std::min(kScanChunk, count - start);
        const RecordBlock block(file, qint64(start) * kK + 1, qint64(n) * kK,
                                RecordBlock::ReadOnly{});
        for (int i = start; i < start + n; ++i)
            f(i, block);
    }
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
StoreResult checkLengths(int file, const AddressEntry &e)
{
    const auto fields = fieldsOf(e);
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (StoreResult check = CheckFits(file, *fields[k], kFieldNames[k]); !check.ok())
            return check;
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

// Writes the fifteen fields of `e` as the entry at `position`, in one write.
StoreResult writeEntry(int file, int position, const AddressEntry &e)
{
    QList<QByteArray> values;
    for (const QString *field : fieldsOf(e))
        values.append(RecordCodec::encodeString(*field));
    RecordBlock block(file, recordOf(position, 1), kFields);
    return StoreResult::fromRecord(block.putSpan(recordOf(position, 1), values, true));
}

// Moves the entries at positions p+1 to last of `block` down one position each, over the entry
// at p, all of them in one ascending write: a process that dies meanwhile leaves one entry
// twice but none missing.
RecordStatus moveDown(RecordBlock &block, int p, int last)
{
    RecordBlock::Change change(block);
    for (int j = p; j < last; ++j) {
        for (int k = 1; k <= kFields; ++k)
            change.putStoredValueOf(recordOf(j, k), recordOf(j + 1, k));
    }
    return change.write();
}

// Removes the entry at position p of the c entries held in `block` (records 1 to 16*c): every
// later entry moves down one position, then the count is lowered and the old last block
// blanked (in that order, so no empty entry ever shows).
StoreResult removeAt(int file, RecordBlock &block, int p, int c)
{
    if (const RecordStatus s = moveDown(block, p, c - 1); !s.ok())
        return StoreResult::fromRecord(s);
    if (const RecordStatus s = PutCount(file, kK, c - 1); !s.ok())
        return StoreResult::fromRecord(s);
    return StoreResult::fromRecord(
        block.putSpan(recordOf(c - 1, 1), QList<QByteArray>(kFields, kEmptyStringValue)));
}

// The count for a write, or the refusal to write when the count record is damaged: a count
// that cannot be trusted would put the next entry over existing ones.
StoreResult countForWrite(int file, int *count)
{
    return CountForWrite(file, kK, AddressStore::Capacity, "address book", count);
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

// Display name, birthday date and flag of the entries whose stored birthday date begins with
// `key` (every entry for an empty key), in position order; the others are passed over without
// decoding their texts.
QList<BirthdayInfo> birthdaysBeginningWith(int file, int count, QByteArrayView key)
{
    QList<BirthdayInfo> out;
    scanEntries(file, count, [&](int i, const RecordBlock &block) {
        if (StoredText::of(block.record(recordOf(i, 11))).startsWith(key))
            out.append({block.text(recordOf(i, 1)), block.text(recordOf(i, 11)),
                        block.text(recordOf(i, 12))});
    });
    return out;
}

} // namespace

QString LetterGroupOf(QStringView displayName)
{
    const QList<uint> first = displayName.left(2).toUcs4();
    if (first.isEmpty())
        return QStringLiteral("123");
    // The base letter of an accented one comes first in its canonical decomposition; a few
    // Latin letters with a stroke or ligature have none and are named here.
    const char32_t c = first.first();
    QChar base = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D).at(0);
    switch (base.toUpper().unicode()) {
    case u'Ø':
    case u'Œ':
        base = u'O';
        break;
    case u'Æ':
        base = u'A';
        break;
    case u'Ð':
    case 0x0110: // D with stroke
        base = u'D';
        break;
    case 0x0141: // L with stroke
        base = u'L';
        break;
    case u'ß':
    case 0x1E9E: // capital sharp s
        base = u'S';
        break;
    default:
        break;
    }
    const char16_t letter = base.toUpper().unicode();
    if (letter < u'A' || letter > u'Z')
        return QStringLiteral("123");
    if (letter == u'Q' || letter == u'R')
        return QStringLiteral("QR");
    if (letter >= u'X')
        return QStringLiteral("XYZ");
    return QString(QChar(letter));
}

int AddressStore::GetEntryCount() const
{
    return ReadStoreCount(m_file, kK, Capacity).usable;
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
                [&](int i, const RecordBlock &block) { names.append(block.text(recordOf(i, 1))); });
    return names;
}

QStringList AddressStore::NamesOfLetterGroup(const QString &group) const
{
    QStringList listed;
    for (const QString &name : ReadAllDisplayNames()) {
        if (LetterGroupOf(name) == group)
            listed.append(name);
    }
    std::stable_sort(listed.begin(), listed.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return listed;
}

int AddressStore::FindAddressEntry(const QString &name) const
{
    int found = -1;
    scanEntries(m_file, GetEntryCount(), [&](int i, const RecordBlock &block) {
        if (block.text(recordOf(i, 1)) == name)
            found = i;
    });
    return found;
}

QList<AddressEntry> AddressStore::ReadAllAddressEntries() const
{
    QList<AddressEntry> all;
    scanEntries(m_file, GetEntryCount(), [&](int i, const RecordBlock &block) {
        AddressEntry e;
        const auto fields = fieldsOf(e);
        for (int k = 1; k <= kFields; ++k)
            *fields[std::size_t(k - 1)] = block.text(recordOf(i, k));
        all.append(std::move(e));
    });
    return all;
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
    return birthdaysBeginningWith(m_file, GetEntryCount(), {});
}

QList<BirthdayInfo> AddressStore::ReadBirthdaysOn(QDate date) const
{
    return birthdaysBeginningWith(m_file, GetEntryCount(),
                                  date.toString(QStringLiteral("dd/MM")).toLatin1());
}

bool AddressStore::FlagIsOne(const QString &flag)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(flag.trimmed(), &ok);
    return ok && value == 1.0;
}

QList<int> AddressStore::BirthdayDays(int month) const
{
    std::array<bool, 32> marked{};
    const QByteArray monthText =
        QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')).toLatin1();
    const int count = GetEntryCount();
    if (count > 0) {
        // Records 11 to 16(c-1)+12: the birthday date and flag of every entry.
        RecordReader reader(m_file, 11, qint64(count - 1) * kK + 2);
        for (int k = 0; k < count; ++k) {
            const qint64 r = recordOf(k, 11);
            const QByteArrayView date = StoredText::of(reader.record(r));
            if (date.size() < 5 || date[2] != '/' || date.sliced(3, 2) != monthText)
                continue;
            const int day = StoredText::dayOfTwoDigits(date.first(2));
            if (day == 0)
                continue;
            const QByteArrayView flag = StoredText::of(reader.record(r + 1));
            if (flag == "1" || FlagIsOne(Cp1252::toUnicode(flag)))
                marked[std::size_t(day)] = true;
        }
    }
    return StoredText::markedDays(marked);
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
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    if (ReadAllDisplayNames().contains(entry.DisplayName))
        return nameTaken();
    if (c >= Capacity) {
        return {StoreResult::CapacityFull,
                QStringLiteral("The address book is full: it can hold no more than %1 entries. "
                               "Delete entries you no longer need, then add this one again.")
                    .arg(Capacity)};
    }
    if (StoreResult check = checkLengths(m_file, entry); !check.ok())
        return check;
    // The fields first, the count last: the entry becomes part of the file only when complete.
    if (StoreResult written = writeEntry(m_file, c, entry); !written.ok())
        return written;
    return Flushed(m_file, StoreResult::fromRecord(PutCount(m_file, kK, c + 1)));
}

StoreResult AddressStore::DeleteAddressEntry(const QString &name)
{
    if (name.isEmpty())
        return notFound(name);
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    RecordBlock block(m_file, 1, qint64(c) * kK);
    const int p = int(namesIn(block, c).lastIndexOf(name));
    if (p < 0)
        return notFound(name);
    return Flushed(m_file, removeAt(m_file, block, p, c));
}

StoreResult AddressStore::ReplaceAddressEntry(const QString &oldName, const AddressEntry &entry)
{
    int c = 0;
    if (StoreResult counted = countForWrite(m_file, &c); !counted.ok())
        return counted;
    const QStringList names = ReadAllDisplayNames();
    const int p = int(names.lastIndexOf(oldName));
    if (p < 0)
        return notFound(oldName);
    // The new name may be the old one; any other entry carrying it makes it taken.
    if (entry.DisplayName != oldName && names.contains(entry.DisplayName))
        return nameTaken();
    if (StoreResult check = checkLengths(m_file, entry); !check.ok())
        return check;

    if (c >= Capacity) {
        // A full book has no position left to count a second copy in. The changed entry goes
        // to the block past the last entry, which is never counted; one ascending write then
        // moves every entry after the old one, and the changed one, down one position; the
        // file is then cut back to its length. The entry is in the file at every moment, and
        // the count never changes.
        const qint64 size = RecordFileSize(m_file);
        StoreResult result = writeEntry(m_file, c, entry);
        if (result.ok()) {
            RecordBlock block(m_file, 1, qint64(c + 1) * kK);
            result = StoreResult::fromRecord(moveDown(block, p, c));
        }
        // A file left longer holds nothing any reader counts, so a failure here is no loss. The
        // cut never reaches into the last field of the entry now last, which may be longer.
        const qint64 lastEnd =
            (qint64(c) * kK - 2) * RecordLength + RecordCodec::encodeString(entry.Notes).size();
        TruncateRecordFile(m_file, std::max(size, lastEnd));
        return Flushed(m_file, result);
    }

    // Append the new entry and count it before the old one is removed, so that the entry is in
    // the file at every moment. The old one is removed by its position, since both may carry
    // the same display name.
    if (StoreResult written = writeEntry(m_file, c, entry); !written.ok())
        return written;
    if (const RecordStatus s = PutCount(m_file, kK, c + 1); !s.ok())
        return StoreResult::fromRecord(s);
    RecordBlock block(m_file, 1, qint64(c + 1) * kK);
    return Flushed(m_file, removeAt(m_file, block, p, c + 1));
}
