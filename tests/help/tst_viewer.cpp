// The help viewer: paging in reading order, the paging buttons, and the pages' format.
#include "controls/keyboard.h"
#include "window_walk.h"

#include <QTextBlock>
#include <QTextList>

namespace {

// The pages in reading order, and their first lines.
const QList<int> Pages = {1, 11, 12, 13, 14, 15, 21, 22, 23, 24, 31, 32, 33, 34, 41, 42, 43, 44};
const QStringList Headings = {"Tallowby - Getting Started",
                              "Calendar – How to Add an Appointment",
                              "Calendar – How to View an Appointment",
                              "Calendar – How to Edit an Appointment",
                              "Calendar – How to Delete an Appointment",
                              "Calendar – How to View the Schedule for a specific day",
                              "Notes – How to Add a Note",
                              "Notes – How to View a Note",
                              "Notes – How to Edit a Note",
                              "Notes – How to Delete a Note",
                              "Address Book – How to Add an Entry",
                              "Address Book – How to View an Entry",
                              "Address Book – How to Edit an Entry",
                              "Address Book – How to Delete an Entry",
                              "My Desktop – How to Add a Program Button",
                              "My Desktop – How to Launch a Program",
                              "My Desktop – How to Delete a Program Button",
                              "My Desktop – How to Change an Icon of a Program Button"};

HelpViewerWindow *viewer()
{
    return Forms::Form13();
}

// The number of the one page that is not hidden and fills the page area; 0 when none or
// several are.
int shownPage()
{
    int shown = 0;
    for (const auto &[number, page] : viewer()->HelpFile) {
        if (!page->isHidden()) {
            if (shown || page->geometry() != twipsRect(120, 600, 5775, 4335))
                return 0;
            shown = number;
        }
    }
    return shown;
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

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env.emplace(); }
    void cleanup() { m_env.reset(); }

    void startsOnPage11WithAllPagesHidden()
    {
        QCOMPARE(viewer()->windowTitle(), "Tallowby Help");
        QCOMPARE((QStringList{Keyboard::plainCaption(viewer()->Command1->text()),
                              viewer()->Command2->text(), viewer()->Command3->text()}),
                 (QStringList{"Index", "<<", ">>"}));
        QCOMPARE(viewer()->Text1->text(), "11");
        viewer()->show();
        QVERIFY(!viewer()->Text1->isVisible());
        QCOMPARE(viewer()->findChildren<QTextBrowser *>().size(), 18);
        for (QTextBrowser *page : viewer()->findChildren<QTextBrowser *>())
            QVERIFY(page->isHidden() && page->isReadOnly());
    }

    // ">>" and "<<" step through the pages in reading order and stop at either end.
    void paging_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("to");
        for (qsizetype i = 0; i + 1 < Pages.size(); ++i) {
            const int a = Pages[i];
            const int b = Pages[i + 1];
            const char *kind = a / 10 == b / 10 ? "within chapter" : "across chapters";
            QTest::addRow(">> %s %d to %d", kind, a, b) << a << QStringLiteral("Command3") << b;
            QTest::addRow("<< %s %d to %d", kind, b, a) << b << QStringLiteral("Command2") << a;
        }
        QTest::addRow(">> stays on 44") << 44 << QStringLiteral("Command3") << 44;
        QTest::addRow("<< stays on 1") << 1 << QStringLiteral("Command2") << 1;
    }
    void paging()
    {
        QFETCH(int, from);
        QFETCH(QString, command);
        QFETCH(int, to);
        // The page shown, and the viewer the active window, as after a topic click.
        Module1::ShowHelpPage(from);
        viewer()->show();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(viewer(), &activate);
        QTest::mouseClick(viewer()->findChild<QPushButton *>(command), Qt::LeftButton);
        QCOMPARE(viewer()->Text1->text(), QString::number(to));
        QCOMPARE(shownPage(), to);
        QCOMPARE(viewer()->Command2->isEnabled(), to != 1);
        QCOMPARE(viewer()->Command3->isEnabled(), to != 44);
    }

    void pageFormat_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("heading");
        for (qsizetype i = 0; i < Pages.size(); ++i)
            QTest::addRow("page %d", Pages[i]) << Pages[i] << Headings[i];
    }
    // The heading is the first line in blue bold Arial 14, the body black Arial 10; topic
    // steps are disc bullets hanging by 360 twips, and the appointment pages list the fields
    // of an appointment, each indented by 720 twips. Getting Started names the four parts of
    // the program in bullets and in bold titles below them.
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
        QVERIFY2(page == 1 ? bullets == parts && boldTitles == parts : bullets.size() >= 3,
                 qPrintable(bullets.join(", ") + " / bold: " + boldTitles.join(", ")));
        const QStringList appointment{"Subject", "Start-time", "End-time", "Description",
                                      "Reminder Settings"};
        QCOMPARE(fields, page >= 11 && page <= 14 ? appointment : QStringList());
    }

private:
    std::optional<TestEnvironment> m_env;
};

QTEST_MAIN(TestHelpViewer)
#include "tst_viewer.moc"
