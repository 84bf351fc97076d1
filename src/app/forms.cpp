#include "app/forms.h"
#include "app/module1.h"

#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "app/about_box.h"
#include "app/main_window.h"
#include "calendar/activities_window.h"
#include "calendar/appointment_editor.h"
#include "calendar/calendar_window.h"
#include "calendar/day_schedule_window.h"
#include "calendar/reminder_window.h"
#include "controls/screen_fit.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "desktop/desktop_window.h"
#include "find/find_window.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"
#include "notes/notes_window.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPointer>

namespace {

QPointer<MainWindow> g_main;
QPointer<AboutBox> g_splash;
QPointer<CalendarWindow> g_form1;
QPointer<NotesWindow> g_form2;
QPointer<AddressBookWindow> g_form3;
QPointer<ActivitiesWindow> g_form4;
QPointer<AppointmentEditor> g_form5;
QPointer<DayScheduleWindow> g_form6;
QPointer<AddressEntryEditor> g_form7;
QPointer<ReminderWindow> g_form8;
QPointer<DesktopWindow> g_form9;
QPointer<DeleteButtonDialog> g_form10;
QPointer<ChangeIconDialog> g_form11;
QPointer<HelpTopicsWindow> g_form12;
QPointer<HelpViewerWindow> g_form13;
QPointer<FindWindow> g_formFind;

// A top-level window: created without parent, registered, then loaded. It keeps to its screen.
template <typename T> T *topLevel(QPointer<T> &slot)
{
    if (!slot) {
        slot = new T;
        ScreenFit::keepOnScreen(slot);
        slot->load();
    }
    return slot.data();
}

// A view: created inside the main window's multiple-document area, then loaded.
template <typename T> T *view(QPointer<T> &slot)
{
    if (!slot) {
        slot = new T;
        if (g_main)
            g_main->addView(slot.data());
        slot->load();
    }
    return slot.data();
}

} // namespace

namespace Forms {

MainWindow *MDIForm1()
{
    return g_main.data();
}

AboutBox *frmSplash()
{
    return topLevel(g_splash);
}

CalendarWindow *Form1()
{
    return view(g_form1);
}

NotesWindow *Form2()
{
    return view(g_form2);
}

AddressBookWindow *Form3()
{
    return view(g_form3);
}

ActivitiesWindow *Form4()
{
    return topLevel(g_form4);
}

AppointmentEditor *Form5()
{
    return topLevel(g_form5);
}

DayScheduleWindow *Form6()
{
    return topLevel(g_form6);
}

AddressEntryEditor *Form7()
{
    return topLevel(g_form7);
}

ReminderWindow *Form8()
{
    return topLevel(g_form8);
}

DesktopWindow *Form9()
{
    return view(g_form9);
}

DeleteButtonDialog *Form10()
{
    return topLevel(g_form10);
}

ChangeIconDialog *Form11()
{
    return topLevel(g_form11);
}

HelpTopicsWindow *Form12()
{
    return topLevel(g_form12);
}

HelpViewerWindow *Form13()
{
    return topLevel(g_form13);
}

FindWindow *FormFind()
{
    return topLevel(g_formFind);
}

QDate CalendarSelectedDate()
{
    return Form1()->Calendar1->selectedDate();
}

bool exists(const char *formName)
{
    const QByteArray name(formName);
    const QObject *forms[] = {g_main,   g_splash, g_form1,  g_form2,   g_form3, g_form4,
                              g_form5,  g_form6,  g_form7,  g_form8,   g_form9, g_form10,
                              g_form11, g_form12, g_form13, g_formFind};
    for (const QObject *form : forms) {
        if (form && form->objectName().toLatin1() == name)
            return true;
    }
    return false;
}

void registerMainWindow(MainWindow *window)
{
    g_main = window;
    // The links between the parts, which go through this layer.
    PartLinks::markCalendarDays = &Module1::MarkCalendarDays;
    PartLinks::checkReminders = &Module1::CheckReminders;
    PartLinks::calendarSelectedDate = &CalendarSelectedDate;
    FindLinks::openAppointment = &CalendarProcedures::OpenAppointment;
    FindLinks::openAddressEntry = &AddressBookProcedures::OpenAddressEntry;
    FindLinks::openNote = &NotesProcedures::OpenNote;
}

void destroyTopLevelForms()
{
    QWidget *forms[] = {g_splash, g_form4,  g_form5,  g_form6,  g_form7,   g_form8,
                        g_form10, g_form11, g_form12, g_form13, g_formFind};
    for (QWidget *form : forms)
        delete form;
}

} // namespace Forms

namespace ProgramFrame {

QWidget *window()
{
    return Forms::MDIForm1();
}

void setEnabled(bool enabled)
{
    if (MainWindow *main = Forms::MDIForm1())
        main->setEnabled(enabled);
}

void bringForward()
{
    if (MainWindow *main = Forms::MDIForm1()) {
        main->show();
        main->raise();
        main->activateWindow();
    }
}

void showView(QWidget *view)
{
    if (MainWindow *main = Forms::MDIForm1())
        main->ShowChildView(view);
}

QByteArray build()
{
    // Looked at once, at the first question: that is the build that runs, also when the file
    // is replaced by another one while it runs.
    static const QByteArray running = [] {
        const QFileInfo program(QCoreApplication::applicationFilePath());
        return QByteArray::number(program.size()) + ' ' +
               QByteArray::number(program.lastModified().toMSecsSinceEpoch());
    }();
    return running;
}

QMdiArea *viewArea()
{
    MainWindow *main = Forms::MDIForm1();
    return main ? main->mdiArea() : nullptr;
}

} // namespace ProgramFrame
