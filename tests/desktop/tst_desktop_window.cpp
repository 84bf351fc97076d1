// The launcher view Form9: its toolbar as built from the launcher file, "Add Button", and
// starting programs from the buttons.
#include "desktop_fixture.h"

#include "desktop/desktop_procedures.h"
#include "shell/main_window.h"
#include "shell/module1.h"

class TestDesktopWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { DesktopReminderCheck = Module1::CheckReminders; }

    void emptyFileGivesEmptyToolbar();
    void addsAppendButtonsInOrderWithTheTick();
    void buttonStartsItsOwnProgram();
    void programThatCannotStartIsReported();
    void cancelWritesNothing();
    void unstorableAddShowsMessageAndWritesNothing_data();
    void unstorableAddShowsMessageAndWritesNothing();
    void reminderCheckAroundTheDialog_data();
    void reminderCheckAroundTheDialog();
    void buttonPictures_data();
    void buttonPictures();
    void fullLauncherLoadsEveryButton();
    void captionFromPath_data();
    void captionFromPath();
};

void TestDesktopWindow::emptyFileGivesEmptyToolbar()
{
    TestEnvironment env;
    QVERIFY(env.startProgram());
    QVERIFY(launcherToolbar()->actions().isEmpty());
    QVERIFY(Module1::ButtonPaths.isEmpty());
}

void TestDesktopWindow::addsAppendButtonsInOrderWithTheTick()
{
    TestEnvironment env;
    QVERIFY(env.startProgram());
    env.fileDialogAnswers = {QStringLiteral("/usr/bin/xterm"),
                             QStringLiteral("/opt/tools/edit.exe"),
                             QStringLiteral("/usr/bin/xterm")};
    for (int i = 0; i < 3; ++i)
        clickCommand(launcher(), "Command1");

    QCOMPARE(buttonCaptions(), QStringList({"xterm", "edit", "xterm"}));
    for (int j = 1; j <= 3; ++j)
        QVERIFY2(showsTick(j), qPrintable(QString::number(j)));
    QCOMPARE(env.fileDialogRequests.size(), 3);
    const FileDialog::Request &request = env.fileDialogRequests.first();
    QCOMPARE(request.title, QStringLiteral("Select Program"));
    QVERIFY(request.executablesOnly);
    QCOMPARE(request.filters, QStringList({"Program (*)"}));
    QVERIFY(env.messages.isEmpty());
}

void TestDesktopWindow::buttonStartsItsOwnProgram()
{
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile({{"a", "/bin/a"}, {"b", "/bin/b"}, {"c", "/bin/c"}}));
    QVERIFY(env.startProgram());
    clickButton(3);
    clickButton(1);
    QCOMPARE(env.launched, QStringList({"/bin/c", "/bin/a"}));
    QVERIFY(env.messages.isEmpty());
}

void TestDesktopWindow::programThatCannotStartIsReported()
{
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile({{"gone", "/opt/gone/tool"}}));
    QVERIFY(env.startProgram());
    env.launchError = QStringLiteral("The file does not exist.");
    clickButton(1);
    QCOMPARE(env.messages.size(), 1);
    QVERIFY(env.messages.first().contains("/opt/gone/tool"));
    QVERIFY(env.messages.first().contains("The file does not exist."));
}

void TestDesktopWindow::cancelWritesNothing()
{
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile({{"a", "/bin/a"}}));
    QVERIFY(env.startProgram());
    const QByteArray before = env.fileBytes("MyDesk.dat");
    env.fileDialogAnswers = {std::nullopt};
    clickCommand(launcher(), "Command1");
    QCOMPARE(env.fileBytes("MyDesk.dat"), before);
    QCOMPARE(buttonCaptions(), QStringList({"a"}));
    QVERIFY(env.messages.isEmpty());
}

void TestDesktopWindow::unstorableAddShowsMessageAndWritesNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("entries");
    QTest::newRow("path of 127 bytes") << "/" + QString(126, 'p') << 1;
    QTest::newRow("caption of 127 bytes") << QString(127, 'c') << 1;
    QTest::newRow("launcher already holds 8192") << "/usr/bin/xterm" << 8192;
}

void TestDesktopWindow::unstorableAddShowsMessageAndWritesNothing()
{
    QFETCH(QString, path);
    QFETCH(int, entries);
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile(QList<Entry>(entries, Entry{"a", "/bin/a"})));
    QVERIFY(env.startProgram());
    const QByteArray before = env.fileBytes("MyDesk.dat");
    env.fileDialogAnswers = {path};
    clickCommand(launcher(), "Command1");
    QCOMPARE(env.messages.size(), 1);
    QCOMPARE(env.fileBytes("MyDesk.dat"), before);
    QCOMPARE(launcherToolbar()->actions().size(), entries);
}

void TestDesktopWindow::reminderCheckAroundTheDialog_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<int>("checks");
    QTest::newRow("cancel checks once") << std::optional<QString>() << 1;
    QTest::newRow("add checks twice") << std::optional<QString>("/usr/bin/xterm") << 2;
    QTest::newRow("refused add checks twice")
        << std::optional<QString>("/" + QString(130, 'x')) << 2;
}

void TestDesktopWindow::reminderCheckAroundTheDialog()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(int, checks);
    TestEnvironment env;
    QVERIFY(env.startProgram());
    QList<qint16> flagAtCheck;
    DesktopReminderCheck = [&flagAtCheck] { flagAtCheck.append(Module1::FileDialogOpen); };
    qint16 flagInDialog = 0;
    qsizetype checksBeforeDialogClosed = -1;
    FileDialog::setHandler([&](QWidget *, const FileDialog::Request &) {
        flagInDialog = Module1::FileDialogOpen;
        checksBeforeDialogClosed = flagAtCheck.size();
        return answer;
    });
    clickCommand(launcher(), "Command1");
    QCOMPARE(flagInDialog, qint16(-1));
    QCOMPARE(checksBeforeDialogClosed, 0);
    QCOMPARE(flagAtCheck, QList<qint16>(checks, 0));
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
    QVERIFY(showsTick(1));
    QCOMPARE(showsTick(2), tick);
    if (!tick)
        QCOMPARE(buttonColour(2), QColor(Qt::red));
    QVERIFY(showsTick(3));
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

    QCOMPARE(launcherToolbar()->actions().size(), 8192);
    QCOMPARE(launcherToolbar()->actions().last()->text(), QStringLiteral("8191"));
    QCOMPARE(buttonColour(8192), QColor(Qt::blue));
    QVERIFY(showsTick(8191));
    clickButton(8192);
    QCOMPARE(env.launched, QStringList({"/bin/p8191"}));
}

void TestDesktopWindow::captionFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("caption");
    QTest::newRow("windows program") << R"(C:\Tools\edit.exe)"
                                     << "edit";
    QTest::newRow("one-letter name") << R"(C:\A\B.exe)"
                                     << "B";
    QTest::newRow("nothing before .exe") << R"(C:\A\.exe)"
                                         << "";
    QTest::newRow("program without extension") << "/usr/bin/xterm"
                                               << "xterm";
    QTest::newRow("other extension kept") << "/opt/app/run.sh"
                                          << "run.sh";
    QTest::newRow("upper-case EXE") << "/mnt/c/GAME.EXE"
                                    << "GAME";
    QTest::newRow("mixed separators") << R"(/mnt/c\Tools\edit.exe)"
                                      << "edit";
}

void TestDesktopWindow::captionFromPath()
{
    QFETCH(QString, path);
    QFETCH(QString, caption);
    QCOMPARE(Module1::CaptionFromPath(path), caption);
}

QTEST_MAIN(TestDesktopWindow)
#include "tst_desktop_window.moc"
