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

struct StoredNote {
    QByteArray name;
    QByteArray text;
};

// A notes file holding `notes` in order, with its count record.
QByteArray notesFile(const QList<StoredNote> &notes)
{
    const int records = notes.isEmpty() ? 3 : 3 * int(notes.size() - 1) + 2;
    QByteArray bytes(qsizetype(std::max(records, 3)) * Len, '\0');
    auto put = [&bytes](int record, const QByteArray &value) {
        bytes.replace(qsizetype(record - 1) * Len, value.size(), value);
    };
    put(3, Bytes::count16(qint16(notes.size())));
    for (int n = 1; n <= notes.size(); ++n) {
        put(3 * (n - 1) + 1, Bytes::string(notes.at(n - 1).name));
        put(3 * (n - 1) + 2, Bytes::string(notes.at(n - 1).text));
    }
    return bytes;
}

QByteArray storedCount(const TestEnvironment &env)
{
    return env.record(NotesFile, Len, 3).left(4);
}

// Starts the program in the test's folder and brings the notes view to the front.
NotesWindow *startNotes(TestEnvironment &env)
{
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

QPoint rowCentre(FlexGrid *list, int row)
{
    return list->visualRect(list->model()->index(row, 1)).center();
}

void clickRow(FlexGrid *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

void doubleClickRow(FlexGrid *list, int row)
{
    // A real double-click: press and release, then the double-click and its release.
    const QPoint at = rowCentre(list, row);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

void typeName(QLineEdit *name, const QString &text)
{
    name->selectAll();
    QTest::keyClicks(name, text);
}

} // namespace

class TestNotesWindow : public QObject {
    Q_OBJECT
private slots:
    void save_data();
    void save();
    void deleteNote_data();
    void deleteNote();
    void viewTrimsOnlyBlanks_data();
    void viewTrimsOnlyBlanks();
    void padLengthLimit_data();
    void padLengthLimit();
    void switchingViewsKeepsPadAndSelectsNoNote();
    void fullFileListsEveryNoteAndRefusesMore();
};

void TestNotesWindow::save_data()
{
    QTest::addColumn<bool>("newFile");
    QTest::addColumn<QString>("name"); // empty: the preset name
    QTest::addColumn<bool>("clearPad");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("savedAs");
    QTest::addColumn<QByteArray>("savedText");
    QTest::addColumn<QStringList>("rows");

    const QByteArray typed("line one\r\nline two");
    const QStringList two{"Nr.|Description", "1|Note", "2|Shopping"};
    QTest::newRow("first note in a new file under the preset name")
        << true << "" << false << 1 << 1 << typed << QStringList{"Nr.|Description", "1|Note"};
    QTest::newRow("existing name replaces the text in place")
        << false << "Note" << false << 2 << 1 << typed << two;
    QTest::newRow("other letter case is another note")
        << false << "note" << false << 3 << 3 << typed << (two + QStringList{"3|note"});
    QTest::newRow("cleared pad empties an existing note")
        << false << "Shopping" << true << 2 << 2 << QByteArray() << two;
}

void TestNotesWindow::save()
{
    QFETCH(bool, newFile);
    QFETCH(QString, name);
    QFETCH(bool, clearPad);
    QFETCH(int, count);
    QFETCH(int, savedAs);
    QFETCH(QByteArray, savedText);
    QFETCH(QStringList, rows);

    TestEnvironment env;
    if (!newFile)
        env.writeFile(NotesFile, notesFile({{"Note", "old text"}, {"Shopping", "milk"}}));
    NotesWindow *v = startNotes(env);
    QCOMPARE(::rows(v).size(), newFile ? 1 : 3);
    QCOMPARE(v->Text2->text(), QStringLiteral("Note"));
    QVERIFY(!v->Command1->isEnabled());
    QTest::keyClicks(v->Text1, QStringLiteral("line one"));
    QTest::keyClick(v->Text1, Qt::Key_Return);
    QTest::keyClicks(v->Text1, QStringLiteral("line two"));
    QVERIFY(v->Command1->isEnabled());
    if (clearPad)
        v->Command4->click();
    if (!name.isEmpty())
        typeName(v->Text2, name);
    v->Command1->click();

    QCOMPARE(storedCount(env), Bytes::count16(qint16(count)));
    QCOMPARE(env.storedString(NotesFile, Len, 3 * (savedAs - 1) + 1).mid(2),
             v->Text2->text().toLatin1());
    QCOMPARE(env.storedString(NotesFile, Len, 3 * (savedAs - 1) + 2).mid(2), savedText);
    QCOMPARE(::rows(v), rows);
    QVERIFY(!v->Command1->isEnabled());
    QVERIFY(env.messages.isEmpty());
}

void TestNotesWindow::deleteNote_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<QByteArray>>("records"); // records 1, 2, 4, 5
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("middle note closes the gap")
        << 2 << QList<QByteArray>{"Alpha", "a text", "Gamma", "g text"}
        << QStringList{"Nr.|Description", "1|Alpha", "2|Gamma"};
    QTest::newRow("last note leaves the others in place")
        << 3 << QList<QByteArray>{"Alpha", "a text", "Beta", "b text"}
        << QStringList{"Nr.|Description", "1|Alpha", "2|Beta"};
}

void TestNotesWindow::deleteNote()
{
    QFETCH(int, row);
    QFETCH(QList<QByteArray>, records);
    QFETCH(QStringList, rows);

    TestEnvironment env;
    env.writeFile(NotesFile,
                  notesFile({{"Alpha", "a text"}, {"Beta", "b text"}, {"Gamma", "g text"}}));
    NotesWindow *v = startNotes(env);
    clickRow(v->MSFlexGrid1, row);
    QTest::keyClicks(v->Text1, QStringLiteral("typed"));
    v->Command3->click();

    QCOMPARE(storedCount(env), Bytes::count16(2));
    const QList<QByteArray> stored{
        env.storedString(NotesFile, Len, 1).mid(2), env.storedString(NotesFile, Len, 2).mid(2),
        env.storedString(NotesFile, Len, 4).mid(2), env.storedString(NotesFile, Len, 5).mid(2)};
    QCOMPARE(stored, records);
    QCOMPARE(env.storedString(NotesFile, Len, 7).mid(2), QByteArray());
    QCOMPARE(env.storedString(NotesFile, Len, 8).mid(2), QByteArray());
    QCOMPARE(::rows(v), rows);
    QCOMPARE(v->Text1->toPlainText(), QString());
    QCOMPARE(v->Text2->text(), QStringLiteral("Note"));
    QVERIFY(!v->Command1->isEnabled());
}

void TestNotesWindow::viewTrimsOnlyBlanks_data()
{
    QTest::addColumn<int>("doubleClicked"); // the row double-clicked; -1: "<< View Note"
    QTest::newRow("View Note button") << -1;
    QTest::newRow("double-click on the note") << 2;
    QTest::newRow("double-click on the header row") << 0;
}

void TestNotesWindow::viewTrimsOnlyBlanks()
{
    QFETCH(int, doubleClicked);

    TestEnvironment env;
    const QByteArray stored("  \r\nmilk\xA0\r\n  eggs\t\r\n  ");
    env.writeFile(NotesFile, notesFile({{"Other", "x"}, {"  Shop ", stored}}));
    NotesWindow *v = startNotes(env);
    clickRow(v->MSFlexGrid1, 2);
    QVERIFY2(v->Command1->isEnabled(), "picking a row puts its name into the name box");
    if (doubleClicked < 0)
        v->Command2->click();
    else
        doubleClickRow(v->MSFlexGrid1, doubleClicked);

    QCOMPARE(v->Text1->text(), QStringLiteral("\r\nmilk\u00A0\r\n  eggs\t\r\n"));
    QCOMPARE(v->Text2->text(), QStringLiteral("Shop"));
    QVERIFY(!v->Command1->isEnabled());
    QCOMPARE(env.storedString(NotesFile, Len, 5).mid(2), stored);
}

void TestNotesWindow::padLengthLimit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("typed");  // '\n' is the Return key
    QTest::addColumn<QString>("pasted"); // empty: no paste
    QTest::addColumn<QString>("after");

    const QString a489(489, u'a');
    QTest::newRow("typing stops at 490 characters")
        << QString() << false << QString(495, u'b') << QString() << QString(490, u'b');
    QTest::newRow("a line break needs room for two")
        << a489 << false << QStringLiteral("\n") << QString() << a489;
    QTest::newRow("a character still fits beside a refused line break")
        << a489 << false << QStringLiteral("\nc") << QString() << a489 + u'c';
    QTest::newRow("paste is cut to fit without half a line break")
        << QString(485, u'a') << false << QString() << QStringLiteral("bcd\r\nefg")
        << QString(485, u'a') + QStringLiteral("bcd\n");
    QTest::newRow("typing over a selection frees its room")
        << QString(490, u'a') << true << QStringLiteral("xy") << QString() << QStringLiteral("xy");
    QTest::newRow("no-break space kept, line and paragraph separators are line breaks")
        << QString() << false << QString() << QStringLiteral("a\u2028b\u00A0c\u2029d")
        << QStringLiteral("a\nb\u00A0c\nd");
}

void TestNotesWindow::padLengthLimit()
{
    QFETCH(QString, before);
    QFETCH(bool, selectAll);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, after);

    TestEnvironment env;
    LimitedTextBox *pad = startNotes(env)->Text1;
    pad->setText(before);
    pad->moveCursor(QTextCursor::End);
    if (selectAll)
        pad->selectAll();
    for (QChar c : typed) {
        if (c == u'\n')
            QTest::keyClick(pad, Qt::Key_Return);
        else
            QTest::keyClicks(pad, QString(c));
    }
    if (!pasted.isEmpty()) {
        QApplication::clipboard()->setText(pasted);
        pad->paste();
    }
    // What the pad holds is what the file gets, line breaks as CR LF.
    const QString stored = QString(after).replace(u'\n', QStringLiteral("\r\n"));
    QCOMPARE(pad->text(), stored);
    QVERIFY(pad->textLength() <= NotesWindow::PadMaxLength);
    Forms::Form2()->Command1->click();
    QCOMPARE(env.storedString(NotesFile, Len, 2).mid(2), Cp1252::fromUnicode(stored));
}

void TestNotesWindow::switchingViewsKeepsPadAndSelectsNoNote()
{
    TestEnvironment env;
    env.writeFile(NotesFile, notesFile({{"Alpha", "a text"}, {"Beta", "b text"}}));
    NotesWindow *v = startNotes(env);
    QTest::keyClicks(v->Text1, QStringLiteral("unsaved"));
    QTest::keyClick(v->Text1, Qt::Key_Return);
    QTest::keyClicks(v->Text1, QStringLiteral("thoughts"));
    clickRow(v->MSFlexGrid1, 2);
    QCOMPARE(v->Text2->text(), QStringLiteral("Beta"));

    MainWindow *main = env.mainWindow();
    main->ShowChildView(Forms::Form3());
    QVERIFY(!main->subWindowOf(v)->isVisible());
    main->ShowChildView(v);

    QCOMPARE(v->Text1->toPlainText(), QStringLiteral("unsaved\nthoughts"));
    QCOMPARE(v->MSFlexGrid1->Row(), 0);
    // The name box keeps the picked name; the column title never lands there.
    QCOMPARE(v->Text2->text(), QStringLiteral("Beta"));
    QVERIFY(v->Command1->isEnabled());
    // With no note selected, viewing and deleting do nothing.
    v->Command2->click();
    v->Command3->click();
    QCOMPARE(v->Text1->toPlainText(), QStringLiteral("unsaved\nthoughts"));
    QCOMPARE(storedCount(env), Bytes::count16(2));
    QCOMPARE(v->MSFlexGrid1->Rows(), 3);
}

void TestNotesWindow::fullFileListsEveryNoteAndRefusesMore()
{
    TestEnvironment env;
    QList<StoredNote> notes;
    for (int n = 1; n <= 10922; ++n)
        notes.append({"N" + QByteArray::number(n), QByteArray()});
    const QByteArray full = notesFile(notes);
    env.writeFile(NotesFile, full);
    NotesWindow *v = startNotes(env);
    QCOMPARE(v->MSFlexGrid1->Rows(), 10923);
    QCOMPARE(v->MSFlexGrid1->TextMatrix(10922, 0), QStringLiteral("10922"));
    QCOMPARE(v->MSFlexGrid1->TextMatrix(10922, 1), QStringLiteral("N10922"));

    QTest::keyClicks(v->Text1, QStringLiteral("one too many"));
    typeName(v->Text2, QStringLiteral("Extra"));
    v->Command1->click();

    QCOMPARE(env.messages.size(), 1);
    QCOMPARE(env.fileBytes(NotesFile), full);
    QCOMPARE(v->MSFlexGrid1->Rows(), 10923);
    QVERIFY2(v->Command1->isEnabled(), "the unsaved pad can still be saved elsewhere");
}

QTEST_MAIN(TestNotesWindow)
#include "tst_notes_window.moc"
