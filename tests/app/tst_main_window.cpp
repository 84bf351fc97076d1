// Start-up, the main window's commands, shutdown and the About box, driven in-process.
#include "app/about_box.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "calendar/activities_window.h"
#include "calendar/calendar_window.h"
#include "controls/twips.h"
#include "notes/notes_window.h"
#include "records/record_file.h"
#include "test_support.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

struct FileLayout {
    const char *name;
    int countOffset;
};
const FileLayout kLayouts[] = {
    {"Appoint.dat", 896}, {"Notes.dat", 1000}, {"AddBook.dat", 1920}, {"MyDesk.dat", 384}};

QStringList visibleViews(MainWindow *main)
{
    QStringList names;
    for (QMdiSubWindow *sub : main->mdiArea()->subWindowList()) {
        if (sub->isVisible())
            names.append(sub->widget()->objectName());
    }
    return names;
}

QAction *action(MainWindow *main, const char *name)
{
    auto *a = main->findChild<QAction *>(QString::fromLatin1(name));
    if (!a)
        qWarning("no action %s", name);
    return a;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void startInAnEmptyFolderCreatesTheFourFiles()
    {
        TestEnvironment env;
        QVERIFY(env.startProgram());
        for (const FileLayout &f : kLayouts) {
            const QByteArray bytes = env.fileBytes(QString::fromLatin1(f.name));
            QVERIFY2(bytes.size() >= f.countOffset + 4, f.name);
            QCOMPARE(bytes.left(f.countOffset), QByteArray(f.countOffset, '\0'));
            QCOMPARE(bytes.mid(f.countOffset, 4), QByteArray("\x02\x00\x00\x00", 4));
            QVERIFY(bytes.mid(f.countOffset + 4).count('\0') == bytes.size() - f.countOffset - 4);
        }
        QCOMPARE(Module1::DataFolder, QDir::currentPath());
        QCOMPARE(Module1::FileDialogOpen, qint16(0));
        QVERIFY(env.messages.isEmpty());
    }

    void startOnExistingFilesChangesNoByte()
    {
        QByteArray appoint;
        QByteArray notes;
        QByteArray addBook;
        {
            TestEnvironment env;
            // A tag-3 count, and a count record whose tag is unknown: both stay as they are.
            env.writeFile("Appoint.dat",
                          QByteArray(896, '\0') + Bytes::count32(2) + QByteArray(20, '\0'));
            env.writeFile("Notes.dat", QByteArray(1000, '\0') + QByteArray("\x09\x00\x01\x00", 4));
            QVERIFY(env.startProgram());
            appoint = env.fileBytes("Appoint.dat");
            notes = env.fileBytes("Notes.dat");
            addBook = env.fileBytes("AddBook.dat");
            QCOMPARE(appoint.mid(896, 6), Bytes::count32(2));
            QCOMPARE(appoint.size(), 896 + 26);
            QCOMPARE(notes.mid(1000, 4), QByteArray("\x09\x00\x01\x00", 4));
        }
        TestEnvironment second; // a second start on the same files
        second.writeFile("Appoint.dat", appoint);
        second.writeFile("Notes.dat", notes);
        second.writeFile("AddBook.dat", addBook);
        QVERIFY(second.startProgram());
        QCOMPARE(second.fileBytes("Appoint.dat"), appoint);
        QCOMPARE(second.fileBytes("Notes.dat"), notes);
        QCOMPARE(second.fileBytes("AddBook.dat"), addBook);
    }

    void aFileThatCannotBeOpenedEndsStartUpWithAMessage()
    {
        TestEnvironment env;
        QVERIFY(QDir(env.folder()).mkdir("AddBook.dat")); // a folder where the file should be
        QVERIFY(!env.startProgram());
        QCOMPARE(env.messages.size(), 1);
        QVERIFY2(env.messages[0].contains(QLatin1String("AddBook.dat")),
                 qPrintable(env.messages[0]));
        for (int n = 1; n <= 4; ++n)
            QVERIFY(!IsRecordFileOpen(n));
    }

    void splashShowsTheBoxWithoutItsButtonThenAboutShowsItWithIt()
    {
        TestEnvironment env;
        bool splashSeen = false;
        bool buttonSeenDuringSplash = false;
        bool frameSeenBehindSplash = false;
        QDateTime t(QDate(2024, 1, 5), QTime(9, 0));
        Clock::setSource([&] {
            if (Forms::exists("frmSplash") && Forms::frmSplash()->isVisible()) {
                splashSeen = true;
                buttonSeenDuringSplash |= Forms::frmSplash()->Command1->isVisible();
                frameSeenBehindSplash |= Forms::MDIForm1() && Forms::MDIForm1()->isVisible() &&
                                         Forms::exists("Form1") && Forms::Form1()->isVisible();
            }
            t = t.addMSecs(700);
            return t;
        });
        MainWindow *main = env.startProgram();
        QVERIFY(main);
        QVERIFY(splashSeen);
        QVERIFY(!buttonSeenDuringSplash);
        QVERIFY(frameSeenBehindSplash);
        QVERIFY(!Forms::frmSplash()->isVisible());

        action(main, "About")->trigger();
        AboutBox *box = Forms::frmSplash();
        QVERIFY(box->isVisible());
        QVERIFY(box->Command1->isVisible());
        QCOMPARE(box->Command1->text(), QStringLiteral("Close"));
        QCOMPARE(box->lblProductName->text(), QStringLiteral("Tallowby"));
        QCOMPARE(box->Label4->text(), QStringLiteral("Version 1.2"));
        QCOMPARE(box->Label3->text(), QStringLiteral("Contact us:"));
        QCOMPARE(box->palette().color(QPalette::Window), QColor(192, 255, 255));
        action(main, "About")->trigger(); // a second About brings the same box to the front
        QCOMPARE(Forms::frmSplash(), box);

        QPointer<AboutBox> closed = box;
        box->Command1->click();
        QTRY_VERIFY(closed.isNull()); // "Close" unloads the box
        action(main, "About")->trigger();
        QVERIFY(Forms::frmSplash()->Command1->isVisible());
        Forms::frmSplash()->close();
    }

    void startJustBeforeMidnightEndsItsSplashTwoSecondsLater()
    {
        TestEnvironment env;
        QDateTime t(QDate(2024, 1, 5), QTime(23, 59, 58, 600));
        int reads = 0;
        Clock::setSource([&] {
            ++reads;
            t = t.addMSecs(250);
            return t;
        });
        QElapsedTimer real;
        real.start();
        QVERIFY(env.startProgram());
        // The period ends at 00:00:01 of the next day, a few clock readings later, and not a
        // day later nor by the real-time guard.
        QVERIFY2(real.elapsed() < 2000, QByteArray::number(real.elapsed()));
        QVERIFY(reads < 40);
    }

    void afterStartUpTheCalendarIsMaximizedInFront()
    {
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QVERIFY(main->isVisible());
        QVERIFY(main->isEnabled());
        QCOMPARE(main->mdiArea()->subWindowList().size(), 4);
        QMdiSubWindow *calendar = main->subWindowOf(Forms::Form1());
        QVERIFY(calendar->isMaximized());
        QCOMPARE(main->mdiArea()->activeSubWindow(), calendar);
        QCOMPARE(main->Timer1->objectName(), QStringLiteral("Timer1"));
        QCOMPARE(main->Timer1->interval(), 60000);
        QVERIFY(main->Timer1->isActive());
    }

    void menusAndToolbar()
    {
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        const QList<QAction *> menus = main->menuBar()->actions();
        QStringList menuTexts;
        for (QAction *m : menus)
            menuTexts.append(m->text());
        QCOMPARE(menuTexts.mid(0, 3), (QStringList{QStringLiteral("&File"), QStringLiteral("&View"),
                                                   QStringLiteral("&Help")}));
        const std::pair<const char *, const char *> items[] = {
            {"exit", "E&xit"},          {"Calendar", "&Calendar"}, {"Notes", "&Notes"},
            {"ABook", "&Address Book"}, {"MDesk", "My &Desktop"},  {"About", "&About"},
            {"Help", "Help &Topics"}};
        for (const auto &[name, caption] : items)
            QCOMPARE(action(main, name)->text(), QString::fromLatin1(caption));
        QStringList captions;
        for (QAction *a : main->Toolbar1->actions()) {
            captions.append(a->text());
            QVERIFY(!a->icon().isNull());
        }
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("Calendar"), QStringLiteral("Notes"),
                              QStringLiteral("Address Book"), QStringLiteral("My Desktop")}));
        QCOMPARE(main->Toolbar1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }

    void eachViewCommandShowsExactlyItsView_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("view");
        const char *const views[][4] = {{"Calendar", "Button1", "Form1", "Calendar"},
                                        {"Notes", "Button2", "Form2", "Notes"},
                                        {"ABook", "Button3", "Form3", "Address Book"},
                                        {"MDesk", "Button4", "Form9", "My Desktop"}};
        for (const auto &v : views) {
            QTest::addRow("View > %s", v[3]) << v[0] << v[2];
            QTest::addRow("toolbar %s", v[3]) << v[1] << v[2];
        }
    }
    void eachViewCommandShowsExactlyItsView()
    {
        QFETCH(QString, command);
        QFETCH(QString, view);
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QAction *a = action(main, command.toLatin1().constData());
        QVERIFY(a);
        a->trigger();
        QCOMPARE(visibleViews(main), QStringList{view});
        QMdiSubWindow *sub = main->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        QCOMPARE(sub->widget()->objectName(), view);
        QVERIFY(sub->isMaximized());
        a->trigger(); // the same command again changes nothing visible
        QCOMPARE(visibleViews(main), QStringList{view});
    }

    void aHiddenViewKeepsWhatWasTyped()
    {
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QWidget *notes = Forms::Form2();
        auto *probe = new QLineEdit(notes);
        probe->setText(QStringLiteral("typed"));
        action(main, "Notes")->trigger();
        action(main, "ABook")->trigger();
        QVERIFY(!notes->isVisible());
        action(main, "Notes")->trigger();
        QCOMPARE(probe->text(), QStringLiteral("typed"));
    }

    void aClosedViewIsCreatedAnewByTheNextCommand()
    {
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QPointer<QWidget> notes = Forms::Form2();
        action(main, "Notes")->trigger();
        main->subWindowOf(notes)->close();
        QTRY_VERIFY(notes.isNull());
        action(main, "Notes")->trigger();
        QCOMPARE(visibleViews(main), QStringList{QStringLiteral("Form2")});
        QCOMPARE(main->mdiArea()->subWindowList().size(), 4);
    }

    void exitAndCloseBoxEndTheProgramAlike_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<bool>("dayOpen");
        QTest::newRow("File > Exit") << true << false;
        QTest::newRow("close box") << false << false;
        QTest::newRow("close box, ignored while a day is open") << false << true;
    }
    void exitAndCloseBoxEndTheProgramAlike()
    {
        QFETCH(bool, byMenu);
        QFETCH(bool, dayOpen);
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QVERIFY(IsRecordFileOpen(1));
        if (dayOpen) {
            // The open day disables the frame; its close box then ends nothing.
            Forms::Form1()->Calendar1_DblClick();
            QVERIFY(!main->isEnabled());
            QVERIFY(!main->close());
            QVERIFY(IsRecordFileOpen(1) && main->isVisible() && Forms::Form4()->isVisible());
            Forms::Form4()->Command1->click();
        }
        if (byMenu)
            action(main, "exit")->trigger();
        else
            QVERIFY(main->close());
        for (int n = 1; n <= 4; ++n)
            QVERIFY(!IsRecordFileOpen(n));
        QVERIFY(!main->isVisible());
        QVERIFY(env.messages.isEmpty());
        QCOMPARE(env.processEnds, 1); // at once, without waiting for the event loop
        // No context menu of the menu bar or the toolbar offers to hide the toolbar.
        QVERIFY(!main->createPopupMenu());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
