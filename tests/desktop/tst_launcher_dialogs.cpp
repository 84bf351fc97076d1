// The delete dialog Form10 and the change-icon dialog Form11, opened from the launcher view.
#include "desktop_fixture.h"

#include "app/main_window.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"

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
    void openingListsCaptionsAndDisablesMain_data();
    void openingListsCaptionsAndDisablesMain();
    void closingWithoutChangeWritesNothing_data();
    void closingWithoutChangeWritesNothing();
    void deleteSecondOfThree();
    void changeIconOfSecondWritesOnlyRecord7();
};

void TestLauncherDialogs::openingListsCaptionsAndDisablesMain_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::newRow("delete") << "Form10" << QString("Select Program to Delete from My Desktop");
    QTest::newRow("change icon") << "Form11" << QString("Change Icon");
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
    QStringList items;
    for (int i = 0; i < dialog->Combo1->count(); ++i)
        items.append(dialog->Combo1->itemText(i));
    QCOMPARE(items, QStringList({"edit", "edit", "x"}));
    QCOMPARE(dialog->Combo1->currentIndex(), -1);
}

void TestLauncherDialogs::closingWithoutChangeWritesNothing_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("messages");
    for (const char *form : {"Form10", "Form11"}) {
        QTest::addRow("%s Cancel", form) << form << "Command2" << 0;
        QTest::addRow("%s close box", form) << form << "close" << 0;
        QTest::addRow("%s Escape, an item chosen", form) << form << "Escape" << 0;
        QTest::addRow("%s nothing chosen", form) << form << "Command1" << 0;
        QTest::addRow("%s typed text", form) << form << "typed" << 0;
    }
    QTest::newRow("Form11 picture dialog cancelled") << "Form11" << QString("picture") << 0;
    QTest::newRow("Form11 picture path too long") << "Form11" << QString("long picture") << 1;
}

void TestLauncherDialogs::closingWithoutChangeWritesNothing()
{
    QFETCH(QString, form);
    QFETCH(QString, how);
    QFETCH(int, messages);
    TestEnvironment env;
    env.writeFile("MyDesk.dat", desktopFile(threePrograms));
    QVERIFY(env.startProgram());
    const QByteArray before = env.fileBytes("MyDesk.dat");
    LauncherDialog *dialog = openDialog(form);
    if (how == "close") {
        dialog->close();
    } else if (how == "Escape") {
        dialog->Combo1->setCurrentIndex(1);
        QTest::keyClick(dialog->Combo1, Qt::Key_Escape);
    } else if (how.endsWith("picture")) {
        dialog->Combo1->setCurrentIndex(2);
        env.fileDialogAnswers = {how == "picture" ? std::nullopt
                                                  : std::optional("/" + QString(126, 'i'))};
        clickCommand(dialog, "Command1");
    } else if (how == "typed") {
        dialog->Combo1->setCurrentIndex(1);
        dialog->Combo1->setEditText("b2");
        clickCommand(dialog, "Command1");
    } else {
        if (how == "Command2")
            dialog->Combo1->setCurrentIndex(1);
        clickCommand(dialog, qPrintable(how));
    }
    QVERIFY(backAtLauncher(env, dialog));
    QCOMPARE(env.fileBytes("MyDesk.dat"), before);
    QCOMPARE(buttonCaptions(), QStringList({"a", "b", "c"}));
    QCOMPARE(env.fileDialogRequests.size(), how.endsWith("picture") ? 1 : 0);
    QCOMPARE(env.messages.size(), messages);
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
    dialog->Combo1->setCurrentIndex(1);
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
    dialog->Combo1->setCurrentIndex(1);
    env.fileDialogAnswers = {picture};
    clickCommand(dialog, "Command1");

    QCOMPARE(env.fileBytes("MyDesk.dat"), expected);
    QVERIFY(backAtLauncher(env, dialog));
    QVERIFY(showsTick(1) && showsTick(3));
    QCOMPARE(buttonColour(2), QColor(Qt::red));
    QCOMPARE(env.fileDialogRequests.size(), 1);
    QCOMPARE(env.fileDialogRequests.first().title, QStringLiteral("Select Icon"));
    QVERIFY(env.fileDialogRequests.first().filters.contains("Icon File (*.ico *.bmp)"));
}

QTEST_MAIN(TestLauncherDialogs)
#include "tst_launcher_dialogs.moc"
