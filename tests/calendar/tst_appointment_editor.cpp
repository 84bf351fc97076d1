// The appointment editor: presets, the checks and their messages, adding and editing, the
// limits of what can be typed, and the ways back to the activities window.
#include "calendar/activities_window.h"
#include "calendar/appointment_editor.h"
#include "calendar/calendar_window.h"
#include "calendar/reminder_window.h"
#include "calendar_fixtures.h"
#include "shell/date_picker.h"
#include "shell/forms.h"
#include "shell/limited_text_box.h"
#include "shell/main_window.h"
#include "shell/module1.h"
#include "test_support.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QDate kDay(2024, 1, 5);

ActivitiesWindow *showDay(TestEnvironment &env)
{
    env.setNow(QDateTime(kDay, QTime(8, 0)));
    if (!env.startProgram())
        return nullptr;
    CalendarWindow *calendar = Forms::Form1();
    calendar->Calendar1->setSelectedDate(kDay);
    emit calendar->Calendar1->activated(kDay);
    return Forms::Form4();
}

void typeInto(QComboBox *box, const QString &text)
{
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), text);
}

void replaceText(QLineEdit *box, const QString &text)
{
    box->clear();
    QTest::keyClicks(box, text);
}

} // namespace

class AppointmentEditorTest : public QObject {
    Q_OBJECT
private slots:
    void addPresetsTheFields();
    void checksInTheirOrder_data();
    void checksInTheirOrder();
    void pickingAStartPicksTheEndHalfAnHourLater();
    void addWritesTheSevenFields();
    void reminderStateCarriesOverToTheNextAdd();
    void editRewritesInPlace();
    void comingBackToTheEditorKeepsWhatWasTyped();
    void closeBoxReturnsWithoutSaving();
    void typedTextsFitTheirRecords();
    void aFullBookRefusesTheAdd();
};

void AppointmentEditorTest::addPresetsTheFields()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    QVERIFY(e->isWindow());
    QCOMPARE(e->Text4->text(), QStringLiteral("Subject"));
    QCOMPARE(e->Text1->toPlainText(), QStringLiteral("Description"));
    QCOMPARE(e->Text2->text(), QStringLiteral("15"));
    QCOMPARE(e->Combo1->currentText(), QString());
    QCOMPARE(e->Combo2->currentText(), QString());
    QCOMPARE(e->Combo1->count(), 34);
    QCOMPARE(e->Combo1->itemText(33), QStringLiteral("23:30"));
    QCOMPARE(e->Combo2->count(), 35);
    QCOMPARE(e->Combo2->itemText(34), QStringLiteral("24:00"));
    QCOMPARE(e->Check1->checkState(), Qt::Unchecked);
    QVERIFY(e->Text2->isHidden());
}

void AppointmentEditorTest::checksInTheirOrder_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("message"); // empty: saved
    QTest::newRow("both times empty: only the start message")
        << ""
        << ""
        << ""
        << "You need to specify a Start-Time for the Appointment";
    QTest::newRow("no end") << "10:00"
                            << ""
                            << ""
                            << "You need to specify an End-Time for the Appointment";
    QTest::newRow("equal times") << "10:00"
                                 << "10:00"
                                 << "x"
                                 << "The duration of the meeting must be greater than 0 minutes!";
    QTest::newRow("end before start")
        << "10:30"
        << "10:00"
        << "x"
        << "The duration of the meeting must be greater than 0 minutes!";
    QTest::newRow("times compare as texts: 9:00 is not before 10:00")
        << "9:00"
        << "10:00"
        << "x"
        << "The duration of the meeting must be greater than 0 minutes!";
    QTest::newRow("no subject") << "09:30"
                                << "10:00"
                                << ""
                                << "You need to specify a Subject for the Appointment";
    QTest::newRow("a subject of blanks passes") << "09:30"
                                                << "10:00"
                                                << "   "
                                                << "";
}

void AppointmentEditorTest::checksInTheirOrder()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, subject);
    QFETCH(QString, message);
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    typeInto(e->Combo1, start);
    typeInto(e->Combo2, end);
    replaceText(e->Text4, subject);
    e->Command2->click();
    if (message.isEmpty()) {
        QVERIFY(env.messages.isEmpty());
        QVERIFY(!e->isVisible());
        QVERIFY(w->isVisible());
        QCOMPARE(AppointmentStore().GetAppointmentCount(), 1);
    } else {
        QCOMPARE(env.messages, QStringList{message});
        QVERIFY(e->isVisible());
        QCOMPARE(e->Combo1->currentText(), start);
        QCOMPARE(e->Text4->text(), subject);
        QCOMPARE(AppointmentStore().GetAppointmentCount(), 0);
    }
}

void AppointmentEditorTest::pickingAStartPicksTheEndHalfAnHourLater()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    e->Combo1->setCurrentIndex(33);
    emit e->Combo1->activated(33);
    QCOMPARE(e->Combo1->currentText(), QStringLiteral("23:30"));
    QCOMPARE(e->Combo2->currentText(), QStringLiteral("24:00"));
    e->Combo1->setCurrentIndex(4);
    emit e->Combo1->activated(4);
    QCOMPARE(e->Combo2->currentText(), QStringLiteral("09:30"));
}

void AppointmentEditorTest::addWritesTheSevenFields()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    Fixtures::appointment("20240105-1", "First");
    Module1::LoadDayActivities();
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    typeInto(e->Combo1, "10:00");
    typeInto(e->Combo2, "11:00");
    replaceText(e->Text4, "Budget");
    e->Check1->click();
    QVERIFY(!e->Text2->isHidden());
    replaceText(e->Text2, "30");
    e->Text1->setPlainText("Line one\nLine two");
    e->Command2->click();
    QVERIFY(env.messages.isEmpty());
    // The second appointment's seven records: 9 to 15, and the count in record 8.
    QCOMPARE(env.record("Appoint.dat", 128, 8).left(4), Bytes::count16(2));
    QCOMPARE(env.record("Appoint.dat", 128, 9).left(12), Bytes::string("20240105-2"));
    QCOMPARE(env.record("Appoint.dat", 128, 10).left(8), Bytes::string("Budget"));
    QCOMPARE(env.record("Appoint.dat", 128, 11).left(7), Bytes::string("10:00"));
    QCOMPARE(env.record("Appoint.dat", 128, 12).left(7), Bytes::string("11:00"));
    QCOMPARE(env.record("Appoint.dat", 128, 13).left(2), Bytes::flag(true));
    QCOMPARE(env.record("Appoint.dat", 128, 14).left(4), Bytes::string("30"));
    QCOMPARE(env.record("Appoint.dat", 128, 15).left(20), Bytes::string("Line one\r\nLine two"));
    // Back in the activities window, refilled.
    QVERIFY(w->isVisible());
    QCOMPARE(w->Combo3->count(), 2);
    QCOMPARE(w->Combo3->itemText(1), QStringLiteral("Budget"));
}

void AppointmentEditorTest::reminderStateCarriesOverToTheNextAdd()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    AppointmentEditor *e = Forms::Form5();
    for (int i = 0; i < 2; ++i) {
        w->Command3->click();
        if (i == 0)
            e->Check1->click();
        QCOMPARE(e->Check1->checkState(), Qt::Checked);
        typeInto(e->Combo1, "10:00");
        typeInto(e->Combo2, "11:00");
        e->Command2->click();
    }
    QCOMPARE(env.record("Appoint.dat", 128, 5).left(2), Bytes::flag(true));
    QCOMPARE(env.record("Appoint.dat", 128, 13).left(2), Bytes::flag(true));
    QCOMPARE(env.record("Appoint.dat", 128, 9).left(12), Bytes::string("20240105-2"));
}

void AppointmentEditorTest::editRewritesInPlace()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    Fixtures::appointment("20240105-1", "First", "08:00", "09:00");
    Fixtures::appointment("20240105-2", " Second ", "10:00", "11:00", true, "20", "About it");
    Fixtures::appointment("20240105-3", "Third", "12:00", "13:00");
    Module1::LoadDayActivities();
    w->Combo3->setCurrentIndex(1);
    w->Command5->click();
    AppointmentEditor *e = Forms::Form5();
    QCOMPARE(e->windowTitle(), QStringLiteral("Edit Appointment"));
    QCOMPARE(Module1::EditMode, qint16(-1));
    // The shown appointment's values, at once.
    QCOMPARE(e->Combo1->currentText(), QStringLiteral("10:00"));
    QCOMPARE(e->Combo2->currentText(), QStringLiteral("11:00"));
    QCOMPARE(e->Text4->text(), QStringLiteral("Second"));
    QCOMPARE(e->Text1->toPlainText(), QStringLiteral("About it"));
    QCOMPARE(e->Check1->checkState(), Qt::Checked);
    QCOMPARE(e->Text2->text(), QStringLiteral("20"));
    QCOMPARE(e->Text3->text(), QStringLiteral("20240105-2"));
    replaceText(e->Text4, "Second, moved");
    typeInto(e->Combo2, "11:30");
    e->Command2->click();
    QVERIFY(env.messages.isEmpty());
    QCOMPARE(AppointmentStore().ReadAllIds(),
             (QStringList{"20240105-1", "20240105-2", "20240105-3"}));
    QCOMPARE(env.record("Appoint.dat", 128, 10).left(15), Bytes::string("Second, moved"));
    QCOMPARE(env.record("Appoint.dat", 128, 12).left(7), Bytes::string("11:30"));
    QCOMPARE(w->Combo3->itemText(1), QStringLiteral("Second, moved"));
    QCOMPARE(w->Combo3->count(), 3);
}

void AppointmentEditorTest::comingBackToTheEditorKeepsWhatWasTyped()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    typeInto(e->Combo1, "10:00");
    replaceText(e->Text4, "Half typed");
    // The reminder pop-up comes up and goes; the editor is activated again.
    ReminderWindow *popup = Forms::Form8();
    popup->show();
    popup->activateWindow();
    popup->Command1->click();
    e->activateWindow();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(e, &activate);
    QCOMPARE(e->Combo1->currentText(), QStringLiteral("10:00"));
    QCOMPARE(e->Text4->text(), QStringLiteral("Half typed"));
}

void AppointmentEditorTest::closeBoxReturnsWithoutSaving()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    typeInto(e->Combo1, "10:00");
    typeInto(e->Combo2, "11:00");
    e->close();
    QVERIFY(!e->isVisible());
    QVERIFY(w->isVisible());
    QVERIFY(!env.mainWindow()->isEnabled());
    QCOMPARE(AppointmentStore().GetAppointmentCount(), 0);
    // And from there "OK" enables the main window.
    w->Command1->click();
    QVERIFY(env.mainWindow()->isEnabled());
}

void AppointmentEditorTest::typedTextsFitTheirRecords()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    const QString longText(200, QLatin1Char('x'));
    typeInto(e->Combo1, "10:00:00 and more");
    QCOMPARE(e->Combo1->currentText(), QStringLiteral("10:00"));
    typeInto(e->Combo2, "11:000000");
    QCOMPARE(e->Combo2->currentText(), QStringLiteral("11:00"));
    e->Check1->click();
    replaceText(e->Text2, "123456789");
    QCOMPARE(e->Text2->text().size(), AppointmentEditor::MinutesLength);
    replaceText(e->Text4, longText);
    QCOMPARE(e->Text4->text().size(), 100);
    e->Text1->selectAll();
    QTest::keyClicks(e->Text1, QStringLiteral("ab"));
    QTest::keyClick(e->Text1, Qt::Key_Return);
    QTest::keyClicks(e->Text1, longText);
    QCOMPARE(e->Text1->toPlainText().size(), 99); // the line break counts CR LF
    e->Command2->click();
    QVERIFY(env.messages.isEmpty());
    QCOMPARE(AppointmentStore().ReadAppointment(0).Description.size(), 100);
}

void AppointmentEditorTest::aFullBookRefusesTheAdd()
{
    TestEnvironment env;
    ActivitiesWindow *w = showDay(env);
    QVERIFY(w);
    // A file that claims to hold the capacity of appointments.
    QVERIFY(PutCount(1, 8, AppointmentStore::Capacity).ok());
    const QByteArray before = env.fileBytes("Appoint.dat");
    w->Command3->click();
    AppointmentEditor *e = Forms::Form5();
    typeInto(e->Combo1, "10:00");
    typeInto(e->Combo2, "11:00");
    replaceText(e->Text4, "One too many");
    e->Command2->click();
    QCOMPARE(env.messages.size(), 1);
    QVERIFY(env.messages[0].contains(QString::number(AppointmentStore::Capacity)));
    QCOMPARE(env.fileBytes("Appoint.dat"), before);
    QVERIFY(e->isVisible());
    QCOMPARE(e->Text4->text(), QStringLiteral("One too many"));
}

QTEST_MAIN(AppointmentEditorTest)
#include "tst_appointment_editor.moc"
