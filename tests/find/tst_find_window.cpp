// The Find window: opened from the View menu, results as the text is typed, each kind of result
// opened where it belongs.
#include "test_support.h"

#include "addressbook/address_book_window.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "calendar/activities_window.h"
#include "controls/date_picker.h"
#include "controls/limited_text_box.h"
#include "controls/seams.h"
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/note_store.h"
#include "find/find_window.h"
#include "notes/notes_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

// The rows of the result list as "what | where | text".
QStringList rows(const FindWindow *find)
{
    QStringList out;
    const QAbstractItemModel *m = find->ListFind->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << QStringLiteral("%1 | %2 | %3")
                   .arg(m->index(r, 0).data().toString(), m->index(r, 1).data().toString(),
                        m->index(r, 2).data().toString());
    return out;
}

} // namespace

class FindWindowTest : public QObject {
    Q_OBJECT
private slots:
    void findsAndOpensEachKindOfResult()
    {
        TestEnvironment env;
        QLocale::setDefault(QLocale::c());
        MainWindow *main = env.startProgram();
        QVERIFY(main);
        QVERIFY(AppointmentStore()
                    .AddAppointment({"20240105-1", "Breakfast", "08:00", "09:00", 0, "", ""})
                    .ok());
        QVERIFY(AppointmentStore()
                    .AddAppointment({"20240105-2", "Café <b>Zoë</b>", "10:00", "11:00", 0, "",
                                     "bring the plans"})
                    .ok());
        QVERIFY(AddressStore()
                    .AddAddressEntry(AddressStore::BuildEntry("Zoe", "Quinn", "",
                                                              {"", "", "", "555-12 34", "", ""},
                                                              QDate(), false, "", "", ""))
                    .ok());
        QVERIFY(NoteStore().AppendNote("Shopping", "milk").ok());
        QVERIFY(NoteStore().AppendNote("Recipes", "cafe au lait").ok());

        // Ctrl+F opens the window with the focus in the text box; it does not block the main
        // window.
        QCOMPARE(main->Find->shortcut(), QKeySequence(QKeySequence::Find));
        main->Find->trigger();
        FindWindow *find = Forms::FormFind();
        QVERIFY(find->isVisible());
        QCOMPARE(find->windowTitle(), QStringLiteral("Find"));
        QVERIFY(!find->isModal() && main->isEnabled());

        find->TextFind->setText(QStringLiteral("ZOE"));
        const QString day = QLocale::system().toString(QDate(2024, 1, 5), QLocale::ShortFormat);
        QCOMPARE(rows(find), (QStringList{"Appointment | " + day + " 10:00 | Café <b>Zoë</b>",
                                          "Address | Quinn, Zoe | Zoe"}));
        QCOMPARE(find->LabelFound->text(), QStringLiteral("2 found"));
        find->TextFind->setText(QStringLiteral("5551234"));
        QCOMPARE(rows(find), QStringList{"Address | Quinn, Zoe | 555-12 34"});
        find->TextFind->setText(QStringLiteral("nowhere"));
        QCOMPARE(rows(find), QStringList{});
        QCOMPARE(find->LabelFound->text(), QStringLiteral("Nothing found"));

        // An appointment opens its day's activities with it chosen.
        find->TextFind->setText(QStringLiteral("plans"));
        QTest::keyClick(find->TextFind, Qt::Key_Return);
        ActivitiesWindow *activities = Forms::Form4();
        QVERIFY(activities->isVisible());
        QCOMPARE(activities->DTPicker1->Value(), QDate(2024, 1, 5));
        QCOMPARE(activities->Combo3->currentIndex(), 1);
        QCOMPARE(activities->Text1->text(), QStringLiteral("bring the plans"));
        activities->Command1->click();

        // An address entry: the address book on its letter group with the entry chosen.
        find->TextFind->setText(QStringLiteral("quinn"));
        find->openResult(0);
        AddressBookWindow *book = Forms::Form3();
        QCOMPARE(book->LetterGroup(), QStringLiteral("QR"));
        QCOMPARE(book->Combo1->currentText(), QStringLiteral("Quinn, Zoe"));
        QCOMPARE(book->Text3[3]->text(), QStringLiteral("555-12 34"));

        // A note is loaded into the pad; unsaved text there is replaced only when the user
        // agrees. A note saved after the last search is found at the next keystroke.
        QStringList questions;
        bool agree = false;
        Question::setHandler([&](const QString &text) {
            questions << text;
            return agree;
        });
        NotesWindow *notes = Forms::Form2();
        find->TextFind->setText(QStringLiteral("au lait"));
        find->openResult(0);
        QCOMPARE(notes->Text2->text(), QStringLiteral("Recipes"));
        QCOMPARE(notes->Text1->text(), QStringLiteral("cafe au lait"));
        QVERIFY(questions.isEmpty());
        notes->Text1->setText(QStringLiteral("typed, not saved"));
        QVERIFY(NoteStore().AppendNote("Later", "more milk").ok());
        find->TextFind->setText(QStringLiteral("milk"));
        QCOMPARE(rows(find).size(), 2);
        find->openResult(1);
        QCOMPARE(questions.size(), 1);
        QCOMPARE(notes->Text1->text(), QStringLiteral("typed, not saved"));
        agree = true;
        find->openResult(1);
        QCOMPARE(notes->Text2->text(), QStringLiteral("Later"));
        QCOMPARE(notes->Text1->text(), QStringLiteral("more milk"));
        Question::setHandler({});

        // Escape closes the window.
        QTest::keyClick(find, Qt::Key_Escape);
        QVERIFY(!find->isVisible());
    }
};

QTEST_MAIN(FindWindowTest)
#include "tst_find_window.moc"
