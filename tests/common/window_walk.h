// What the tests that look at every window share: the headers of all windows and their
// controls, the list of all windows, and a walk that brings each window on screen in turn.
#pragma once

#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "app/about_box.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "calendar/activities_window.h"
#include "calendar/appointment_editor.h"
#include "calendar/calendar_window.h"
#include "calendar/day_schedule_window.h"
#include "calendar/reminder_window.h"
#include "controls/date_picker.h"
#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "controls/twips.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "desktop/desktop_window.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"
#include "notes/notes_window.h"
#include "test_support.h"

#include "find/find_window.h"
#include <QApplication>
#include <QCheckBox>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <functional>

// Every window of the program, the main window and the four views among them.
inline QList<QWidget *> everyWindow()
{
    return {Forms::MDIForm1(), Forms::frmSplash(), Forms::Form1(),  Forms::Form2(),
            Forms::Form3(),    Forms::Form4(),     Forms::Form5(),  Forms::Form6(),
            Forms::Form7(),    Forms::Form8(),     Forms::Form9(),  Forms::Form10(),
            Forms::Form11(),   Forms::Form12(),    Forms::Form13(), Forms::FormFind()};
}

// The top-level windows on screen.
inline QList<QWidget *> windowsOnScreen()
{
    QList<QWidget *> shown = QApplication::topLevelWidgets();
    shown.removeIf([](const QWidget *w) { return !w->isVisible(); });
    return shown;
}

// Brings every window of the program that `main` runs on screen, a step at a time as a user
// reaches it. After each step `look` gets the view that the step put in front, or nullptr.
inline void walkEveryWindow(MainWindow *main, const std::function<void(QWidget *view)> &look)
{
    const auto stepDone = [&](QWidget *view) {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        look(view);
    };
    stepDone(Forms::Form1());
    main->ShowChildView(Forms::Form2());
    stepDone(Forms::Form2());
    main->ShowChildView(Forms::Form3());
    Forms::Form3()->Command4[0]->click(); // a letter group highlighted
    stepDone(Forms::Form3());
    Forms::Form3()->Command5->click(); // the details
    Forms::Form3()->Command3->click(); // the entry editor
    stepDone(nullptr);
    main->ShowChildView(Forms::Form9());
    Forms::Form9()->Command2->click(); // the delete-button dialog
    stepDone(Forms::Form9());
    Forms::Form10()->Command2->click();
    Forms::Form9()->Command3->click(); // the change-icon dialog
    stepDone(nullptr);
    Forms::Form11()->Command2->click();
    Forms::Form1()->Calendar1_DblClick(); // the day's activities
    Forms::Form4()->Check1->setChecked(true);
    Forms::Form4()->Command6->click(); // the day schedule
    stepDone(nullptr);
    Forms::Form4()->Command3->click(); // the appointment editor
    Forms::Form5()->Check1->setChecked(true);
    Forms::Form8()->showReminders({{"Dentist", "09:00", "09:30", "15"}});
    stepDone(nullptr);
    Forms::frmSplash()->show();
    Forms::Form12()->show();
    Module1::ShowHelpPage(11);
    Forms::Form13()->show();
    stepDone(nullptr);
    Forms::FormFind()->showFind();
    stepDone(nullptr);
}
