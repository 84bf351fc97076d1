// The delete dialog Form10 and the change-icon dialog Form11, opened from the launcher view.
#include "desktop_fixture.h"

#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "desktop/desktop_procedures.h"
#include "shell/main_window.h"
#include "shell/module1.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

const QList<Entry> threePrograms = {{"a", "/bin/a"}, {"b", "/bin/b"}, {"c", "/bin/c"}};

LauncherDialog *openDialog(const QString &form)
{
    clickCommand(launcher(), form == "Form10" ? "Command2" : "Command3");
    return form == "Form10" ? static_cast<LauncherDialog *>(Forms::Form10())
                            : static_cast<LauncherDialog *>(Forms::Form11());
}

void choose(LauncherDialog *dialog, int index)
{
    dialog->findChild<QComboBox *>("Combo1")->setCurrentIndex(index);
}

// The dialog is gone, the main window takes input again and the launcher is in front.
bool backAtLauncher(const TestEnvironment &env, const QWidget *dialog)
{
    MainWindow *main = env.mainWindow();
    QMdiSubWindow *frame = main->subWindowOf(launcher());
    return !dialog->isVisible() && main->isEnabled() && frame && frame->isVisible() &&
           main->mdiArea()->currentSubWindow() == frame;
}

} // namespace

class TestLauncherDialogs : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { DesktopReminderCheck = Module1::CheckReminders; }

    void openingListsCaptionsAndDisablesMain_data();
    void openingListsCaptionsAndDisablesMain();
    void closingWithoutChangeWritesNothing_data();
    void closingWithoutChangeWritesNothing();
    void deleteSecondOfThree();
    void changeIconOfSecondWritesOnlyRecord7();
    void tooLongIconPathShowsMessageAndWritesNothing();
    void reminderCheckAroundTheDialog_data();
    void reminderCheckAroundTheDialog();
};

void TestLauncherDialogs::openingListsCaptionsAndDisablesMain_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::newRow("delete") << "Form10"
                            << "Select Program to Delete from My Desktop";
    QTest::newRow("change icon") << "Form11"
                                 << "Change Icon";
}

void TestLauncherDialogs::openingListsCaptionsAndDisablesMain()
{
    QFETCH(QString, form);
    QFETCH(QString, caption);
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile({{"edit", "/bin/a"}, {"edit", "/bin/b"}, {"x", "/c"}}));
    QVERIFY(env.startProgram());
    LauncherDialog *dialog = openDialog(form);
    QCOMPARE(dialog->objectName(), form);
    QCOMPARE(dialog->windowTitle(), caption);
    QVERIFY(dialog->isVisible() && dialog->isWindow());
    QVERIFY(!env.mainWindow()->isEnabled());
    auto *combo = dialog->findChild<QComboBox *>("Combo1");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    QCOMPARE(items, QStringList({"edit", "edit", "x"}));
    QCOMPARE(combo->currentIndex(), -1);
}

void TestLauncherDialogs::closingWithoutChangeWritesNothing_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("how");
    for (const char *form : {"Form10", "Form11"}) {
        QTest::addRow("%s Cancel", form) << form << "Command2";
        QTest::addRow("%s close box", form) << form << "close";
        QTest::addRow("%s nothing chosen", form) << form << "Command1";
        QTest::addRow("%s typed text", form) << form << "typed";
    }
    QTest::newRow("Form11 picture dialog cancelled") << "Form11"
                                                     << "cancel picture";
}

void TestLauncherDialogs::closingWithoutChangeWritesNothing()
{
    QFETCH(QString, form);
    QFETCH(QString, how);
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile(threePrograms));
    QVERIFY(env.startProgram());
    const QByteArray before = env.fileBytes("MyDesk.dat");
    LauncherDialog *dialog = openDialog(form);
    if (how == "close") {
        dialog->close();
    } else if (how == "cancel picture") {
        choose(dialog, 2);
        env.fileDialogAnswers = {std::nullopt};
        clickCommand(dialog, "Command1");
    } else if (how == "typed") {
        choose(dialog, 1);
        dialog->findChild<QComboBox *>("Combo1")->setEditText("b2");
        clickCommand(dialog, "Command1");
    } else {
        if (how == "Command2")
            choose(dialog, 1);
        clickCommand(dialog, qPrintable(how));
    }
    QVERIFY(backAtLauncher(env, dialog));
    QCOMPARE(env.fileBytes("MyDesk.dat"), before);
    QCOMPARE(buttonCaptions(), QStringList({"a", "b", "c"}));
    QCOMPARE(env.fileDialogRequests.size(), how == "cancel picture" ? 1 : 0);
    QVERIFY(env.messages.isEmpty());
}

void TestLauncherDialogs::deleteSecondOfThree()
{
    TestEnvironment env;
    env.writeFile(
        "MyDesk.dat",
        desktopFile({{"a", "/bin/a"}, {"b", "/bin/b", "b.png"}, {"c", "/bin/c", "c.png"}}));
    savePicture(env.path("b.png"), Qt::blue);
    savePicture(env.path("c.png"), Qt::green);
    QVERIFY(env.startProgram());
    LauncherDialog *dialog = openDialog("Form10");
    choose(dialog, 1);
    clickCommand(dialog, "Command1");

    QVERIFY(backAtLauncher(env, dialog));
    QCOMPARE(buttonCaptions(), QStringList({"a", "c"}));
    QVERIFY(showsTick(1));
    QCOMPARE(buttonColour(2), QColor(Qt::green));
    clickButton(1);
    clickButton(2);
    QCOMPARE(env.launched, QStringList({"/bin/a", "/bin/c"}));
    QCOMPARE(env.record("MyDesk.dat", 128, 4), Bytes::padded(Bytes::count16(2), 128));
    QVERIFY(env.record("MyDesk.dat", 128, 9).startsWith(Bytes::string("")));
}

void TestLauncherDialogs::changeIconOfSecondWritesOnlyRecord7()
{
    TestEnvironment env;
    // The same caption twice: the place in the list decides which button changes.
    env.writeFile("MyDesk.dat", desktopFile({{"edit", "/bin/a"}, {"edit", "/bin/b"}, {"c", "/c"}}));
    const QString picture = env.path("red.png");
    savePicture(picture, Qt::red);
    QVERIFY(env.startProgram());
    QByteArray expected = env.fileBytes("MyDesk.dat");
    expected.replace(6 * 128, 128, Bytes::padded(Bytes::string(picture.toLatin1()), 128));

    LauncherDialog *dialog = openDialog("Form11");
    choose(dialog, 1);
    env.fileDialogAnswers = {picture};
    clickCommand(dialog, "Command1");

    QCOMPARE(env.fileBytes("MyDesk.dat"), expected);
    QVERIFY(backAtLauncher(env, dialog));
    QVERIFY(showsTick(1));
    QCOMPARE(buttonColour(2), QColor(Qt::red));
    QVERIFY(showsTick(3));
    QCOMPARE(env.fileDialogRequests.size(), 1);
    QCOMPARE(env.fileDialogRequests.first().title, QStringLiteral("Select Icon"));
    QVERIFY(env.fileDialogRequests.first().filters.contains("Icon File (*.ico *.bmp)"));
}

void TestLauncherDialogs::tooLongIconPathShowsMessageAndWritesNothing()
{
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile(threePrograms));
    QVERIFY(env.startProgram());
    const QByteArray before = env.fileBytes("MyDesk.dat");
    LauncherDialog *dialog = openDialog("Form11");
    choose(dialog, 0);
    env.fileDialogAnswers = {"/" + QString(126, 'i')};
    clickCommand(dialog, "Command1");
    QCOMPARE(env.messages.size(), 1);
    QCOMPARE(env.fileBytes("MyDesk.dat"), before);
    QVERIFY(backAtLauncher(env, dialog));
}

void TestLauncherDialogs::reminderCheckAroundTheDialog_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<int>("checks");
    QTest::newRow("cancel checks once") << std::optional<QString>() << 1;
    QTest::newRow("change checks twice") << std::optional<QString>("/tmp/x.ico") << 2;
}

void TestLauncherDialogs::reminderCheckAroundTheDialog()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(int, checks);
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile(threePrograms));
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
    LauncherDialog *dialog = openDialog("Form11");
    choose(dialog, 0);
    clickCommand(dialog, "Command1");
    QCOMPARE(flagInDialog, qint16(-1));
    QCOMPARE(checksBeforeDialogClosed, 0);
    QCOMPARE(flagAtCheck, QList<qint16>(checks, 0));
}

QTEST_MAIN(TestLauncherDialogs)
#include "tst_launcher_dialogs.moc"
