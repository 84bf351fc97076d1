// The launcher view Form9: its toolbar as built from the launcher file, "Add Button", and
// starting programs from the buttons.
#include "desktop_fixture.h"

#include "app/main_window.h"
#include "controls/twips.h"
#include "desktop/change_icon_dialog.h"

#include <QComboBox>
#include <QScrollBar>

class TestDesktopWindow : public QObject {
    Q_OBJECT
private slots:
    void addsAppendButtonsInOrderWithTheTick();
    void addThatWritesNothing_data();
    void addThatWritesNothing();
    void reminderCheckAroundTheDialog_data();
    void reminderCheckAroundTheDialog();
    void buttonPictures_data();
    void buttonPictures();
    void fullLauncherLoadsEveryButton();
    void everyButtonInSightStartsItsProgram_data();
    void everyButtonInSightStartsItsProgram();
    void captionFromPath_data();
    void captionFromPath();
};

void TestDesktopWindow::addsAppendButtonsInOrderWithTheTick()
{
    TestEnvironment env;
    QVERIFY(env.startProgram());
    QCOMPARE(buttonCaptions().size(), 0);
    QVERIFY(Module1::ButtonPaths.isEmpty());
    env.fileDialogAnswers = {QStringLiteral("/usr/bin/xterm"),
                             QStringLiteral("/opt/tools/edit.exe"),
                             QStringLiteral("/usr/bin/xterm")};
    for (int i = 0; i < 3; ++i)
        clickCommand(launcher(), "Command1");

    QCOMPARE(buttonCaptions(), QStringList({"xterm", "edit", "xterm"}));
    for (int j = 1; j <= 3; ++j)
        QVERIFY2(showsTick(j), qPrintable(QString::number(j)));
    QCOMPARE(env.fileBytes("MyDesk.dat"), desktopFile({{"xterm", "/usr/bin/xterm"},
                                                       {"edit", "/opt/tools/edit.exe"},
                                                       {"xterm", "/usr/bin/xterm"}}));
    QCOMPARE(env.fileDialogRequests.size(), 3);
    const FileDialog::Request &request = env.fileDialogRequests.first();
    QCOMPARE(request.title, QStringLiteral("Select Program"));
    QVERIFY(request.executablesOnly);
    QCOMPARE(request.filters, QStringList({"Program (*)"}));
    QVERIFY(env.messages.isEmpty());
}

void TestDesktopWindow::addThatWritesNothing_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("messages");
    QTest::newRow("cancel") << std::optional<QString>() << 1 << 0;
    QTest::newRow("path of 127 bytes") << std::optional<QString>("/" + QString(126, 'p')) << 1 << 1;
    QTest::newRow("caption of 127 bytes") << std::optional<QString>(QString(127, 'c')) << 1 << 1;
    QTest::newRow("launcher already holds 8192")
        << std::optional<QString>("/usr/bin/xterm") << 8192 << 1;
}

void TestDesktopWindow::addThatWritesNothing()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(int, entries);
    QFETCH(int, messages);
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile(QList<Entry>(entries, Entry{"a", "/bin/a"})));
    QVERIFY(env.startProgram());
    const QByteArray before = env.fileBytes("MyDesk.dat");
    env.fileDialogAnswers = {answer};
    clickCommand(launcher(), "Command1");
    QCOMPARE(env.messages.size(), messages);
    QCOMPARE(env.fileBytes("MyDesk.dat"), before);
    QCOMPARE(buttonCaptions().size(), entries);
}

void TestDesktopWindow::reminderCheckAroundTheDialog_data()
{
    QTest::addColumn<bool>("changeIcon");
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<int>("checks");
    QTest::newRow("add cancelled checks once") << false << std::optional<QString>() << 1;
    QTest::newRow("add checks twice") << false << std::optional<QString>("/usr/bin/xterm") << 2;
    QTest::newRow("refused add checks twice")
        << false << std::optional<QString>("/" + QString(130, 'x')) << 2;
    QTest::newRow("change icon cancelled checks once") << true << std::optional<QString>() << 1;
    QTest::newRow("change icon checks twice") << true << std::optional<QString>("/tmp/x.ico") << 2;
}

void TestDesktopWindow::reminderCheckAroundTheDialog()
{
    QFETCH(bool, changeIcon);
    QFETCH(std::optional<QString>, answer);
    QFETCH(int, checks);
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile({{"a", "/bin/a"}}));
    QVERIFY(env.startProgram());
    ReminderChecks recorded(answer);
    if (changeIcon) {
        clickCommand(launcher(), "Command3");
        Forms::Form11()->Combo1->setCurrentIndex(0);
        clickCommand(Forms::Form11(), "Command1");
    } else {
        clickCommand(launcher(), "Command1");
    }
    QCOMPARE(recorded.flagInDialog, qint16(-1));
    QCOMPARE(recorded.checksBeforeDialogClosed, 0);
    QCOMPARE(recorded.flagAtCheck, QList<qint16>(checks, 0));
    QCOMPARE(Module1::FileDialogOpen, qint16(0));
}

void TestDesktopWindow::buttonPictures_data()
{
    QTest::addColumn<QByteArray>("icon");
    QTest::addColumn<bool>("tick");
    QTest::newRow("none is the tick") << QByteArray("none") << true;
    QTest::newRow("None is a file name") << QByteArray("None") << false;
    QTest::newRow("picture file") << QByteArray("red.png") << false;
    QTest::newRow("missing file shows the tick") << QByteArray("gone.ico") << true;
    QTest::newRow("not a picture shows the tick") << QByteArray("notes.bmp") << true;
    QTest::newRow("empty path shows the tick") << QByteArray() << true;
}

void TestDesktopWindow::buttonPictures()
{
    QFETCH(QByteArray, icon);
    QFETCH(bool, tick);
    TestEnvironment env;
    savePicture(env.path("None"), Qt::red);
    savePicture(env.path("red.png"), Qt::red);
    env.writeFile("notes.bmp", "not a picture");
    env.writeFile("MyDesk.dat",
                  desktopFile({{"a", "/bin/a"}, {"b", "/bin/b", icon}, {"c", "/bin/c"}}));
    QVERIFY(env.startProgram());
    QCOMPARE(buttonCaptions(), QStringList({"a", "b", "c"}));
    QVERIFY(showsTick(1) && showsTick(3));
    QCOMPARE(showsTick(2), tick);
    if (!tick)
        QCOMPARE(buttonColour(2), QColor(Qt::red));
    QVERIFY(env.messages.isEmpty());
}

void TestDesktopWindow::fullLauncherLoadsEveryButton()
{
    TestEnvironment env;
    savePicture(env.path("blue.png"), Qt::blue);
    QList<Entry> entries;
    for (int n = 0; n < 8192; ++n)
        entries.append({QByteArray::number(n), "/bin/p" + QByteArray::number(n),
                        n % 2 ? QByteArray("blue.png") : QByteArray("none")});
    env.writeFile("MyDesk.dat", desktopFile(entries));
    QVERIFY(env.startProgram());
    QCOMPARE(buttonCaptions().size(), 8192);
    QCOMPARE(buttonCaptions().last(), QStringLiteral("8191"));
    QCOMPARE(buttonColour(8192), QColor(Qt::blue));
    QVERIFY(showsTick(8191));
    clickButton(8192);
    QCOMPARE(env.launched, QStringList({"/bin/p8191"}));
}

void TestDesktopWindow::everyButtonInSightStartsItsProgram_data()
{
    QTest::addColumn<QSize>("view");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("designed size") << twipsSize(7770, 5175) << false;
    QTest::newRow("large") << QSize(780, 600) << false;
    QTest::newRow("too low: the area scrolls") << QSize(twipsX(7770), 150) << true;
}

void TestDesktopWindow::everyButtonInSightStartsItsProgram()
{
    QFETCH(QSize, view);
    QFETCH(bool, scrolls);
    TestEnvironment env;
    const QString longCaption = QStringLiteral("Accounts and Household Budget Planner XL");
    QList<Entry> entries;
    QStringList paths;
    for (int n = 1; n <= 15; ++n) {
        paths.append(QStringLiteral("/bin/p%1").arg(n));
        entries.append({n == 7 ? longCaption.toLatin1() : "Tool " + QByteArray::number(n),
                        paths.last().toLatin1()});
    }
    env.writeFile("MyDesk.dat", desktopFile(entries));
    MainWindow *main = env.startProgram();
    main->ShowChildView(launcher());
    main->resize(main->size() + view - launcher()->size());
    QCOMPARE(launcher()->size(), view);

    LauncherToolbar *bar = launcherToolbar();
    for (int j = 1; j <= 15; ++j) {
        const QModelIndex button = bar->buttons()->index(j - 1, 0);
        const QRect place = bar->visualRect(button);
        QVERIFY(scrolls || bar->viewport()->rect().contains(place));
        // Short captions fit their buttons in full, with room for the text's margins.
        const int text = bar->fontMetrics().horizontalAdvance(button.data().toString());
        QVERIFY(j == 7 || place.width() >= text + 6);
        clickButton(j); // scrolls to the button first where the view is full
    }
    QCOMPARE(bar->verticalScrollBar()->maximum() > 0, scrolls);
    QCOMPARE(env.launched, paths);
    // The long caption, elided on its button, stands in full in the button's tip.
    QVERIFY(bar->buttons()->index(6, 0).data(Qt::ToolTipRole).toString().contains(longCaption));

    env.launchError = QStringLiteral("The file does not exist.");
    clickButton(2);
    QCOMPARE(env.messages,
             QStringList{"The program \"/bin/p2\" could not be started.\n" + env.launchError});
}

void TestDesktopWindow::captionFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("caption");
    auto row = [](const char *name, const QString &path, const QString &caption) {
        QTest::newRow(name) << path << caption;
    };
    row("windows program", R"(C:\Tools\edit.exe)", "edit");
    row("one-letter name", R"(C:\A\B.exe)", "B");
    row("nothing before .exe", R"(C:\A\.exe)", "");
    row("program without extension", "/usr/bin/xterm", "xterm");
    row("other extension kept", "/opt/app/run.sh", "run.sh");
    row("upper-case EXE", "/mnt/c/GAME.EXE", "GAME");
    row("mixed separators", R"(/mnt/c\Tools\edit.exe)", "edit");
}

void TestDesktopWindow::captionFromPath()
{
    QFETCH(QString, path);
    QFETCH(QString, caption);
    QCOMPARE(Module1::CaptionFromPath(path), caption);
}

QTEST_MAIN(TestDesktopWindow)
#include "tst_desktop_window.moc"
