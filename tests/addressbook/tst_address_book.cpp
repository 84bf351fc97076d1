// The address book view (letter groups, the name list, the details panels, deleting) and its
// entry editor (adding, editing, the surname check, the display name rules, input limits),
// checked on screen and in AddBook.dat, which each test writes byte by byte before the start.
#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "calendar/calendar_window.h"
#include "controls/date_picker.h"
#include "controls/keyboard.h"
#include "controls/limited_text_box.h"
#include "data/address_store.h"
#include "records/record_file.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kFile = QStringLiteral("AddBook.dat");
constexpr int kLen = AddressStore::RecordLength;

// The fifteen fields of an entry, in file order, each filled from its surname so a test can
// tell what is shown.
QStringList entry(const QString &s, const QString &name, const QString &birthday = "01/01/1990",
                  bool hasBirthday = false)
{
    QStringList f{s + ", " + name, name, s, "1 " + s + " Street\r\nTown"};
    for (const char *phone : {"H-", "B1-", "B2-", "M-", "F-", "O-"})
        f << phone + s;
    return f << birthday << (hasBirthday ? "1" : "0") << s.toLower() + "@example.org"
             << "www." + s.toLower() + ".example"
             << "Notes on " + s;
}

// What the view shows of an entry: the six phones, address, birthday, e-mail, home page, notes.
QStringList shown(const QStringList &f)
{
    return f.mid(4, 6) << QString(f[3]).replace("\r\n", "\n") << f[10] << f.mid(12);
}

QStringList shown(const AddressBookWindow *book)
{
    QStringList out;
    for (const QLineEdit *box : book->Text3)
        out << box->text();
    return out << book->Text1->toPlainText() << book->Text8->text() << book->Text5->text()
               << book->Text6->text() << book->Text7->toPlainText();
}

// Starts the program on an AddBook.dat holding `entries` (its count record saying `count`,
// when given) and brings the address book to the front.
AddressBookWindow *openAddressBook(TestEnvironment &env, const QList<QStringList> &entries,
                                   qint16 count = -1)
{
    QByteArray bytes(16 * std::max<qsizetype>(1, entries.size()) * kLen, '\0');
    bytes.replace(15 * kLen, 4, Bytes::count16(count < 0 ? qint16(entries.size()) : count));
    for (int i = 0; i < entries.size(); ++i)
        for (int k = 0; k < 15; ++k)
            bytes.replace((16 * i + k) * kLen, kLen,
                          Bytes::padded(Bytes::string(entries[i][k].toLatin1()), kLen));
    env.writeFile(kFile, bytes);
    MainWindow *main = env.startProgram();
    if (!main)
        return nullptr;
    main->ABook->trigger();
    return Forms::Form3();
}

// The fifteen fields of each of the first `count` entries, as the file holds them, after
// checking that its count record says `count`.
QList<QStringList> stored(const TestEnvironment &env, int count)
{
    const QByteArray countRecord = env.record(kFile, kLen, 16).left(4);
    if (countRecord != Bytes::count16(qint16(count)))
        return {{"count record holds", QString::fromLatin1(countRecord.toHex())}};
    QList<QStringList> out(count);
    for (int i = 0; i < count; ++i)
        for (int k = 1; k <= 15; ++k)
            out[i] << RecordCodec::decodeString(env.record(kFile, kLen, 16 * i + k));
    return out;
}

QStringList listed(const AddressBookWindow *book)
{
    QStringList names;
    for (int i = 0; i < book->Combo1->count(); ++i)
        names << book->Combo1->itemText(i);
    return names;
}

// "Delete Entry", "Edit Entry" and "Add Entry" are all enabled (`yes`) or all disabled.
bool entryButtonsAre(const AddressBookWindow *book, bool yes)
{
    return book->Command1->isEnabled() == yes && book->Command2->isEnabled() == yes &&
           book->Command3->isEnabled() == yes;
}

// Every box of the editor: name, surname, address, e-mail, home page, notes, the six phones.
QStringList editorTexts()
{
    QStringList out;
    for (int k = 0; k < 6; ++k)
        out << Forms::Form7()->text2(k);
    for (const QLineEdit *box : Forms::Form7()->Text3)
        out << box->text();
    return out;
}

} // namespace

class TestAddressBook : public QObject {
    Q_OBJECT
private slots:
    void letterGroupListsAndShows_data();
    void letterGroupListsAndShows();
    void startAtGroupAColoursAndDetailsToggle_data();
    void startAtGroupAColoursAndDetailsToggle();
    void okInEditor_data();
    void okInEditor();
    void birthdayStoredAndMarked();
    void editorOpensAndLeavesWithoutWriting_data();
    void editorOpensAndLeavesWithoutWriting();
    void fullFileKeepsEditorOpen();
    void inputLimits();
};

void TestAddressBook::letterGroupListsAndShows_data()
{
    QTest::addColumn<QList<QStringList>>("entries");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("deletes"); // "Adams, Ann", which the group shows first
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("first"); // the entry shown (after a delete, of those kept); -1: none

    // Which names each group lists is tested on the store (tst_address_store).
    QTest::newRow("XYZ in alphabetical order")
        << QList<QStringList>{entry("Zimmer", "Zoe"), entry("Young", "Yan"), entry("Xu", "Xi")}
        << 22 << false << QStringList{"Xu, Xi", "Young, Yan", "Zimmer, Zoe"} << 2;
    QTest::newRow("P lists neither Q nor R")
        << QList<QStringList>{entry("Adams", "Ann", "02/02/1980", true), entry("Roberts", "Rob"),
                              entry("Quinn", "Quentin")}
        << 15 << false << QStringList{} << -1;
    QTest::newRow("deleting the only entry of the group empties the list")
        << QList<QStringList>{entry("Adams", "Ann"), entry("Baker", "Bo")} << 0 << true
        << QStringList{} << -1;
    QTest::newRow("deleting shows the next name of the group")
        << QList<QStringList>{entry("Avery", "Al"), entry("Adams", "Ann")} << 0 << true
        << QStringList{"Avery, Al"} << 0;
}

// A letter group lists its names and shows the first; with none, every box is empty.
void TestAddressBook::letterGroupListsAndShows()
{
    QFETCH(QList<QStringList>, entries);
    QFETCH(int, button);
    QFETCH(bool, deletes);
    QFETCH(QStringList, expected);
    QFETCH(int, first);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, entries);
    QVERIFY(book);
    book->Command4[0]->click();
    if (first < 0) // the boxes show an entry before they are emptied
        QCOMPARE(shown(book), shown(entries[0]));
    book->Command4[size_t(button)]->click();
    if (deletes) {
        QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));
        book->Command1->click();
        entries.removeAll(entry("Adams", "Ann"));
        QCOMPARE(stored(env, int(entries.size())), entries);
    }

    QVERIFY(env.messages.isEmpty());
    QCOMPARE(listed(book), expected);
    QCOMPARE(book->Combo1->currentText(), expected.value(0));
    QCOMPARE(shown(book), first < 0 ? QStringList(11) : shown(entries[first]));
}

void TestAddressBook::startAtGroupAColoursAndDetailsToggle_data()
{
    QTest::addColumn<bool>("hasBirthday");
    QTest::newRow("with a birthday the line shows") << true;
    QTest::newRow("without a birthday no line") << false;
}

void TestAddressBook::startAtGroupAColoursAndDetailsToggle()
{
    QFETCH(bool, hasBirthday);
    TestEnvironment env;
    const QStringList carter = entry("Carter", "Cy", "24/07/1975", hasBirthday);
    AddressBookWindow *book = openAddressBook(env, {carter});
    QVERIFY(book);
    // The program starts with group A chosen but its list not yet filled, no button coloured.
    QCOMPARE(book->Label2->text(), QStringLiteral("A"));
    QVERIFY(book->Label2->isHidden());
    QCOMPARE(book->Combo1->count(), 0);
    const QColor face = QApplication::palette(book->Command4[0]).color(QPalette::Button);
    for (int k = 0; k < 24; ++k)
        QCOMPARE(book->letterButtonColor(k), face);
    // Only the button clicked last is yellow.
    book->Command4[22]->click();
    book->Command4[2]->click();
    for (int k = 0; k < 24; ++k)
        QCOMPARE(book->letterButtonColor(k), k == 2 ? QColor(255, 255, 0) : face);
    QCOMPARE(shown(book), shown(carter));
    QCOMPARE(book->Label1[0]->text(), QStringLiteral("Birthday:"));

    // The button switches between the address and the details, and its caption with them; the
    // birthday line shows only for an entry with a birthday.
    for (bool details : {false, true, false}) {
        QCOMPARE(Keyboard::plainCaption(book->Command5->text()),
                 details ? QStringLiteral("View Address") : QStringLiteral("View Details"));
        QCOMPARE(book->Frame2->isVisible(), !details);
        QCOMPARE(book->Frame4->isVisible(), details);
        QCOMPARE(book->Label1[0]->isVisible(), details && hasBirthday);
        QCOMPARE(book->Text8->isVisible(), details && hasBirthday);
        book->Command5->click();
    }
}

void TestAddressBook::okInEditor_data()
{
    QTest::addColumn<bool>("edit"); // edit "Adams, Ann" in group A, or add in group S
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("refusal"); // empty: written at once; else after "Fixed" as surname
    QTest::addColumn<QString>("written"); // the display name written at the end of the file
    QTest::addColumn<QStringList>("listedAfter");

    auto row = [](const char *tag, bool edit, const char *name, const char *surname,
                  const char *refusal, const char *written, const QStringList &listed) {
        QTest::newRow(tag) << edit << QString(name) << QString(surname) << QString(refusal)
                           << QString(written) << listed;
    };
    const char *taken = "Entry Already Exists!";
    const QStringList smith{"Smith, John"};
    row("surname with empty first name", false, "", "Smith", "", "Smith, ",
        {"Smith, ", "Smith, John"});
    row("same name refused", false, "John", "Smith", taken, "Fixed, John", smith);
    row("lower-case surname is another name", false, "John", "smith", "", "smith, John",
        {"Smith, John", "smith, John"});
    row("trailing blank is another name", false, "John ", "Smith", "", "Smith, John ",
        {"Smith, John", "Smith, John "});
    row("empty surname refused", false, "Ann", "", "You need to supply a Surname!", "Fixed, Ann",
        smith);
    row("one blank is a surname", false, "Ann", " ", "", " , Ann", smith);
    row("edit without change moves the entry to the end", true, "Ann", "Adams", "", "Adams, Ann",
        {"Adams, Ann"});
    row("edit changing the surname renames", true, "Ann", "Abbott", "", "Abbott, Ann",
        {"Abbott, Ann"});
    // After the refusal the editor still replaces the entry it opened on.
    row("edit into a taken name refused", true, "Bo", "Baker", taken, "Fixed, Bo", {});
}

void TestAddressBook::okInEditor()
{
    QFETCH(bool, edit);
    QFETCH(QString, name);
    QFETCH(QString, surname);
    QFETCH(QString, refusal);
    QFETCH(QString, written);
    QFETCH(QStringList, listedAfter);
    TestEnvironment env;
    const QStringList adams = entry("Adams", "Ann", "09/09/1999", true);
    const QList<QStringList> entries{adams, entry("Baker", "Bo"), entry("Smith", "John")};
    AddressBookWindow *book = openAddressBook(env, entries);
    QVERIFY(book);
    AddressEntryEditor *ed = Forms::Form7();
    const QByteArray before = env.fileBytes(kFile);
    book->Command4[edit ? 0 : 17]->click();
    (edit ? book->Command2 : book->Command3)->click();
    const QString date = ed->DTPicker1->text();
    ed->setText2(0, name);
    ed->setText2(1, surname);
    ed->Text3[3]->setText(QStringLiteral("0777"));
    ed->Command1->click();

    if (!refusal.isEmpty()) {
        QCOMPARE(env.messages, QStringList{refusal});
        // What was typed stays in the editor for the user to correct, and the file is as it was.
        QVERIFY(ed->isVisible() && entryButtonsAre(book, false));
        QCOMPARE(editorTexts().mid(0, 2), (QStringList{name, surname}));
        QCOMPARE(ed->Text3[3]->text(), QStringLiteral("0777"));
        QCOMPARE(env.fileBytes(kFile), before);
        surname = QStringLiteral("Fixed");
        ed->setText2(1, surname);
        ed->Command1->click();
    }
    QCOMPARE(env.messages.size(), refusal.isEmpty() ? 0 : 1);
    QVERIFY(ed->isHidden() && entryButtonsAre(book, true));
    // The entry written holds what the editor showed: for an edit the rest of its old fields,
    // for a new entry the picker's date and the unticked birthday box.
    QStringList want = edit ? adams : QStringList(10) + QStringList{date, "0"} + QStringList(3);
    want[7] = QStringLiteral("0777");
    QCOMPARE(stored(env, 3 + !edit), entries.mid(edit ? 1 : 0)
                                         << (QStringList{written, name, surname} + want.mid(3)));
    // The list follows the file and selects its first name.
    QCOMPARE(listed(book), listedAfter);
    QCOMPARE(book->Combo1->currentText(), listedAfter.value(0));
}

void TestAddressBook::birthdayStoredAndMarked()
{
    TestEnvironment env;
    env.setNow(QDateTime(QDate(2024, 3, 12), QTime(9, 0)));
    AddressBookWindow *book = openAddressBook(env, {});
    QVERIFY(book);
    AddressEntryEditor *ed = Forms::Form7();
    book->Command3->click();
    ed->setText2(1, QStringLiteral("Hart"));
    ed->Check1->setChecked(true);
    ed->DTPicker1->setValue(QDate(1970, 3, 5));
    ed->Command1->click();

    QVERIFY(env.messages.isEmpty());
    QCOMPARE(stored(env, 1).first().mid(10, 2), (QStringList{"05/03/1970", "1"}));
    // The calendar shows March 2024, which begins on a Friday: its 5th stands in cell 5 + 5.
    auto *marker = env.mainWindow()->findChild<QWidget *>(QStringLiteral("Picture1(10)"));
    QVERIFY(marker && !marker->isHidden());
}

void TestAddressBook::editorOpensAndLeavesWithoutWriting_data()
{
    QTest::addColumn<QString>("how");
    for (const char *how : {"Cancel", "close box", "Escape"})
        QTest::newRow(how) << how;
}

// "Edit Entry" fills the editor with the entry shown; "Add Entry" empties it, however it was
// left, and sets the picker to the date selected in the calendar. Leaving the editor without
// "OK" writes nothing, and while it is open the file holds the entry as it was, so that ending
// the program then loses nothing.
void TestAddressBook::editorOpensAndLeavesWithoutWriting()
{
    QFETCH(QString, how);
    TestEnvironment env;
    const QStringList adams = entry("Adams", "Ann", "03/04/1960", true);
    AddressBookWindow *book = openAddressBook(env, {adams, entry("Baker", "Bo")});
    QVERIFY(book);
    AddressEntryEditor *ed = Forms::Form7();
    const QByteArray before = env.fileBytes(kFile);
    auto leave = [&] {
        ed->setText2(1, QStringLiteral("Changed"));
        ed->Check1->setChecked(true);
        QCOMPARE(env.fileBytes(kFile), before);
        if (how == "close box")
            QVERIFY(ed->close());
        else if (how == "Escape")
            QTest::keyClick(ed->Text2[1], Qt::Key_Escape);
        else
            ed->Command3->click();
        QVERIFY(ed->isHidden() && entryButtonsAre(book, true));
        QCOMPARE(env.fileBytes(kFile), before);
    };
    Forms::Form1()->Calendar1->setSelectedDate(QDate(2024, 2, 14));
    book->Command4[0]->click();
    book->Command2->click();
    QVERIFY(ed->isVisible() && entryButtonsAre(book, false));
    QCOMPARE(ed->windowTitle(), QStringLiteral("Edit Address Book Entry"));
    QCOMPARE(editorTexts(),
             (QStringList{adams[1], adams[2], adams[3]} + adams.mid(12) + adams.mid(4, 6)));
    QVERIFY(ed->Check1->isChecked());
    QCOMPARE(ed->DTPicker1->Value(), QDate(1960, 4, 3));
    leave();
    QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));

    for (int round = 0; round < 2; ++round) {
        book->Command3->click();
        QVERIFY(ed->isVisible() && entryButtonsAre(book, false));
        QCOMPARE(ed->windowTitle(), QStringLiteral("Add Address Book Entry"));
        QCOMPARE(editorTexts(), QStringList(12));
        QVERIFY(!ed->Check1->isChecked());
        QCOMPARE(ed->DTPicker1->Value(), QDate(2024, 2, 14));
        QCOMPARE(ed->DTPicker1->text(), QStringLiteral("14/02/2024"));
        leave();
    }
    QVERIFY(env.messages.isEmpty());
}

void TestAddressBook::fullFileKeepsEditorOpen()
{
    TestEnvironment env;
    // A file whose count says it holds the most entries it can.
    AddressBookWindow *book = openAddressBook(env, {}, AddressStore::Capacity);
    QVERIFY(book);
    AddressEntryEditor *ed = Forms::Form7();
    const QByteArray before = env.fileBytes(kFile);
    book->Command3->click();
    ed->setText2(1, QStringLiteral("Late"));
    ed->Command1->click();

    QCOMPARE(env.messages.size(), 1);
    QVERIFY2(env.messages.first().contains(QStringLiteral("2048")), qPrintable(env.messages[0]));
    QVERIFY(ed->isVisible());
    QCOMPARE(ed->text2(1), QStringLiteral("Late"));
    QCOMPARE(env.fileBytes(kFile), before);
}

// Each box takes so many characters and no more. How a line break counts in the multi-line
// boxes, and pasting, is tested on the notes pad, the same kind of box (tst_notes_window).
void TestAddressBook::inputLimits()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {});
    QVERIFY(book);
    book->Command3->click();
    AddressEntryEditor *ed = Forms::Form7();
    // In the order of editorTexts(): name, surname, address, e-mail, home page, notes, phones.
    const QList<int> limits{20, 20, 100, 30, 30, 100, 20, 20, 20, 20, 20, 20};
    QList<QWidget *> boxes(ed->Text2.begin(), ed->Text2.end());
    boxes.append(QList<QWidget *>(ed->Text3.begin(), ed->Text3.end()));
    for (qsizetype k = 0; k < boxes.size(); ++k)
        QTest::keyClicks(boxes[k], QString(limits[k] + 5, u'x'));
    QList<int> lengths;
    for (const QString &text : editorTexts())
        lengths << int(text.size());
    QCOMPARE(lengths, limits);
}

QTEST_MAIN(TestAddressBook)
#include "tst_address_book.moc"
