// The appointments file as the appointment store writes it, byte for byte.
#include "calendar/appointment_store.h"
#include "test_support.h"

#include <QTest>

namespace {

const QString kFile = QStringLiteral("Appoint.dat");
constexpr int kLen = 128;

Appointment appointment(const QString &id, const QString &subject = QStringLiteral("Dentist"))
{
    return {id,
            subject,
            QStringLiteral("09:30"),
            QStringLiteral("10:00"),
            -1,
            QStringLiteral("15"),
            QStringLiteral("Check-up")};
}

// The store on a new file holding the appointments `ids`, added in this order.
void addAll(AppointmentStore &store, const QStringList &ids)
{
    for (const QString &id : ids)
        QVERIFY(store.AddAppointment(appointment(id)).ok());
}

void verifyBlank(const TestEnvironment &env, int from, int to)
{
    for (int r = from; r <= to; ++r)
        QCOMPARE(env.record(kFile, kLen, r).left(2), QByteArray(2, '\0'));
}

} // namespace

class TestAppointmentStore : public QObject {
    Q_OBJECT

private slots:
    void firstAndSecondAddWriteTheirBlocks();
    void addWritesFieldEncodings_data();
    void addWritesFieldEncodings();
    void deleteMovesLaterAppointmentsDownAndRenumbersTheDay();
    void deleteRenumbersTwoDigitSequence();
    void deleteOfOnlyAppointmentBlanksItsBlock();
    void unknownIdLeavesFileUntouched_data();
    void unknownIdLeavesFileUntouched();
    void updateRewritesFieldsButNeverTheId();
    void lookupAndEditTakeTheLastMatch();
    void dayReadersKeepPositionOrder();
    void addIsRefusedWhenFull();
    void tooLongFieldLeavesFileUnchanged_data();
    void tooLongFieldLeavesFileUnchanged();
    void fullFileUsesRecord32767();
};

void TestAppointmentStore::firstAndSecondAddWriteTheirBlocks()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    QCOMPARE(store.GetAppointmentCount(), 0);
    QVERIFY(store.ReadAllIds().isEmpty());

    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-1"))).ok());
    QCOMPARE(env.record(kFile, kLen, 8).left(4), QByteArray::fromHex("02000100"));
    QCOMPARE(env.stringAt(kFile, kLen, 1), Bytes::string("20240105-1"));
    QCOMPARE(env.stringAt(kFile, kLen, 7), Bytes::string("Check-up"));
    QCOMPARE(env.fileBytes(kFile).size(), 7 * kLen + 4);

    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-2"), "Bank")).ok());
    QCOMPARE(env.record(kFile, kLen, 8).left(4), QByteArray::fromHex("02000200"));
    QCOMPARE(env.stringAt(kFile, kLen, 9), Bytes::string("20240105-2"));
    QCOMPARE(env.stringAt(kFile, kLen, 10), Bytes::string("Bank"));
    QCOMPARE(env.stringAt(kFile, kLen, 15), Bytes::string("Check-up"));
    // Record 16 is never written: the file ends with record 15's value.
    QCOMPARE(env.fileBytes(kFile).size(), 14 * kLen + 2 + 8);
    QCOMPARE(store.GetAppointmentCount(), 2);
}

void TestAppointmentStore::addWritesFieldEncodings_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("start time 09:30") << 3 << QByteArray::fromHex("0500") + "09:30";
    QTest::newRow("reminder on is FF FF") << 5 << QByteArray::fromHex("ffff");
    QTest::newRow("minutes as text") << 6 << QByteArray::fromHex("0200") + "15";
    QTest::newRow("reminder off is 00 00") << 13 << QByteArray::fromHex("0000");
    QTest::newRow("empty field is 00 00") << 15 << QByteArray::fromHex("0000");
    QTest::newRow("Windows-1252 text") << 18
                                       << Bytes::string("Caf\xE9 \xB7 \x80"
                                                        "5");
}

void TestAppointmentStore::addWritesFieldEncodings()
{
    QFETCH(int, record);
    QFETCH(QByteArray, bytes);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-1"))).ok());
    Appointment quiet = appointment(QStringLiteral("20240105-2"));
    quiet.ReminderOn = 0;
    quiet.Description.clear();
    QVERIFY(store.AddAppointment(quiet).ok());
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-3"), "Café · €5")).ok());
    QCOMPARE(env.record(kFile, kLen, record).left(bytes.size()), bytes);
}

void TestAppointmentStore::deleteMovesLaterAppointmentsDownAndRenumbersTheDay()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-1"), "A")).ok());
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240106-1"), "B")).ok());
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-2"), "C")).ok());

    QVERIFY(store.DeleteAppointment(QStringLiteral("20240105-1")).ok());

    QCOMPARE(env.record(kFile, kLen, 8).left(4), Bytes::count16(2));
    QCOMPARE(env.stringAt(kFile, kLen, 1), Bytes::string("20240106-1"));
    QCOMPARE(env.stringAt(kFile, kLen, 2), Bytes::string("B"));
    QCOMPARE(env.record(kFile, kLen, 5).left(2), Bytes::flag(true));
    QCOMPARE(env.stringAt(kFile, kLen, 9), Bytes::string("20240105-1"));
    QCOMPARE(env.stringAt(kFile, kLen, 10), Bytes::string("C"));
    verifyBlank(env, 17, 23);
    QCOMPARE(store.ReadAllIds(), QStringList({"20240106-1", "20240105-1"}));
}

void TestAppointmentStore::deleteRenumbersTwoDigitSequence()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    QStringList ids;
    for (int n = 1; n <= 10; ++n)
        ids << QStringLiteral("20240105-%1").arg(n);
    addAll(store, ids);

    QVERIFY(store.DeleteAppointment(QStringLiteral("20240105-3")).ok());

    QCOMPARE(store.ReadAllIds(), ids.first(9));
    QCOMPARE(env.stringAt(kFile, kLen, 8 * 8 + 1), Bytes::string("20240105-9"));
}

void TestAppointmentStore::deleteOfOnlyAppointmentBlanksItsBlock()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    addAll(store, {QStringLiteral("20240105-1")});
    const qsizetype size = env.fileBytes(kFile).size();

    QVERIFY(store.DeleteAppointment(QStringLiteral("20240105-1")).ok());

    verifyBlank(env, 1, 7);
    QCOMPARE(env.record(kFile, kLen, 8).left(4), Bytes::count16(0));
    QCOMPARE(env.fileBytes(kFile).size(), size);
}

void TestAppointmentStore::unknownIdLeavesFileUntouched_data()
{
    QTest::addColumn<int>("appointments");
    QTest::addColumn<QString>("id");
    QTest::newRow("empty file") << 0 << "20240105-1";
    QTest::newRow("unknown id among several") << 3 << "20240105-7";
    // The only appointment is not removed when another id is asked for.
    QTest::newRow("unknown id, one appointment") << 1 << "20240106-1";
}

void TestAppointmentStore::unknownIdLeavesFileUntouched()
{
    QFETCH(int, appointments);
    QFETCH(QString, id);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    for (int n = 1; n <= appointments; ++n)
        addAll(store, {QStringLiteral("20240105-%1").arg(n)});
    const QByteArray before = env.fileBytes(kFile);

    QCOMPARE(store.DeleteAppointment(id).status, StoreResult::NotFound);
    QCOMPARE(store.UpdateAppointment(id, appointment("x", "New")).status, StoreResult::NotFound);

    QCOMPARE(env.fileBytes(kFile), before);
}

void TestAppointmentStore::updateRewritesFieldsButNeverTheId()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    addAll(store, {QStringLiteral("20240105-1"), QStringLiteral("20240105-2")});
    const QByteArray before = env.fileBytes(kFile);

    // The id of the changed fields is ignored: an appointment keeps its id.
    const Appointment changed{QStringLiteral("20991231-9"),
                              QStringLiteral("Doctor"),
                              QStringLiteral("14:00"),
                              QStringLiteral("14:30"),
                              0,
                              QStringLiteral("5"),
                              QString()};
    QVERIFY(store.UpdateAppointment(QStringLiteral("20240105-2"), changed).ok());

    QCOMPARE(env.fileBytes(kFile).left(8 * kLen), before.left(8 * kLen));
    QCOMPARE(env.record(kFile, kLen, 9), Bytes::padded(Bytes::string("20240105-2"), kLen));
    QCOMPARE(env.stringAt(kFile, kLen, 10), Bytes::string("Doctor"));
    QCOMPARE(env.stringAt(kFile, kLen, 11), Bytes::string("14:00"));
    QCOMPARE(env.stringAt(kFile, kLen, 12), Bytes::string("14:30"));
    QCOMPARE(env.record(kFile, kLen, 13).left(2), Bytes::flag(false));
    QCOMPARE(env.stringAt(kFile, kLen, 14), Bytes::string("5"));
    QCOMPARE(env.stringAt(kFile, kLen, 15), Bytes::string(""));
    QCOMPARE(store.GetAppointmentCount(), 2);
}

void TestAppointmentStore::lookupAndEditTakeTheLastMatch()
{
    // Two appointments carrying one id (a file whose numbering is broken): lookup and edit go
    // to the last; the other keeps its own fields.
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-1"), "First")).ok());
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240106-1"))).ok());
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-1"), "Second")).ok());
    QCOMPARE(store.FindAppointment(QStringLiteral("20240105-1")), 2);
    QCOMPARE(store.ReadAppointment(2).Subject, QStringLiteral("Second"));
    QCOMPARE(store.FindAppointment(QStringLiteral("20240105-")), -1);

    QVERIFY(store
                .UpdateAppointment(QStringLiteral("20240105-1"),
                                   appointment(QStringLiteral("20240105-1"), "Changed"))
                .ok());
    QCOMPARE(store.ReadAppointment(0).Subject, QStringLiteral("First"));
    QCOMPARE(store.ReadAppointment(2).Subject, QStringLiteral("Changed"));
}

void TestAppointmentStore::dayReadersKeepPositionOrder()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-1"), "A")).ok());
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240106-1"), "B")).ok());
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240105-2"), "C")).ok());
    QCOMPARE(store.ListDayAppointments(QStringLiteral("20240105")), QList<int>({0, 2}));
    const QList<Appointment> day = store.ReadDayAppointments(QStringLiteral("20240105"));
    QCOMPARE(day.size(), 2);
    QCOMPARE(day[0].Subject, QStringLiteral("A"));
    QCOMPARE(day[1].Subject, QStringLiteral("C"));
    QCOMPARE(day[1].ReminderOn, qint16(-1));
    QVERIFY(store.ListDayAppointments(QStringLiteral("20240107")).isEmpty());
}

void TestAppointmentStore::addIsRefusedWhenFull()
{
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    QVERIFY(PutCount(AppointmentStore::FileNumber, 8, AppointmentStore::Capacity).ok());
    const QByteArray before = env.fileBytes(kFile);
    AppointmentStore store;
    QCOMPARE(store.GetAppointmentCount(), 4096);

    const StoreResult r = store.AddAppointment(appointment(QStringLiteral("20240105-1")));

    QCOMPARE(r.status, StoreResult::CapacityFull);
    QVERIFY(r.message.contains(QStringLiteral("4096")));
    QCOMPARE(env.fileBytes(kFile), before);
}

void TestAppointmentStore::tooLongFieldLeavesFileUnchanged_data()
{
    QTest::addColumn<int>("field");
    for (int k : {1, 2, 3, 4, 6, 7})
        QTest::addRow("field %d", k) << k;
}

void TestAppointmentStore::tooLongFieldLeavesFileUnchanged()
{
    QFETCH(int, field);
    TestEnvironment env;
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    addAll(store, {QStringLiteral("20240105-1")});
    const QByteArray before = env.fileBytes(kFile);

    Appointment a = appointment(QStringLiteral("20240105-2"));
    QString *texts[] = {&a.AppointmentId, &a.Subject,         &a.StartTime,  &a.EndTime,
                        nullptr,          &a.ReminderMinutes, &a.Description};
    *texts[field - 1] = QString(127, QLatin1Char('x'));
    QCOMPARE(store.AddAppointment(a).status, StoreResult::TooLong);
    QCOMPARE(env.fileBytes(kFile), before);
    if (field > 1) {
        QCOMPARE(store.UpdateAppointment(QStringLiteral("20240105-1"), a).status,
                 StoreResult::TooLong);
        QCOMPARE(env.fileBytes(kFile), before);
    }

    // 126 characters fit exactly.
    *texts[field - 1] = QString(126, QLatin1Char('x'));
    QVERIFY(store.AddAppointment(a).ok());
    QCOMPARE(env.stringAt(kFile, kLen, 8 + field).size(), 128);
}

void TestAppointmentStore::fullFileUsesRecord32767()
{
    // 4096 appointments of one day, built directly as a file image.
    QByteArray image(AppointmentStore::Capacity * 8 * kLen, '\0');
    for (int i = 0; i < AppointmentStore::Capacity; ++i) {
        const QByteArray id = Bytes::string("20240101-" + QByteArray::number(i + 1));
        image.replace(qsizetype(i) * 8 * kLen, id.size(), id);
        const QByteArray last = Bytes::string("D" + QByteArray::number(i));
        image.replace(qsizetype(i * 8 + 6) * kLen, last.size(), last);
    }
    image.replace(7 * kLen, 4, Bytes::count16(4096));
    TestEnvironment env;
    env.writeFile(kFile, image);
    QVERIFY(env.openDataFiles());
    AppointmentStore store;
    QCOMPARE(store.GetAppointmentCount(), 4096);
    QCOMPARE(store.ListDayAppointments(QStringLiteral("20240101")).size(), 4096);
    QCOMPARE(store.ReadAppointment(4095).Description, QStringLiteral("D4095"));
    QCOMPARE(store.FindAppointment(QStringLiteral("20240101-4096")), 4095);
    QCOMPARE(store.AddAppointment(appointment(QStringLiteral("20240102-1"))).status,
             StoreResult::CapacityFull);

    QVERIFY(store.DeleteAppointment(QStringLiteral("20240101-1")).ok());

    QCOMPARE(store.GetAppointmentCount(), 4095);
    QCOMPARE(env.stringAt(kFile, kLen, 32767), QByteArray(2, '\0'));
    QCOMPARE(env.stringAt(kFile, kLen, 32761), QByteArray(2, '\0'));
    QCOMPARE(env.stringAt(kFile, kLen, 8 * 4094 + 1), Bytes::string("20240101-4095"));
    QCOMPARE(env.stringAt(kFile, kLen, 8 * 4094 + 7), Bytes::string("D4095"));
    QCOMPARE(store.ReadAllIds().first(), QStringLiteral("20240101-1"));
    QVERIFY(store.AddAppointment(appointment(QStringLiteral("20240101-4096"))).ok());
    QCOMPARE(env.stringAt(kFile, kLen, 32761), Bytes::string("20240101-4096"));
}

QTEST_GUILESS_MAIN(TestAppointmentStore)
#include "tst_appointment_store.moc"
