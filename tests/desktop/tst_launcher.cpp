// The launcher view Form9 (its toolbar as built from the launcher file, "Add Button", starting
// programs from the buttons) and its delete and change-icon dialogs Form10 and Form11.
#include "desktop_fixture.h"

#include "controls/twips.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"

#include <QComboBox>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

namespace {

LauncherDialog *openDialog(const QString &form)
{
    clickCommand(Forms::Form9(), form == "Form10" ? "Command2" : "Command3");
    return form == "Form10" ? static_cast<LauncherDialog *>(Forms::Form10())
                            : static_cast<LauncherDialog *>(Forms::Form11());
}

// The dialog is gone, the main window takes input again and the launcher is in front.
bool backAtLauncher(const TestEnvironment &env, const QWidget *dialog)
{
    MainWindow *main = env.mainWindow();
    QMdiSubWindow *frame = main->subWindowOf(Forms::Form9());
    return !dialog->isVisible() && main->isEnabled() && frame && frame->isVisible() &&
           main->mdiArea()->currentSubWindow() == frame;
}

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
private slots:
    // Each program chosen adds a button at the end, with the default picture, captioned with the
    // program's file name without a final ".exe".
    void addsAppendButtonsInOrderWithTheTick()
    {
        TestEnvironment env;
        QVERIFY(env.startProgram());
        const QStringList paths{R"(C:\Tools\edit.exe)",    R"(C:\A\B.exe)",   R"(C:\A\.exe)",
                                "/usr/bin/xterm",          "/opt/app/run.sh", "/mnt/c/GAME.EXE",
                                R"(/mnt/c\Tools\edit.exe)"};
        const QStringList captions{"edit", "B", "", "xterm", "run.sh", "GAME", "edit"};
        QList<Entry> entries;
        for (qsizetype i = 0; i < paths.size(); ++i) {
            env.fileDialogAnswers = {paths[i]};
            clickCommand(Forms::Form9(), "Command1");
            entries.append(Entry{captions[i].toLatin1(), paths[i].toLatin1()});
        }
        QCOMPARE(env.fileBytes("MyDesk.dat"), desktopFile(entries));
        QCOMPARE(buttonCaptions(), captions);
        QCOMPARE(buttonLooks(), QStringList(7, "tick"));
        const FileDialog::Request &request = env.fileDialogRequests.first();
        QCOMPARE(QStringList{request.title} + request.filters,
                 (QStringList{"Select Program", "Program (*)"}));
        QVERIFY(request.executablesOnly);
        QVERIFY(env.messages.isEmpty());
    }

    // Which programs and pictures fit the launcher file is tested on the store
    // (tst_desktop_store); here one refusal for each command.
    void fileDialogAnswer_data()
    {
        QTest::addColumn<bool>("changeIcon");               // else "Add Button"
        QTest::addColumn<std::optional<QString>>("answer"); // nullopt: cancelled
        QTest::addColumn<bool>("refused");
        for (bool changeIcon : {false, true}) {
            const char *command = changeIcon ? "change icon" : "add";
            const std::optional<QString> none, file(changeIcon ? "/tmp/x.ico" : "/usr/bin/xterm");
            QTest::addRow("%s cancelled", command) << changeIcon << none << false;
            QTest::addRow("%s", command) << changeIcon << file << false;
            QTest::addRow("%s a path of 127 bytes", command)
                << changeIcon << std::optional("/" + QString(126, 'p')) << true;
        }
    }

    // The reminder check is held off while the file dialog is open and runs at the end of the
    // command, and also right after the dialog closed with a file. Only a program or picture that
    // fits is written; one that does not is refused with a message.
    void fileDialogAnswer()
    {
        QFETCH(bool, changeIcon);
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, refused);
        TestEnvironment env;
        env.writeFile("MyDesk.dat", desktopFile({{"a", "/bin/a"}}));
        QVERIFY(env.startProgram());
        const QByteArray before = env.fileBytes("MyDesk.dat");
        // The reminder check records the file-dialog flag it sees; the dialog records the flag and
        // the checks made before it closed.
        QList<qint16> flagAtCheck;
        qint16 flagInDialog = 0;
        qsizetype checksBeforeDialogClosed = -1;
        DesktopReminderCheck = [&] { flagAtCheck.append(Module1::FileDialogOpen); };
        const auto restore = qScopeGuard([] { DesktopReminderCheck = Module1::CheckReminders; });
        FileDialog::setHandler([&](QWidget *, const FileDialog::Request &) {
            flagInDialog = Module1::FileDialogOpen;
            checksBeforeDialogClosed = flagAtCheck.size();
            return answer;
        });
        if (changeIcon) {
            LauncherDialog *dialog = openDialog("Form11");
            dialog->Combo1->setCurrentIndex(0);
            clickCommand(dialog, "Command1");
            QVERIFY(backAtLauncher(env, dialog));
        } else {
            clickCommand(Forms::Form9(), "Command1");
        }
        QCOMPARE(
            (QList<qsizetype>{flagInDialog, checksBeforeDialogClosed, Module1::FileDialogOpen}),
            (QList<qsizetype>{-1, 0, 0}));
        QCOMPARE(flagAtCheck, QList<qint16>(answer ? 2 : 1, 0));
        QCOMPARE(env.messages.size(), refused ? 1 : 0);
        const bool written = answer && !refused;
        QCOMPARE(env.fileBytes("MyDesk.dat") != before, written);
        QCOMPARE(buttonCaptions().size(), 1 + (written && !changeIcon));
    }

    // Every button of a full launcher loads, each with its picture: a picture file as it is, the
    // tick for "none" (only in lower case) and for a missing, unreadable or empty picture path.
    void fullLauncherLoadsEveryButton()
    {
        TestEnvironment env;
        savePicture("None", Qt::red);
        savePicture("red.png", Qt::red);
        env.writeFile("notes.bmp", "not a picture");
        const QByteArray icons[] = {"none", "None", "red.png", "gone.ico", "notes.bmp", ""};
        QList<Entry> entries;
        for (int n = 0; n < 8192; ++n)
            entries.append({QByteArray::number(n), "/bin/p" + QByteArray::number(n), icons[n % 6]});
        env.writeFile("MyDesk.dat", desktopFile(entries));
        QVERIFY(env.startProgram());
        QCOMPARE(buttonCaptions().mid(8190), (QStringList{"8190", "8191"})); // and no more
        // Buttons 8185 to 8192 hold entries 8184 to 8191, whose pictures begin the cycle at "none".
        QCOMPARE(buttonLooks(8185), QStringList({"tick", "#ff0000", "#ff0000", "tick", "tick",
                                                 "tick", "tick", "#ff0000"}));
        clickButton(8192);
        QCOMPARE(env.launched, QStringList({"/bin/p8191"}));
        QVERIFY(env.messages.isEmpty());
    }

    void everyButtonInSightStartsItsProgram_data()
    {
        QTest::addColumn<QSize>("view");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("designed size") << twipsSize(7770, 5175) << false;
        QTest::newRow("large") << QSize(780, 600) << false;
        QTest::newRow("too low: the area scrolls") << QSize(twipsX(7770), 150) << true;
    }

    void everyButtonInSightStartsItsProgram()
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
        main->ShowChildView(Forms::Form9());
        main->resize(main->size() + view - Forms::Form9()->size());
        QCOMPARE(Forms::Form9()->size(), view);

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

    void dialogs_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("how");
        for (const char *form : {"Form10", "Form11"})
            for (const char *how :
                 {"Cancel", "close box", "Escape", "nothing chosen", "typed text", "second chosen"})
                QTest::addRow("%s %s", form, how) << QString(form) << QString(how);
    }

    // Each dialog opens in front of a disabled main window, listing every caption with none
    // chosen. Only an item chosen and confirmed changes the file, at the place chosen (the first
    // two captions are the same): Form10 deletes that button, Form11 gives it the picture picked.
    void dialogs()
    {
        QFETCH(QString, form);
        QFETCH(QString, how);
        TestEnvironment env;
        const QString red = env.path("red.png");
        // The third entry's values are as long as the second's: moving them down leaves no bytes of
        // the old ones.
        QList<Entry> entries{
            {"edit", "/bin/a"}, {"edit", "/bin/b", "b.png"}, {"exit", "/bin/c", "c.png"}};
        env.writeFile("MyDesk.dat", desktopFile(entries));
        const QMap<QByteArray, QColor> colours{
            {"b.png", Qt::blue}, {"c.png", Qt::green}, {red.toLatin1(), Qt::red}};
        for (auto it = colours.begin(); it != colours.end(); ++it)
            savePicture(QString::fromLatin1(it.key()), it.value());
        QVERIFY(env.startProgram());
        LauncherDialog *dialog = openDialog(form);
        QCOMPARE(dialog->windowTitle(),
                 form == "Form10" ? QStringLiteral("Select Program to Delete from My Desktop")
                                  : QStringLiteral("Change Icon"));
        QVERIFY(dialog->isVisible() && dialog->isWindow() && !env.mainWindow()->isEnabled());
        QStringList items;
        for (int i = 0; i < dialog->Combo1->count(); ++i)
            items.append(dialog->Combo1->itemText(i));
        QCOMPARE(items, QStringList({"edit", "edit", "exit"}));
        QCOMPARE(dialog->Combo1->currentIndex(), -1);

        if (how != "nothing chosen")
            dialog->Combo1->setCurrentIndex(1);
        env.fileDialogAnswers = {red};
        if (how == "close box")
            dialog->close();
        else if (how == "Escape")
            QTest::keyClick(dialog->Combo1, Qt::Key_Escape);
        else if (how == "Cancel")
            clickCommand(dialog, "Command2");
        else {
            if (how == "typed text")
                dialog->Combo1->setEditText("b2");
            clickCommand(dialog, "Command1");
        }

        const bool changes = how == "second chosen";
        if (changes && form == "Form10")
            entries.removeAt(1);
        else if (changes)
            entries[1].icon = red.toLatin1();
        QVERIFY(backAtLauncher(env, dialog));
        // Past the entries kept, deleting blanks the last entry's records, as the store tests
        // check.
        const QByteArray file = env.fileBytes("MyDesk.dat"), expected = desktopFile(entries);
        QCOMPARE(changes && form == "Form10" ? file.left(expected.size()) : file, expected);
        QStringList captions, looks, paths;
        for (const Entry &e : entries) {
            captions << e.caption;
            looks << (e.icon == "none" ? QStringLiteral("tick") : colours[e.icon].name());
            paths << e.path;
        }
        QCOMPARE(buttonCaptions() + buttonLooks(), captions + looks);
        for (int j = 1; j <= entries.size(); ++j)
            clickButton(j);
        QCOMPARE(env.launched, paths);
        QCOMPARE(env.fileDialogRequests.size(), changes && form == "Form11" ? 1 : 0);
        for (const FileDialog::Request &request : env.fileDialogRequests) {
            QCOMPARE(request.title, QStringLiteral("Select Icon"));
            QVERIFY(request.filters.contains("Icon File (*.ico *.bmp)"));
        }
        QVERIFY(env.messages.isEmpty());
    }
};

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
