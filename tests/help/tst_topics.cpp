// The help topics tree: its nodes, folding and unfolding, and opening pages from it.
#include "window_walk.h"

#include <QAction>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

QTreeWidget *tree()
{
    return Forms::Form12()->TreeView1;
}

QTreeWidgetItem *node(const QString &text)
{
    return tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}

void click(const QString &text)
{
    QVERIFY2(node(text), qPrintable(text));
    emit tree()->itemClicked(node(text), 0);
}

// What the user sees of every node in tree order: "key|parent's key|text:picture", with
// "unfolded" after an unfolded node and "drawn otherwise" after one whose icon is not its
// picture of ImageList1.
QStringList treeLook()
{
    const auto key = [](const QTreeWidgetItem *item) {
        return item ? item->data(0, HelpTopicsWindow::KeyRole).toString() : QString();
    };
    QStringList look;
    for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
        const int picture = (*it)->data(0, HelpTopicsWindow::PictureRole).toInt();
        const bool drawn =
            (*it)->icon(0).cacheKey() == Forms::Form12()->ImageList1.value(picture - 1).cacheKey();
        look << key(*it) + '|' + key((*it)->parent()) + '|' + (*it)->text(0) + ':' +
                    QString::number(picture) + (drawn ? "" : " drawn otherwise") +
                    ((*it)->isExpanded() ? " unfolded" : "");
    }
    return look;
}

// The tree as built, all folded: the root and the chapters closed books (1), the topics
// sheets (3) keyed by chapter and topic number.
QStringList treeAsBuilt()
{
    // Each chapter's key and text, then its topics after "How to".
    const QList<QStringList> chapters = {
        {"C", "Calendar", "add an appointment", "view an appointment", "edit an appointment",
         "delete an appointment", "view the schedule for a specific day"},
        {"N", "Notes", "add a note", "view a note", "edit a note", "delete a note"},
        {"A", "Address Book", "add an entry", "view an entry", "edit an entry", "delete an entry"},
        {"D", "My Desktop", "add a program button", "launch a program", "delete a program button",
         "change an icon of a program button"}};
    QStringList nodes{"Tlw||Tallowby:1", "0-1|Tlw|Getting Started:3"};
    for (int c = 0; c < chapters.size(); ++c) {
        nodes << chapters[c][0] + "|Tlw|" + chapters[c][1] + ":1";
        for (int t = 2; t < chapters[c].size(); ++t)
            nodes << QStringLiteral("%1-%2|").arg(c + 1).arg(t - 1) + chapters[c][0] + "|How to " +
                         chapters[c][t] + ":3";
    }
    return nodes;
}

// What the viewer shows: the number of its page, the pages not hidden, and the paging buttons
// that are enabled.
QString viewerShows()
{
    HelpViewerWindow *viewer = Forms::Form13();
    QStringList shown{viewer->Text1->text()};
    for (const auto &[number, page] : viewer->HelpFile) {
        if (!page->isHidden())
            shown << page->objectName();
    }
    for (const QPushButton *button : {viewer->Command2, viewer->Command3}) {
        if (button->isEnabled())
            shown << button->text();
    }
    return shown.join(' ');
}

} // namespace

class TestHelpTopics : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env.emplace(); }
    void cleanup() { m_env.reset(); }

    void foldingChangesOnlyThePicture_data()
    {
        QTest::addColumn<QStringList>("steps"); // "+" unfolds the node with that text, "-" folds it
        // The nodes that look different from the tree as built afterwards.
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("as built") << QStringList{} << QStringList{};
        QTest::newRow("unfolding the root opens the root's book")
            << QStringList{"+Tallowby"} << QStringList{"Tlw||Tallowby:2 unfolded"};
        QTest::newRow("unfolding Calendar opens its book")
            << QStringList{"+Tallowby", "+Calendar"}
            << QStringList{"Tlw||Tallowby:2 unfolded", "C|Tlw|Calendar:2 unfolded"};
        QTest::newRow("folding Calendar again closes it")
            << QStringList{"+Tallowby", "+Calendar", "-Calendar"}
            << QStringList{"Tlw||Tallowby:2 unfolded"};
        QTest::newRow("folding the root leaves Calendar open")
            << QStringList{"+Tallowby", "+Calendar", "-Tallowby"}
            << QStringList{"C|Tlw|Calendar:2 unfolded"};
    }
    void foldingChangesOnlyThePicture()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, changed);
        Forms::Form12()->show();
        for (const QString &step : steps)
            node(step.mid(1))->setExpanded(step.startsWith(QLatin1Char('+')));
        QStringList expected = treeAsBuilt();
        for (const QString &look : changed) {
            const qsizetype i = expected.indexOf(look.section(':', 0, 0) + ":1");
            QVERIFY2(i >= 0, qPrintable(look));
            expected[i] = look;
        }
        QCOMPARE(treeLook(), expected);
    }

    void clickOpensALeafsPage_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("shown"); // empty: the root or a chapter, which shows no page
        QTest::newRow("Getting Started") << "Getting Started"
                                         << "1 HelpFile(1) >>";
        QTest::newRow("day schedule") << "How to view the schedule for a specific day"
                                      << "15 HelpFile(15) << >>";
        QTest::newRow("change icon") << "How to change an icon of a program button"
                                     << "44 HelpFile(44) <<";
        for (const char *text : {"Tallowby", "Calendar", "Notes", "Address Book", "My Desktop"})
            QTest::newRow(text) << QString::fromLatin1(text) << QString();
    }
    // The page shown is the topic's (the viewer's test checks each page's heading), and the
    // paging buttons follow it at once.
    void clickOpensALeafsPage()
    {
        QFETCH(QString, topic);
        QFETCH(QString, shown);
        Forms::Form12()->show();
        click(topic);
        QCOMPARE(Forms::Form12()->isHidden(), !shown.isEmpty());
        QCOMPARE(Forms::exists("Form13"), !shown.isEmpty());
        if (!shown.isEmpty()) {
            QVERIFY(Forms::Form13()->isVisible());
            QCOMPARE(viewerShows(), shown);
        }
    }

    void indexReturnsToTheTreeAsLeft()
    {
        Forms::Form12()->show();
        tree()->expandItem(node("Tallowby"));
        tree()->expandItem(node("Notes"));
        const QStringList look = treeLook();
        click("How to edit a note");
        QTest::mouseClick(Forms::Form13()->Command1, Qt::LeftButton);
        QVERIFY(Forms::Form13()->isHidden());
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(treeLook(), look);
        QCOMPARE(viewerShows(), "23 HelpFile(23) << >>"); // kept while the viewer is hidden

        // Another topic shows its own page, whatever was shown before.
        click("How to add an entry");
        QCOMPARE(viewerShows(), "31 HelpFile(31) << >>");
        QVERIFY(Forms::Form12()->isHidden());
    }

    // Help > Help Topics shows the tree as built; closed through the window system, the window
    // comes back with a new tree, all folded.
    void helpTopicsCommandShowsTheTree()
    {
        QVERIFY(m_env->startProgram());
        QAction *command = m_env->mainWindow()->Help;
        command->trigger();
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(Forms::Form12()->windowTitle(), "Tallowby Help Topics");
        QCOMPARE(treeLook(), treeAsBuilt());
        QVERIFY(!Forms::exists("Form13"));
        tree()->expandItem(node("Notes"));
        QVERIFY(Forms::Form12()->close());
        command->trigger();
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(treeLook(), treeAsBuilt());
    }

private:
    std::optional<TestEnvironment> m_env;
};

QTEST_MAIN(TestHelpTopics)
#include "tst_topics.moc"
