// The activities of a day: the appointment list and its details, the birthday memos, delete,
// and the ways back to the calendar.
#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "app/module1.h"
#include "calendar/appointment_editor.h"
#include "calendar_fixtures.h"
#include "controls/date_picker.h"

#include "controls/limited_text_box.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Fixtures;

namespace {

const QDate kDay(2024, 1, 5);

// The shown appointment: id, start, end, description, reminder tick, minutes ("-" when
// hidden with their label).
QStringList shown(const ActivitiesWindow *w)
{
    return {w->Text3->text(),
            w->Text4->text(),
            w->Text5->text(),
            w->Text1->toPlainText(),
            w->Check1->isChecked() ? "ticked" : "unticked",
            w->Text2->isHidden() != w->Label4->isHidden() ? "half shown"
            : w->Text2->isHidden()                        ? "-"
                                                          : w->Text2->text()};
}

void start(TestEnvironment &env)
{
    QVERIFY(startOn(env, kDay, QTime(8, 0)));
}

} // namespace

class ActivitiesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheDayInFileOrderAndShowsTheChosenEntry();
    void birthdayMemos_data();
    void birthdayMemos();
    void aDayWithoutAppointmentsCannotEditOrDelete();
    void deleteRenumbersTheDay();
    void okAndCloseBoxReturnToTheCalendar_data();
    void okAndCloseBoxReturnToTheCalendar();
    void datePickerChangesTheDay();
    void addressSavedWhileADayIsOpen();
};

void ActivitiesWindowTest::listsTheDayInFileOrderAndShowsTheChosenEntry()
{
    TestEnvironment env;
    start(env);
    appointment("20240105-1", "  Standup ", " 09:00", "09:30 ", true, " 10 ",
                "  Room 4\r\nBring notes ");
    appointment("20240106-1", "Other day");
    appointment("20240105-2", "Lunch", "12:00", "13:00", false, "15", "Second");
    appointment("20240105-3", "Review", "15:00", "16:00");
    ActivitiesWindow *w = openDay(kDay);
    QCOMPARE(items(w->Combo3), (QStringList{"Standup", "Lunch", "Review"}));
    QCOMPARE(items(w->Combo1), (QStringList{"09:00", "12:00", "15:00"}));
    QCOMPARE(items(w->Combo2), (QStringList{"09:30", "13:00", "16:00"}));
    QCOMPARE(w->Combo3->currentIndex(), 0);
    QCOMPARE(shown(w),
             (QStringList{"20240105-1", "09:00", "09:30", "Room 4\nBring notes", "ticked", "10"}));
    QVERIFY(!w->Check1->isEnabled());
    QVERIFY(w->Command4->isEnabled() && w->Command5->isEnabled());

    w->Combo3->setCurrentIndex(1);
    QCOMPARE(shown(w), (QStringList{"20240105-2", "12:00", "13:00", "Second", "unticked", "-"}));
}

void ActivitiesWindowTest::birthdayMemos_data()
{
    QTest::addColumn<QStringList>("entries"); // surname, name, date, flag
    QTest::addColumn<QStringList>("memos");
    QTest::newRow("a birthday shows name and age")
        << QStringList{"Smith", "John", "05/01/1980", "1"}
        << QStringList{"Birthday - Smith, John ( 44 ) "};
    QTest::newRow("no memo without the birthday flag")
        << QStringList{"Smith", "John", "05/01/1980", "0"} << QStringList{};
    QTest::newRow("several in file order, other days left out")
        << QStringList{"Zed",        "Ann", "05/01/2024", "1",  "Brown",      "Bo",
                       "06/01/1990", "1",   "Adams",      "Al", "05/01/2030", "1"}
        << QStringList{"Birthday - Zed, Ann ( 0 ) ", "Birthday - Adams, Al ( -6 ) "};
}

void ActivitiesWindowTest::birthdayMemos()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, memos);
    TestEnvironment env;
    start(env);
    for (int i = 0; i + 3 < entries.size(); i += 4)
        birthday(entries[i], entries[i + 1], entries[i + 2], entries[i + 3]);
    ActivitiesWindow *w = openDay(kDay);
    QCOMPARE(items(w->Combo4), memos);
    QCOMPARE(w->Combo4->currentIndex(), memos.isEmpty() ? -1 : 0);
}

void ActivitiesWindowTest::aDayWithoutAppointmentsCannotEditOrDelete()
{
    TestEnvironment env;
    start(env);
    appointment("20240106-1");
    ActivitiesWindow *w = openDay(kDay);
    QCOMPARE(w->Combo3->count(), 0);
    QCOMPARE(w->Text3->text(), QStringLiteral("ID"));
    QVERIFY(!w->Command4->isEnabled() && !w->Command5->isEnabled());
    const QByteArray before = env.fileBytes("Appoint.dat");
    QTest::mouseClick(w->Command4, Qt::LeftButton);
    QCOMPARE(env.fileBytes("Appoint.dat"), before);
}

void ActivitiesWindowTest::deleteRenumbersTheDay()
{
    TestEnvironment env;
    start(env);
    appointment("20240105-1", "First");
    appointment("20240106-1", "Elsewhere");
    appointment("20240105-2", "Second", "11:00", "12:00");
    appointment("20240105-3", "Third", "14:00", "15:00");
    ActivitiesWindow *w = openDay(kDay);
    w->Command4->click();
    QCOMPARE(items(w->Combo3), (QStringList{"Second", "Third"}));
    QCOMPARE(w->Text3->text(), QStringLiteral("20240105-1"));
    w->Combo3->setCurrentIndex(1);
    QCOMPARE(w->Text3->text(), QStringLiteral("20240105-2"));
    QCOMPARE(w->Text4->text(), QStringLiteral("14:00"));
    QCOMPARE(AppointmentStore().ReadAllIds(),
             (QStringList{"20240106-1", "20240105-1", "20240105-2"}));
}

void ActivitiesWindowTest::okAndCloseBoxReturnToTheCalendar_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("OK") << false;
    QTest::newRow("the close box ends like OK") << true;
}

void ActivitiesWindowTest::okAndCloseBoxReturnToTheCalendar()
{
    QFETCH(bool, closeBox);
    TestEnvironment env;
    start(env);
    ActivitiesWindow *w = openDay(kDay);
    MainWindow *main = env.mainWindow();
    QVERIFY(!main->isEnabled());
    // An appointment added meanwhile shows on the calendar when the window closes.
    appointment("20240109-1");
    CalendarWindow *calendar = Forms::Form1();
    QVERIFY(calendar->Picture2[10]->isHidden()); // January 2024 begins on a Monday
    if (closeBox)
        w->close();
    else
        w->Command1->click();
    QVERIFY(!w->isVisible());
    QVERIFY(main->isEnabled() && main->isVisible());
    QVERIFY(!calendar->Picture2[10]->isHidden());
}

void ActivitiesWindowTest::datePickerChangesTheDay()
{
    TestEnvironment env;
    start(env);
    appointment("20240106-1", "Saturday");
    ActivitiesWindow *w = openDay(kDay);
    w->DTPicker1->setDate(QDate(2024, 1, 6)); // as the user picks it
    QCOMPARE(items(w->Combo3), QStringList{"Saturday"});
    QCOMPARE(w->Text3->text(), QStringLiteral("20240106-1"));
}

void ActivitiesWindowTest::addressSavedWhileADayIsOpen()
{
    // The address entry editor, a window of its own, is open when a day is opened; its "OK"
    // marks the calendar again while the day is on screen.
    TestEnvironment env;
    start(env);
    appointment("20240105-1", "First");
    Forms::Form3()->Command3->click();
    AddressEntryEditor *address = Forms::Form7();
    ActivitiesWindow *w = openDay(kDay);
    address->setText2(1, QStringLiteral("Baker"));
    address->Command1->click();
    QCOMPARE(items(w->Combo3), QStringList{"First"});
    QCOMPARE(w->Text3->text(), QStringLiteral("20240105-1"));

    // A new appointment takes the next free number of the day, whatever the window lists.
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    e->Combo1->setEditText(QStringLiteral("10:00"));
    e->Combo2->setEditText(QStringLiteral("11:00"));
    e->Command2->click();
    QCOMPARE(AppointmentStore().ReadAllIds(), (QStringList{"20240105-1", "20240105-2"}));

    // An edit of an appointment that has left the file meanwhile is refused, not lost.
    w->Combo3->setCurrentIndex(1);
    w->Command5->click();
    QVERIFY(AppointmentStore().DeleteAppointment(QStringLiteral("20240105-2")).ok());
    const QByteArray before = env.fileBytes("Appoint.dat");
    e->Text4->setText(QStringLiteral("Changed"));
    e->Command2->click();
    QCOMPARE(env.messages.size(), 1);
    QVERIFY(env.messages[0].contains(QStringLiteral("20240105-2")));
    QVERIFY(e->isVisible());
    QCOMPARE(e->Text4->text(), QStringLiteral("Changed"));
    QCOMPARE(env.fileBytes("Appoint.dat"), before);
}

QTEST_MAIN(ActivitiesWindowTest)
#include "tst_activities_window.moc"
