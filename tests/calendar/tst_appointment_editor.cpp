// The appointment editor: presets, the checks and their messages, adding and editing, the
// limits of what can be typed, and the ways back to the activities window.
#include "app/module1.h"
#include "calendar/appointment_editor.h"
#include "calendar/reminder_window.h"
#include "calendar_fixtures.h"
#include "controls/limited_text_box.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Fixtures;

namespace {

const QDate kDay(2024, 1, 5);

// Starts on kDay with the appointments already stored, opens the day and clicks "Add".
AppointmentEditor *openAdd(TestEnvironment &env, const QStringList &ids = {})
{
    if (!startOn(env, kDay, QTime(8, 0)))
        return nullptr;
    for (const QString &id : ids)
        appointment(id, id == "20240105-1" ? QStringLiteral("First") : QStringLiteral("Other"));
    openDay(kDay)->Command3->click();
    return Forms::Form5();
}

void replaceText(QLineEdit *box, const QString &text)
{
    box->clear();
    QTest::keyClicks(box, text);
}

void typeTimes(AppointmentEditor *e, const QString &start, const QString &end)
{
    replaceText(e->Combo1->lineEdit(), start);
    replaceText(e->Combo2->lineEdit(), end);
}

// What the editor shows: start, end, subject, description, reminder tick, minutes, id.
QStringList shown(const AppointmentEditor *e)
{
    return {e->Combo1->currentText(),
            e->Combo2->currentText(),
            e->Text4->text(),
            e->Text1->text(),
            e->Check1->isChecked() ? "ticked" : "unticked",
            e->Text2->text(),
            e->Text3->text()};
}

QByteArray stored(const TestEnvironment &env, int record, qsizetype size)
{
    return env.record("Appoint.dat", 128, record).left(size);
}

} // namespace

class AppointmentEditorTest : public QObject {
    Q_OBJECT
private slots:
    void addPresetsTheFieldsAndPicksTheEnd();
    void checksInTheirOrder_data();
    void checksInTheirOrder();
    void addWritesTheSevenFields();
    void reminderStateCarriesOverToTheNextAdd();
    void editRewritesInPlace();
    void comingBackToTheEditorKeepsWhatWasTyped();
    void typedTextsFitTheirRecords();
    void refusedAddKeepsTheEditor_data();
    void refusedAddKeepsTheEditor();
};

void AppointmentEditorTest::addPresetsTheFieldsAndPicksTheEnd()
{
    TestEnvironment env;
    AppointmentEditor *e = openAdd(env);
    QVERIFY(e && e->isWindow());
    QCOMPARE(shown(e),
             (QStringList{"", "", "Subject", "Description", "unticked", "15", "20240105-1"}));
    QCOMPARE(e->Combo1->count(), 34);
    QCOMPARE(e->Combo2->count(), 35);
    QVERIFY(e->Text2->isHidden());
    // Picking a start picks the end half an hour later.
    e->Combo1->setCurrentIndex(33);
    emit e->Combo1->activated(33);
    QCOMPARE(e->Combo1->currentText(), QStringLiteral("23:30"));
    QCOMPARE(e->Combo2->currentText(), QStringLiteral("24:00"));
    e->Combo1->setCurrentIndex(4);
    emit e->Combo1->activated(4);
    QCOMPARE(e->Combo2->currentText(), QStringLiteral("09:30"));
}

void AppointmentEditorTest::checksInTheirOrder_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("message"); // empty: saved
    const QString noStart = "You need to specify a Start-Time for the Appointment";
    const QString noEnd = "You need to specify an End-Time for the Appointment";
    const QString duration = "The duration of the meeting must be greater than 0 minutes!";
    const QString noSubject = "You need to specify a Subject for the Appointment";
    auto row = [](const char *name, const QString &start, const QString &end,
                  const QString &subject, const QString &message) {
        QTest::newRow(name) << start << end << subject << message;
    };
    row("both times empty: only the start message", "", "", "", noStart);
    row("no end", "10:00", "", "", noEnd);
    row("equal times", "10:00", "10:00", "x", duration);
    row("end before start", "10:30", "10:00", "x", duration);
    const QString notATime = "The %1 \"%2\" is not a time of day. Type it as hours and "
                             "minutes, for example 09:30.";
    row("a one-digit hour is read as two digits", "9:00", "10:00", "x", "");
    row("minutes past 59", "9:75", "10:00", "x", notATime.arg("Start Time", "9:75"));
    row("an hour past 24", "09:00", "25:00", "x", notATime.arg("End Time", "25:00"));
    row("no time at all", "ab", "10:00", "x", notATime.arg("Start Time", "ab"));
    row("24:00 ends the day", "23:30", "24:00", "x", "");
    row("no subject", "09:30", "10:00", "", noSubject);
    row("a subject of blanks passes", "09:30", "10:00", "   ", "");
}

void AppointmentEditorTest::checksInTheirOrder()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, subject);
    QFETCH(QString, message);
    TestEnvironment env;
    AppointmentEditor *e = openAdd(env);
    QVERIFY(e);
    typeTimes(e, start, end);
    replaceText(e->Text4, subject);
    e->Command2->click();
    QCOMPARE(env.messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(e->isVisible(), !message.isEmpty());
    QCOMPARE(Forms::Form4()->isVisible(), message.isEmpty());
    QCOMPARE(AppointmentStore().GetAppointmentCount(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty()) // stored in the two-digit form
        QCOMPARE(AppointmentStore().ReadAppointment(0).StartTime, start.rightJustified(5, u'0'));
    else {
        QCOMPARE(e->Combo1->currentText(), start);
        QCOMPARE(e->Text4->text(), subject);
    }
}

void AppointmentEditorTest::addWritesTheSevenFields()
{
    TestEnvironment env;
    AppointmentEditor *e = openAdd(env, {"20240105-1"});
    QVERIFY(e);
    QVERIFY(!Forms::Form4()->isVisible());
    QCOMPARE(e->windowTitle(), QStringLiteral("Add Appointment"));
    QCOMPARE(e->Text3->text(), QStringLiteral("20240105-2"));
    QCOMPARE(Module1::EditMode, qint16(0));
    typeTimes(e, "10:00", "11:00");
    replaceText(e->Text4, "Budget");
    e->Check1->click();
    QVERIFY(!e->Text2->isHidden());
    replaceText(e->Text2, "30");
    e->Text1->setPlainText("Line one\nLine two");
    e->Command2->click();
    QVERIFY(env.messages.isEmpty());
    // The count in record 8, the second appointment in records 9 to 15.
    QCOMPARE(stored(env, 8, 4), Bytes::count16(2));
    const QList<QByteArray> fields{Bytes::string("20240105-2"),
                                   Bytes::string("Budget"),
                                   Bytes::string("10:00"),
                                   Bytes::string("11:00"),
                                   Bytes::flag(true),
                                   Bytes::string("30"),
                                   Bytes::string("Line one\r\nLine two")};
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(stored(env, 9 + i, fields[i].size()), fields[i]);
    ActivitiesWindow *w = Forms::Form4();
    QVERIFY(w->isVisible());
    QCOMPARE(items(w->Combo3), (QStringList{"First", "Budget"}));
}

void AppointmentEditorTest::reminderStateCarriesOverToTheNextAdd()
{
    TestEnvironment env;
    AppointmentEditor *e = openAdd(env);
    QVERIFY(e);
    e->Check1->click();
    typeTimes(e, "10:00", "11:00");
    e->Command2->click();
    Forms::Form4()->Command3->click();
    QCOMPARE(e->Check1->checkState(), Qt::Checked);
    typeTimes(e, "10:00", "11:00");
    e->Command2->click();
    QCOMPARE(stored(env, 5, 2), Bytes::flag(true));
    QCOMPARE(stored(env, 13, 2), Bytes::flag(true));
    QCOMPARE(stored(env, 9, 12), Bytes::string("20240105-2"));
}

void AppointmentEditorTest::editRewritesInPlace()
{
    TestEnvironment env;
    QVERIFY(startOn(env, kDay, QTime(8, 0)));
    appointment("20240105-1", "First", "08:00", "09:00");
    // A no-break space (byte A0) goes through the activities window and the editor unchanged.
    appointment("20240105-2", " Second ", "10:00", "11:00", true, "20", "About\u00A0it");
    appointment("20240105-3", "Third", "12:00", "13:00");
    ActivitiesWindow *w = openDay(kDay);
    w->Combo3->setCurrentIndex(1);
    w->Command5->click();
    AppointmentEditor *e = Forms::Form5();
    QCOMPARE(e->windowTitle(), QStringLiteral("Edit Appointment"));
    QCOMPARE(Module1::EditMode, qint16(-1));
    QCOMPARE(shown(e), (QStringList{"10:00", "11:00", "Second", "About\u00A0it", "ticked", "20",
                                    "20240105-2"}));
    replaceText(e->Text4, "Second, moved");
    replaceText(e->Combo2->lineEdit(), "11:30");
    e->Command2->click();
    QVERIFY(env.messages.isEmpty());
    QCOMPARE(AppointmentStore().ReadAllIds(),
             (QStringList{"20240105-1", "20240105-2", "20240105-3"}));
    QCOMPARE(stored(env, 10, 15), Bytes::string("Second, moved"));
    QCOMPARE(stored(env, 12, 7), Bytes::string("11:30"));
    QCOMPARE(stored(env, 15, 10), Bytes::string("About\xA0it"));
    QCOMPARE(items(w->Combo3), (QStringList{"First", "Second, moved", "Third"}));
}

void AppointmentEditorTest::comingBackToTheEditorKeepsWhatWasTyped()
{
    TestEnvironment env;
    AppointmentEditor *e = openAdd(env);
    QVERIFY(e);
    replaceText(e->Combo1->lineEdit(), "10:00");
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

void AppointmentEditorTest::typedTextsFitTheirRecords()
{
    TestEnvironment env;
    AppointmentEditor *e = openAdd(env);
    QVERIFY(e);
    const QString longText(200, QLatin1Char('x'));
    typeTimes(e, "10:00:00 and more", "11:000000");
    QCOMPARE(e->Combo1->currentText(), QStringLiteral("10:00"));
    QCOMPARE(e->Combo2->currentText(), QStringLiteral("11:00"));
    e->Check1->click();
    replaceText(e->Text2, "123456789");
    QCOMPARE(e->Text2->text().size(), AppointmentEditor::MinutesLength);
    e->Command2->click(); // a reminder more than a day ahead is refused
    const QStringList refused{
        "The minutes before the meeting must be a whole number from 0 to 1440."};
    QCOMPARE(env.messages, refused);
    replaceText(e->Text2, "1440");
    replaceText(e->Text4, longText);
    QCOMPARE(e->Text4->text().size(), 100);
    e->Text1->selectAll();
    QTest::keyClicks(e->Text1, QStringLiteral("ab"));
    QTest::keyClick(e->Text1, Qt::Key_Return);
    QTest::keyClicks(e->Text1, longText);
    QCOMPARE(e->Text1->toPlainText().size(), 99); // the line break counts CR LF
    e->Command2->click();
    QCOMPARE(env.messages, refused);
    QCOMPARE(AppointmentStore().ReadAppointment(0).Description.size(), 100);
}

void AppointmentEditorTest::refusedAddKeepsTheEditor_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("named");
    QTest::newRow("a full book") << true << "One too many"
                                 << "Notes"
                                 << "4096";
    QTest::newRow("characters the file cannot hold")
        << false << QStringLiteral("Łódź → Köln") << "Notes"
        << QStringLiteral("\"Ł\" (U+0141), "
                          "\"ź\" (U+017A), \"→\" (U+2192)");
    QTest::newRow("a character outside the plane in the description")
        << false << "Party" << QStringLiteral("Cake \U0001F382") << "U+1F382";
}

void AppointmentEditorTest::refusedAddKeepsTheEditor()
{
    QFETCH(bool, full);
    QFETCH(QString, subject);
    QFETCH(QString, description);
    QFETCH(QString, named);
    TestEnvironment env;
    AppointmentEditor *e = openAdd(env);
    QVERIFY(e);
    if (full)
        QVERIFY(PutCount(1, 8, 4096).ok());
    const QByteArray before = env.fileBytes("Appoint.dat");
    typeTimes(e, "10:00", "11:00");
    e->Text4->setText(subject);
    e->Text1->setText(description);
    e->Command2->click();
    QCOMPARE(env.messages.size(), 1);
    QVERIFY2(env.messages[0].contains(named), qPrintable(env.messages[0]));
    QCOMPARE(env.fileBytes("Appoint.dat"), before);
    QVERIFY(e->isVisible());
    QCOMPARE(e->Text4->text(), subject);
    QCOMPARE(e->Text1->text(), description);
}

QTEST_MAIN(AppointmentEditorTest)
#include "tst_appointment_editor.moc"
