// Every window works from the keyboard alone and tells a screen reader what it holds: each
// window has a title, each control a name of its own, and the keys of a dialog box do what
// they do in one.
#include "../calendar/calendar_fixtures.h"
#include "../desktop/desktop_fixture.h"
#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "app/about_box.h"
#include "calendar/appointment_editor.h"
#include "calendar/day_schedule_window.h"
#include "calendar/reminder_window.h"
#include "controls/date_picker.h"
#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"
#include "notes/notes_window.h"

#include <QAccessible>
#include <QMdiArea>
#include <QTreeWidget>

using namespace Fixtures;

namespace {

QString accessibleText(QObject *object, QAccessible::Text text = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(object)->text(text);
}

// Every window of the program, the four views and the main window among them.
QList<QWidget *> everyWindow()
{
    return {Forms::MDIForm1(), Forms::frmSplash(), Forms::Form1(), Forms::Form2(),
            Forms::Form3(),    Forms::Form4(),     Forms::Form5(), Forms::Form6(),
            Forms::Form7(),    Forms::Form8(),     Forms::Form9(), Forms::Form10(),
            Forms::Form11(),   Forms::Form12(),    Forms::Form13()};
}

TestEnvironment *g_env = nullptr;

// One way through a window by keyboard: `open` readies the window and gives the control that
// has the focus, the key goes to it, and `done` tells whether the key did its work.
struct KeyPath {
    const char *name;
    std::function<QWidget *()> open;
    QKeyCombination key;
    std::function<bool()> done;
};

AppointmentEditor *addAppointment()
{
    openDay(QDate(2024, 1, 5))->Command3->click();
    Forms::Form5()->Combo1->setEditText(QStringLiteral("10:00"));
    Forms::Form5()->Combo2->setEditText(QStringLiteral("11:00"));
    return Forms::Form5();
}

QWidget *launcherOnSecondButton()
{
    Forms::MDIForm1()->ShowChildView(Forms::Form9());
    launcherToolbar()->setCurrentIndex(launcherToolbar()->buttons()->index(1, 0));
    return launcherToolbar();
}

QWidget *viewCalendar()
{
    Forms::MDIForm1()->Calendar->trigger();
    return Forms::MDIForm1()->focusWidget();
}

// The key goes to the control in focus, which moves the day only when it is the calendar.
bool calendarOn(int day)
{
    return Forms::Form1()->Calendar1->selectedDate() == QDate(2024, 1, day);
}

const QList<KeyPath> &keyPaths()
{
    using K = QKeyCombination;
    static const QList<KeyPath> paths = {
        {"appointment editor: Enter in a time box saves", [] { return addAppointment()->Combo1; },
         K(Qt::Key_Return),
         [] {
             return !Forms::Form5()->isVisible() && AppointmentStore().GetAppointmentCount() == 1;
         }},
        {"appointment editor: Escape leaves without saving, as the close box does",
         [] { return addAppointment()->Text4; }, K(Qt::Key_Escape),
         [] {
             return Forms::Form4()->isVisible() && AppointmentStore().GetAppointmentCount() == 0 &&
                    !Forms::MDIForm1()->isEnabled();
         }},
        {"activities: Enter presses the button in focus",
         [] { return openDay(QDate(2024, 1, 5))->Command6; }, K(Qt::Key_Enter),
         [] { return Forms::Form6()->isVisible() && Forms::Form4()->isVisible(); }},
        {"day schedule: Escape hides it",
         [] {
             openDay(QDate(2024, 1, 5))->Command6->click();
             return Forms::Form6()->DTPicker1;
         },
         K(Qt::Key_Escape), [] { return !Forms::Form6()->isVisible(); }},
        {"address entry: Enter saves",
         [] {
             Forms::Form3()->Command3->click();
             Forms::Form7()->setText2(1, QStringLiteral("Adams"));
             return Forms::Form7()->Text2[0];
         },
         K(Qt::Key_Return),
         [] { return !Forms::Form7()->isVisible() && AddressStore().GetEntryCount() == 1; }},
        // An access key presses its button as a click would, which ends a moment later.
        {"address book: Alt+A presses \"Add Entry\"",
         [] {
             Forms::MDIForm1()->ShowChildView(Forms::Form3());
             return Forms::Form3()->Command4[0];
         },
         K(Qt::ALT | Qt::Key_A), [] { return Forms::Form3()->Command3->isDown(); }},
        {"reminder: Enter answers it",
         [] {
             Forms::Form8()->showReminders({{"Meeting", "10:00", "11:00", "15"}});
             return Forms::Form8();
         },
         K(Qt::Key_Return), [] { return !Forms::Form8()->isVisible(); }},
        {"delete-button dialog: Enter deletes the button chosen",
         [] {
             Forms::Form9()->Command2->click();
             Forms::Form10()->Combo1->setCurrentIndex(0);
             return Forms::Form10()->Combo1;
         },
         K(Qt::Key_Return),
         [] { return !Forms::Form10()->isVisible() && buttonCaptions() == QStringList{"two"}; }},
        {"launcher: Enter starts the program in focus", launcherOnSecondButton, K(Qt::Key_Return),
         [] { return g_env->launched == QStringList{"two.exe"}; }},
        {"launcher: Space starts the program in focus", launcherOnSecondButton, K(Qt::Key_Space),
         [] { return g_env->launched == QStringList{"two.exe"}; }},
        {"help topics: Enter opens the topic in focus",
         [] {
             Forms::Form12()->TreeView1->setCurrentItem(Forms::Form12()->node("0-1"));
             return Forms::Form12()->TreeView1;
         },
         K(Qt::Key_Return),
         [] { return Forms::Form13()->isVisible() && Forms::Form13()->Text1->text() == "1"; }},
        {"address book: a typed letter picks its group",
         [] {
             Forms::MDIForm1()->ShowChildView(Forms::Form3());
             return Forms::Form3()->Command4[0];
         },
         K(Qt::Key_M), [] { return Forms::Form3()->LetterGroup() == "M"; }},
        {"notes: Enter on the list views the note",
         [] {
             NotesWindow *notes = Forms::Form2();
             notes->Text1->setPlainText("Buy milk");
             notes->Command1->click();
             Forms::MDIForm1()->ShowChildView(notes);
             notes->Text1->clear();
             notes->MSFlexGrid1->setRow(1);
             return notes->MSFlexGrid1;
         },
         K(Qt::Key_Return), [] { return Forms::Form2()->Text1->text() == "Buy milk"; }},
        {"calendar: Right moves a day on after View > Calendar", viewCalendar, K(Qt::Key_Right),
         [] { return calendarOn(6); }},
        {"calendar: Down moves a week on after View > Calendar", viewCalendar, K(Qt::Key_Down),
         [] { return calendarOn(12); }},
    };
    return paths;
}

} // namespace

class KeyboardAndReadersTest : public QObject {
    Q_OBJECT

private slots:
    void keyboardPaths_data()
    {
        QTest::addColumn<int>("path");
        for (int i = 0; i < keyPaths().size(); ++i)
            QTest::newRow(keyPaths().at(i).name) << i;
    }

    void keyboardPaths()
    {
        QFETCH(int, path);
        const KeyPath &p = keyPaths().at(path);
        TestEnvironment env;
        g_env = &env;
        env.writeFile("MyDesk.dat", desktopFile({{"one", "one.exe"}, {"two", "two.exe"}}));
        QVERIFY(startOn(env, QDate(2024, 1, 5)));
        QWidget *focus = p.open();
        focus->window()->show();
        focus->window()->activateWindow();
        QCoreApplication::processEvents();
        focus->setFocus();
        QTest::keyClick(focus, p.key.key(), p.key.keyboardModifiers());
        QVERIFY(p.done());
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
        QVERIFY(startOn(env, QDate(2024, 1, 5)));
        const QString form = order.takeFirst();
        Forms::MDIForm1()->ShowChildView(Forms::Form3());
        if (form != "Form3")
            (form == "Form7" ? Forms::Form3()->Command3 : Forms::Form9()->Command2)->click();
        QWidget *focus = Forms::MDIForm1()->findChild<QWidget *>(form);
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
        QVERIFY(startOn(env, QDate(2024, 1, 5)));
        QStringList faults;
        for (QWidget *window : everyWindow()) {
            // A view's title stands on the frame that the main window gives it.
            if (accessibleText(window->isWindow() ? window : window->parentWidget()).isEmpty())
                faults << window->objectName() + " has no title";
            // The views inside the main window count as windows of their own.
            const QWidget *views = window->isWindow() ? Forms::MDIForm1()->mdiArea() : nullptr;
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
        const QString day = QLocale().toString(QDate(2024, 1, 5), QLocale::LongFormat);
        QWidget *days = Forms::Form1()->findChild<QWidget *>("qt_calendar_calendarview");
        QCOMPARE(accessibleText(days, QAccessible::Description),
                 day + ": appointments and birthday");
        Forms::Form1()->Calendar1->setSelectedDate(QDate(2024, 1, 6));
        QVERIFY(accessibleText(days, QAccessible::Description).endsWith(": nothing marked"));
    }
};

QTEST_MAIN(KeyboardAndReadersTest)
#include "tst_keyboard_and_readers.moc"
