#include "app/main_window.h"

#include "addressbook/address_book_window.h"
#include "app/about_box.h"
#include "app/data_files.h"
#include "app/file_import.h"
#include "app/forms.h"
#include "app/module1.h"
#include "app/program_style.h"
#include "app/splash_picture.h"
#include "calendar/calendar_window.h"
#include "controls/lazy_icon.h"
#include "controls/pictures.h"
#include "controls/screen_fit.h"
#include "controls/seams.h"
#include "controls/twips.h"
#include "desktop/desktop_window.h"
#include "find/find_window.h"
#include "help/help_topics_window.h"
#include "notes/notes_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include <cmath>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    ProgramStyle::install();
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Tallowby"));
    setWindowIcon(LazyLogoIcon());

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    // A view that needs more room than the window has on its screen can be scrolled.
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    buildMenus();
    buildToolbar();
    // The client area is designed at 7920 by 6435 twips, below the menu bar and toolbar; the
    // window opens no larger than its screen has room for.
    resize(twipsX(7920), twipsY(6435) + menuBar()->sizeHint().height() +
                             Toolbar1->sizeHint().expandedTo(Toolbar1->minimumSize()).height());
    ScreenFit::keepOnScreen(this);

    // The reminder timer runs from the creation of the main window to the end of the program.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(60000);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    Timer1->start();

    Forms::registerMainWindow(this);
}

MainWindow::~MainWindow()
{
    Forms::registerMainWindow(nullptr);
}

void MainWindow::buildMenus()
{
    auto addItem = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    Import = addItem(file, "Import", QStringLiteral("&Import..."));
    connect(Import, &QAction::triggered, this, [this] { FileImport::ImportChosenFile(this); });
    file->addSeparator();
    exit = addItem(file, "exit", QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, [] { Module1::ExitProgram(); });

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View"));
    Calendar = addItem(view, "Calendar", QStringLiteral("&Calendar"));
    Notes = addItem(view, "Notes", QStringLiteral("&Notes"));
    ABook = addItem(view, "ABook", QStringLiteral("&Address Book"));
    MDesk = addItem(view, "MDesk", QStringLiteral("My &Desktop"));
    connect(Calendar, &QAction::triggered, this, [this] { ShowChildView(Forms::Form1()); });
    connect(Notes, &QAction::triggered, this, [this] { ShowChildView(Forms::Form2()); });
    connect(ABook, &QAction::triggered, this, [this] { ShowChildView(Forms::Form3()); });
    connect(MDesk, &QAction::triggered, this, [this] { ShowChildView(Forms::Form9()); });
    view->addSeparator();
    Find = addItem(view, "Find", QStringLiteral("&Find..."));
    Find->setShortcut(QKeySequence::Find);
    connect(Find, &QAction::triggered, this, [] { Forms::FormFind()->showFind(); });

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("H"));
    About = addItem(help, "About", QStringLiteral("&About"));
    Help = addItem(help, "Help", QStringLiteral("Help &Topics"));
    connect(About, &QAction::triggered, this, &MainWindow::showAbout);
    connect(Help, &QAction::triggered, this, &MainWindow::showHelpTopics);
}

void MainWindow::buildToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(24, 22));
    Toolbar1->setMinimumHeight(twipsY(720));
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    const struct {
        const char *name;
        const char *caption;
        QPixmap picture;
    } buttons[] = {
        {"Button1", "Calendar", Pictures::toolbarCalendar()},
        {"Button2", "Notes", Pictures::toolbarNotes()},
        {"Button3", "Address Book", Pictures::toolbarAddressBook()},
        {"Button4", "My Desktop", Pictures::toolbarDesktop()},
    };
    for (const auto &b : buttons) {
        QAction *action = Toolbar1->addAction(QIcon(b.picture), QString::fromLatin1(b.caption));
        action->setObjectName(QString::fromLatin1(b.name));
    }
    connect(Toolbar1, &QToolBar::actionTriggered, this, &MainWindow::Toolbar1_ButtonClick);
}

void MainWindow::Toolbar1_ButtonClick(QAction *button)
{
    const QString caption = button->text();
    if (caption == QLatin1String("Calendar"))
        ShowChildView(Forms::Form1());
    else if (caption == QLatin1String("Notes"))
        ShowChildView(Forms::Form2());
    else if (caption == QLatin1String("Address Book"))
        ShowChildView(Forms::Form3());
    else if (caption == QLatin1String("My Desktop"))
        ShowChildView(Forms::Form9());
}

void MainWindow::Timer1_Timer()
{
    Module1::CheckReminders();
}

QMdiSubWindow *MainWindow::addView(QWidget *view)
{
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(view);
    sub->setObjectName(view->objectName() + QStringLiteral("Frame"));
    // A view is shown maximized the first time; restored, it takes its designed size.
    sub->resize(sub->sizeHint().expandedTo(sub->minimumSizeHint()));
    sub->setWindowIcon(view->windowIcon().isNull() ? LazyLogoIcon() : view->windowIcon());
    // Closing a view destroys it; the next command that shows it creates it anew.
    sub->setAttribute(Qt::WA_DeleteOnClose);
    return sub;
}

QMdiSubWindow *MainWindow::subWindowOf(const QWidget *view) const
{
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        if (sub->widget() == view)
            return sub;
    }
    return nullptr;
}

void MainWindow::ShowChildView(QWidget *target)
{
    // Views not built yet have nothing to hide.
    auto hideOthers = [&] {
        for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
            if (sub->widget() != target)
                sub->hide();
        }
    };
    hideOthers();
    QMdiSubWindow *sub = subWindowOf(target);
    if (!sub)
        return;
    target->show();
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
    // Activating a maximized sub-window may bring back the one that was active before.
    hideOthers();
    sub->raise();
    // The keyboard goes to the view's first control: the calendar's days, the pad, the first
    // letter group, the launcher's first command.
    for (QWidget *w = target->nextInFocusChain(); w != target; w = w->nextInFocusChain()) {
        if (target->isAncestorOf(w) && w->isVisible() && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    target->setFocus();
}

void MainWindow::showAbout()
{
    AboutBox *box = Forms::frmSplash();
    box->show();
    box->raise();
    box->activateWindow();
}

void MainWindow::showHelpTopics()
{
    HelpTopicsWindow *topics = Forms::Form12();
    topics->show();
    topics->raise();
    topics->activateWindow();
}

bool MainWindow::startUp()
{
    // The About box without its button is the splash screen.
    QPointer<AboutBox> splash = Forms::frmSplash();
    splash->Command1->hide();
    const QSize designed = splash->size();
    splash->show();
    // The splash as an earlier start drew it on the same screen, with the same style, palette,
    // fonts and texts, spares drawing it anew; a start that finds none keeps its own drawing.
    // A box made smaller to fit a small screen shows its controls in a scroll area, and is
    // always drawn. (Nothing has been painted yet.)
    const QString pictureFile =
        splash->size() == designed ? SplashPicture::fileFor(*splash, cacheFolder) : QString();
    const QImage picture = SplashPicture::load(pictureFile, *splash);
    splash->showPicture(picture);

    // The splash period ends two whole seconds (rounded half to even) after it began. Across
    // midnight the clock starts again at 0, so a reading below the start counts a day more.
    const double begin = Clock::SecondsSinceMidnight();
    const double end = std::nearbyint(begin) + 2;
    auto elapsedClock = [begin] {
        double now = Clock::SecondsSinceMidnight();
        if (now < begin)
            now += 86400;
        return now;
    };

    QString error;
    Module1::DataFolder = WorkingFolder(&error);
    if (Module1::DataFolder.isEmpty() || !Module1::OpenDataFiles(&error)) {
        if (splash)
            splash->hide();
        MessageBox::show(error);
        return false;
    }
    Module1::FileDialogOpen = 0;
    Module1::Reminders = {};
    // The calendar opens in front; the notes, the address book and My Desktop are built the
    // first time they are shown, so that start-up does only what the first view needs.
    // The calendar's first marking may take the month's marks from the cache folder, kept
    // there for this data folder by an earlier run when its files have not changed since.
    const QByteArray folderKey =
        QCryptographicHash::hash(Module1::DataFolder.toUtf8(), QCryptographicHash::Sha1);
    Module1::KeptMarksFile =
        cacheFolder.isEmpty()
            ? QString()
            : QDir(cacheFolder)
                  .filePath(QStringLiteral("marks-%1.bin")
                                .arg(QString::fromLatin1(folderKey.toHex().left(16))));
    Module1::TakeKeptMarks = true;
    ShowChildView(Forms::Form1());
    Module1::TakeKeptMarks = false;
    // The frame and its views are drawn behind the splash during the wait.
    setWindowState(Qt::WindowNoState);
    show();
    if (splash)
        splash->raise();

    // Wait out the rest of the period with the event loop running, so the splash paints. A
    // clock that is set back never holds the program longer than the period in real time.
    QElapsedTimer guard;
    guard.start();
    QCoreApplication::processEvents();
    if (picture.isNull() && !pictureFile.isEmpty() && splash && splash->isVisible())
        SplashPicture::store(pictureFile, splash->grab().toImage());
    while (elapsedClock() < end && guard.elapsed() < 2600) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }

    if (splash) {
        splash->hide();
        splash->showPicture({});
        splash->Command1->show();
    }
    setWindowState(Qt::WindowNoState);
    setEnabled(true);
    show();
    return true;
}

QMenu *MainWindow::createPopupMenu()
{
    // The toolbar is part of the frame: no context menu offers to hide it, since nothing would
    // bring it back.
    return nullptr;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // While a window of the program keeps the frame disabled (the activities window, an editor
    // behind it, a launcher dialog), the frame's close box does nothing, as a disabled window's
    // does: ending here would drop what is typed there. That window comes to the front
    // instead. The end of the desktop session still ends the program.
    bool sessionEnding = false;
#ifndef QT_NO_SESSIONMANAGER
    sessionEnding = qApp->isSavingSession();
#endif
    if (!isEnabled() && !sessionEnding) {
        event->ignore();
        const QWidget *about = Forms::exists("frmSplash") ? Forms::frmSplash() : nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w != this && w != about && w->isVisible()) {
                w->raise();
                w->activateWindow();
            }
        }
        return;
    }
    event->accept();
    Module1::ExitProgram();
}
