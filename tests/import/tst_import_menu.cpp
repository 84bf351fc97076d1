// File > Import... in the program: the file chosen is imported, the outcome shown in one message,
// the calendar's markers and the address book follow.
#include "test_support.h"

#include "addressbook/address_book_window.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "calendar/calendar_window.h"
#include "controls/date_picker.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTest>

class ImportMenuTest : public QObject {
    Q_OBJECT
private slots:
    void importsAChosenFile()
    {
        TestEnvironment env;
        env.setNow(QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
        MainWindow *main = env.startProgram();
        QVERIFY(main);
        // "Import..." stands above "Exit".
        const QList<QAction *> items = main->findChild<QMenu *>(QStringLiteral("File"))->actions();
        QCOMPARE(items.first(), main->Import);
        QCOMPARE(items.last(), main->exit);

        env.writeFile(QStringLiteral("day.ics"),
                      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                      "DTSTART:20261210T100000\r\nDTEND:20261210T110000\r\nSUMMARY:Dentist\r\n"
                      "END:VEVENT\r\nEND:VCALENDAR\r\n");
        // A vCard file whose name says nothing of what it holds.
        env.writeFile(QStringLiteral("people.txt"),
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Quinn;Zoe;;;\r\nFN:Zoe Quinn\r\n"
                      "BDAY:1985-12-24\r\nEND:VCARD\r\n");
        Forms::Form3()->Command4_Click(16); // the address book open on "QR"
        env.fileDialogAnswers = {env.path(QStringLiteral("day.ics")),
                                 env.path(QStringLiteral("people.txt")), std::nullopt};
        main->Import->trigger();
        main->Import->trigger();
        main->Import->trigger(); // cancelled: nothing happens
        QCOMPARE(env.messages, (QStringList{"Imported 1 appointment; 0 skipped, 0 shortened.",
                                            "Imported 1 address entry; 0 skipped, 0 shortened."}));
        QCOMPARE(env.fileDialogRequests.size(), 3);
        QCOMPARE(env.fileDialogRequests[0].title, QStringLiteral("Import"));

        // 10 and 24 December 2026 are marked: a month that begins on a Tuesday puts day d in
        // cell 2 + d.
        CalendarWindow *calendar = Forms::Form1();
        QVERIFY(!calendar->Picture2[12]->isHidden());
        QVERIFY(!calendar->Picture1[26]->isHidden());
        QCOMPARE(Forms::Form3()->Combo1->currentText(), QStringLiteral("Quinn, Zoe"));
    }
};

QTEST_MAIN(ImportMenuTest)
#include "tst_import_menu.moc"
