// The notes view driven through its named controls, checked on screen and in Notes.dat.
#include "test_support.h"

#include "addressbook/address_book_window.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "notes/notes_window.h"
#include "records/record_file.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

namespace {

constexpr int Len = 500;
const QString NotesFile = QStringLiteral("Notes.dat");

// A notes file holding the notes given as name, text, name, text, ...: each note in the first
// two of its three records, the count in record 3.
QByteArray notesFile(const QByteArrayList &namesAndTexts)
{
    const qsizetype notes = namesAndTexts.size() / 2;
    QByteArray bytes(std::max<qsizetype>(3, 3 * notes - 1) * Len, '\0');
    bytes.replace(2 * Len, 4, Bytes::count16(qint16(notes)));
    for (qsizetype i = 0; i < namesAndTexts.size(); ++i) {
        const QByteArray value = Bytes::string(namesAndTexts[i]);
        bytes.replace((i / 2 * 3 + i % 2) * Len, value.size(), value);
    }
    return bytes;
}

// The count record, then the name and text records of the first four notes, without their
// length prefixes.
QByteArrayList stored(const TestEnvironment &env)
{
    QByteArrayList out{env.record(NotesFile, Len, 3).left(4)};
    for (int r : {1, 2, 4, 5, 7, 8, 10, 11})
        out << env.storedString(NotesFile, Len, r).mid(2);
    return out;
}

// What stored() gives for a file holding the notes given as name, text, name, text, ...
QByteArrayList holding(const QByteArrayList &namesAndTexts)
{
    return QByteArrayList{Bytes::count16(qint16(namesAndTexts.size() / 2))} + namesAndTexts +
           QByteArrayList(8 - namesAndTexts.size());
}

// Starts the program on `file` (empty: no notes file) and brings the notes view to the front.
NotesWindow *startNotes(TestEnvironment &env, const QByteArray &file = {})
{
    if (!file.isEmpty())
        env.writeFile(NotesFile, file);
    MainWindow *main = env.startProgram();
    if (!main)
        qFatal("start-up failed");
    main->ShowChildView(Forms::Form2());
    return Forms::Form2();
}

// The list as "Nr.|Description" texts, the column titles first.
QStringList rows(const NotesWindow *v)
{
    QStringList out;
    for (int r = 0; r < v->MSFlexGrid1->Rows(); ++r)
        out << v->MSFlexGrid1->TextMatrix(r, 0) + u'|' + v->MSFlexGrid1->TextMatrix(r, 1);
    return out;
}

// A click on a row of the list; `twice`: a real double-click, the second press a double-click.
void clickRow(FlexGrid *list, int row, bool twice = false)
{
    const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }
}

// Types `text` into a box, '\n' as the Return key.
void type(QWidget *box, const QString &text)
{
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines[i]);
    }
}

} // namespace

// A row of saveAndDelete: a new file, or one holding Note, Shopping and Zed; the list row clicked
// first (0: none); the name typed (empty: none); "Save", "Clear" then "Save", or "Delete"; and
// the names and texts in the file afterwards.
struct SaveRow {
    bool newFile;
    int picked;
    QString name, button;
    QByteArrayList after;
};

// A row of padLengthLimit: the pad's text, whether it is all selected, what is typed ('\n' is
// the Return key) and pasted (empty: no paste), and the pad's text afterwards.
struct PadRow {
    QString before;
    bool selectAll;
    QString typed, pasted, after;
};

class TestNotesWindow : public QObject {
    Q_OBJECT
private slots:
    // How notes are found by name, replaced in place and moved down on a delete is tested on the
    // store (tst_note_store).
    void saveAndDelete_data()
    {
        QTest::addColumn<SaveRow>("row");
        const QByteArray typed("line one\r\nline two");
        QTest::newRow("first note in a new file under the preset name")
            << SaveRow{true, 0, "", "Save", {"Note", typed}};
        QTest::newRow("cleared pad empties an existing note") << SaveRow{
            false, 0, "Shopping", "Clear", {"Note", "old text", "Shopping", "", "Zed", "z"}};
        QTest::newRow("deleting the middle note closes the gap")
            << SaveRow{false, 2, "", "Delete", {"Note", "old text", "Zed", "z"}};
    }
    void saveAndDelete()
    {
        QFETCH(SaveRow, row);
        const auto &[newFile, picked, name, button, after] = row;
        TestEnvironment env;
        NotesWindow *v = startNotes(
            env, newFile ? QByteArray()
                         : notesFile({"Note", "old text", "Shopping", "milk", "Zed", "z"}));
        QVERIFY(!v->Command1->isEnabled());
        if (picked > 0)
            clickRow(v->MSFlexGrid1, picked);
        type(v->Text1, QStringLiteral("line one\nline two"));
        QVERIFY(v->Command1->isEnabled());
        if (button == "Clear")
            v->Command4->click();
        if (!name.isEmpty()) {
            v->Text2->selectAll();
            QTest::keyClicks(v->Text2, name);
        }
        (button == "Delete" ? v->Command3 : v->Command1)->click();

        QCOMPARE(stored(env), holding(after));
        // The list shows the file's notes, numbered.
        QStringList rows{"Nr.|Description"};
        for (qsizetype i = 0; i < after.size(); i += 2)
            rows << QString::number(i / 2 + 1) + u'|' + QString::fromLatin1(after[i]);
        QCOMPARE(::rows(v), rows);
        // Saving keeps the pad; deleting empties it and puts the preset name back.
        QCOMPARE((QStringList{v->Text1->toPlainText(), v->Text2->text()}),
                 (QStringList{button == "Save" ? "line one\nline two" : "",
                              name.isEmpty() ? "Note" : name}));
        QVERIFY(!v->Command1->isEnabled() && env.messages.isEmpty());
    }

    void switchViewsThenViewNote_data()
    {
        QTest::addColumn<int>("doubleClicked"); // the row double-clicked; -1: "<< View Note"
        QTest::newRow("View Note button") << -1;
        QTest::newRow("double-click on the note") << 2;
        QTest::newRow("double-click on the header row") << 0;
    }
    // With another view in front and back again, the pad keeps its text, the name box the name
    // picked (never the column title) and no note is selected, so viewing and deleting do
    // nothing. Viewing a picked note shows it with only its leading and trailing blanks removed.
    void switchViewsThenViewNote()
    {
        QFETCH(int, doubleClicked);
        TestEnvironment env;
        const QByteArrayList notes{"Other", "x", "  Shop ", "  \r\nmilk\xA0\r\n  eggs\t\r\n  "};
        NotesWindow *v = startNotes(env, notesFile(notes));
        clickRow(v->MSFlexGrid1, 2);
        QVERIFY2(v->Command1->isEnabled(), "picking a row puts its name into the name box");
        type(v->Text1, QStringLiteral("unsaved\nthoughts"));
        MainWindow *main = env.mainWindow();
        main->ShowChildView(Forms::Form3());
        QVERIFY(!main->subWindowOf(v)->isVisible());
        main->ShowChildView(v);
        QCOMPARE(v->MSFlexGrid1->Row(), 0);
        QCOMPARE(v->Text2->text(), QStringLiteral("  Shop "));
        v->Command2->click();
        v->Command3->click();
        QCOMPARE(v->Text1->toPlainText(), QStringLiteral("unsaved\nthoughts"));
        QCOMPARE(v->MSFlexGrid1->Rows(), 3);

        clickRow(v->MSFlexGrid1, 2);
        if (doubleClicked < 0)
            v->Command2->click();
        else
            clickRow(v->MSFlexGrid1, doubleClicked, true);
        QCOMPARE((QStringList{v->Text1->text(), v->Text2->text()}),
                 (QStringList{"\r\nmilk\u00A0\r\n  eggs\t\r\n", "Shop"}));
        QVERIFY(!v->Command1->isEnabled());
        QCOMPARE(stored(env), holding(notes));
    }

    void padLengthLimit_data()
    {
        QTest::addColumn<PadRow>("row");
        const QString a489(489, u'a'), a485(485, u'a');
        QTest::newRow("typing stops at 490 characters")
            << PadRow{"", false, QString(495, u'b'), "", QString(490, u'b')};
        QTest::newRow("a line break needs room for two; a character still fits")
            << PadRow{a489, false, "\nc", "", a489 + u'c'};
        QTest::newRow("paste is cut to fit without half a line break")
            << PadRow{a485, false, "", "bcd\r\nefg", a485 + "bcd\n"};
        QTest::newRow("typing over a selection frees its room")
            << PadRow{QString(490, u'a'), true, "xy", "", "xy"};
        QTest::newRow("no-break space kept, line and paragraph separators are line breaks")
            << PadRow{"", false, "", QStringLiteral("a\u2028b\u00A0c\u2029d"),
                      QStringLiteral("a\nb\u00A0c\nd")};
    }
    void padLengthLimit()
    {
        QFETCH(PadRow, row);
        TestEnvironment env;
        LimitedTextBox *pad = startNotes(env)->Text1;
        pad->setText(row.before);
        pad->moveCursor(QTextCursor::End);
        if (row.selectAll)
            pad->selectAll();
        type(pad, row.typed);
        if (!row.pasted.isEmpty()) {
            QApplication::clipboard()->setText(row.pasted);
            pad->paste();
        }
        // What the pad holds is what the file gets, line breaks as CR LF.
        const QString stored = QString(row.after).replace(u'\n', QStringLiteral("\r\n"));
        QCOMPARE(pad->text(), stored);
        Forms::Form2()->Command1->click();
        QCOMPARE(env.storedString(NotesFile, Len, 2).mid(2), Cp1252::fromUnicode(stored));
    }

    void fullFileListsEveryNoteAndRefusesMore()
    {
        TestEnvironment env;
        QByteArrayList notes;
        for (int n = 1; n <= 10922; ++n)
            notes << "N" + QByteArray::number(n) << QByteArray();
        const QByteArray full = notesFile(notes);
        NotesWindow *v = startNotes(env, full);
        QCOMPARE(rows(v).last(), QStringLiteral("10922|N10922"));
        // The preset name "Note" is not in the file: saving would add a note.
        QTest::keyClicks(v->Text1, QStringLiteral("one too many"));
        v->Command1->click();
        QCOMPARE(env.messages.size(), 1);
        QCOMPARE(env.fileBytes(NotesFile), full);
        QCOMPARE(v->MSFlexGrid1->Rows(), 10923);
        QVERIFY2(v->Command1->isEnabled(), "the unsaved pad can still be saved elsewhere");
    }
};

QTEST_MAIN(TestNotesWindow)
#include "tst_notes_window.moc"
