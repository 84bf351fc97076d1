// The address entry editor: adding, editing, the surname check, the display name rules, input
// limits, focus order, and what the file holds after each way out of the editor.
#include "address_book_fixture.h"

#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "calendar/calendar_window.h"
#include "controls/date_picker.h"
#include "controls/limited_text_box.h"
#include "test_support.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using AddressFixture::entry;
using AddressFixture::openAddressBook;

namespace {

const QString kFile = QStringLiteral("AddBook.dat");

AddressEntryEditor *editor()
{
    return Forms::Form7();
}

QLineEdit *lineBox(const char *name)
{
    return editor()->findChild<QLineEdit *>(QLatin1String(name));
}

LimitedTextBox *multiLineBox(const char *name)
{
    return editor()->findChild<LimitedTextBox *>(QLatin1String(name));
}

// Clicks the letter button of `index` and picks `name` from the list.
void choose(AddressBookWindow *book, int index, const QString &name)
{
    book->Command4[size_t(index)]->click();
    const int at = book->Combo1->findText(name);
    book->Combo1->setCurrentIndex(at);
    emit book->Combo1->activated(at);
}

bool entryButtonsEnabled(const AddressBookWindow *book)
{
    return book->Command1->isEnabled() && book->Command2->isEnabled() &&
           book->Command3->isEnabled();
}

bool entryButtonsDisabled(const AddressBookWindow *book)
{
    return !book->Command1->isEnabled() && !book->Command2->isEnabled() &&
           !book->Command3->isEnabled();
}

} // namespace

class TestAddressEntryEditor : public QObject {
    Q_OBJECT
private slots:
    void addOpensEmptyAndDisablesTheButtons();
    void displayNameRules_data();
    void displayNameRules();
    void birthdayStoredAndMarked();
    void editWithoutChangeMovesEntryToTheEnd();
    void editChangingSurnameRenames();
    void editIntoTakenNameKeepsBothEntries();
    void leavingAnEditWithoutOkKeepsTheEntry_data();
    void leavingAnEditWithoutOkKeepsTheEntry();
    void fullFileKeepsEditorOpen();
    void inputLimits();
};

void TestAddressEntryEditor::addOpensEmptyAndDisablesTheButtons()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Adams", "Ann", "03/04/1960", true)});
    QVERIFY(book);
    // An edit first leaves values in the boxes; "Add Entry" afterwards must empty them.
    choose(book, 0, QStringLiteral("Adams, Ann"));
    book->Command2->click();
    QVERIFY(editor()->isVisible());
    QVERIFY(entryButtonsDisabled(book));
    QCOMPARE(editor()->windowTitle(), QStringLiteral("Edit Address Book Entry"));
    QCOMPARE(editor()->text2(2), QStringLiteral("1 Adams Street\r\nTown"));
    QVERIFY(editor()->Check1->isChecked());
    QCOMPARE(editor()->DTPicker1->Value(), QDate(1960, 4, 3));
    editor()->Command3->click();
    QVERIFY(editor()->isHidden());
    QVERIFY(entryButtonsEnabled(book));

    // The picker starts at the date selected in the calendar window.
    const QDate selected(2024, 2, 14);
    Forms::Form1()->Calendar1->setSelectedDate(selected);
    for (int round = 0; round < 2; ++round) {
        book->Command3->click();
        QVERIFY(editor()->isVisible());
        QVERIFY(entryButtonsDisabled(book));
        QCOMPARE(editor()->windowTitle(), QStringLiteral("Add Address Book Entry"));
        for (int k = 0; k < 6; ++k) {
            QVERIFY(editor()->text2(k).isEmpty());
            QVERIFY(editor()->Text3[size_t(k)]->text().isEmpty());
        }
        QVERIFY(!editor()->Check1->isChecked());
        QCOMPARE(editor()->DTPicker1->Value(), selected);
        QCOMPARE(editor()->DTPicker1->text(), QStringLiteral("14/02/2024"));
        lineBox("Text2(0)")->setText(QStringLiteral("typed"));
        editor()->Check1->setChecked(true);
        editor()->Command3->click();
        QVERIFY(entryButtonsEnabled(book));
    }
    QCOMPARE(AddressFixture::countRecord(env), Bytes::count16(1));
}

void TestAddressEntryEditor::displayNameRules_data()
{
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal"); // the message, or empty when the entry is added
    const QString taken = QStringLiteral("Entry Already Exists!");
    QTest::newRow("surname with empty first name")
        << QStringLiteral("Smith") << QString() << QString();
    QTest::newRow("same name refused")
        << QStringLiteral("Smith") << QStringLiteral("John") << taken;
    QTest::newRow("lower-case surname is another name")
        << QStringLiteral("smith") << QStringLiteral("John") << QString();
    QTest::newRow("trailing blank is another name")
        << QStringLiteral("Smith") << QStringLiteral("John ") << QString();
    QTest::newRow("empty surname refused")
        << QString() << QStringLiteral("Ann") << QStringLiteral("You need to supply a Surname!");
    QTest::newRow("one blank is a surname")
        << QStringLiteral(" ") << QStringLiteral("Ann") << QString();
}

void TestAddressEntryEditor::displayNameRules()
{
    QFETCH(QString, surname);
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Smith", "John")});
    QVERIFY(book);
    book->Command4[17]->click();
    const QByteArray before = env.fileBytes(kFile);

    book->Command3->click();
    lineBox("Text2(0)")->setText(name);
    lineBox("Text2(1)")->setText(surname);
    lineBox("Text3(0)")->setText(QStringLiteral("555"));
    editor()->Command1->click();

    if (refusal.isEmpty()) {
        QVERIFY(env.messages.isEmpty());
        QVERIFY(editor()->isHidden());
        QVERIFY(entryButtonsEnabled(book));
        QCOMPARE(AddressFixture::countRecord(env), Bytes::count16(2));
        const QStringList stored = AddressFixture::fieldsAt(env, 1);
        QCOMPARE(stored.mid(0, 3),
                 (QStringList{surname + QStringLiteral(", ") + name, name, surname}));
        // The list follows the file when the name belongs to the current group "S".
        QCOMPARE(book->Combo1->findText(stored[0]) >= 0,
                 surname.startsWith('S', Qt::CaseInsensitive));
    } else {
        QCOMPARE(env.messages, QStringList{refusal});
        // What was typed stays in the editor for the user to correct.
        QVERIFY(editor()->isVisible());
        QCOMPARE(editor()->text2(0), name);
        QCOMPARE(editor()->text2(1), surname);
        QCOMPARE(lineBox("Text3(0)")->text(), QStringLiteral("555"));
        QVERIFY(entryButtonsDisabled(book));
        QCOMPARE(env.fileBytes(kFile), before);
    }
}

void TestAddressEntryEditor::birthdayStoredAndMarked()
{
    TestEnvironment env;
    env.setNow(QDateTime(QDate(2024, 3, 12), QTime(9, 0)));
    AddressBookWindow *book = openAddressBook(env, {});
    QVERIFY(book);
    book->Command3->click();
    lineBox("Text2(1)")->setText(QStringLiteral("Hart"));
    lineBox("Text2(0)")->setText(QStringLiteral("Mia"));
    editor()->Check1->setChecked(true);
    editor()->DTPicker1->setValue(QDate(1970, 3, 5));
    editor()->Command1->click();

    QVERIFY(env.messages.isEmpty());
    QCOMPARE(env.record(kFile, 128, 11).left(12), Bytes::string("05/03/1970"));
    QCOMPARE(env.record(kFile, 128, 12).left(3), QByteArray("\x01\x00\x31", 3));

    // The calendar shows March 2024, which begins on a Friday: its 5th stands in cell 5 + 5.
    auto *marker = env.mainWindow()->findChild<QWidget *>(QStringLiteral("Picture1(10)"));
    QVERIFY(marker);
    QVERIFY(!marker->isHidden());
}

void TestAddressEntryEditor::editWithoutChangeMovesEntryToTheEnd()
{
    TestEnvironment env;
    const QList<AddressEntry> entries = {entry("Adams", "Ann", "09/09/1999", true),
                                         entry("Baker", "Bo"), entry("Cole", "Cy")};
    AddressBookWindow *book = openAddressBook(env, entries);
    QVERIFY(book);
    choose(book, 0, QStringLiteral("Adams, Ann"));

    book->Command2->click();
    editor()->Command1->click();

    QVERIFY(env.messages.isEmpty());
    QVERIFY(editor()->isHidden());
    QVERIFY(entryButtonsEnabled(book));
    QCOMPARE(AddressFixture::countRecord(env), Bytes::count16(3));
    QCOMPARE(AddressFixture::fieldsAt(env, 0), AddressFixture::fields(entries[1]));
    QCOMPARE(AddressFixture::fieldsAt(env, 1), AddressFixture::fields(entries[2]));
    QCOMPARE(AddressFixture::fieldsAt(env, 2), AddressFixture::fields(entries[0]));
    QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));
}

void TestAddressEntryEditor::editChangingSurnameRenames()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Adams", "Ann"), entry("Baker", "Bo")});
    QVERIFY(book);
    choose(book, 0, QStringLiteral("Adams, Ann"));
    book->Command2->click();
    lineBox("Text2(1)")->setText(QStringLiteral("Abbott"));
    editor()->Command1->click();

    QCOMPARE(AddressFixture::countRecord(env), Bytes::count16(2));
    QCOMPARE(AddressFixture::fieldsAt(env, 0).first(), QStringLiteral("Baker, Bo"));
    QCOMPARE(AddressFixture::fieldsAt(env, 1).mid(0, 4),
             (QStringList{"Abbott, Ann", "Ann", "Abbott", "1 Adams Street\r\nTown"}));
    QCOMPARE(book->Combo1->currentText(), QStringLiteral("Abbott, Ann"));
    QCOMPARE(book->Combo1->count(), 1);
}

void TestAddressEntryEditor::editIntoTakenNameKeepsBothEntries()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Adams", "Ann"), entry("Baker", "Bo")});
    QVERIFY(book);
    const QByteArray before = env.fileBytes(kFile);
    choose(book, 0, QStringLiteral("Adams, Ann"));
    book->Command2->click();
    lineBox("Text2(0)")->setText(QStringLiteral("Bo"));
    lineBox("Text2(1)")->setText(QStringLiteral("Baker"));
    lineBox("Text3(3)")->setText(QStringLiteral("0777"));

    editor()->Command1->click();

    QCOMPARE(env.messages, QStringList{"Entry Already Exists!"});
    QVERIFY(editor()->isVisible());
    QCOMPARE(lineBox("Text2(1)")->text(), QStringLiteral("Baker"));
    QCOMPARE(lineBox("Text3(3)")->text(), QStringLiteral("0777"));
    QVERIFY(entryButtonsDisabled(book));
    QCOMPARE(env.fileBytes(kFile), before);

    // Back to a free name: "OK" now replaces the entry being edited.
    lineBox("Text2(1)")->setText(QStringLiteral("Abbott"));
    editor()->Command1->click();
    QVERIFY(editor()->isHidden());
    QCOMPARE(AddressFixture::countRecord(env), Bytes::count16(2));
    QCOMPARE(AddressFixture::fieldsAt(env, 0).first(), QStringLiteral("Baker, Bo"));
    QCOMPARE(AddressFixture::fieldsAt(env, 1).first(), QStringLiteral("Abbott, Bo"));
    QCOMPARE(AddressFixture::fieldsAt(env, 1)[7], QStringLiteral("0777"));
}

void TestAddressEntryEditor::leavingAnEditWithoutOkKeepsTheEntry_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("close box") << "close box";
    QTest::newRow("Escape") << "Escape";
}

void TestAddressEntryEditor::leavingAnEditWithoutOkKeepsTheEntry()
{
    QFETCH(QString, how);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Adams", "Ann"), entry("Baker", "Bo")});
    QVERIFY(book);
    const QByteArray before = env.fileBytes(kFile);
    choose(book, 0, QStringLiteral("Adams, Ann"));
    book->Command2->click();
    QVERIFY(editor()->Command3->isVisible());
    lineBox("Text2(1)")->setText(QStringLiteral("Changed"));
    // While the editor is open the entry is still in the file, as it was: ending the program
    // now loses nothing.
    QCOMPARE(env.fileBytes(kFile), before);

    if (how == "close box")
        QVERIFY(editor()->close());
    else if (how == "Escape")
        QTest::keyClick(lineBox("Text2(1)"), Qt::Key_Escape);
    else
        editor()->Command3->click();

    QVERIFY(editor()->isHidden());
    QVERIFY(entryButtonsEnabled(book));
    QVERIFY(env.messages.isEmpty());
    QCOMPARE(env.fileBytes(kFile), before);
    QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));
}

void TestAddressEntryEditor::fullFileKeepsEditorOpen()
{
    TestEnvironment env;
    // A file whose count says it holds the most entries it can.
    QByteArray bytes(16 * 128, '\0');
    bytes.replace(15 * 128, 4, Bytes::count16(AddressStore::Capacity));
    env.writeFile(kFile, bytes);
    MainWindow *main = env.startProgram();
    QVERIFY(main);
    main->ABook->trigger();
    AddressBookWindow *book = Forms::Form3();

    book->Command3->click();
    lineBox("Text2(1)")->setText(QStringLiteral("Late"));
    editor()->Command1->click();

    QCOMPARE(env.messages.size(), 1);
    QVERIFY2(env.messages.first().contains(QStringLiteral("2048")), qPrintable(env.messages[0]));
    QVERIFY(editor()->isVisible());
    QCOMPARE(lineBox("Text2(1)")->text(), QStringLiteral("Late"));
    QCOMPARE(env.fileBytes(kFile), bytes);
}

void TestAddressEntryEditor::inputLimits()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {});
    QVERIFY(book);
    book->Command3->click();

    const struct {
        const char *name;
        int limit;
    } lines[] = {{"Text2(0)", 20}, {"Text2(1)", 20}, {"Text2(3)", 30},
                 {"Text2(4)", 30}, {"Text3(0)", 20}, {"Text3(5)", 20}};
    for (const auto &line : lines) {
        QLineEdit *box = lineBox(line.name);
        QVERIFY2(box, line.name);
        QTest::keyClicks(box, QString(line.limit + 5, QLatin1Char('x')));
        QCOMPARE(box->text().size(), line.limit);
    }

    for (const char *name : {"Text2(2)", "Text2(5)"}) {
        LimitedTextBox *box = multiLineBox(name);
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

QTEST_MAIN(TestAddressEntryEditor)
#include "tst_address_entry_editor.moc"
