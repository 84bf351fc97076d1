// The address book view (letter groups, the name list, the details panels, deleting) and its
// entry editor (adding, editing, the surname check, refusals, input limits), checked on screen
// and in AddBook.dat, which each test writes byte by byte before the start.
#include "../calendar/calendar_fixtures.h"
#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "controls/keyboard.h"
#include "records/record_file.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>

using Fixtures::items;

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
    return f << birthday << (hasBirthday ? "1" : "0") << s + "@example.org"
             << "www." + s + ".example"
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
        qFatal("start-up failed");
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

// One row of okInEditor: edit "Adams, Ann" in group A or add in group S, the names typed, the
// refusal (empty: written at once; else after "Fixed" as surname), the display name written at
// the end of the file and the names listed afterwards.
struct EditorRow {
    bool edit;
    QString name, surname, refusal, written;
    QStringList listed;
};

class TestAddressBook : public QObject {
    Q_OBJECT
private slots:
    // The program starts with group A chosen but its list not yet filled, no button coloured. A
    // letter group lists its names and shows the first; only the button clicked last is yellow.
    // The details button switches between the address and the details, and its caption with
    // them; the birthday line shows only for an entry with a birthday. Deleting shows the next
    // name of the group; deleting its only name empties the list and every box. Which names
    // each group lists is tested on the store (tst_address_store).
    void letterGroupsDetailsAndDeleting()
    {
        TestEnvironment env;
        const QList<QStringList> kept{entry("Carter", "Cy", "24/07/1975", true),
                                      entry("Zimmer", "Zoe"), entry("Young", "Yan")};
        const QStringList adams = entry("Adams", "Ann"), avery = entry("Avery", "Al");
        AddressBookWindow *book = openAddressBook(env, {adams, kept[0], kept[1], kept[2], avery});
        QCOMPARE(book->Label2->text(), QStringLiteral("A"));
        QVERIFY(book->Label2->isHidden() && book->Combo1->count() == 0);
        const QColor face = QApplication::palette(book->Command4[0]).color(QPalette::Button);
        for (int k = 0; k < 24; ++k)
            QCOMPARE(book->letterButtonColor(k), face);
        book->Command4[22]->click();
        QCOMPARE(items(book->Combo1) << book->Combo1->currentText(),
                 (QStringList{"Young, Yan", "Zimmer, Zoe", "Young, Yan"}));
        QCOMPARE(shown(book), shown(kept[2]));
        book->Command4[2]->click();
        for (int k = 0; k < 24; ++k)
            QCOMPARE(book->letterButtonColor(k), k == 2 ? QColor(255, 255, 0) : face);
        QCOMPARE(shown(book), shown(kept[0]));
        QCOMPARE(book->Label1[0]->text(), QStringLiteral("Birthday:"));
        for (bool details : {false, true, false}) {
            QCOMPARE(Keyboard::plainCaption(book->Command5->text()),
                     details ? QStringLiteral("View Address") : QStringLiteral("View Details"));
            QCOMPARE((QList<bool>{book->Frame2->isVisible(), book->Frame4->isVisible(),
                                  book->Label1[0]->isVisible(), book->Text8->isVisible()}),
                     (QList<bool>{!details, details, details, details}));
            book->Command5->click();
        }
        // The details stay in front for the next group, without a line for no birthday.
        book->Command4[22]->click();
        QCOMPARE((QList<bool>{book->Frame4->isVisible(), book->Label1[0]->isVisible(),
                              book->Text8->isVisible()}),
                 (QList<bool>{true, false, false}));
        book->Command4[0]->click();
        QCOMPARE(shown(book), shown(adams));
        book->Command1->click();
        QCOMPARE(items(book->Combo1) << book->Combo1->currentText(),
                 (QStringList{"Avery, Al", "Avery, Al"}));
        QCOMPARE(shown(book), shown(avery));
        book->Command1->click();
        QCOMPARE(items(book->Combo1) << book->Combo1->currentText(), QStringList{""});
        QCOMPARE(shown(book), QStringList(11));
        QCOMPARE(stored(env, 3), kept);
        QVERIFY(env.messages.isEmpty());
    }

    void okInEditor_data()
    {
        QTest::addColumn<EditorRow>("row");
        auto row = [](const char *tag, const EditorRow &r) { QTest::newRow(tag) << r; };
        // How display names are formed and that names are told apart exactly is tested on the
        // store (tst_address_store).
        const QString taken = "Entry Already Exists!";
        row("same name refused", {false, "John", "Smith", taken, "Fixed, John", {"Smith, John"}});
        row("lower-case surname is another name",
            {false, "John", "smith", "", "smith, John", {"Smith, John", "smith, John"}});
        row("empty surname refused",
            {false, "Ann", "", "You need to supply a Surname!", "Fixed, Ann", {"Smith, John"}});
        row("one blank is a surname", {false, "Ann", " ", "", " , Ann", {"Smith, John"}});
        row("edit changing the surname renames",
            {true, "Ann", "Abbott", "", "Abbott, Ann", {"Abbott, Ann"}});
        // After the refusal the editor still replaces the entry it opened on.
        row("edit into a taken name refused", {true, "Bo", "Baker", taken, "Fixed, Bo", {}});
    }
    // A new entry is given a birthday on 5 January, which the calendar then marks.
    void okInEditor()
    {
        QFETCH(EditorRow, row);
        auto [edit, name, surname, refusal, written, listedAfter] = row;
        TestEnvironment env;
        const QStringList adams = entry("Adams", "Ann", "09/09/1999", true);
        const QList<QStringList> entries{adams, entry("Baker", "Bo"), entry("Smith", "John")};
        AddressBookWindow *book = openAddressBook(env, entries);
        AddressEntryEditor *ed = Forms::Form7();
        const QByteArray before = env.fileBytes(kFile);
        book->Command4[edit ? 0 : 17]->click();
        (edit ? book->Command2 : book->Command3)->click();
        if (!edit) {
            ed->Check1->setChecked(true);
            ed->DTPicker1->setValue(QDate(1970, 1, 5));
        }
        ed->setText2(0, name);
        ed->setText2(1, surname);
        ed->Text3[3]->setText(QStringLiteral("0777"));
        ed->Command1->click();

        if (!refusal.isEmpty()) {
            QCOMPARE(env.messages, QStringList{refusal});
            // What was typed stays in the editor for the user to correct; the file is as it was.
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
        // The entry written holds what the editor showed: for an edit the rest of its old
        // fields, for a new entry the picker's date and the ticked birthday box.
        QStringList want =
            edit ? adams : QStringList(10) + QStringList{"05/01/1970", "1"} + QStringList(3);
        want[7] = QStringLiteral("0777");
        QCOMPARE(stored(env, 3 + !edit),
                 entries.mid(edit ? 1 : 0) << (QStringList{written, name, surname} + want.mid(3)));
        // The list follows the file and selects its first name; January 2024 begins on a Monday.
        QCOMPARE(items(book->Combo1) << book->Combo1->currentText(),
                 listedAfter << listedAfter.value(0));
        QCOMPARE(Forms::Form1()->Picture1[6]->isHidden(), edit);
    }

    void editorOpensAndLeavesWithoutWriting_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"Cancel", "close box", "Escape"})
            QTest::newRow(how) << how;
    }
    // "Edit Entry" fills the editor with the entry shown; "Add Entry" empties it, however it was
    // left, and sets the picker to the date selected in the calendar. Leaving the editor without
    // "OK" writes nothing, and while it is open the file holds the entry as it was, so that
    // ending the program then loses nothing.
    void editorOpensAndLeavesWithoutWriting()
    {
        QFETCH(QString, how);
        TestEnvironment env;
        const QStringList adams = entry("Adams", "Ann", "03/04/1960", true);
        AddressBookWindow *book = openAddressBook(env, {adams, entry("Baker", "Bo")});
        AddressEntryEditor *ed = Forms::Form7();
        const QByteArray before = env.fileBytes(kFile);
        // Opens the editor, checks what it shows, changes it and leaves it.
        auto openAndLeave = [&](QPushButton *button, const QString &title, const QStringList &texts,
                                bool ticked, QDate date) {
            button->click();
            QVERIFY(ed->isVisible() && entryButtonsAre(book, false));
            QCOMPARE((QStringList{ed->windowTitle(), ed->DTPicker1->text()} + editorTexts()),
                     (QStringList{title, date.toString("dd/MM/yyyy")} + texts));
            QCOMPARE(ed->Check1->isChecked(), ticked);
            QCOMPARE(ed->DTPicker1->Value(), date);
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
        openAndLeave(book->Command2, "Edit Address Book Entry",
                     QStringList{adams[1], adams[2], adams[3]} + adams.mid(12) + adams.mid(4, 6),
                     true, QDate(1960, 4, 3));
        QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));
        for (int round = 0; round < 2; ++round)
            openAndLeave(book->Command3, "Add Address Book Entry", QStringList(12), false,
                         QDate(2024, 2, 14));
        QVERIFY(env.messages.isEmpty());
    }

    // Each box takes so many characters and no more; on a full file "OK" is refused and the
    // editor keeps all of them. How a line break counts in the multi-line boxes, and pasting, is
    // tested on the notes pad, the same kind of box (tst_notes_window).
    void inputLimitsAndTheFullFile()
    {
        TestEnvironment env;
        // A file whose count says it holds the most entries it can.
        AddressBookWindow *book = openAddressBook(env, {}, AddressStore::Capacity);
        const QByteArray before = env.fileBytes(kFile);
        book->Command3->click();
        AddressEntryEditor *ed = Forms::Form7();
        // In the order of editorTexts(): name, surname, address, e-mail, home page, notes, phones.
        const QList<int> limits{20, 20, 100, 30, 30, 100, 20, 20, 20, 20, 20, 20};
        QList<QWidget *> boxes(ed->Text2.begin(), ed->Text2.end());
        boxes.append(QList<QWidget *>(ed->Text3.begin(), ed->Text3.end()));
        QStringList typed;
        for (qsizetype k = 0; k < boxes.size(); ++k) {
            QTest::keyClicks(boxes[k], QString(limits[k] + 5, u'x'));
            typed << QString(limits[k], u'x');
        }
        QCOMPARE(editorTexts(), typed);
        ed->Command1->click();
        QCOMPARE(env.messages.size(), 1);
        QVERIFY2(env.messages.first().contains(QStringLiteral("2048")),
                 qPrintable(env.messages[0]));
        QVERIFY(ed->isVisible());
        QCOMPARE(editorTexts(), typed);
        QCOMPARE(env.fileBytes(kFile), before);
    }
};

QTEST_MAIN(TestAddressBook)
#include "tst_address_book.moc"
