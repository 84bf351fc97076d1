// Start-up, the main window's commands, shutdown and the About box, driven in-process.
#include "data/appointment_store.h"
#include "records/record_file.h"
#include "window_walk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

namespace {

// Each data file and the offset of its count record.
const std::pair<const char *, int> kLayouts[] = {
    {"Appoint.dat", 896}, {"Notes.dat", 1000}, {"AddBook.dat", 1920}, {"MyDesk.dat", 384}};

// The views on screen, the one in front marked so, and each maximized one.
QStringList visibleViews(MainWindow *main)
{
    QStringList views;
    for (QMdiSubWindow *sub : main->mdiArea()->subWindowList()) {
        if (sub->isVisible())
            views << sub->widget()->objectName() +
                         (sub == main->mdiArea()->activeSubWindow() ? " in front" : "") +
                         (sub->isMaximized() ? " maximized" : "");
    }
    return views;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().size() <= 1); }

    // In an empty folder start-up makes the four files, each zero bytes around its count record
    // (tag 2, a count of 0). The calendar then fills the frame in front, the reminder check runs
    // each minute, and the menus and the toolbar offer the commands.
    void startInAnEmptyFolder()
    {
        TestEnvironment env;
        MainWindow *main = env.startProgram();
        QVERIFY(main);
        for (const auto &[name, countOffset] : kLayouts) {
            const QByteArray bytes = env.fileBytes(name);
            QCOMPARE(bytes, Bytes::padded(QByteArray(countOffset, '\0') + Bytes::count16(0),
                                          qMax(int(bytes.size()), countOffset + 4)));
        }
        QCOMPARE(Module1::DataFolder, QDir::currentPath());
        QCOMPARE(Module1::FileDialogOpen, qint16(0));
        QVERIFY(env.messages.isEmpty());
        QVERIFY(main->isVisible() && main->isEnabled());
        // Only the calendar is built; the other views are built when first shown.
        QCOMPARE(main->mdiArea()->subWindowList().size(), 1);
        QVERIFY(!Forms::exists("Form2") && !Forms::exists("Form3") && !Forms::exists("Form9"));
        QVERIFY(visibleViews(main).contains("Form1 in front maximized"));
        QVERIFY(main->Timer1->isActive());
        QCOMPARE(main->Timer1->interval(), 60000);
        QStringList menus; // each menu's caption, then its commands' names and captions
        for (QAction *menu : main->menuBar()->actions()) {
            menus << menu->text();
            for (QAction *a : menu->menu()->actions())
                menus.last() += ' ' + a->objectName() + '=' + a->text();
        }
        for (QAction *a : main->Toolbar1->actions()) // then the toolbar's buttons
            menus << a->text() + (a->icon().isNull() ? " without a picture" : "");
        QCOMPARE(menus, (QStringList{"&File Import=&Import... = exit=E&xit",
                                     "&View Calendar=&Calendar Notes=&Notes "
                                     "ABook=&Address Book MDesk=My &Desktop = Find=&Find...",
                                     "&Help About=&About Help=Help &Topics", "Calendar", "Notes",
                                     "Address Book", "My Desktop"}));
        QCOMPARE(main->Toolbar1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }

    // A second start on the files the first one left changes none of them. (That start-up keeps
    // count records of other tags as they are the hostile files' test checks.)
    void aSecondStartChangesNoByte()
    {
        QMap<QString, QByteArray> files;
        for (int start = 1; start <= 2; ++start) {
            TestEnvironment env;
            for (const auto &[name, bytes] : files.asKeyValueRange())
                env.writeFile(name, bytes);
            QVERIFY(env.startProgram());
            for (const auto &[name, bytes] : files.asKeyValueRange())
                QCOMPARE(env.fileBytes(name), bytes);
            for (const auto &[name, countOffset] : kLayouts)
                files[name] = env.fileBytes(name);
        }
    }

    void aFileThatCannotBeOpenedEndsStartUpWithAMessage()
    {
        TestEnvironment env;
        QVERIFY(QDir(env.folder()).mkdir("AddBook.dat")); // a folder where the file should be
        QVERIFY(!env.startProgram());
        QCOMPARE(env.messages.size(), 1);
        QVERIFY2(env.messages[0].contains("AddBook.dat"), qPrintable(env.messages[0]));
        for (int n = 1; n <= 4; ++n)
            QVERIFY(!IsRecordFileOpen(n));
    }

    // The splash shows the box without its button, the frame drawn behind it. Started just
    // before midnight, it ends at 00:00:01 of the next day, a few clock readings later, and not
    // a day later nor by the real-time guard. Help > About then shows the box with its button.
    void splashShowsTheBoxWithoutItsButtonThenAboutShowsItWithIt()
    {
        TestEnvironment env;
        QStringList seen; // what the clock's readings saw while the splash was up
        QDateTime t(QDate(2024, 1, 5), QTime(23, 59, 58, 600));
        int reads = 0;
        Clock::setSource([&] {
            ++reads;
            if (Forms::exists("frmSplash") && Forms::frmSplash()->isVisible()) {
                seen << "splash";
                if (Forms::frmSplash()->Command1->isVisible())
                    seen << "its button";
                if (Forms::MDIForm1() && Forms::MDIForm1()->isVisible() && Forms::exists("Form1") &&
                    Forms::Form1()->isVisible())
                    seen << "the frame behind it";
            }
            return t = t.addMSecs(250);
        });
        QElapsedTimer real;
        real.start();
        MainWindow *main = env.startProgram();
        QVERIFY(main);
        QVERIFY2(real.elapsed() < 2000, QByteArray::number(real.elapsed()));
        QVERIFY(reads < 40);
        seen.removeDuplicates();
        QCOMPARE(seen, (QStringList{"splash", "the frame behind it"}));
        QVERIFY(!Forms::frmSplash()->isVisible());

        main->About->trigger();
        AboutBox *box = Forms::frmSplash();
        QVERIFY(box->isVisible() && box->Command1->isVisible());
        QCOMPARE((QStringList{box->Command1->text(), box->lblProductName->text(),
                              box->Label4->text(), box->Label3->text()}),
                 (QStringList{"Close", "Tallowby", "Version 1.2", "Contact us:"}));
        QCOMPARE(box->palette().color(QPalette::Window), QColor(192, 255, 255));
        main->About->trigger(); // a second About brings the same box to the front
        QCOMPARE(Forms::frmSplash(), box);
        QPointer<AboutBox> closed = box;
        box->Command1->click();
        QTRY_VERIFY(closed.isNull()); // "Close" unloads the box
        main->About->trigger();
        QVERIFY(Forms::frmSplash()->Command1->isVisible());
        Forms::frmSplash()->close();
    }

    // The first start keeps its drawing of the splash; the next shows that picture in place of
    // the controls, pixel for pixel the same, and About then shows the controls again. A
    // damaged picture is drawn anew and replaced; so is one made under another palette.
    void splashKeepsItsDrawingForTheNextStart()
    {
        QTemporaryDir cache;
        const QDir dir(cache.path());
        QImage drawn; // the splash box as it was on screen at the first clock reading
        bool pictureShown = false;
        auto start = [&] {
            TestEnvironment env;
            drawn = {};
            int reads = 0;
            Clock::setSource([&] {
                if (drawn.isNull() && Forms::exists("frmSplash") &&
                    Forms::frmSplash()->isVisible()) {
                    pictureShown = !Forms::frmSplash()->Frame1->isVisible();
                    drawn = Forms::frmSplash()->grab().toImage();
                }
                return env.now().addSecs(reads++);
            });
            MainWindow *main = env.startProgram(cache.path());
            QVERIFY(main);
            main->About->trigger();
            QVERIFY(Forms::frmSplash()->Frame1->isVisible());
            QVERIFY(Forms::frmSplash()->Command1->isVisible());
            Forms::frmSplash()->close();
        };
        auto kept = [&] { return dir.entryInfoList({"splash-*.bin"}, QDir::Files); };

        start();
        QVERIFY(!pictureShown && !drawn.isNull());
        QCOMPARE(kept().size(), 1);
        const QImage first = drawn;
        const qint64 size = kept().first().size();
        start();
        QVERIFY(pictureShown);
        QCOMPARE(drawn, first);

        QFile damaged(kept().first().filePath());
        QVERIFY(damaged.resize(size - 1));
        start();
        QVERIFY(!pictureShown);
        QCOMPARE(drawn, first);
        QCOMPARE(kept().first().size(), size);

        const QPalette before = QApplication::palette();
        QPalette dark = before;
        dark.setColor(QPalette::Mid, Qt::darkGray);
        QApplication::setPalette(dark);
        start();
        QApplication::setPalette(before);
        QVERIFY(!pictureShown);
        QCOMPARE(kept().size(), 1);
        QVERIFY(kept().first().fileName() != QFileInfo(damaged).fileName());
    }

    // The end of the program keeps today's marks in the cache folder once both files have
    // stood still for two seconds; start-up in the files it has just made does not.
    void theEndOfTheProgramKeepsTheMarksForTheNextStart()
    {
        QTemporaryDir cache;
        TestEnvironment env;
        MainWindow *main = env.startProgram(cache.path());
        QVERIFY(main);
        const QDir dir(cache.path());
        QVERIFY(dir.entryList({"marks-*.bin"}, QDir::Files).isEmpty());
        const QString id = AppointmentStore::MakeAppointmentId(env.now().date(), 1);
        QVERIFY(
            AppointmentStore().AddAppointment({id, "Dentist", "09:00", "09:30", 0, "", ""}).ok());
        for (const char *name : {"Appoint.dat", "AddBook.dat"}) {
            QFile f(env.path(name));
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::currentDateTime().addSecs(-3),
                                  QFileDevice::FileModificationTime));
        }
        main->exit->trigger();
        QCOMPARE(env.processEnds, 1);
        QCOMPARE(dir.entryList({"marks-*.bin"}, QDir::Files).size(), 1);
    }

    // Each view command shows its view maximized in front and hides the others. (That a hidden
    // view keeps what was typed into it the notes window's test checks.)
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
        QAction *a = main->findChild<QAction *>(command);
        QVERIFY(a);
        a->trigger();
        QCOMPARE(visibleViews(main), QStringList{view + " in front maximized"});
        a->trigger(); // the same command again changes nothing visible
        QCOMPARE(visibleViews(main), QStringList{view + " in front maximized"});
        // Closed, the view is made anew by the next command.
        QPointer<QWidget> closed = main->mdiArea()->activeSubWindow()->widget();
        main->mdiArea()->activeSubWindow()->close();
        QTRY_VERIFY(closed.isNull());
        a->trigger();
        QCOMPARE(visibleViews(main), QStringList{view + " in front maximized"});
        QCOMPARE(main->mdiArea()->subWindowList().size(), view == "Form1" ? 1 : 2);
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
            main->exit->trigger();
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
