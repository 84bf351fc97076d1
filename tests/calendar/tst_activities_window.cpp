// The activities of a day: the appointment list and its details, the birthday memos, delete,
// the ways back to the calendar; its day schedule window: slot headers, the colours of the taken
// slots and of the total occupation, the caption, and the date picker that moves both windows;
// and the appointment editor: presets, the checks and their messages, adding and editing, the
// limits of what can be typed, and the way back from the reminder pop-up. Which slots are taken
// is tested without a window (tst_calendar_logic).
#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "calendar/day_schedule_window.h"
#include "calendar_fixtures.h"
#include "controls/flex_grid.h"
#include "controls/twips.h"

#include <QLocale>

using namespace Fixtures;

namespace {

// The shown appointment: id, start, end, description, reminder tick, minutes ("-" when
// hidden with their label).
QStringList shown(const ActivitiesWindow *w)
{
    const QString tick = w->Check1->isChecked() ? "ticked" : "unticked";
    const QString minutes = w->Text2->isHidden() != w->Label4->isHidden() ? "half shown"
                            : w->Text2->isHidden()                        ? "-"
                                                                          : w->Text2->text();
    return {w->Text3->text(), w->Text4->text(), w->Text5->text(), w->Text1->toPlainText(), tick,
            minutes};
}

// Each row below the header: its name, then each slot by its header text with a letter for its
// colour: b(lue), r(ed), d(ark red), ? (another), then any text it holds; uncoloured slots are
// left out.
QStringList rows(FlexGrid *grid)
{
    const QHash<QRgb, QString> letters{
        {qRgb(0, 0, 255), "b"}, {qRgb(255, 0, 0), "r"}, {qRgb(192, 0, 0), "d"}};
    QStringList shown;
    for (int r = 1; r < grid->Rows(); ++r) {
        QStringList found;
        for (int c = 1; c < grid->Cols(); ++c) {
            const QColor colour = grid->cellBackColor(r, c);
            if (colour.isValid())
                found.append(grid->TextMatrix(0, c) + letters.value(colour.rgb(), "?") +
                             grid->TextMatrix(r, c));
        }
        shown.append(grid->TextMatrix(r, 0) + ": " + found.join(u' '));
    }
    return shown;
}

QString dayText(QDate day)
{
    return QLocale::system().toString(day, Forms::Form4()->DTPicker1->displayFormat());
}

// Starts on kDay with the appointments already stored, opens the day and clicks "Add".
AppointmentEditor *openAdd(TestEnvironment &env, const QStringList &ids = {})
{
    if (!startOn(env, kDay, QTime(8, 0)))
        qFatal("start-up failed");
    // A no-break space (byte A0) goes through the activities window and the editor unchanged.
    for (const QString &id : ids)
        appointment(id, " First ", "08:00", "09:00", true, "20", QStringLiteral("About\u00A0it"));
    openDay(kDay)->Command3->click();
    return Forms::Form5();
}

// Types each text into its box in place of what the box held.
void type(std::initializer_list<std::pair<QLineEdit *, QString>> boxes)
{
    for (const auto &[box, text] : boxes) {
        box->clear();
        QTest::keyClicks(box, text);
    }
}

// What the editor shows: title, start, end, subject, description, reminder tick, minutes, id.
QStringList shown(const AppointmentEditor *e)
{
    const char *tick = e->Check1->isChecked() ? "ticked" : "unticked";
    return {e->windowTitle(), e->Combo1->currentText(), e->Combo2->currentText(),
            e->Text4->text(), e->Text1->text(),         tick,
            e->Text2->text(), e->Text3->text()};
}

// A row of checksAndRefusals: the texts typed, the message (empty: saved), and whether the
// appointment book is full.
struct CheckRow {
    QString start, end, subject, message, description = "Notes";
    bool full = false;
};

} // namespace

class ActivitiesWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The day's list and memos, also after an address saved while the day is open, the chosen
    // entry, delete, and the edit of an entry that has left the file meanwhile; then a day
    // without appointments, the date picker, and "OK" and the close box, which return to the
    // calendar, marked again. (A new entry's number of the day: addAndEdit.)
    void theDayItsEntriesTheDayPickerAndTheWayBack_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("OK") << false;
        QTest::newRow("the close box ends like OK") << true;
    }
    void theDayItsEntriesTheDayPickerAndTheWayBack()
    {
        QFETCH(bool, closeBox);
        TestEnvironment env;
        QVERIFY(startOn(env, kDay, QTime(8, 0)));
        appointment("20240105-1", "  Standup ", " 09:00", "09:30 ", true, " 10 ",
                    "  Room 4\r\nBring notes ");
        appointment("20240106-1", "Other day");
        appointment("20240105-2", "Lunch", "12:00", "13:00", false, "15", "Second");
        appointment("20240105-3", "Review", "15:00", "16:00");
        // Birthday memos in file order with the age, other days and unflagged entries left out.
        birthday("Smith", "John", "05/01/1980");
        birthday("Zed", "Ann", "05/01/2024");
        birthday("Brown", "Bo", "06/01/1990");
        birthday("Jones", "Jo", "05/01/1980", "0");
        birthday("Adams", "Al", "05/01/2030");
        // The address entry editor, a window of its own, is open when the day is opened; its
        // "OK" marks the calendar again while the day is on screen.
        Forms::Form3()->Command3->click();
        AddressEntryEditor *address = Forms::Form7();
        ActivitiesWindow *w = openDay(kDay);
        address->setText2(1, QStringLiteral("Baker"));
        address->Command1->click();
        // The subjects, their start and end times, the memos.
        QCOMPARE(items(w->Combo3) + items(w->Combo1) + items(w->Combo2) + items(w->Combo4),
                 (QStringList{"Standup", "Lunch", "Review", "09:00", "12:00", "15:00", "09:30",
                              "13:00", "16:00", "Birthday - Smith, John ( 44 ) ",
                              "Birthday - Zed, Ann ( 0 ) ", "Birthday - Adams, Al ( -6 ) "}));
        QCOMPARE(QList<int>({w->Combo3->currentIndex(), w->Combo4->currentIndex()}),
                 QList<int>({0, 0}));
        QCOMPARE(shown(w), (QStringList{"20240105-1", "09:00", "09:30", "Room 4\nBring notes",
                                        "ticked", "10"}));
        QVERIFY(!w->Check1->isEnabled() && w->Command4->isEnabled() && w->Command5->isEnabled());
        w->Combo3->setCurrentIndex(1);
        QCOMPARE(shown(w),
                 (QStringList{"20240105-2", "12:00", "13:00", "Second", "unticked", "-"}));
        // Delete takes the shown entry off; the day's later ones are numbered down.
        w->Command4->click();
        QCOMPARE(items(w->Combo3) << w->Text3->text(),
                 (QStringList{"Standup", "Review", "20240105-1"}));
        w->Combo3->setCurrentIndex(1);
        QCOMPARE(shown(w).mid(0, 2), (QStringList{"20240105-2", "15:00"}));
        // An edit of an appointment that has left the file meanwhile is refused, not lost.
        w->Command5->click();
        AppointmentEditor *e = Forms::Form5();
        QVERIFY(AppointmentStore().DeleteAppointment(QStringLiteral("20240105-2")).ok());
        const QByteArray before = env.fileBytes("Appoint.dat");
        e->Text4->setText(QStringLiteral("Changed"));
        e->Command2->click();
        QCOMPARE(env.messages,
                 QStringList{"The appointment 20240105-2 is no longer in the appointment book."});
        QVERIFY(e->isVisible() && e->Text4->text() == QStringLiteral("Changed"));
        QCOMPARE(env.fileBytes("Appoint.dat"), before);
        // The editor's close box leaves it. On a day without appointments edit and delete are
        // off; the date picker changes the day.
        QVERIFY(!e->close() && !e->isVisible() && w->isVisible());
        MainWindow *main = env.mainWindow();
        QVERIFY(!main->isEnabled());
        w->DTPicker1->setDate(QDate(2024, 1, 7)); // as the user picks it
        QCOMPARE(items(w->Combo3) + items(w->Combo4) + QStringList{w->Text3->text()},
                 QStringList{"ID"});
        QVERIFY(!w->Command4->isEnabled() && !w->Command5->isEnabled());
        QTest::mouseClick(w->Command4, Qt::LeftButton);
        QCOMPARE(env.fileBytes("Appoint.dat"), before);
        w->DTPicker1->setDate(QDate(2024, 1, 6));
        QCOMPARE(items(w->Combo3) + QStringList{w->Text3->text()},
                 (QStringList{"Other day", "20240106-1"}));
        // An appointment added meanwhile shows on the calendar when the window closes.
        appointment("20240109-1");
        CalendarWindow *calendar = Forms::Form1();
        QVERIFY(calendar->Picture2[10]->isHidden()); // January 2024 begins on a Monday
        if (closeBox)
            w->close();
        else
            w->Command1->click();
        QVERIFY(!w->isVisible() && main->isEnabled() && main->isVisible());
        QVERIFY(!calendar->Picture2[10]->isHidden());
    }

    // The day schedule: slot headers, the colours of the taken slots and of the total
    // occupation, what a screen reader hears of a slot, the caption, and its date picker that
    // moves both windows.
    void daySchedule()
    {
        TestEnvironment env;
        QVERIFY(startOn(env, kDay, QTime(8, 0)));
        appointment("20240105-1", "A", "09:00", "10:00");
        appointment("20240105-2", "B", "09:30", "11:00");
        appointment("20240106-1", "Saturday", "14:00", "15:00");
        openDay(kDay)->Command6->click();
        DayScheduleWindow *s = Forms::Form6();
        QVERIFY(s->isVisible() && s->isWindow() && Forms::Form4()->isVisible());
        FlexGrid *grid = s->MSFlexGrid1;
        QCOMPARE((QStringList{grid->TextMatrix(0, 0), grid->TextMatrix(0, 1),
                              grid->TextMatrix(0, 2), grid->TextMatrix(0, 34)}),
                 (QStringList{"Appointment", "07:00", "07:30", "23:30"}));
        QCOMPARE(QList<int>({grid->Cols(), grid->columnWidth(0), grid->columnWidth(1)}),
                 QList<int>({35, twipsX(3000), twipsX(500)}));
        QCOMPARE(rows(grid), (QStringList{"A: 09:00b 09:30b", "B: 09:30b 10:00b 10:30b",
                                          "Total Occupation: 09:00r 09:30d 10:00r 10:30r"}));
        QCOMPARE(grid->cellBackColor(3, 0), QColor(128, 255, 255));
        // What a screen reader hears of the 09:00 and 09:30 slots (columns 5 and 6) of each row.
        const QAbstractItemModel *m = grid->model();
        QStringList heard;
        for (int i = 0; i < 6; ++i)
            heard << m->index(1 + i / 2, 5 + i % 2).data(Qt::AccessibleDescriptionRole).toString();
        QCOMPARE(heard, (QStringList{"A, 09:00: busy", "A, 09:30: busy", "B, 09:00: free",
                                     "B, 09:30: busy", "Total Occupation, 09:00: one appointment",
                                     "Total Occupation, 09:30: overlapping appointments"}));
        QCOMPARE(s->DTPicker1->Value(), kDay);
        QVERIFY(dayText(kDay).contains(QStringLiteral("2024")));
        QCOMPARE(s->windowTitle(), QStringLiteral("Day Schedule for - ") + dayText(kDay));
        s->DTPicker1->setDate(QDate(2024, 1, 6)); // as the user picks it
        QCOMPARE(Forms::Form4()->DTPicker1->Value(), QDate(2024, 1, 6));
        QCOMPARE(rows(grid) << s->windowTitle() << Forms::Form4()->Combo3->currentText(),
                 (QStringList{"Saturday: 14:00b 14:30b", "Total Occupation: 14:00r 14:30r",
                              "Day Schedule for - " + dayText(QDate(2024, 1, 6)), "Saturday"}));
        // A day without appointments shows the header only.
        s->DTPicker1->setDate(QDate(2024, 1, 7));
        QCOMPARE(QList<int>({grid->Cols(), grid->Rows(), grid->FixedRows()}),
                 QList<int>({35, 1, 1}));
        s->Command1->click();
        QVERIFY(!s->isVisible());
    }

    // Presets of "Add", the end picked with the start, typed texts cut to what their records
    // hold, what was typed kept while the reminder pop-up comes and goes, the seven records
    // written, the reminder tick kept for the next "Add", and "Edit" rewriting in place.
    void addAndEdit()
    {
        TestEnvironment env;
        AppointmentEditor *e = openAdd(env, {"20240105-1"});
        QVERIFY(e->isWindow() && !Forms::Form4()->isVisible() && e->Text2->isHidden());
        QCOMPARE(Module1::EditMode, qint16(0));
        QCOMPARE(shown(e), (QStringList{"Add Appointment", "", "", "Subject", "Description",
                                        "unticked", "15", "20240105-2"}));
        QCOMPARE(QList<int>({e->Combo1->count(), e->Combo2->count()}), QList<int>({34, 35}));
        // Picking a start picks the end half an hour later.
        for (const auto &[index, times] : {std::pair{33, QStringList{"23:30", "24:00"}},
                                           std::pair{4, QStringList{"09:00", "09:30"}}}) {
            e->Combo1->setCurrentIndex(index);
            emit e->Combo1->activated(index);
            QCOMPARE(shown(e).mid(1, 2), times);
        }
        // Times are cut to hh:mm, the subject to 100 characters, the description to 100 with
        // its line break counted as CR LF, the minutes to 6.
        const QString longText(200, QLatin1Char('x'));
        type({{e->Combo1->lineEdit(), "10:00:00 and more"},
              {e->Combo2->lineEdit(), "11:000000"},
              {e->Text4, longText}});
        e->Check1->click();
        QVERIFY(!e->Text2->isHidden());
        type({{e->Text2, "123456789"}});
        e->Text1->selectAll();
        QTest::keyClicks(e->Text1, QStringLiteral("ab"));
        QTest::keyClick(e->Text1, Qt::Key_Return);
        QTest::keyClicks(e->Text1, longText);
        const QString subject = longText.left(100), description = "ab\r\n" + longText.left(96);
        const QStringList typed{"Add Appointment", "10:00",  "11:00",  subject,
                                description,       "ticked", "123456", "20240105-2"};
        QCOMPARE(shown(e), typed);
        // The reminder pop-up comes up and goes; the editor is activated again.
        ReminderWindow *popup = Forms::Form8();
        popup->show();
        popup->activateWindow();
        popup->Command1->click();
        e->activateWindow();
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(e, &activate);
        QCOMPARE(shown(e), typed);
        e->Command2->click(); // a reminder more than a day ahead is refused
        QCOMPARE(
            env.messages,
            QStringList{"The minutes before the meeting must be a whole number from 0 to 1440."});
        type({{e->Text2, "1440"}});
        e->Command2->click();
        QCOMPARE(env.messages.size(), 1);
        // The count in record 8, the second appointment in records 9 to 15, each value at the
        // start of its record.
        QByteArray image;
        for (const QByteArray &value :
             {Bytes::count16(2), Bytes::string("20240105-2"), Bytes::string(subject.toLatin1()),
              Bytes::string("10:00"), Bytes::string("11:00"), Bytes::flag(true),
              Bytes::string("1440")})
            image += Bytes::padded(value, 128);
        QCOMPARE(env.fileBytes("Appoint.dat").mid(7 * 128),
                 image + Bytes::string(description.toLatin1())); // the file ends with it
        QVERIFY(Forms::Form4()->isVisible());
        ActivitiesWindow *w = Forms::Form4();
        QCOMPARE(items(w->Combo3), (QStringList{"First", subject}));
        // The next "Add" starts ticked and stores the tick.
        w->Command3->click();
        QCOMPARE(e->Check1->checkState(), Qt::Checked);
        type({{e->Combo1->lineEdit(), "12:00"}, {e->Combo2->lineEdit(), "13:00"}});
        e->Command2->click();
        QCOMPARE(env.record("Appoint.dat", 128, 21).left(2), Bytes::flag(true));
        QCOMPARE(env.storedString("Appoint.dat", 128, 17), Bytes::string("20240105-3"));
        // "Edit" shows the first one and rewrites it in place.
        w->Combo3->setCurrentIndex(0);
        w->Command5->click();
        QCOMPARE(Module1::EditMode, qint16(-1));
        QCOMPARE(shown(e), (QStringList{"Edit Appointment", "08:00", "09:00", "First",
                                        "About\u00A0it", "ticked", "20", "20240105-1"}));
        type({{e->Text4, "First, moved"}, {e->Combo2->lineEdit(), "09:30"}});
        e->Command2->click();
        QCOMPARE(env.messages.size(), 1);
        QCOMPARE(AppointmentStore().ReadAllIds(),
                 (QStringList{"20240105-1", "20240105-2", "20240105-3"}));
        for (const auto &[record, value] :
             {std::pair{2, "First, moved"}, std::pair{4, "09:30"}, std::pair{7, "About\xA0it"}})
            QCOMPARE(env.storedString("Appoint.dat", 128, record), Bytes::string(value));
        QCOMPARE(items(w->Combo3), (QStringList{"First, moved", subject, "Subject"}));
    }

    // The checks in their order, and saves the store refuses: a refused save shows one message
    // and keeps the editor with everything as typed, the file untouched.
    void checksAndRefusals_data()
    {
        QTest::addColumn<CheckRow>("row");
        auto row = [](const char *name, const CheckRow &r) { QTest::newRow(name) << r; };
        const QString noStart = "You need to specify a Start-Time for the Appointment";
        const QString duration = "The duration of the meeting must be greater than 0 minutes!";
        const QString notATime = "The %1 \"%2\" is not a time of day. Type it as hours and "
                                 "minutes, for example 09:30.";
        const QString unstorable =
            "The %1 holds characters that Tallowby's files cannot store: "
            "%2. Nothing was saved. Replace or remove them, then save again.";
        const QString full = "The appointment book is full: it can hold no more than 4096 "
                             "appointments. Delete appointments you no longer need, then add this "
                             "one again.";
        row("both times empty: only the start message", {"", "", "", noStart});
        row("no end", {"10:00", "", "", "You need to specify an End-Time for the Appointment"});
        row("equal times", {"10:00", "10:00", "x", duration});
        row("a one-digit hour is read as two digits", {"9:00", "10:00", "x", ""});
        row("minutes past 59", {"9:75", "10:00", "x", notATime.arg("Start Time", "9:75")});
        row("an hour past 24", {"09:00", "25:00", "x", notATime.arg("End Time", "25:00")});
        row("24:00 ends the day", {"23:30", "24:00", "x", ""});
        row("no subject",
            {"09:30", "10:00", "", "You need to specify a Subject for the Appointment"});
        row("a subject of blanks passes", {"09:30", "10:00", "   ", ""});
        row("a full book", {"10:00", "11:00", "One too many", full, "Notes", true});
        row("characters the file cannot hold",
            {"10:00", "11:00", QStringLiteral("Łódź → Köln"),
             unstorable.arg("subject",
                            QStringLiteral("\"Ł\" (U+0141), \"ź\" (U+017A), \"→\" (U+2192)"))});
        row("a character outside the plane in the description",
            {"10:00", "11:00", "Party",
             unstorable.arg("description", QStringLiteral("\"\U0001F382\" (U+1F382)")),
             QStringLiteral("Cake \U0001F382")});
    }
    void checksAndRefusals()
    {
        QFETCH(CheckRow, row);
        const auto &[start, end, subject, message, description, full] = row;
        const bool saved = message.isEmpty();
        TestEnvironment env;
        AppointmentEditor *e = openAdd(env);
        if (full)
            QVERIFY(PutCount(1, 8, 4096).ok());
        const QByteArray before = env.fileBytes("Appoint.dat");
        type({{e->Combo1->lineEdit(), start}, {e->Combo2->lineEdit(), end}});
        e->Text4->setText(subject);
        e->Text1->setText(description);
        e->Command2->click();
        QCOMPARE(env.messages, saved ? QStringList{} : QStringList{message});
        QCOMPARE(QList<bool>({e->isVisible(), Forms::Form4()->isVisible()}),
                 QList<bool>({!saved, saved}));
        if (saved) { // stored in the two-digit form
            QCOMPARE(AppointmentStore().GetAppointmentCount(), 1);
            QCOMPARE(AppointmentStore().ReadAppointment(0).StartTime,
                     start.rightJustified(5, u'0'));
        } else {
            QCOMPARE(env.fileBytes("Appoint.dat"), before);
            QCOMPARE(shown(e).mid(1, 4), (QStringList{start, end, subject, description}));
        }
    }
};

QTEST_MAIN(ActivitiesWindowTest)
#include "tst_activities_window.moc"
