// The help topics tree: its nodes, folding and unfolding, and opening pages from it.
#include "test_support.h"

#include "app/forms.h"
#include "app/main_window.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace {

QTreeWidget *tree()
{
    return Forms::Form12()->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
}

QTreeWidgetItem *nodeWithText(const QString &text)
{
    for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
        if ((*it)->text(0) == text)
            return *it;
    }
    return nullptr;
}

int picture(const QTreeWidgetItem *item)
{
    return item->data(0, HelpTopicsWindow::PictureRole).toInt();
}

// What the user sees of every node: text and picture, in tree order.
QStringList treeLook()
{
    QStringList look;
    for (QTreeWidgetItemIterator it(tree()); *it; ++it)
        look << QStringLiteral("%1:%2").arg((*it)->text(0)).arg(picture(*it));
    return look;
}

void click(const QString &text)
{
    QTreeWidgetItem *item = nodeWithText(text);
    QVERIFY2(item, qPrintable(text));
    emit tree()->itemClicked(item, 0);
}

// The one page of the viewer that is not hidden, or nullptr when there is not exactly one.
QTextBrowser *shownPage()
{
    QTextBrowser *shown = nullptr;
    for (QTextBrowser *page : Forms::Form13()->findChildren<QTextBrowser *>()) {
        if (!page->isHidden()) {
            if (shown)
                return nullptr;
            shown = page;
        }
    }
    return shown;
}

} // namespace

class TestHelpTopics : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void treeAsBuiltAllFolded()
    {
        // Each node as "key text parent picture", top to bottom.
        const QStringList expected = {
            "Tlw|Tallowby||1",
            "0-1|Getting Started|Tlw|3",
            "C|Calendar|Tlw|1",
            "1-1|How to add an appointment|C|3",
            "1-2|How to view an appointment|C|3",
            "1-3|How to edit an appointment|C|3",
            "1-4|How to delete an appointment|C|3",
            "1-5|How to view the schedule for a specific day|C|3",
            "N|Notes|Tlw|1",
            "2-1|How to add a note|N|3",
            "2-2|How to view a note|N|3",
            "2-3|How to edit a note|N|3",
            "2-4|How to delete a note|N|3",
            "A|Address Book|Tlw|1",
            "3-1|How to add an entry|A|3",
            "3-2|How to view an entry|A|3",
            "3-3|How to edit an entry|A|3",
            "3-4|How to delete an entry|A|3",
            "D|My Desktop|Tlw|1",
            "4-1|How to add a program button|D|3",
            "4-2|How to launch a program|D|3",
            "4-3|How to delete a program button|D|3",
            "4-4|How to change an icon of a program button|D|3",
        };
        const auto key = [](const QTreeWidgetItem *item) {
            return item ? item->data(0, HelpTopicsWindow::KeyRole).toString() : QString();
        };
        QStringList nodes;
        for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
            nodes << QStringList{key(*it), (*it)->text(0), key((*it)->parent()),
                                 QString::number(picture(*it))}
                         .join(QLatin1Char('|'));
            QCOMPARE((*it)->icon(0).cacheKey(),
                     Forms::Form12()->ImageList1.at(picture(*it) - 1).cacheKey());
            QVERIFY(!(*it)->isExpanded());
        }
        QCOMPARE(nodes, expected);
    }

    void foldingChangesOnlyThePicture_data()
    {
        QTest::addColumn<QStringList>("unfold");
        QTest::addColumn<QStringList>("fold");
        // The nodes whose pictures differ afterwards from the tree as built ("text:picture").
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("unfolding the root opens the root's book")
            << QStringList{"Tallowby"} << QStringList{} << QStringList{"Tallowby:2"};
        QTest::newRow("unfolding Calendar opens its book")
            << QStringList{"Tallowby", "Calendar"} << QStringList{}
            << QStringList{"Tallowby:2", "Calendar:2"};
        QTest::newRow("folding Calendar again closes it")
            << QStringList{"Tallowby", "Calendar"} << QStringList{"Calendar"}
            << QStringList{"Tallowby:2"};
        QTest::newRow("folding the root leaves Calendar open")
            << QStringList{"Tallowby", "Calendar"} << QStringList{"Tallowby"}
            << QStringList{"Calendar:2"};
    }
    void foldingChangesOnlyThePicture()
    {
        QFETCH(QStringList, unfold);
        QFETCH(QStringList, fold);
        QFETCH(QStringList, changed);
        Forms::Form12()->show();
        QStringList expected = treeLook();
        for (const QString &text : unfold)
            tree()->expandItem(nodeWithText(text));
        for (const QString &text : fold)
            tree()->collapseItem(nodeWithText(text));
        for (const QString &entry : changed) {
            const QString text = entry.section(QLatin1Char(':'), 0, 0);
            const int pictureNumber = entry.section(QLatin1Char(':'), 1).toInt();
            expected.replace(expected.indexOf(text + QStringLiteral(":1")), entry);
            QCOMPARE(nodeWithText(text)->icon(0).cacheKey(),
                     Forms::Form12()->ImageList1.at(pictureNumber - 1).cacheKey());
        }
        QCOMPARE(treeLook(), expected);
    }

    void clickOpensALeafsPage_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<int>("page"); // 0: the root or a chapter, which shows no page
        QTest::addColumn<QString>("heading");
        QTest::newRow("Getting Started") << "Getting Started" << 1 << "Tallowby - Getting Started";
        QTest::newRow("day schedule") << "How to view the schedule for a specific day" << 15
                                      << "Calendar – How to View the Schedule for a specific day";
        QTest::newRow("change icon") << "How to change an icon of a program button" << 44
                                     << "My Desktop – How to Change an Icon of a Program Button";
        for (const char *text : {"Tallowby", "Calendar", "Notes", "Address Book", "My Desktop"})
            QTest::newRow(text) << QString::fromLatin1(text) << 0 << QString();
    }
    void clickOpensALeafsPage()
    {
        QFETCH(QString, topic);
        QFETCH(int, page);
        QFETCH(QString, heading);
        Forms::Form12()->show();
        click(topic);
        QCOMPARE(Forms::Form12()->isHidden(), page != 0);
        QCOMPARE(Forms::exists("Form13"), page != 0);
        if (page == 0)
            return;
        HelpViewerWindow *viewer = Forms::Form13();
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->Text1->text(), QString::number(page));
        QTextBrowser *shown = shownPage();
        QVERIFY(shown);
        QCOMPARE(shown->objectName(), QStringLiteral("HelpFile(%1)").arg(page));
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->document()->begin().text(), heading);
        QCOMPARE(viewer->Command2->isEnabled(), page != 1);
        QCOMPARE(viewer->Command3->isEnabled(), page != 44);
    }

    void indexReturnsToTheTreeAsLeft()
    {
        Forms::Form12()->show();
        tree()->expandItem(nodeWithText(QStringLiteral("Tallowby")));
        tree()->expandItem(nodeWithText(QStringLiteral("Notes")));
        const QStringList look = treeLook();
        click(QStringLiteral("How to edit a note"));
        QCOMPARE(Forms::Form13()->Text1->text(), QStringLiteral("23"));

        QTest::mouseClick(Forms::Form13()->Command1, Qt::LeftButton);
        QVERIFY(Forms::Form13()->isHidden());
        QVERIFY(Forms::Form12()->isVisible());
        QVERIFY(nodeWithText(QStringLiteral("Notes"))->isExpanded());
        QVERIFY(!nodeWithText(QStringLiteral("Calendar"))->isExpanded());
        QCOMPARE(treeLook(), look);

        // Another topic shows its own page, whatever was shown before.
        click(QStringLiteral("How to add an entry"));
        QCOMPARE(Forms::Form13()->Text1->text(), QStringLiteral("31"));
        QCOMPARE(shownPage(), Forms::Form13()->HelpFile.at(31));
        QVERIFY(Forms::Form12()->isHidden());
    }

    void helpTopicsCommandShowsTheTree()
    {
        MainWindow *main = m_env->startProgram();
        QVERIFY(main);
        auto *command = main->findChild<QAction *>(QStringLiteral("Help"));
        QVERIFY(command);
        command->trigger();
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(Forms::Form12()->windowTitle(), QStringLiteral("Tallowby Help Topics"));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QVERIFY(!Forms::exists("Form13"));

        // Closed through the window system, the window comes back with a new tree, all folded.
        const QStringList asBuilt = treeLook();
        tree()->expandItem(nodeWithText(QStringLiteral("Notes")));
        QVERIFY(Forms::Form12()->close());
        command->trigger();
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(treeLook(), asBuilt);
        for (QTreeWidgetItemIterator it(tree()); *it; ++it)
            QVERIFY(!(*it)->isExpanded());
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestHelpTopics)
#include "tst_topics.moc"
