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
#include <QClipboard>
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
    void letterGroupShowsItsFirstEntry_data();
    void letterGroupShowsItsFirstEntry();
    void startAtGroupAColoursAndDetailsToggle_data();
    void startAtGroupAColoursAndDetailsToggle();
    void deleteEntry_data();
    void deleteEntry();
    void editorOpensEmptyForAddAndFilledForEdit();
    void okInEditor_data();
    void okInEditor();
    void birthdayStoredAndMarked();
    void leavingAnEditWithoutOkKeepsTheEntry_data();
    void leavingAnEditWithoutOkKeepsTheEntry();
    void fullFileKeepsEditorOpen();
    void inputLimits();
};

void TestAddressBook::letterGroupShowsItsFirstEntry_data()
{
    QTest::addColumn<QList<QStringList>>("entries");
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("first"); // the entry shown; -1: every box empty

    // Which names each group lists is tested on the store (tst_address_store).
    QTest::newRow("XYZ in alphabetical order")
        << QList<QStringList>{entry("Zimmer", "Zoe"), entry("Young", "Yan"), entry("Xu", "Xi")}
        << 22 << QStringList{"Xu, Xi", "Young, Yan", "Zimmer, Zoe"} << 2;
    // Group A showed Adams first: an empty group clears every box.
    QTest::newRow("P lists neither Q nor R")
        << QList<QStringList>{entry("Adams", "Ann", "02/02/1980", true), entry("Roberts", "Rob"),
                              entry("Quinn", "Quentin")}
        << 15 << QStringList{} << -1;
}

void TestAddressBook::letterGroupShowsItsFirstEntry()
{
    QFETCH(QList<QStringList>, entries);
    QFETCH(int, button);
    QFETCH(QStringList, expected);
    QFETCH(int, first);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, entries);
    QVERIFY(book);
    book->Command4[0]->click();
    if (first < 0) // the boxes show an entry before an empty group clears them
        QCOMPARE(shown(book), shown(entries[0]));
    book->Command4[size_t(button)]->click();

    QCOMPARE(listed(book), expected);
    QCOMPARE(book->Label2->text(), book->Command4[size_t(button)]->text());
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

void TestAddressBook::deleteEntry_data()
{
    QTest::addColumn<QList<QStringList>>("entries"); // "Adams, Ann", deleted, and one kept
    QTest::addColumn<bool>("keptListed");
    QTest::newRow("the only entry of the group leaves the list empty")
        << QList<QStringList>{entry("Adams", "Ann"), entry("Baker", "Bo")} << false;
    QTest::newRow("the next name of the group is shown")
        << QList<QStringList>{entry("Avery", "Al"), entry("Adams", "Ann")} << true;
}

void TestAddressBook::deleteEntry()
{
    QFETCH(QList<QStringList>, entries);
    QFETCH(bool, keptListed);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, entries);
    QVERIFY(book);
    book->Command4[0]->click();
    QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));
    book->Command1->click();

    entries.removeAll(entry("Adams", "Ann"));
    QVERIFY(env.messages.isEmpty());
    QCOMPARE(stored(env, 1), entries);
    QCOMPARE(listed(book), keptListed ? entries[0].mid(0, 1) : QStringList());
    QCOMPARE(shown(book), keptListed ? shown(entries[0]) : QStringList(11));
}

void TestAddressBook::editorOpensEmptyForAddAndFilledForEdit()
{
    TestEnvironment env;
    const QStringList adams = entry("Adams", "Ann", "03/04/1960", true);
    AddressBookWindow *book = openAddressBook(env, {adams});
    QVERIFY(book);
    AddressEntryEditor *ed = Forms::Form7();
    // An edit first leaves values in the boxes; "Add Entry" afterwards must empty them.
    book->Command4[0]->click();
    book->Command2->click();
    QVERIFY(ed->isVisible() && entryButtonsAre(book, false));
    QCOMPARE(ed->windowTitle(), QStringLiteral("Edit Address Book Entry"));
    QCOMPARE(editorTexts(),
             (QStringList{adams[1], adams[2], adams[3]} + adams.mid(12) + adams.mid(4, 6)));
    QVERIFY(ed->Check1->isChecked());
    QCOMPARE(ed->DTPicker1->Value(), QDate(1960, 4, 3));
    ed->Command3->click();
    QVERIFY(ed->isHidden() && entryButtonsAre(book, true));

    // The picker starts at the date selected in the calendar window.
    Forms::Form1()->Calendar1->setSelectedDate(QDate(2024, 2, 14));
    for (int round = 0; round < 2; ++round) {
        book->Command3->click();
        QVERIFY(ed->isVisible() && entryButtonsAre(book, false));
        QCOMPARE(ed->windowTitle(), QStringLiteral("Add Address Book Entry"));
        QCOMPARE(editorTexts(), QStringList(12));
        QVERIFY(!ed->Check1->isChecked());
        QCOMPARE(ed->DTPicker1->Value(), QDate(2024, 2, 14));
        QCOMPARE(ed->DTPicker1->text(), QStringLiteral("14/02/2024"));
        ed->setText2(0, QStringLiteral("typed"));
        ed->Check1->setChecked(true);
        ed->Command3->click();
        QVERIFY(entryButtonsAre(book, true));
    }
    QCOMPARE(stored(env, 1), QList<QStringList>{adams});
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

void TestAddressBook::leavingAnEditWithoutOkKeepsTheEntry_data()
{
    QTest::addColumn<QString>("how");
    for (const char *how : {"Cancel", "close box", "Escape"})
        QTest::newRow(how) << how;
}

void TestAddressBook::leavingAnEditWithoutOkKeepsTheEntry()
{
    QFETCH(QString, how);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Adams", "Ann"), entry("Baker", "Bo")});
    QVERIFY(book);
    AddressEntryEditor *ed = Forms::Form7();
    const QByteArray before = env.fileBytes(kFile);
    book->Command4[0]->click();
    book->Command2->click();
    QVERIFY(ed->Command3->isVisible());
    ed->setText2(1, QStringLiteral("Changed"));
    // While the editor is open the entry is still in the file, as it was: ending the program
    // now loses nothing.
    QCOMPARE(env.fileBytes(kFile), before);

    if (how == "close box")
        QVERIFY(ed->close());
    else if (how == "Escape")
        QTest::keyClick(ed->Text2[1], Qt::Key_Escape);
    else
        ed->Command3->click();

    QVERIFY(ed->isHidden() && entryButtonsAre(book, true));
    QVERIFY(env.messages.isEmpty());
    QCOMPARE(env.fileBytes(kFile), before);
    QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));
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

void TestAddressBook::inputLimits()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {});
    QVERIFY(book);
    book->Command3->click();

    const std::pair<const char *, int> lines[] = {{"Text2(0)", 20}, {"Text2(1)", 20},
                                                  {"Text2(3)", 30}, {"Text2(4)", 30},
                                                  {"Text3(0)", 20}, {"Text3(5)", 20}};
    for (const auto &[name, limit] : lines) {
        auto *box = Forms::Form7()->findChild<QLineEdit *>(QLatin1String(name));
        QVERIFY2(box, name);
        QTest::keyClicks(box, QString(limit + 5, QLatin1Char('x')));
        QCOMPARE(box->text().size(), limit);
    }

    for (const char *name : {"Text2(2)", "Text2(5)"}) {
        auto *box = Forms::Form7()->findChild<LimitedTextBox *>(QLatin1String(name));
        QVERIFY2(box, name);
        // 99 characters leave no room for a line break, which counts two.
        QTest::keyClicks(box, QString(99, QLatin1Char('a')));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->text(), QString(99, QLatin1Char('a')));
        QTest::keyClicks(box, QStringLiteral("bc"));
        QCOMPARE(box->textLength(), 100);

        // Pasting stops at the limit too, line breaks counted as two.
        box->clear();
        QTest::keyClicks(box, QString(90, QLatin1Char('a')));
        QGuiApplication::clipboard()->setText(QStringLiteral("12\r\n34\n5678"));
        box->paste();
        QCOMPARE(box->text(), QString(90, QLatin1Char('a')) + QStringLiteral("12\r\n34\r\n56"));
        QCOMPARE(box->textLength(), 100);
    }
}

QTEST_MAIN(TestAddressBook)
#include "tst_address_book.moc"
