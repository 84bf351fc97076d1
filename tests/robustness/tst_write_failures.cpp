// A write that the system refuses (the file size limit, a full device) reaches the user as a
// message naming the file; the entries already in the file stay as they were, no half-written
// entry shows, and the program goes on working once the file can grow again.
#include "app/forms.h"
#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/desktop_store.h"
#include "data/note_store.h"
#include "notes/notes_window.h"
#include "test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// Limits the size of every file this process writes to `bytes` until the returned guard goes,
// and says whether the limit is set.
auto fileSizeLimit(qint64 bytes)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = rlim_t(bytes);
    const bool set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    return std::make_pair(set, qScopeGuard([old] { setrlimit(RLIMIT_FSIZE, &old); }));
}

QString nth(const char *text, int n)
{
    return text + QString::number(n);
}

struct StoreCase {
    QString file;
    std::function<StoreResult(int serial)> add;
    std::function<QStringList()> list;
};

} // namespace

Q_DECLARE_METATYPE(StoreCase)

class WriteFailuresTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the program does: a write past the limit fails with an error instead of ending
        // the process.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void addPastTheFileSizeLimitFailsAndKeepsTheFile_data()
    {
        QTest::addColumn<StoreCase>("store");
        QTest::addColumn<int>("room");
        const StoreCase cases[] = {
            {"Appoint.dat",
             [](int i) {
                 return AppointmentStore().AddAppointment({nth("20240105-", i), nth("Subject ", i),
                                                           "09:00", "10:00", -1, "15",
                                                           nth("Description ", i)});
             },
             [] { return AppointmentStore().ReadAllIds(); }},
            {"Notes.dat",
             [](int i) { return NoteStore().AppendNote(nth("Note ", i), nth("Text ", i)); },
             [] { return NoteStore().ReadNoteNames(); }},
            {"AddBook.dat",
             [](int i) {
                 return AddressStore().AddAddressEntry(AddressStore::BuildEntry(
                     "Ann", nth("Lee ", i), {}, {}, QDate(1970, 1, i), true, {}, {}, {}));
             },
             [] { return AddressStore().ReadAllDisplayNames(); }},
            {"MyDesk.dat",
             [](int i) {
                 return DesktopStore().AppendDesktopEntry(nth("Button ", i), nth("/bin/p", i));
             },
             [] { return DesktopStore().ReadCaptions(); }},
        };
        for (const StoreCase &c : cases) {
            // No room at all, and room for the first bytes of the new entry.
            QTest::addRow("%s, no room", qPrintable(c.file)) << c << 0;
            QTest::addRow("%s, room for a part", qPrintable(c.file)) << c << 150;
        }
    }

    void addPastTheFileSizeLimitFailsAndKeepsTheFile()
    {
        QFETCH(StoreCase, store);
        QFETCH(int, room);
        TestEnvironment env;
        QVERIFY(env.openDataFiles());
        QVERIFY(store.add(1).ok() && store.add(2).ok());
        const QByteArray before = env.fileBytes(store.file);
        const QStringList entries = store.list();
        {
            const auto [limited, guard] = fileSizeLimit(before.size() + room);
            QVERIFY(limited);
            const StoreResult r = store.add(3);
            QCOMPARE(r.status, StoreResult::WriteFailed);
            QVERIFY2(r.message.contains(store.file), qPrintable(r.message));
            // The bytes before the failing write are intact, and the entries read as before.
            QCOMPARE(env.fileBytes(store.file).left(before.size()), before);
            QCOMPARE(store.list(), entries);
        }
        // With room again, the next add works and keeps everything.
        QVERIFY(store.add(4).ok());
        QCOMPARE(store.list().size(), entries.size() + 1);
        QCOMPARE(store.list().first(entries.size()), entries);
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
        NotesWindow *form = Forms::Form2();
        form->Text2->setText("Kept");
        form->Text1->setPlainText("Kept text");
        form->Command1->click();
        QCOMPARE(form->MSFlexGrid1->Rows(), 2);
        const QByteArray before = env.fileBytes("Notes.dat");
        {
            const auto [limited, guard] = fileSizeLimit(before.size());
            QVERIFY(limited);
            form->Text2->setText("Lost?");
            form->Text1->setPlainText("New text");
            form->Command1->click();
        }
        QVERIFY2(env.messages.size() == 1 && env.messages[0].contains("Notes.dat"),
                 qPrintable(env.messages.join('\n')));
        QCOMPARE(env.fileBytes("Notes.dat").left(before.size()), before);
        QCOMPARE(NoteStore().ReadNoteNames(), QStringList{"Kept"});
        QCOMPARE(form->MSFlexGrid1->Rows(), 2); // no row for the note that was not saved
        // The pad keeps the text, so the user can save it once there is room.
        QCOMPARE(form->Text1->toPlainText(), "New text");
        form->Command1->click();
        QCOMPARE(NoteStore().ReadNoteNames(), QStringList({"Kept", "Lost?"}));
    }
};

QTEST_MAIN(WriteFailuresTest)
#include "tst_write_failures.moc"
