// The program starts on damaged and hostile data files, every view shows what it can, browsing
// writes nothing, and a change on a damaged count record is refused with a message instead of
// being written over existing entries. A data folder where no file can be made, or one deleted
// after the program was started from it, stops the program with a message and nothing is
// written anywhere. A write that the system refuses (the file size limit, a full device)
// reaches the user as a message naming the file; the entries already in the file stay as they
// were, no half-written entry shows, and the program goes on once the file can grow again.
#include "addressbook/address_book_window.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "calendar/activities_window.h"
#include "calendar/calendar_window.h"
#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "desktop/desktop_window.h"
#include "notes/notes_window.h"
#include "robustness.h"
#include "store_images.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <csignal>

namespace {

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
    for (int i = 0; i < entries.size(); ++i)
        if (!entries[i].isEmpty())
            out[kDataFiles[i].fileName] = storeImage(kDataFiles[i], entries[i], counts.value(i));
    return out;
}

// Picks every item of a list box in turn, each with its click.
void pickEach(QComboBox *box, const std::function<void()> &click)
{
    for (int i = 0; i < box->count(); ++i) {
        box->setCurrentIndex(i);
        click();
    }
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
        pickEach(Forms::Form4()->Combo3, [] { Forms::Form4()->Combo3_Click(); });
        Forms::Form4()->Command1_Click(); // OK
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
        pickEach(book->Combo1, [&] { book->Combo1_Click(); });
    }
    main->Notes->trigger();
    Module1::LoadNoteList();
    for (int row = 1; row < Forms::Form2()->MSFlexGrid1->Rows(); ++row) {
        Forms::Form2()->MSFlexGrid1->setRow(row);
        Module1::ViewNote();
    }
    main->MDesk->trigger();
    Module1::LoadDesktopButtons();
    QVERIFY(Forms::Form9()->Toolbar1);
    main->Calendar->trigger();
}

// Types a note into the notes window and saves it.
void saveNote(const QString &name, const QString &text)
{
    Forms::Form2()->Text2->setText(name);
    Forms::Form2()->Text1->setPlainText(text);
    Forms::Form2()->Command1->click();
}

} // namespace

class HostileFilesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the program does: a write past the limit fails with an error instead of ending
        // the process.
        std::signal(SIGXFSZ, SIG_IGN);
    }

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
        QCOMPARE(started.size(), 4);
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
        // existing entries: per store an add, an edit of the first entry and its delete.
        const QString keys[] = {"20240105-1", {}, "Smith, John", {}};
        for (int op = 0; op < 12; ++op) {
            const int s = op / 3;
            const StoreResult r =
                runOp(Store(s), Kind(op % 3), 0, keys[s], sampleEntry(Store(s), 1));
            QVERIFY2(!r.ok() && r.message.contains(kDataFiles[s].fileName) &&
                         r.message.contains("damaged count record") &&
                         r.message.endsWith("nothing was changed."),
                     qPrintable(r.message));
        }
        // Saving a note in its window shows why it was refused.
        env.messages.clear();
        saveNote("Shopping", "Milk");
        QVERIFY2(env.messages.size() == 1 && env.messages[0].contains("Notes.dat"),
                 qPrintable(env.messages.join('\n')));
        QCOMPARE(filesIn(env), started);
    }

    void badDataFolderStopsAndWritesNothing_data()
    {
        QTest::addColumn<QString>("folder"); // made the current one; "gone" is deleted then
        QTest::addColumn<QString>("message");
        // Even the superuser cannot make files in a process's fdinfo folder.
        QTest::newRow("unwritable") << "/proc/self/fdinfo"
                                    << "The data folder %1 cannot be written";
        QTest::newRow("deleted") << "gone"
                                 << "The folder Tallowby was started in no longer exists";
    }

    void badDataFolderStopsAndWritesNothing()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFile probe(folder + "/Tallowby-probe");
        if (folder != "gone" && (!QFileInfo(folder).isDir() || probe.open(QIODevice::ReadWrite)))
            QSKIP("no folder here in which files cannot be made");
        const QStringList inRoot = QDir::root().entryList(QDir::AllEntries | QDir::System);
        TestEnvironment env;
        QVERIFY(QDir().mkpath(folder) && QDir::setCurrent(folder));
        if (folder == "gone")
            QVERIFY(QDir(env.folder()).rmdir(folder));
        message = message.arg(QDir::toNativeSeparators(QDir::currentPath()));
        QVERIFY(!env.startProgram());
        QVERIFY2(env.messages.size() == 1 && env.messages[0].startsWith(message),
                 qPrintable(env.messages.join('\n')));
        QVERIFY(!Module1::DataFolder.isEmpty() || folder == "gone");
        QCOMPARE(QDir::root().entryList(QDir::AllEntries | QDir::System), inRoot);
        QVERIFY(QDir(env.folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void writesToAFullDeviceNameTheFile()
    {
        TestEnvironment env;
        if (!OpenRecordFile(DesktopStore::FileNumber, QStringLiteral("/dev/full"), 128))
            QSKIP("/dev/full is not available here");
        const StoreResult r = DesktopStore().AppendDesktopEntry(QStringLiteral("a"), "/bin/a");
        QCOMPARE(r.status, StoreResult::WriteFailed);
        QVERIFY2(r.message.contains(QStringLiteral("/dev/full")), qPrintable(r.message));
    }

    void savingANoteAtTheFileSizeLimitShowsAMessage()
    {
        TestEnvironment env;
        QVERIFY(env.startProgram());
        saveNote("Kept", "Kept text");
        QCOMPARE(Forms::Form2()->MSFlexGrid1->Rows(), 2);
        const QByteArray before = env.fileBytes("Notes.dat");
        auto [limited, guard] = fileSizeLimit(before.size());
        saveNote("Lost?", "New text");
        guard.reset(); // room again
        QVERIFY(limited);
        QVERIFY2(env.messages.size() == 1 && env.messages[0].contains("Notes.dat"),
                 qPrintable(env.messages.join('\n')));
        QCOMPARE(env.fileBytes("Notes.dat").left(before.size()), before);
        QCOMPARE(NoteStore().ReadNoteNames(), QStringList{"Kept"});
        QCOMPARE(Forms::Form2()->MSFlexGrid1->Rows(), 2); // no row for the note not saved
        // The pad keeps the text, so the user can save it once there is room.
        QCOMPARE(Forms::Form2()->Text1->toPlainText(), "New text");
        Forms::Form2()->Command1->click();
        QCOMPARE(NoteStore().ReadNoteNames(), QStringList({"Kept", "Lost?"}));
    }
};

QTEST_MAIN(HostileFilesTest)
#include "tst_hostile_files.moc"
