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
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// Limits the size of every file this process writes to `bytes` while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(bytes);
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    bool m_ok = false;
};

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
            {QStringLiteral("Appoint.dat"),
             [](int n) {
                 return AppointmentStore().AddAppointment(
                     {QStringLiteral("20240105-%1").arg(n), QStringLiteral("Subject %1").arg(n),
                      QStringLiteral("09:00"), QStringLiteral("10:00"), -1, QStringLiteral("15"),
                      QStringLiteral("Description %1").arg(n)});
             },
             [] {
                 QStringList out;
                 AppointmentStore s;
                 for (int i = 0; i < s.GetAppointmentCount(); ++i)
                     out.append(s.ReadAppointment(i).Subject);
                 return out;
             }},
            {QStringLiteral("Notes.dat"),
             [](int n) {
                 return NoteStore().AppendNote(QStringLiteral("Note %1").arg(n),
                                               QStringLiteral("Text %1").arg(n));
             },
             [] { return NoteStore().ReadNoteNames(); }},
            {QStringLiteral("AddBook.dat"),
             [](int n) {
                 return AddressStore().AddAddressEntry(AddressStore::BuildEntry(
                     QStringLiteral("Ann"), QStringLiteral("Lee %1").arg(n), {}, {},
                     QDate(1970, 1, n), true, {}, {}, {}));
             },
             [] { return AddressStore().ReadAllDisplayNames(); }},
            {QStringLiteral("MyDesk.dat"),
             [](int n) {
                 return DesktopStore().AppendDesktopEntry(QStringLiteral("Button %1").arg(n),
                                                          QStringLiteral("/bin/p%1").arg(n));
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
        QVERIFY(store.add(1).ok());
        QVERIFY(store.add(2).ok());
        const QByteArray before = env.fileBytes(store.file);
        const QStringList entries = store.list();
        {
            FileSizeLimit limit(before.size() + room);
            QVERIFY(limit.ok());
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
        form->Text2->setText(QStringLiteral("Kept"));
        form->Text1->setPlainText(QStringLiteral("Kept text"));
        form->Command1->click();
        QCOMPARE(form->MSFlexGrid1->Rows(), 2);
        const QByteArray before = env.fileBytes(QStringLiteral("Notes.dat"));
        {
            FileSizeLimit limit(before.size());
            QVERIFY(limit.ok());
            form->Text2->setText(QStringLiteral("Lost?"));
            form->Text1->setPlainText(QStringLiteral("New text"));
            form->Command1->click();
        }
        QCOMPARE(env.messages.size(), 1);
        QVERIFY2(env.messages[0].contains(QStringLiteral("Notes.dat")),
                 qPrintable(env.messages[0]));
        QCOMPARE(env.fileBytes(QStringLiteral("Notes.dat")).left(before.size()), before);
        QCOMPARE(NoteStore().ReadNoteNames(), QStringList{QStringLiteral("Kept")});
        QCOMPARE(form->MSFlexGrid1->Rows(), 2); // no row for the note that was not saved
        // The pad keeps the text, so the user can save it once there is room.
        QCOMPARE(form->Text1->toPlainText(), QStringLiteral("New text"));
        form->Command1->click();
        QCOMPARE(NoteStore().ReadNoteNames(), QStringList({"Kept", "Lost?"}));
    }
};

QTEST_MAIN(WriteFailuresTest)
#include "tst_write_failures.moc"
