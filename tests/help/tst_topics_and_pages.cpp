// The help: the topics tree (its nodes, folding and unfolding, opening pages from it) and the
// viewer (paging in reading order, the paging buttons, and the pages' format).
#include "controls/keyboard.h"
#include "window_walk.h"

#include <QTextBlock>
#include <QTextList>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

// Each chapter's key and title, then its topics as the page headings write them.
const QList<QStringList> Chapters = {
    {"C", "Calendar", "Add an Appointment", "View an Appointment", "Edit an Appointment",
     "Delete an Appointment", "View the Schedule for a specific day"},
    {"N", "Notes", "Add a Note", "View a Note", "Edit a Note", "Delete a Note"},
    {"A", "Address Book", "Add an Entry", "View an Entry", "Edit an Entry", "Delete an Entry"},
    {"D", "My Desktop", "Add a Program Button", "Launch a Program", "Delete a Program Button",
     "Change an Icon of a Program Button"}};

// The pages by number, which is their reading order, each with its first line.
QMap<int, QString> pages()
{
    QMap<int, QString> pages{{1, "Tallowby - Getting Started"}};
    for (int c = 0; c < Chapters.size(); ++c) {
        for (int t = 2; t < Chapters[c].size(); ++t)
            pages.insert(10 * (c + 1) + t - 1, Chapters[c][1] + " – How to " + Chapters[c][t]);
    }
    return pages;
}

// The tree as built, all folded: the root and the chapters closed books (1), the topics
// sheets (3) keyed by chapter and topic number, their texts in lower case after "How to".
QStringList treeAsBuilt()
{
    QStringList nodes{"Tlw||Tallowby:1", "0-1|Tlw|Getting Started:3"};
    for (int c = 0; c < Chapters.size(); ++c) {
        nodes << Chapters[c][0] + "|Tlw|" + Chapters[c][1] + ":1";
        for (int t = 2; t < Chapters[c].size(); ++t)
            nodes << QStringLiteral("%1-%2|").arg(c + 1).arg(t - 1) + Chapters[c][0] + "|How to " +
                         Chapters[c][t].toLower() + ":3";
    }
    return nodes;
}

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

HelpViewerWindow *viewer()
{
    return Forms::Form13();
}

// What the viewer shows, nothing when there is none and "hidden:" first while it is hidden: the
// number of its page, the pages not hidden ("misplaced" after one
// that does not fill the page area), and the paging buttons that are enabled.
QString viewerShows()
{
    if (!Forms::exists("Form13"))
        return {};
    QStringList shown{viewer()->isVisible() ? viewer()->Text1->text()
                                            : "hidden: " + viewer()->Text1->text()};
    for (const auto &[number, page] : viewer()->HelpFile) {
        if (!page->isHidden())
            shown << page->objectName() +
                         (page->geometry() == twipsRect(120, 600, 5775, 4335) ? "" : " misplaced");
    }
    for (const QPushButton *button : {viewer()->Command2, viewer()->Command3}) {
        if (button->isEnabled())
            shown << button->text();
    }
    return shown.join(' ');
}

// Whether every piece of text in the block is in Arial of that size, of that weight and colour.
bool isArial(const QTextBlock &block, qreal points, int weight, const QColor &colour)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (!format.fontFamilies().toStringList().contains("Arial") ||
            !qFuzzyCompare(format.fontPointSize(), points) ||
            (weight && format.fontWeight() != weight) || format.foreground().color() != colour)
            return false;
    }
    return true;
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env.emplace(); }
    void cleanup() { m_env.reset(); }

    // Unfolding a node opens its book (picture 2), folding closes it; nothing else changes.
    void foldingChangesOnlyThePicture()
    {
        const auto unfolded = [](const QStringList &nodes) { // "key|parent's key|text" each
            QStringList look = treeAsBuilt();
            for (const QString &n : nodes)
                look.replaceInStrings(n + ":1", n + ":2 unfolded");
            return look;
        };
        Forms::Form12()->show();
        node("Tallowby")->setExpanded(true);
        QCOMPARE(treeLook(), unfolded({"Tlw||Tallowby"}));
        node("Calendar")->setExpanded(true);
        QCOMPARE(treeLook(), unfolded({"Tlw||Tallowby", "C|Tlw|Calendar"}));
        node("Calendar")->setExpanded(false);
        QCOMPARE(treeLook(), unfolded({"Tlw||Tallowby"}));
        node("Calendar")->setExpanded(true);
        node("Tallowby")->setExpanded(false); // Calendar stays unfolded
        QCOMPARE(treeLook(), unfolded({"C|Tlw|Calendar"}));
    }

    void clickOpensALeafsPage_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("shown"); // empty: the root or a chapter, which shows no page
        const std::pair<const char *, const char *> leaves[] = {
            {"Getting Started", "1 HelpFile(1) >>"},
            {"How to view the schedule for a specific day", "15 HelpFile(15) << >>"},
            {"How to change an icon of a program button", "44 HelpFile(44) <<"}};
        for (const auto &[topic, shown] : leaves)
            QTest::newRow(topic) << QString(topic) << QString(shown);
        for (const char *text : {"Tallowby", "Calendar", "Notes", "Address Book", "My Desktop"})
            QTest::newRow(text) << QString(text) << QString();
    }
    // The page shown is the topic's (pageFormat checks each page's heading), and the paging
    // buttons follow it at once.
    void clickOpensALeafsPage()
    {
        QFETCH(QString, topic);
        QFETCH(QString, shown);
        Forms::Form12()->show();
        click(topic);
        QCOMPARE(Forms::Form12()->isHidden(), !shown.isEmpty());
        QCOMPARE(viewerShows(), shown);
    }

    // Help > Help Topics shows the tree as built. Index in the viewer returns to the tree as it
    // was left, the viewer keeping its page while hidden, and another topic shows its own page.
    // Closed through the window system, the window comes back with a new tree, all folded.
    void helpTopicsCommandAndIndex()
    {
        QVERIFY(m_env->startProgram());
        QAction *command = m_env->mainWindow()->Help;
        command->trigger();
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(Forms::Form12()->windowTitle(), "Tallowby Help Topics");
        QCOMPARE(treeLook(), treeAsBuilt());
        QCOMPARE(viewerShows(), "");
        tree()->expandItem(node("Tallowby"));
        tree()->expandItem(node("Notes"));
        const QStringList look = treeLook();
        click("How to edit a note");
        QTest::mouseClick(viewer()->Command1, Qt::LeftButton);
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(treeLook(), look);
        QCOMPARE(viewerShows(), "hidden: 23 HelpFile(23) << >>");
        click("How to add an entry");
        QCOMPARE(viewerShows(), "31 HelpFile(31) << >>");
        QVERIFY(Forms::Form12()->isHidden());
        command->trigger();
        QVERIFY(Forms::Form12()->close());
        command->trigger();
        QVERIFY(Forms::Form12()->isVisible());
        QCOMPARE(treeLook(), treeAsBuilt());
    }

    void viewerStartsOnPage11WithAllPagesHidden()
    {
        QCOMPARE((QStringList{viewer()->windowTitle(), viewer()->Text1->text(),
                              Keyboard::plainCaption(viewer()->Command1->text()),
                              viewer()->Command2->text(), viewer()->Command3->text()}),
                 (QStringList{"Tallowby Help", "11", "Index", "<<", ">>"}));
        viewer()->show();
        QVERIFY(!viewer()->Text1->isVisible());
        QCOMPARE(viewer()->findChildren<QTextBrowser *>().size(), 18);
        for (QTextBrowser *page : viewer()->findChildren<QTextBrowser *>())
            QVERIFY(page->isHidden() && page->isReadOnly());
    }

    // ">>" and "<<" step through the pages in reading order and stop at either end; the
    // paging buttons follow at once.
    void pagingFollowsTheReadingOrder()
    {
        // The first page shown, and the viewer the active window, as after a topic click.
        Module1::ShowHelpPage(1);
        viewer()->show();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(viewer(), &activate);
        QList<int> order = pages().keys();
        QStringList expected, shown;
        for (QPushButton *button : {viewer()->Command3, viewer()->Command2}) {
            for (qsizetype i = 1; i <= order.size(); ++i) { // the last click stays at the end
                const int page = order[qMin(i, order.size() - 1)];
                QTest::mouseClick(button, Qt::LeftButton);
                shown << viewerShows();
                expected << QStringLiteral("%1 HelpFile(%1)").arg(page) + (page != 1 ? " <<" : "") +
                                (page != 44 ? " >>" : "");
            }
            std::reverse(order.begin(), order.end());
        }
        QCOMPARE(shown, expected);
    }

    void pageFormat_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("heading");
        for (const auto &[page, heading] : pages().asKeyValueRange())
            QTest::addRow("page %d", page) << page << heading;
    }
    // The heading is the first line in blue bold Arial 14, the body black Arial 10; topic
    // steps are disc bullets hanging by 360 twips, and the appointment pages list the fields
    // of an appointment, each indented by 720 twips. Getting Started names the four parts of
    // the program in bullets and in bold titles below them, then Find.
    void pageFormat()
    {
        QFETCH(int, page);
        QFETCH(QString, heading);
        auto *browser =
            viewer()->findChild<QTextBrowser *>(QStringLiteral("HelpFile(%1)").arg(page));
        QVERIFY(browser);
        QTextDocument *doc = browser->document();
        QCOMPARE(doc->begin().text(), heading);
        QVERIFY(isArial(doc->begin(), 14, QFont::Bold, QColor(0, 0, 255)));
        QCOMPARE(doc->indentWidth(), qreal(360 / 15));
        QStringList bullets, boldTitles, fields;
        for (QTextBlock block = doc->begin().next(); block.isValid(); block = block.next()) {
            QVERIFY2(isArial(block, 10, 0, Qt::black), qPrintable(block.text()));
            if (QTextList *list = block.textList()) {
                bullets << block.text();
                QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
                QCOMPARE(list->format().indent(), 1);
            } else if (block.blockFormat().leftMargin() == 720 / 15) {
                fields << block.text().section(" – ", 0, 0);
            } else if (!block.text().isEmpty() && isArial(block, 10, QFont::Bold, Qt::black)) {
                boldTitles << block.text();
            }
        }
        const QStringList parts{"Calendar", "Notes", "Address Book", "My Desktop"};
        QVERIFY2(page == 1 ? bullets == parts && boldTitles == parts + QStringList{"Find"}
                           : bullets.size() >= 3,
                 qPrintable(bullets.join(", ") + " / bold: " + boldTitles.join(", ")));
        const QStringList appointment{"Subject", "Start-time", "End-time", "Description",
                                      "Reminder Settings"};
        QCOMPARE(fields, page >= 11 && page <= 14 ? appointment : QStringList());
    }

private:
    std::optional<TestEnvironment> m_env;
};

QTEST_MAIN(TestHelp)
#include "tst_topics_and_pages.moc"
