// The notes view driven through its named controls, checked on screen and in Notes.dat.
#include "test_support.h"

#include "addressbook/address_book_window.h"
#include "notes/notes_window.h"
#include "shell/flex_grid.h"
#include "shell/forms.h"
#include "shell/limited_text_box.h"
#include "shell/main_window.h"

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

// The text a string record holds (its length prefix and that many bytes). Bytes past the text
// are whatever the record held before, as with every record-file write.
QByteArray storedText(const TestEnvironment &env, int record)
{
    const QByteArray bytes = env.record(NotesFile, Len, record);
    const int length = quint8(bytes.at(0)) | (quint8(bytes.at(1)) << 8);
    return bytes.mid(2, length);
}

// The count record's tag and value.
QByteArray storedCount(const TestEnvironment &env)
{
    return env.record(NotesFile, Len, 3).left(4);
}

// The view's controls, found by their names as a user's tools would find them.
struct NotesView {
    NotesWindow *form = nullptr;
    LimitedTextBox *pad = nullptr;
    FlexGrid *list = nullptr;
    QLineEdit *name = nullptr;
    QPushButton *save = nullptr;
    QPushButton *view = nullptr;
    QPushButton *remove = nullptr;
    QPushButton *clear = nullptr;

    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < list->Rows(); ++r)
            out << list->TextMatrix(r, 0) + QLatin1Char('|') + list->TextMatrix(r, 1);
        return out;
    }
};

template <typename T> T *control(QWidget *form, const char *name)
{
    T *c = form->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("control %s missing", name);
    return c;
}

// Starts the program in the test's folder and brings the notes view to the front.
NotesView startNotes(TestEnvironment &env)
{
    MainWindow *main = env.startProgram();
    if (!main)
        qFatal("start-up failed");
    NotesView v;
    v.form = Forms::Form2();
    main->ShowChildView(v.form);
    v.pad = control<LimitedTextBox>(v.form, "Text1");
    v.list = control<FlexGrid>(v.form, "MSFlexGrid1");
    v.name = control<QLineEdit>(v.form, "Text2");
    v.save = control<QPushButton>(v.form, "Command1");
    v.view = control<QPushButton>(v.form, "Command2");
    v.remove = control<QPushButton>(v.form, "Command3");
    v.clear = control<QPushButton>(v.form, "Command4");
    return v;
}

void clickRow(FlexGrid *list, int row)
{
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

void doubleClickRow(FlexGrid *list, int row)
{
    // A real double-click: press and release, then the double-click and its release.
    const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
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
    void firstSaveInNewFile();
    void saveUnderName_data();
    void saveUnderName();
    void deleteNote_data();
    void deleteNote();
    void viewTrimsOnlyBlanks_data();
    void viewTrimsOnlyBlanks();
    void padLengthLimit_data();
    void padLengthLimit();
    void switchingViewsKeepsPadAndSelectsNoNote();
    void fullFileListsEveryNoteAndRefusesMore();
};

void TestNotesWindow::firstSaveInNewFile()
{
    TestEnvironment env;
    NotesView v = startNotes(env);
    QCOMPARE(v.rows(), QStringList{"Nr.|Description"});
    QCOMPARE(v.name->text(), QStringLiteral("Note"));
    QVERIFY(!v.save->isEnabled());

    QTest::keyClicks(v.pad, QStringLiteral("Call the plumber"));
    QVERIFY(v.save->isEnabled());
    v.save->click();

    QCOMPARE(storedCount(env), Bytes::count16(1));
    QCOMPARE(storedText(env, 1), QByteArray("Note"));
    QCOMPARE(storedText(env, 2), QByteArray("Call the plumber"));
    QCOMPARE(v.rows(), (QStringList{"Nr.|Description", "1|Note"}));
    QVERIFY(!v.save->isEnabled());
    QVERIFY(env.messages.isEmpty());
}

void TestNotesWindow::saveUnderName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("clearPad");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("savedAs");
    QTest::addColumn<QByteArray>("savedText");
    QTest::addColumn<QStringList>("rows");

    const QStringList two{"Nr.|Description", "1|Note", "2|Shopping"};
    QTest::newRow("existing name replaces the text in place")
        << "Note" << false << 2 << 1 << QByteArray("line one\r\nline two") << two;
    QTest::newRow("other letter case is another note")
        << "note" << false << 3 << 3 << QByteArray("line one\r\nline two")
        << (two + QStringList{"3|note"});
    QTest::newRow("cleared pad empties an existing note")
        << "Shopping" << true << 2 << 2 << QByteArray() << two;
}

void TestNotesWindow::saveUnderName()
{
    QFETCH(QString, name);
    QFETCH(bool, clearPad);
    QFETCH(int, count);
    QFETCH(int, savedAs);
    QFETCH(QByteArray, savedText);
    QFETCH(QStringList, rows);

    TestEnvironment env;
    env.writeFile(NotesFile, notesFile({{"Note", "old text"}, {"Shopping", "milk"}}));
    NotesView v = startNotes(env);

    QTest::keyClicks(v.pad, QStringLiteral("line one"));
    QTest::keyClick(v.pad, Qt::Key_Return);
    QTest::keyClicks(v.pad, QStringLiteral("line two"));
    if (clearPad)
        v.clear->click();
    typeName(v.name, name);
    v.save->click();

    QCOMPARE(storedCount(env), Bytes::count16(qint16(count)));
    QCOMPARE(storedText(env, 3 * (savedAs - 1) + 1), name.toLatin1());
    QCOMPARE(storedText(env, 3 * (savedAs - 1) + 2), savedText);
    QCOMPARE(v.rows(), rows);
    QVERIFY(!v.save->isEnabled());
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
    NotesView v = startNotes(env);
    clickRow(v.list, row);
    QTest::keyClicks(v.pad, QStringLiteral("typed"));
    v.remove->click();

    QCOMPARE(storedCount(env), Bytes::count16(2));
    QCOMPARE(storedText(env, 1), records.at(0));
    QCOMPARE(storedText(env, 2), records.at(1));
    QCOMPARE(storedText(env, 4), records.at(2));
    QCOMPARE(storedText(env, 5), records.at(3));
    QCOMPARE(storedText(env, 7), QByteArray());
    QCOMPARE(storedText(env, 8), QByteArray());
    QCOMPARE(v.rows(), rows);
    QCOMPARE(v.pad->toPlainText(), QString());
    QCOMPARE(v.name->text(), QStringLiteral("Note"));
    QVERIFY(!v.save->isEnabled());
}

void TestNotesWindow::viewTrimsOnlyBlanks_data()
{
    QTest::addColumn<bool>("byDoubleClick");
    QTest::newRow("View Note button") << false;
    QTest::newRow("double-click on the list") << true;
}

void TestNotesWindow::viewTrimsOnlyBlanks()
{
    QFETCH(bool, byDoubleClick);

    TestEnvironment env;
    const QByteArray stored("  \r\nmilk\r\n  eggs\t\r\n  ");
    env.writeFile(NotesFile, notesFile({{"Other", "x"}, {"  Shop ", stored}}));
    NotesView v = startNotes(env);
    if (byDoubleClick) {
        doubleClickRow(v.list, 2);
    } else {
        clickRow(v.list, 2);
        QVERIFY2(v.save->isEnabled(), "picking a row puts its name into the name box");
        v.view->click();
    }

    QCOMPARE(v.pad->toPlainText(), QStringLiteral("\nmilk\n  eggs\t\n"));
    QCOMPARE(v.pad->text(), QStringLiteral("\r\nmilk\r\n  eggs\t\r\n"));
    QCOMPARE(v.name->text(), QStringLiteral("Shop"));
    QVERIFY(!v.save->isEnabled());
    QCOMPARE(storedText(env, 5), stored);
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
}

void TestNotesWindow::padLengthLimit()
{
    QFETCH(QString, before);
    QFETCH(bool, selectAll);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, after);

    TestEnvironment env;
    NotesView v = startNotes(env);
    v.pad->setText(before);
    v.pad->moveCursor(QTextCursor::End);
    if (selectAll)
        v.pad->selectAll();
    for (QChar c : typed) {
        if (c == u'\n')
            QTest::keyClick(v.pad, Qt::Key_Return);
        else
            QTest::keyClicks(v.pad, QString(c));
    }
    if (!pasted.isEmpty()) {
        QApplication::clipboard()->setText(pasted);
        v.pad->paste();
    }
    QCOMPARE(v.pad->toPlainText(), after);
    QVERIFY(v.pad->textLength() <= NotesWindow::PadMaxLength);

    // What the pad holds is what the file gets, line breaks as CR LF.
    v.save->click();
    QString expected = after;
    expected.replace(u'\n', QStringLiteral("\r\n"));
    QCOMPARE(storedText(env, 2), expected.toLatin1());
}

void TestNotesWindow::switchingViewsKeepsPadAndSelectsNoNote()
{
    TestEnvironment env;
    env.writeFile(NotesFile, notesFile({{"Alpha", "a text"}, {"Beta", "b text"}}));
    NotesView v = startNotes(env);
    QTest::keyClicks(v.pad, QStringLiteral("unsaved"));
    QTest::keyClick(v.pad, Qt::Key_Return);
    QTest::keyClicks(v.pad, QStringLiteral("thoughts"));
    clickRow(v.list, 2);
    QCOMPARE(v.name->text(), QStringLiteral("Beta"));

    MainWindow *main = env.mainWindow();
    main->ShowChildView(Forms::Form3());
    QVERIFY(!main->subWindowOf(v.form)->isVisible());
    main->ShowChildView(v.form);

    QCOMPARE(v.pad->toPlainText(), QStringLiteral("unsaved\nthoughts"));
    QCOMPARE(v.list->Row(), 0);
    // The name box keeps the picked name; the column title never lands there.
    QCOMPARE(v.name->text(), QStringLiteral("Beta"));
    QVERIFY(v.save->isEnabled());
    // With no note selected, viewing and deleting do nothing.
    v.view->click();
    v.remove->click();
    QCOMPARE(v.pad->toPlainText(), QStringLiteral("unsaved\nthoughts"));
    QCOMPARE(storedCount(env), Bytes::count16(2));
    QCOMPARE(v.list->Rows(), 3);
}

void TestNotesWindow::fullFileListsEveryNoteAndRefusesMore()
{
    TestEnvironment env;
    QList<StoredNote> notes;
    for (int n = 1; n <= 10922; ++n)
        notes.append({"N" + QByteArray::number(n), QByteArray()});
    const QByteArray full = notesFile(notes);
    env.writeFile(NotesFile, full);
    NotesView v = startNotes(env);
    QCOMPARE(v.list->Rows(), 10923);
    QCOMPARE(v.list->TextMatrix(10922, 0), QStringLiteral("10922"));
    QCOMPARE(v.list->TextMatrix(10922, 1), QStringLiteral("N10922"));

    QTest::keyClicks(v.pad, QStringLiteral("one too many"));
    typeName(v.name, QStringLiteral("Extra"));
    v.save->click();

    QCOMPARE(env.messages.size(), 1);
    QCOMPARE(env.fileBytes(NotesFile), full);
    QCOMPARE(v.list->Rows(), 10923);
    QVERIFY2(v.save->isEnabled(), "the unsaved pad can still be saved elsewhere");
}

QTEST_MAIN(TestNotesWindow)
#include "tst_notes_window.moc"
