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
#include "store_images.h"
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

StoreEntry appointment(const QByteArray &id, const QByteArray &subject,
                       const QByteArray &start = "09:00")
{
    return {id,   subject,           start, "10:00", StoreRecord::raw(Bytes::flag(true)),
            "15", "About " + subject};
}

StoreEntry address(const QByteArray &surname, const QByteArray &name,
                   const QByteArray &birthday = "05/01/1970", const QByteArray &has = "1")
{
    const QByteArray displayName = surname + ", " + name;
    return {displayName, name,     surname, "1 Road\r\nTown", "123", "",     "", "0777", "",
            "",          birthday, has,     "a@b.c",          "",    "Notes"};
}

// A String record whose length prefix announces more than the record holds.
StoreRecord overlong(const QByteArray &text)
{
    return StoreRecord::raw(QByteArray("\xFF\x7F", 2) + text);
}

// The bytes that Windows-1252 leaves undefined, in a text.
const QByteArray kUndefined("Caf\x81\x8D\x8F\x90\x9D", 8);

// A few entries of each store, in the order of kDataFiles.
const QList<QList<StoreEntry>> kSamples = {{appointment("20240105-1", "Dentist"),
                                            appointment("20240105-2", "Bank", "14:00"),
                                            appointment("20240110-1", "Party")},
                                           {{"Note", "Text"}},
                                           {address("Smith", "John")},
                                           {{"edit", "/bin/edit", "none"}}};

// The files of the stores (in the order of kDataFiles; no entries: no file), each under its
// own count, or by default the count of its entries.
Files files(const QList<QList<StoreEntry>> &entries, const QByteArrayList &counts = {})
{
    Files out;
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries[i].isEmpty())
            out[kDataFiles[i].fileName] = storeImage(kDataFiles[i], entries[i], counts.value(i));
    }
    return out;
}

// What the four files hold now.
Files filesIn(const TestEnvironment &env)
{
    Files out;
    for (const DataFileLayout &f : kDataFiles)
        out[f.fileName] = env.fileBytes(f.fileName);
    return out;
}

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
        QTest::addColumn<QList<int>>("counts"); // appointments, notes, entries, buttons
        QTest::addColumn<bool>("damaged");      // no count record of the files is readable
        using Bytes::count16, Bytes::count32;
        QTest::newRow("counts beyond the end of the files")
            << files(kSamples, {count16(40), count16(300), count16(90), count16(70)})
            << QList<int>{40, 300, 90, 70} << false;
        QTest::newRow("negative counts")
            << files(kSamples, {count16(-3), count16(-1), count32(-70000), count16(-32768)})
            << QList<int>{0, 0, 0, 0} << true;
        QTest::newRow("32-bit counts beyond the capacity")
            << files(kSamples, {count32(5000), count32(100000), count32(2049), count32(1 << 30)})
            << QList<int>{4096, 10922, 2048, 8192} << true;
        // Their last two count records, at the ends of the files, hold two bytes and one.
        Files unknownTags =
            files(kSamples, {QByteArray("\x07\x00\x03\x00", 4), QByteArray("\xFF\xFF\x01\x00", 4),
                             QByteArray("\x04\x00", 2), QByteArray("\x01", 1)});
        unknownTags["AddBook.dat"].truncate(15 * 128 + 2);
        unknownTags["MyDesk.dat"].truncate(3 * 128 + 1);
        QTest::newRow("unknown count tags") << unknownTags << QList<int>{0, 0, 0, 0} << true;

        QList<StoreEntry> longPrefixes = kSamples[0];
        longPrefixes[0][1] = overlong("Dentist");
        longPrefixes[1][0] = overlong("20240105-2");
        QList<StoreEntry> longEntries = {address("Smith", "John"), address("Doe", "Jane")};
        longEntries[0][0] = overlong("Smith, John");
        longEntries[1][10] = overlong("05/01/1970");
        QTest::newRow("length prefixes beyond the record")
            << files({longPrefixes,
                      {{overlong("Note"), overlong("Text")}},
                      longEntries,
                      {{overlong("edit"), overlong("/bin/edit"), overlong("x")}}})
            << QList<int>{3, 1, 2, 1} << false;

        // The last description keeps its length and one byte; the second note name and the
        // second display name stop after one and four bytes; the last icon record is missing.
        Files cut = files({kSamples[0],
                           {{"Note", "Text"}, {"Ideas", "More"}},
                           {address("Smith", "John"), address("Doe", "Jane")},
                           {{"edit", "/bin/edit", "none"}, {"calc", "/bin/calc", "x"}}});
        cut["Appoint.dat"].truncate(22 * 128 + 3);
        cut["Notes.dat"].truncate(3 * 500 + 3);
        cut["AddBook.dat"].truncate(16 * 128 + 6);
        cut["MyDesk.dat"].truncate(6 * 128);
        QTest::newRow("last records cut short") << cut << QList<int>{3, 2, 2, 2} << false;

        QList<StoreEntry> undefined = kSamples[0];
        undefined[0][1] = kUndefined;
        undefined[2][6] = kUndefined;
        QTest::newRow("bytes Windows-1252 leaves undefined")
            << files({undefined,
                      {{kUndefined, kUndefined}},
                      {address(kUndefined, kUndefined)},
                      {{kUndefined, "/bin/" + kUndefined, kUndefined}}})
            << QList<int>{3, 1, 1, 1} << false;

        QTest::newRow("ids that break the numbering of a day")
            << files({{appointment("20240105-1", "One"), appointment("20240105-3", "Three"),
                       appointment("20240105-3", "Three again"),
                       appointment("20240105-", "No number"), appointment("20240105-x", "Letter"),
                       appointment("2024", "Short"), appointment("", "Empty"),
                       appointment("20241305-1", "Month 13"),
                       appointment("20240105-99999999999", "Huge")}})
            << QList<int>{9, 0, 0, 0} << false;
        QTest::newRow("duplicate display names and odd birthdays")
            << files({{},
                      {{"Note", "One"}, {"Note", "Two"}},
                      {address("Smith", "John"), address("Smith", "John", "05/01/1971"),
                       address("Smith", "John", "99/99/9999"), address("Doe", "", "5/1/70", "x"),
                       address("", "", "", "")},
                      {{"a", "/bin/a", "None"}, {"a", "/bin/a", ""}}})
            << QList<int>{0, 2, 5, 2} << false;
    }

    void startsBrowsesAndWritesNothing()
    {
        QFETCH(Files, files);
        QFETCH(QList<int>, counts);
        QFETCH(bool, damaged);
        TestEnvironment env;
        env.setNow(QDateTime(QDate(2024, 1, 5), QTime(8, 45)));
        for (auto it = files.begin(); it != files.end(); ++it)
            env.writeFile(it.key(), it.value());

        MainWindow *main = env.startProgram();
        QVERIFY(main);
        // Files that were missing are created; the others keep every byte.
        const Files started = filesIn(env);
        for (auto it = files.begin(); it != files.end(); ++it)
            QCOMPARE(started.value(it.key()), it.value());
        QCOMPARE((QList<int>{AppointmentStore().GetAppointmentCount(), NoteStore().GetNoteCount(),
                             AddressStore().GetEntryCount(), DesktopStore().GetButtonCount()}),
                 counts);
        browseEverything(env, main);
        QCOMPARE(filesIn(env), started);
        if (!damaged)
            return;

        // Every change on a damaged count record is refused instead of being written over
        // existing entries: per store, in the order of kDataFiles, an add, an edit, a delete.
        const Appointment a{"20240105-1", "New", "09:00", "10:00", 0, "15", {}};
        const AddressEntry e =
            AddressStore::BuildEntry("Ann", "Lee", {}, {}, {}, false, {}, {}, {});
        const StoreResult results[4][3] = {
            {AppointmentStore().AddAppointment(a),
             AppointmentStore().UpdateAppointment("20240105-1", a),
             AppointmentStore().DeleteAppointment("20240105-1")},
            {NoteStore().AppendNote("New", "x"), NoteStore().ReplaceNoteText(1, "x"),
             NoteStore().RemoveNote(1)},
            {AddressStore().AddAddressEntry(e),
             AddressStore().ReplaceAddressEntry("Smith, John", e),
             AddressStore().DeleteAddressEntry("Smith, John")},
            {DesktopStore().AppendDesktopEntry("calc", "/c"),
             DesktopStore().SetDesktopIcon(0, "/i.ico"), DesktopStore().RemoveDesktopEntry(0)}};
        for (int i = 0; i < 4; ++i) {
            for (const StoreResult &r : results[i]) {
                QVERIFY2(!r.ok() && r.message.contains(kDataFiles[i].fileName) &&
                             r.message.contains("damaged count record") &&
                             r.message.endsWith("nothing was changed."),
                         qPrintable(r.message));
            }
        }
        QCOMPARE(filesIn(env), started);
    }

    void savingANoteOnADamagedCountShowsWhy()
    {
        TestEnvironment env;
        const QByteArray file = storeImage(kNotesFile, {{"Note", "Text"}}, Bytes::count16(-1));
        env.writeFile("Notes.dat", file);
        QVERIFY(env.startProgram());
        NotesWindow *form = Forms::Form2();
        form->Text2->setText("Shopping");
        form->Text1->setPlainText("Milk");
        form->Command1->click();
        QVERIFY2(env.messages.size() == 1 && env.messages[0].contains("Notes.dat"),
                 qPrintable(env.messages.join('\n')));
        QCOMPARE(env.fileBytes("Notes.dat"), file);
    }
};

QTEST_MAIN(HostileFilesTest)
#include "tst_hostile_files.moc"
