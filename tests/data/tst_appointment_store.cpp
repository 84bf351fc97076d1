// The appointments file as the appointment store writes it, byte for byte.
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "store_steps.h"
#include "test_support.h"

#include <QTest>

namespace {

Appointment appointment(const QString &id, const QString &subject = QStringLiteral("Dentist"))
{
    return {id, subject, "09:30", "10:00", -1, "15", "Check-up"};
}

// The seven records of an appointment made by appointment(), as stored.
QByteArrayList block(const QByteArray &id, const QByteArray &subject = "Dentist")
{
    return strings({id, subject, "09:30", "10:00"})
           << QByteArray("\xFF\xFF", 2) << strings({"15", "Check-up"});
}

const QByteArrayList kBlank = strings(QByteArrayList(7, QByteArray()));

} // namespace

class TestAppointmentStore : public QObject, StoreFile {
    Q_OBJECT

    AppointmentStore store;

public:
    TestAppointmentStore() : StoreFile(QStringLiteral("Appoint.dat"), 128) {}

private slots:
    void init() { QVERIFY(openFolder()); }
    void cleanup() { env.reset(); }

    void addWritesEachFieldInItsRecord()
    {
        QCOMPARE(store.GetAppointmentCount(), 0);
        QVERIFY(store.ReadAllIds().isEmpty());
        QVERIFY(store.AddAppointment(appointment("20240105-1")).ok());
        QCOMPARE(bytes(), fileImage(block("20240105-1") << QByteArray::fromHex("02000100"), 128));

        Appointment quiet = appointment("20240105-2", "Café · €5");
        quiet.ReminderOn = 0;
        quiet.Description.clear();
        QVERIFY(store.AddAppointment(quiet).ok());
        // Windows-1252 text, reminder off as 00 00, and record 16 never written: the empty
        // description of record 15 ends the file.
        QCOMPARE(bytes(),
                 fileImage(block("20240105-1")
                               << QByteArray::fromHex("02000200")
                               << strings({"20240105-2", "Caf\xE9 \xB7 \x80\x35", "09:30", "10:00"})
                               << QByteArray(2, '\0') << strings({"15", ""}),
                           128));
        QCOMPARE(store.GetAppointmentCount(), 2);
    }

    void deleteMovesLaterAppointmentsDownAndRenumbersTheDay_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("the later one of the day is renumbered")
            << QStringList{"20240105-1", "20240106-1", "20240105-2"} << 0
            << QStringList{"20240106-1", "20240105-1"};
        QStringList ten;
        for (int n = 1; n <= 10; ++n)
            ten << QStringLiteral("20240105-%1").arg(n);
        QTest::newRow("two-digit sequence") << ten << 2 << ten.first(9);
        QTest::newRow("only appointment") << QStringList{"20240105-1"} << 0 << QStringList();
    }
    void deleteMovesLaterAppointmentsDownAndRenumbersTheDay()
    {
        QFETCH(QStringList, ids);
        QFETCH(int, deleted);
        QFETCH(QStringList, left);
        // The appointment at position i has the subject "S<i>".
        for (int i = 0; i < ids.size(); ++i)
            QVERIFY(store.AddAppointment(appointment(ids[i], QStringLiteral("S%1").arg(i))).ok());
        const qsizetype size = bytes().size();

        QVERIFY(store.DeleteAppointment(ids[deleted]).ok());

        QCOMPARE(store.ReadAllIds(), left);
        for (int p = 0; p < left.size(); ++p) {
            const QByteArrayList moved =
                block(left[p].toLatin1(), "S" + QByteArray::number(p < deleted ? p : p + 1));
            QCOMPARE(valuesFrom(8 * p + 1, moved), moved);
        }
        QCOMPARE(recordAt(8).left(4), Bytes::count16(qint16(left.size())));
        // The old last block is blank; the file keeps its length.
        QCOMPARE(valuesFrom(8 * int(left.size()) + 1, kBlank), kBlank);
        QCOMPARE(bytes().size(), size);
    }

    void unknownIdLeavesFileUntouched()
    {
        // An empty file; one appointment, not removed when another id is asked for; several.
        for (const auto &[count, id] : QList<std::pair<int, QString>>{
                 {0, "20240105-1"}, {1, "20240106-1"}, {3, "20240105-7"}}) {
            for (int n = store.GetAppointmentCount() + 1; n <= count; ++n)
                QVERIFY(store.AddAppointment(appointment("20240105-" + QString::number(n))).ok());
            const QByteArray before = bytes();
            QCOMPARE(store.DeleteAppointment(id).status, StoreResult::NotFound);
            QCOMPARE(store.UpdateAppointment(id, appointment("x", "New")).status,
                     StoreResult::NotFound);
            QCOMPARE(bytes(), before);
        }
    }

    void updateRewritesFieldsButNeverTheId()
    {
        QVERIFY(store.AddAppointment(appointment("20240105-1")).ok());
        QVERIFY(store.AddAppointment(appointment("20240105-2")).ok());
        const QByteArray before = bytes();

        // The id of the changed fields is ignored: an appointment keeps its id.
        QVERIFY(store
                    .UpdateAppointment("20240105-2",
                                       {"20991231-9", "Doctor", "14:00", "14:30", 0, "5", ""})
                    .ok());

        QCOMPARE(bytes().left(8 * 128), before.left(8 * 128));
        QCOMPARE(recordAt(9), Bytes::padded(Bytes::string("20240105-2"), 128));
        const QByteArrayList fields = strings({"Doctor", "14:00", "14:30"})
                                      << QByteArray(2, '\0') << strings({"5", ""});
        QCOMPARE(valuesFrom(10, fields), fields);
        QCOMPARE(store.GetAppointmentCount(), 2);
    }

    void readersKeepPositionOrderAndTakeTheLastMatch()
    {
        // Two appointments carrying one id (a file whose numbering is broken): lookup and edit
        // go to the last; the other keeps its own fields.
        QVERIFY(store.AddAppointment(appointment("20240105-1", "First")).ok());
        QVERIFY(store.AddAppointment(appointment("20240106-1")).ok());
        QVERIFY(store.AddAppointment(appointment("20240105-1", "Second")).ok());
        QCOMPARE(store.ListDayAppointments("20240105"), QList<int>({0, 2}));
        QStringList day;
        for (const Appointment &a : store.ReadDayAppointments("20240105"))
            day << a.Subject << QString::number(a.ReminderOn);
        QCOMPARE(day, QStringList({"First", "-1", "Second", "-1"}));
        QVERIFY(store.ListDayAppointments("20240107").isEmpty());

        QCOMPARE(store.FindAppointment("20240105-1"), 2);
        QCOMPARE(store.ReadAppointment(2).Subject, QStringLiteral("Second"));
        QCOMPARE(store.FindAppointment("20240105-"), -1);
        QVERIFY(store.UpdateAppointment("20240105-1", appointment("20240105-1", "Changed")).ok());
        QCOMPARE(store.ReadAppointment(0).Subject, QStringLiteral("First"));
        QCOMPARE(store.ReadAppointment(2).Subject, QStringLiteral("Changed"));
    }

    void markedDaysOfAMonth()
    {
        // Each day once, other months and years left out; ids that are no dates mark nothing.
        for (const char *id : {"20040207-1", "20040201-1", "20040207-2", "20040301-1", "20050207-1",
                               "200402", "2004020x-1", "20040200-1", "20040232-1"})
            QVERIFY(store.AddAppointment(appointment(id)).ok());
        QCOMPARE(store.DaysWithAppointments(2004, 2), QList<int>({1, 7}));
        // Birthdays by day and month, in any year, where the flag is the number 1.
        AddressStore addresses;
        for (const QString &birthday : QStringList{"29/02/1980 1", "07/02/1970 1.0", "08/02/1970 0",
                                                   "09/03/1970 1", "9/02/1970 1"}) {
            AddressEntry e = AddressStore::BuildEntry(birthday, {}, {}, {}, {}, false, {}, {}, {});
            e.BirthdayDate = birthday.section(u' ', 0, 0);
            e.HasBirthday = birthday.section(u' ', 1);
            QVERIFY(addresses.AddAddressEntry(e).ok());
        }
        QCOMPARE(addresses.BirthdayDays(2), QList<int>({7, 29}));
    }

    void tooLongFieldLeavesFileUnchanged_data()
    {
        QTest::addColumn<int>("field");
        for (int k : {1, 2, 3, 4, 6, 7})
            QTest::addRow("field %d", k) << k;
    }
    void tooLongFieldLeavesFileUnchanged()
    {
        QFETCH(int, field);
        QVERIFY(store.AddAppointment(appointment("20240105-1")).ok());
        const QByteArray before = bytes();

        Appointment a = appointment("20240105-2");
        QString *texts[] = {&a.AppointmentId, &a.Subject,         &a.StartTime,  &a.EndTime,
                            nullptr,          &a.ReminderMinutes, &a.Description};
        *texts[field - 1] = QString(127, QLatin1Char('x'));
        QCOMPARE(store.AddAppointment(a).status, StoreResult::TooLong);
        if (field > 1) // the id is not among the fields an update writes
            QCOMPARE(store.UpdateAppointment("20240105-1", a).status, StoreResult::TooLong);
        QCOMPARE(bytes(), before);

        // 126 characters fit exactly.
        *texts[field - 1] = QString(126, QLatin1Char('x'));
        QVERIFY(store.AddAppointment(a).ok());
        QCOMPARE(stringAt(8 + field), Bytes::string(QByteArray(126, 'x')));
    }

    void fullFileUsesRecord32767()
    {
        // 4096 appointments of one day, built directly as a file image.
        QByteArray image(AppointmentStore::Capacity * 8 * 128, '\0');
        for (int i = 0; i < AppointmentStore::Capacity; ++i) {
            const QByteArray id = Bytes::string("20240101-" + QByteArray::number(i + 1));
            image.replace(qsizetype(i) * 8 * 128, id.size(), id);
            const QByteArray last = Bytes::string("D" + QByteArray::number(i));
            image.replace(qsizetype(i * 8 + 6) * 128, last.size(), last);
        }
        image.replace(7 * 128, 4, Bytes::count16(4096));
        QVERIFY(openFolder(image));
        QCOMPARE(store.GetAppointmentCount(), 4096);
        QCOMPARE(store.ListDayAppointments("20240101").size(), 4096);
        QCOMPARE(store.ReadAppointment(4095).Description, QStringLiteral("D4095"));
        QCOMPARE(store.FindAppointment("20240101-4096"), 4095);
        const StoreResult full = store.AddAppointment(appointment("20240102-1"));
        QCOMPARE(full.status, StoreResult::CapacityFull);
        QVERIFY(full.message.contains(QStringLiteral("4096")));
        QCOMPARE(bytes(), image);

        QVERIFY(store.DeleteAppointment("20240101-1").ok());

        QCOMPARE(store.GetAppointmentCount(), 4095);
        QCOMPARE(stringAt(32767), QByteArray(2, '\0'));
        QCOMPARE(stringAt(32761), QByteArray(2, '\0'));
        QCOMPARE(stringAt(8 * 4094 + 1), Bytes::string("20240101-4095"));
        QCOMPARE(stringAt(8 * 4094 + 7), Bytes::string("D4095"));
        QCOMPARE(store.ReadAllIds().first(), QStringLiteral("20240101-1"));
        QVERIFY(store.AddAppointment(appointment("20240101-4096")).ok());
        QCOMPARE(stringAt(32761), Bytes::string("20240101-4096"));
    }
};

QTEST_GUILESS_MAIN(TestAppointmentStore)
#include "tst_appointment_store.moc"
