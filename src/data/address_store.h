// The address book file AddBook.dat (file number 3, 128-byte records, block size 16).
// Record 16 holds the count; the entry at position i holds its fifteen fields in records
// 16*i+1 to 16*i+15. No window code here.
#pragma once

#include "records/data_layout.h"
#include "records/store_result.h"

#include <QDate>
#include <QList>
#include <QString>

struct AddressEntry {
    QString DisplayName; // Surname + ", " + Name
    QString Name;
    QString Surname;
    QString Address;
    QString PhoneHome;
    QString PhoneBusiness1;
    QString PhoneBusiness2;
    QString PhoneMobile;
    QString PhoneFax;
    QString PhoneOther;
    QString BirthdayDate; // dd/mm/yyyy
    QString HasBirthday;  // "1" or "0"
    QString EMail;
    QString HomePage;
    QString Notes;
};

// What the birthday readers (calendar, activities) need of an entry.
struct BirthdayInfo {
    QString DisplayName;
    QString BirthdayDate;
    QString HasBirthday;
};

// The letter group ("A" to "P", "QR", "S" to "W", "XYZ" or "123") that lists a display name,
// by its first character: a letter whatever its case, an accented Latin letter under its base
// letter ("É" under "E"), everything else (digits, signs, blanks, other scripts) under "123".
// Every name belongs to exactly one group.
QString LetterGroupOf(QStringView displayName);

class AddressStore {
public:
    static constexpr const DataFileLayout &Layout = kAddressesFile;
    static constexpr int FileNumber = Layout.number;
    static constexpr int RecordLength = Layout.recordLength;
    static constexpr int BlockSize = Layout.blockSize;
    static constexpr int Capacity = Layout.capacity;

    explicit AddressStore(int fileNumber = FileNumber) : m_file(fileNumber) {}

    int GetEntryCount() const;
    QString ReadDisplayName(int position) const;
    // All display names in position order, read in one pass.
    QStringList ReadAllDisplayNames() const;
    // The display names a letter group lists: ascending, ignoring case; names equal but for
    // case in the order of the file.
    QStringList NamesOfLetterGroup(const QString &group) const;
    // Position of the entry whose display name equals `name` exactly (last match wins), or -1.
    int FindAddressEntry(const QString &name) const;
    AddressEntry ReadAddressEntry(int position) const;
    // Every entry in file order, read in one pass.
    QList<AddressEntry> ReadAllAddressEntries() const;
    // Display name, birthday date and flag of every entry, in position order, in one pass.
    QList<BirthdayInfo> ReadBirthdays() const;
    // The same for the entries whose birthday date begins with the day and month of `date` as
    // dd/mm, whatever their flag: the others are passed over without decoding their texts.
    QList<BirthdayInfo> ReadBirthdaysOn(QDate date) const;
    // The days (1 to 31) of a month that are somebody's birthday, ascending: entries whose date
    // begins with the day and month as dd/mm and whose flag is the number 1. The year plays no
    // part, so 29/02 also stands in a February of 28 days.
    QList<int> BirthdayDays(int month) const;
    // Whether a stored birthday flag is the number 1 ("1", " 1", "1.0").
    static bool FlagIsOne(const QString &flag);

    // Builds the fifteen fields: display name, dd/mm/yyyy birthday, "1"/"0".
    static AddressEntry BuildEntry(const QString &name, const QString &surname,
                                   const QString &address, const QStringList &phones,
                                   QDate birthday, bool hasBirthday, const QString &email,
                                   const QString &homePage, const QString &notes);

    // Appends the entry unless its display name is taken (NameTaken, nothing written).
    StoreResult AddAddressEntry(const AddressEntry &entry);
    // Removes the entry with that display name and closes the gap.
    StoreResult DeleteAddressEntry(const QString &name);
    // Replaces the entry named `oldName` by `entry`, which becomes the last entry. Refuses with
    // NameTaken when another entry carries the new display name. At no moment is the entry
    // absent from the file.
    StoreResult ReplaceAddressEntry(const QString &oldName, const AddressEntry &entry);

private:
    int m_file;
};
