// Address book files for the tests, written byte by byte before the program starts.
#pragma once

#include "addressbook/address_book_window.h"
#include "app/main_window.h"
#include "data/address_store.h"
#include "records/record_file.h"
#include "test_support.h"

#include <QAction>
#include <QList>

namespace AddressFixture {

// An entry with every field filled from its surname, so a test can tell what is shown.
inline AddressEntry entry(const QString &surname, const QString &name,
                          const QString &birthday = QStringLiteral("01/01/1990"),
                          bool hasBirthday = false)
{
    AddressEntry e;
    e.DisplayName = surname + QStringLiteral(", ") + name;
    e.Name = name;
    e.Surname = surname;
    e.Address = QStringLiteral("1 %1 Street\r\nTown").arg(surname);
    e.PhoneHome = QStringLiteral("H-") + surname;
    e.PhoneBusiness1 = QStringLiteral("B1-") + surname;
    e.PhoneBusiness2 = QStringLiteral("B2-") + surname;
    e.PhoneMobile = QStringLiteral("M-") + surname;
    e.PhoneFax = QStringLiteral("F-") + surname;
    e.PhoneOther = QStringLiteral("O-") + surname;
    e.BirthdayDate = birthday;
    e.HasBirthday = hasBirthday ? QStringLiteral("1") : QStringLiteral("0");
    e.EMail = surname.toLower() + QStringLiteral("@example.org");
    e.HomePage = QStringLiteral("www.") + surname.toLower() + QStringLiteral(".example");
    e.Notes = QStringLiteral("Notes on ") + surname;
    return e;
}

inline QStringList fields(const AddressEntry &e)
{
    return {e.DisplayName,    e.Name,           e.Surname,     e.Address,  e.PhoneHome,
            e.PhoneBusiness1, e.PhoneBusiness2, e.PhoneMobile, e.PhoneFax, e.PhoneOther,
            e.BirthdayDate,   e.HasBirthday,    e.EMail,       e.HomePage, e.Notes};
}

// One String record of the address file.
inline QByteArray stringRecord(const QString &text)
{
    return Bytes::padded(Bytes::string(text.toLatin1()), AddressStore::RecordLength);
}

// AddBook.dat holding `entries` in this order.
inline void write(const TestEnvironment &env, const QList<AddressEntry> &entries)
{
    const int records = 16 * int(std::max<qsizetype>(1, entries.size()));
    QByteArray bytes(qsizetype(records) * AddressStore::RecordLength, '\0');
    auto put = [&bytes](int record, const QByteArray &value) {
        bytes.replace(qsizetype(record - 1) * AddressStore::RecordLength, value.size(), value);
    };
    put(16, Bytes::padded(Bytes::count16(qint16(entries.size())), AddressStore::RecordLength));
    for (int i = 0; i < entries.size(); ++i) {
        const QStringList f = fields(entries[i]);
        for (int k = 0; k < 15; ++k)
            put(16 * i + k + 1, stringRecord(f[k]));
    }
    env.writeFile(QStringLiteral("AddBook.dat"), bytes);
}

// The fifteen fields of the entry at `position`, as the file holds them.
inline QStringList fieldsAt(const TestEnvironment &env, int position)
{
    QStringList out;
    for (int k = 1; k <= 15; ++k)
        out.append(RecordCodec::decodeString(env.record(
            QStringLiteral("AddBook.dat"), AddressStore::RecordLength, 16 * position + k)));
    return out;
}

inline QByteArray countRecord(const TestEnvironment &env)
{
    return env.record(QStringLiteral("AddBook.dat"), AddressStore::RecordLength, 16).left(4);
}

// Starts the program on `entries` and brings the address book to the front.
inline AddressBookWindow *openAddressBook(TestEnvironment &env, const QList<AddressEntry> &entries)
{
    write(env, entries);
    MainWindow *main = env.startProgram();
    if (!main)
        return nullptr;
    main->ABook->trigger();
    return main->findChild<AddressBookWindow *>(QStringLiteral("Form3"));
}

} // namespace AddressFixture
