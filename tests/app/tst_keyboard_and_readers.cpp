// Every window works from the keyboard alone and tells a screen reader what it holds: each
// window has a title, each control a name of its own, and the keys of a dialog box do what
// they do in one.
#include "../calendar/calendar_fixtures.h"
#include "../desktop/desktop_fixture.h"
#include "window_walk.h"

#include <QAccessible>
#include <QTreeWidget>

using namespace Fixtures;
using namespace Forms;

namespace {

QString accessibleText(QObject *object, QAccessible::Text text = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(object)->text(text);
}

TestEnvironment *g_env = nullptr;
const QDate today(2024, 1, 5); // the day the program starts on

// One way through a window by keyboard: `open` readies the window and gives the control that
// has the focus, the keys go to it, and `done` tells whether they did their work.
struct KeyPath {
    std::function<QWidget *()> open;
    QKeySequence keys;
    std::function<bool()> done;
};

QWidget *addAppointment()
{
    openDay(today)->Command3->click();
    Form5()->Combo1->setEditText("10:00");
    Form5()->Combo2->setEditText("11:00");
    return Form5()->Combo1;
}

QWidget *addressBookLetters()
{
    MDIForm1()->ShowChildView(Form3());
    return Form3()->Command4[0];
}

} // namespace

Q_DECLARE_METATYPE(KeyPath)

class KeyboardAndReadersTest : public QObject {
    Q_OBJECT

private slots:
    void keyboardPaths_data()
    {
        QTest::addColumn<KeyPath>("path");
        QTest::newRow("appointment editor: Enter in a time box saves") << KeyPath{
            addAppointment, Qt::Key_Return,
            [] { return !Form5()->isVisible() && AppointmentStore().GetAppointmentCount() == 1; }};
        QTest::newRow("appointment editor: Escape leaves without saving, as the close box does")
            << KeyPath{[] { return addAppointment(), Form5()->Text4; }, Qt::Key_Escape,
                       [] {
                           return Form4()->isVisible() && !MDIForm1()->isEnabled() &&
                                  AppointmentStore().GetAppointmentCount() == 0;
                       }};
        QTest::newRow("activities: Enter presses the button in focus")
            << KeyPath{[] { return openDay(today)->Command6; }, Qt::Key_Enter,
                       [] { return Form6()->isVisible() && Form4()->isVisible(); }};
        QTest::newRow("day schedule: Escape hides it")
            << KeyPath{[] { return openDay(today)->Command6->click(), Form6()->DTPicker1; },
                       Qt::Key_Escape, [] { return !Form6()->isVisible(); }};
        QTest::newRow("address entry: Enter saves")
            << KeyPath{[] {
                           return Form3()->Command3->click(), Form7()->setText2(1, "Adams"),
                                  Form7()->Text2[0];
                       },
                       Qt::Key_Return,
                       [] { return !Form7()->isVisible() && AddressStore().GetEntryCount() == 1; }};
        // An access key presses its button as a click would, which ends a moment later.
        QTest::newRow("address book: Alt+A presses \"Add Entry\"") << KeyPath{
            addressBookLetters, Qt::ALT | Qt::Key_A, [] { return Form3()->Command3->isDown(); }};
        QTest::newRow("address book: a typed letter picks its group")
            << KeyPath{addressBookLetters, Qt::Key_M, [] { return Form3()->LetterGroup() == "M"; }};
        QTest::newRow("reminder: Enter answers it") << KeyPath{
            [] {
                return Form8()->showReminders({{"Meeting", "10:00", "11:00", "15"}}), Form8();
            },
            Qt::Key_Return, [] { return !Form8()->isVisible(); }};
        QTest::newRow("delete-button dialog: Enter deletes the button chosen") << KeyPath{
            [] {
                return Form9()->Command2->click(), Form10()->Combo1->setCurrentIndex(0),
                       Form10()->Combo1;
            },
            Qt::Key_Return,
            [] { return !Form10()->isVisible() && buttonCaptions() == QStringList{"two"}; }};
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space})
            QTest::addRow("launcher: %s starts the program in focus",
                          key == Qt::Key_Space ? "Space" : "Enter")
                << KeyPath{[] {
                               MDIForm1()->ShowChildView(Form9());
                               launcherToolbar()->setCurrentIndex(
                                   launcherToolbar()->buttons()->index(1, 0));
                               return launcherToolbar();
                           },
                           key, [] { return g_env->launched == QStringList{"two.exe"}; }};
        QTest::newRow("help topics: Enter opens the topic in focus") << KeyPath{
            [] {
                Form12()->TreeView1->setCurrentItem(Form12()->node("0-1"));
                return Form12()->TreeView1;
            },
            Qt::Key_Return, [] { return Form13()->isVisible() && Form13()->Text1->text() == "1"; }};
        QTest::newRow("notes: Enter on the list views the note")
            << KeyPath{[] {
                           NotesWindow *notes = Form2();
                           notes->Text1->setPlainText("Buy milk");
                           notes->Command1->click();
                           MDIForm1()->ShowChildView(notes);
                           notes->Text1->clear();
                           notes->MSFlexGrid1->setRow(1);
                           return notes->MSFlexGrid1;
                       },
                       Qt::Key_Return, [] { return Form2()->Text1->text() == "Buy milk"; }};
        // View > Calendar gives the focus to the calendar.
        QTest::newRow("calendar: Right moves a day on, Down a week after View > Calendar")
            << KeyPath{[] { return MDIForm1()->Calendar->trigger(), MDIForm1()->focusWidget(); },
                       QKeySequence(Qt::Key_Right, Qt::Key_Down),
                       [] { return Form1()->Calendar1->selectedDate() == QDate(2024, 1, 13); }};
    }

    void keyboardPaths()
    {
        QFETCH(KeyPath, path);
        TestEnvironment env;
        g_env = &env;
        env.writeFile("MyDesk.dat", desktopFile({{"one", "one.exe"}, {"two", "two.exe"}}));
        QVERIFY(env.startProgram());
        QWidget *focus = path.open();
        focus->window()->show();
        focus->window()->activateWindow();
        QCoreApplication::processEvents();
        focus->setFocus();
        QTest::keySequence(focus, path.keys);
        QVERIFY(path.done());
    }

    void tabFollowsTheLayoutPastReadOnlyBoxes_data()
    {
        QTest::addColumn<QStringList>("order"); // the window, then its controls in Tab order
        QTest::newRow("address book")
            << QStringList{"Form3", "Combo1", "Command5", "Command3", "Command2", "Command1"};
        QTest::newRow("address entry")
            << QStringList{"Form7",    "Text2(0)", "Text2(1)", "Text2(2)", "Check1",   "DTPicker1",
                           "Text2(3)", "Text2(4)", "Text2(5)", "Text3(0)", "Text3(1)", "Text3(2)",
                           "Text3(3)", "Text3(4)", "Text3(5)", "Command1", "Command3", "Text2(0)"};
        QTest::newRow("delete-button dialog")
            << QStringList{"Form10", "Combo1", "Command2", "Command1", "Combo1"};
    }

    void tabFollowsTheLayoutPastReadOnlyBoxes()
    {
        QFETCH(QStringList, order);
        TestEnvironment env;
        QVERIFY(env.startProgram());
        const QString form = order.takeFirst();
        MDIForm1()->ShowChildView(Form3());
        if (form != "Form3")
            (form == "Form7" ? Form3()->Command3 : Form9()->Command2)->click();
        QWidget *focus = MDIForm1()->findChild<QWidget *>(form);
        for (QWidget *w : QApplication::topLevelWidgets())
            focus = w->objectName() == form ? w : focus;
        focus = focus->findChild<QWidget *>(order.first());
        focus->setFocus();
        QStringList visited{focus->objectName()};
        while (visited.size() < order.size()) {
            // A date picker takes Tab from section to section first.
            for (int i = 0; i < 4 && focus->window()->focusWidget() == focus; ++i)
                QTest::keyClick(focus, Qt::Key_Tab);
            focus = focus->window()->focusWidget();
            visited << focus->objectName();
        }
        QCOMPARE(visited, order);
    }

    // Every window has a title and every control a name of its own (a control inside a frame
    // that takes the frame's title shares it with its neighbours); access keys are unique in
    // their window and leave the main window's menus (F, V, H) alone in the views. The day
    // table tells the selected day's markers, and a launcher button without a caption goes by
    // its program's name.
    void everyWindowAndControlIsNamed()
    {
        TestEnvironment env;
        env.writeFile("MyDesk.dat", desktopFile({{"", "C:\\Tools\\edit.exe"}}));
        QVERIFY(env.startProgram());
        QStringList faults;
        for (QWidget *window : everyWindow()) {
            // A view's title stands on the frame that the main window gives it.
            if (accessibleText(window->isWindow() ? window : window->parentWidget()).isEmpty())
                faults << window->objectName() + " has no title";
            // The views inside the main window count as windows of their own.
            const QWidget *views = window->isWindow() ? MDIForm1()->mdiArea() : nullptr;
            QHash<QString, QString> names;
            for (QWidget *control : window->findChildren<QWidget *>()) {
                if (control->focusPolicy() == Qt::NoFocus || control->isHidden() ||
                    control->focusProxy() || (views && views->isAncestorOf(control)) ||
                    control->window()->windowType() == Qt::Popup)
                    continue;
                const QString where = window->objectName() + u'.' + control->objectName();
                const auto *button = qobject_cast<QAbstractButton *>(control);
                const QString key = button ? QKeySequence::mnemonic(button->text()).toString() : "";
                for (const QString &name : {accessibleText(control), key}) {
                    if (name.isEmpty() && name != key)
                        faults << where + " has no name";
                    else if (names.contains(name) && !name.isEmpty())
                        faults << names.value(name) + " and " + where + " are both " + name;
                    names.insert(name, where);
                }
                if (views == nullptr && QStringList{"Alt+F", "Alt+V", "Alt+H"}.contains(key))
                    faults << where + " takes the menu's " + key;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));

        QVERIFY(launcherToolbar()->buttons()->rowCount() == 1);
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(launcherToolbar());
        QCOMPARE(bar->child(0)->text(QAccessible::Name), "edit.exe");

        appointment("20240105-1");
        birthday("Adams", "Ann", "05/01/1980");
        Module1::MarkCalendarDays();
        const QString day = QLocale().toString(today, QLocale::LongFormat);
        QWidget *days = Form1()->findChild<QWidget *>("qt_calendar_calendarview");
        QCOMPARE(accessibleText(days, QAccessible::Description),
                 day + ": appointments and birthday");
        Form1()->Calendar1->setSelectedDate(QDate(2024, 1, 6));
        QVERIFY(accessibleText(days, QAccessible::Description).endsWith(": nothing marked"));
    }
};

QTEST_MAIN(KeyboardAndReadersTest)
#include "tst_keyboard_and_readers.moc"
