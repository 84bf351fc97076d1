// The program starts on damaged and hostile data files, every view shows what it can, browsing
// writes nothing, and a change on a damaged count record is refused with a message instead of
// being written over existing entries.
#include "addressbook/address_book_window.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "calendar/activities_window.h"
#include "calendar/calendar_window.h"
#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/desktop_store.h"
#include "data/note_store.h"
#include "desktop/desktop_window.h"
#include "notes/notes_window.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

namespace {

using Files = QMap<QString, QByteArray>;

const QString kAppoint = QStringLiteral("Appoint.dat");
const QString kNotes = QStringLiteral("Notes.dat");
const QString kAddBook = QStringLiteral("AddBook.dat");
const QString kMyDesk = QStringLiteral("MyDesk.dat");

// A store file: the fields of entry i at records block * i + k + 1, the count at record
// `block`. Fields are String values unless `raw` says which field index holds raw bytes.
QByteArray storeImage(int recordLength, int block, const QList<QByteArrayList> &entries,
                      const QByteArray &count, int raw = -1)
{
    QByteArray out;
    const auto put = [&](int record, const QByteArray &value) {
        const qsizetype at = qsizetype(record - 1) * recordLength;
        if (out.size() < at + value.size())
            out.resize(at + value.size(), '\0');
        out.replace(at, value.size(), value);
    };
    put(block, count);
    for (int i = 0; i < entries.size(); ++i) {
        for (int k = 0; k < entries[i].size(); ++k)
            put(block * i + k + 1, k == raw ? entries[i][k] : Bytes::string(entries[i][k]));
    }
    return out;
}

QByteArray appointments(const QList<QByteArrayList> &list, const QByteArray &count)
{
    return storeImage(128, 8, list, count, 4);
}
QByteArray notes(const QList<QByteArrayList> &list, const QByteArray &count)
{
    return storeImage(500, 3, list, count);
}
QByteArray addresses(const QList<QByteArrayList> &list, const QByteArray &count)
{
    return storeImage(128, 16, list, count);
}
QByteArray buttons(const QList<QByteArrayList> &list, const QByteArray &count)
{
    return storeImage(128, 4, list, count);
}

const QByteArray kYes = Bytes::flag(true);

QByteArrayList appointment(const QByteArray &id, const QByteArray &subject,
                           const QByteArray &start = "09:00")
{
    return {id, subject, start, "10:00", kYes, "15", "About " + subject};
}

QByteArrayList address(const QByteArray &surname, const QByteArray &name,
                       const QByteArray &birthday = "05/01/1970", const QByteArray &has = "1")
{
    return {surname + ", " + name,
            name,
            surname,
            "1 Road\r\nTown",
            "123",
            "",
            "",
            "0777",
            "",
            "",
            birthday,
            has,
            "a@b.c",
            "",
            "Notes"};
}

// A String record whose length prefix announces more than the record holds.
QByteArray overlong(const QByteArray &text)
{
    return QByteArray("\xFF\x7F", 2) + text;
}

// The bytes that Windows-1252 leaves undefined, in a text.
const QByteArray kUndefined("Caf\x81\x8D\x8F\x90\x9D", 8);

const QList<QByteArrayList> kThree = {appointment("20240105-1", "Dentist"),
                                      appointment("20240105-2", "Bank", "14:00"),
                                      appointment("20240110-1", "Party")};

// Every action a user can take to look at the data, none of which changes it.
void browseEverything(TestEnvironment &env, MainWindow *main)
{
    for (QAction *view : {main->Notes, main->ABook, main->MDesk, main->Calendar})
        view->trigger();

    CalendarWindow *calendar = Forms::Form1();
    Module1::MarkCalendarDays();
    for (const QDate day : {QDate(2024, 1, 5), QDate(2024, 1, 10), QDate(2024, 1, 1)}) {
        calendar->Calendar1->setSelectedDate(day);
        calendar->Calendar1_AfterUpdate();
        calendar->Calendar1_DblClick(); // the day's activities
        ActivitiesWindow *day_ = Forms::Form4();
        for (int i = 0; i < day_->Combo3->count(); ++i) {
            day_->Combo3->setCurrentIndex(i);
            day_->Combo3_Click();
        }
        day_->Command1_Click(); // OK
    }
    calendar->UpDown1_UpClick();
    calendar->UpDown1_DownClick();
    for (const QTime time : {QTime(8, 45), QTime(13, 45), QTime(23, 59)}) {
        env.setNow(QDateTime(QDate(2024, 1, 5), time));
        Module1::CheckReminders();
    }

    main->ABook->trigger();
    AddressBookWindow *book = Forms::Form3();
    for (int letter = 0; letter < int(book->Command4.size()); ++letter) {
        book->Command4_Click(letter);
        for (int i = 0; i < book->Combo1->count(); ++i) {
            book->Combo1->setCurrentIndex(i);
            book->Combo1_Click();
        }
    }

    main->Notes->trigger();
    NotesWindow *notesWindow = Forms::Form2();
    Module1::LoadNoteList();
    for (int row = 1; row < notesWindow->MSFlexGrid1->Rows(); ++row) {
        notesWindow->MSFlexGrid1->setRow(row);
        Module1::ViewNote();
    }

    main->MDesk->trigger();
    Module1::LoadDesktopButtons();
    QVERIFY(Forms::Form9()->Toolbar1);
    main->Calendar->trigger();
}

} // namespace

class HostileFilesTest : public QObject {
    Q_OBJECT

private slots:
    void startsBrowsesAndWritesNothing_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<int>("appointments");
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("buttons");

        const QByteArray noteImage = notes({{"Note", "Text"}, {"Ideas", "More"}}, {});
        const QByteArray entryImage = addresses({address("Smith", "John")}, {});
        QTest::newRow("counts beyond the end of the files")
            << Files{{kAppoint, appointments(kThree, Bytes::count16(40))},
                     {kNotes, notes({{"Note", "Text"}}, Bytes::count16(300))},
                     {kAddBook, addresses({address("Smith", "John")}, Bytes::count16(90))},
                     {kMyDesk, buttons({{"edit", "/bin/edit", "none"}}, Bytes::count16(70))}}
            << 40 << 300 << 90 << 70;
        QTest::newRow("negative counts")
            << Files{{kAppoint, appointments(kThree, Bytes::count16(-3))},
                     {kNotes, notes({{"Note", "Text"}}, Bytes::count16(-1))},
                     {kAddBook, addresses({address("Smith", "John")}, Bytes::count32(-70000))},
                     {kMyDesk, buttons({{"edit", "/bin/edit", "none"}}, Bytes::count16(-32768))}}
            << 0 << 0 << 0 << 0;
        QTest::newRow("32-bit counts beyond the capacity")
            << Files{{kAppoint, appointments(kThree, Bytes::count32(5000))},
                     {kNotes, notes({{"Note", "Text"}}, Bytes::count32(100000))},
                     {kAddBook, addresses({address("Smith", "John")}, Bytes::count32(2049))},
                     {kMyDesk, buttons({{"edit", "/bin/edit", "none"}}, Bytes::count32(1 << 30))}}
            << 4096 << 10922 << 2048 << 8192;
        QTest::newRow("unknown count tags")
            << Files{{kAppoint, appointments(kThree, QByteArray("\x07\x00\x03\x00", 4))},
                     {kNotes, notes({{"Note", "Text"}}, QByteArray("\xFF\xFF\x01\x00", 4))},
                     {kAddBook, addresses({address("Smith", "John")}, QByteArray("\x04\x00", 2))},
                     {kMyDesk, buttons({{"edit", "/bin/edit", "none"}}, QByteArray("\x01", 1))}}
            << 0 << 0 << 0 << 0;

        QList<QByteArrayList> longPrefixes = kThree;
        longPrefixes[0][1] = overlong("Dentist");
        longPrefixes[1][0] = overlong("20240105-2");
        QList<QByteArrayList> longEntries = {address("Smith", "John"), address("Doe", "Jane")};
        longEntries[0][0] = overlong("Smith, John");
        longEntries[1][10] = overlong("05/01/1970");
        QTest::newRow("length prefixes beyond the record")
            << Files{{kAppoint, appointments(longPrefixes, Bytes::count16(3))},
                     {kNotes, notes({{overlong("Note"), overlong("Text")}}, Bytes::count16(1))},
                     {kAddBook, addresses(longEntries, Bytes::count16(2))},
                     {kMyDesk, buttons({{overlong("edit"), overlong("/bin/edit"), overlong("x")}},
                                       Bytes::count16(1))}}
            << 3 << 1 << 2 << 1;

        // Two notes whose second name stops after three bytes; two entries whose second
        // display name stops after six; records cut short by ten and three bytes.
        QByteArray shortNotes = noteImage.left(3 * 500 + 3);
        shortNotes.replace(1000, 4, Bytes::count16(2));
        QByteArray shortEntries = entryImage;
        shortEntries.resize(2048, '\0');
        shortEntries.replace(1920, 4, Bytes::count16(2));
        shortEntries.append(Bytes::string("Doe, Jane").left(6));
        QTest::newRow("last records cut short")
            << Files{{kAppoint, appointments(kThree, Bytes::count16(3)).chopped(10)},
                     {kNotes, shortNotes},
                     {kAddBook, shortEntries},
                     {kMyDesk, buttons({{"edit", "/bin/edit", "none"}, {"calc", "/bin/calc", "x"}},
                                       Bytes::count16(2))
                                   .chopped(3)}}
            << 3 << 2 << 2 << 2;

        QList<QByteArrayList> undefined = kThree;
        undefined[0][1] = kUndefined;
        undefined[2][6] = kUndefined;
        QTest::newRow("bytes Windows-1252 leaves undefined")
            << Files{{kAppoint, appointments(undefined, Bytes::count16(3))},
                     {kNotes, notes({{kUndefined, kUndefined}}, Bytes::count16(1))},
                     {kAddBook, addresses({address(kUndefined, kUndefined)}, Bytes::count16(1))},
                     {kMyDesk,
                      buttons({{kUndefined, "/bin/" + kUndefined, kUndefined}}, Bytes::count16(1))}}
            << 3 << 1 << 1 << 1;

        QTest::newRow("ids that break the numbering of a day")
            << Files{{kAppoint,
                      appointments(
                          {appointment("20240105-1", "One"), appointment("20240105-3", "Three"),
                           appointment("20240105-3", "Three again"),
                           appointment("20240105-", "No number"),
                           appointment("20240105-x", "Letter"), appointment("2024", "Short"),
                           appointment("", "Empty"), appointment("20241305-1", "Month 13"),
                           appointment("20240105-99999999999", "Huge")},
                          Bytes::count16(9))}}
            << 9 << 0 << 0 << 0;

        QTest::newRow("duplicate display names and odd birthdays")
            << Files{{kAddBook,
                      addresses({address("Smith", "John"), address("Smith", "John", "05/01/1971"),
                                 address("Smith", "John", "99/99/9999"),
                                 address("Doe", "", "5/1/70", "x"), address("", "", "", "")},
                                Bytes::count16(5))},
                     {kNotes, notes({{"Note", "One"}, {"Note", "Two"}}, Bytes::count16(2))},
                     {kMyDesk,
                      buttons({{"a", "/bin/a", "None"}, {"a", "/bin/a", ""}}, Bytes::count16(2))}}
            << 0 << 2 << 5 << 2;
    }

    void startsBrowsesAndWritesNothing()
    {
        QFETCH(Files, files);
        QFETCH(int, appointments);
        QFETCH(int, notes);
        QFETCH(int, entries);
        QFETCH(int, buttons);
        TestEnvironment env;
        env.setNow(QDateTime(QDate(2024, 1, 5), QTime(8, 45)));
        for (auto it = files.begin(); it != files.end(); ++it)
            env.writeFile(it.key(), it.value());

        MainWindow *main = env.startProgram();
        QVERIFY(main);
        // Files that were missing are created; the others keep every byte.
        QMap<QString, QByteArray> started;
        for (const QString &name : {kAppoint, kNotes, kAddBook, kMyDesk}) {
            started[name] = env.fileBytes(name);
            if (files.contains(name))
                QCOMPARE(started[name], files[name]);
        }
        QCOMPARE(AppointmentStore().GetAppointmentCount(), appointments);
        QCOMPARE(NoteStore().GetNoteCount(), notes);
        QCOMPARE(AddressStore().GetEntryCount(), entries);
        QCOMPARE(DesktopStore().GetButtonCount(), buttons);

        browseEverything(env, main);
        for (const QString &name : {kAppoint, kNotes, kAddBook, kMyDesk})
            QCOMPARE(env.fileBytes(name), started[name]);
    }

    void changesOnADamagedCountAreRefused_data()
    {
        QTest::addColumn<QByteArray>("count");
        QTest::newRow("negative") << Bytes::count16(-2);
        QTest::newRow("unknown tag") << QByteArray("\x05\x00\x02\x00", 4);
        QTest::newRow("beyond the capacity") << Bytes::count32(70000);
    }

    void changesOnADamagedCountAreRefused()
    {
        QFETCH(QByteArray, count);
        TestEnvironment env;
        const QByteArray files[] = {appointments(kThree, count), notes({{"Note", "Text"}}, count),
                                    addresses({address("Smith", "John")}, count),
                                    buttons({{"edit", "/bin/edit", "none"}}, count)};
        const QString names[] = {kAppoint, kNotes, kAddBook, kMyDesk};
        for (int i = 0; i < 4; ++i)
            env.writeFile(names[i], files[i]);
        QVERIFY(env.openDataFiles());

        const Appointment a{
            QStringLiteral("20240105-1"), QStringLiteral("New"), "09:00", "10:00", 0, "15", {}};
        const AddressEntry e = AddressStore::BuildEntry(
            QStringLiteral("Ann"), QStringLiteral("Lee"), {}, {}, {}, false, {}, {}, {});
        const QList<std::pair<int, StoreResult>> results = {
            {0, AppointmentStore().AddAppointment(a)},
            {0, AppointmentStore().UpdateAppointment(QStringLiteral("20240105-1"), a)},
            {0, AppointmentStore().DeleteAppointment(QStringLiteral("20240105-1"))},
            {1, NoteStore().AppendNote(QStringLiteral("New"), QStringLiteral("x"))},
            {1, NoteStore().ReplaceNoteText(1, QStringLiteral("x"))},
            {1, NoteStore().RemoveNote(1)},
            {2, AddressStore().AddAddressEntry(e)},
            {2, AddressStore().ReplaceAddressEntry(QStringLiteral("Smith, John"), e)},
            {2, AddressStore().DeleteAddressEntry(QStringLiteral("Smith, John"))},
            {3, DesktopStore().AppendDesktopEntry(QStringLiteral("calc"), QStringLiteral("/c"))},
            {3, DesktopStore().SetDesktopIcon(0, QStringLiteral("/i.ico"))},
            {3, DesktopStore().RemoveDesktopEntry(0)},
        };
        for (const auto &[file, r] : results) {
            QVERIFY(!r.ok());
            QVERIFY2(r.message.contains(names[file]) &&
                         r.message.contains(QStringLiteral("damaged count record")) &&
                         r.message.endsWith(QStringLiteral("nothing was changed.")),
                     qPrintable(r.message));
        }
        for (int i = 0; i < 4; ++i)
            QCOMPARE(env.fileBytes(names[i]), files[i]);
    }

    void savingANoteOnADamagedCountShowsWhy()
    {
        TestEnvironment env;
        const QByteArray file = notes({{"Note", "Text"}}, Bytes::count16(-1));
        env.writeFile(kNotes, file);
        QVERIFY(env.startProgram());
        NotesWindow *form = Forms::Form2();
        form->Text2->setText(QStringLiteral("Shopping"));
        form->Text1->setPlainText(QStringLiteral("Milk"));
        form->Command1->click();
        QCOMPARE(env.messages.size(), 1);
        QVERIFY2(env.messages[0].contains(QStringLiteral("Notes.dat")),
                 qPrintable(env.messages[0]));
        QCOMPARE(env.fileBytes(kNotes), file);
    }
};

QTEST_MAIN(HostileFilesTest)
#include "tst_hostile_files.moc"
