// The help viewer: paging in reading order, the paging buttons, and the pages' format.
#include "test_support.h"

#include "app/forms.h"
#include "app/module1.h"
#include "controls/keyboard.h"
#include "controls/twips.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextList>

#include <memory>

namespace {

const int ReadingOrder[] = {1, 11, 12, 13, 14, 15, 21, 22, 23, 24, 31, 32, 33, 34, 41, 42, 43, 44};

HelpViewerWindow *viewer()
{
    return Forms::Form13();
}

// Shows page `page` and lets the viewer become the active window, as a topic click does.
void open(int page)
{
    Module1::ShowHelpPage(page);
    viewer()->show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(viewer(), &activate);
}

QPushButton *button(const char *name)
{
    return viewer()->findChild<QPushButton *>(QString::fromLatin1(name));
}

// The number of the one page that is not hidden; 0 when none or several are.
int shownPage()
{
    int shown = 0;
    for (QTextBrowser *page : viewer()->findChildren<QTextBrowser *>()) {
        if (!page->isHidden()) {
            if (shown)
                return 0;
            shown = page->objectName().mid(9).chopped(1).toInt();
            if (page->geometry() != twipsRect(120, 600, 5775, 4335))
                return 0;
        }
    }
    return shown;
}

QTextDocument *document(int page)
{
    auto *browser = viewer()->findChild<QTextBrowser *>(QStringLiteral("HelpFile(%1)").arg(page));
    return browser ? browser->document() : nullptr;
}

QString heading(int page)
{
    const QString chapter = page < 20   ? QStringLiteral("Calendar")
                            : page < 30 ? QStringLiteral("Notes")
                            : page < 40 ? QStringLiteral("Address Book")
                                        : QStringLiteral("My Desktop");
    static const QHash<int, QString> topics = {
        {1, {}},
        {11, QStringLiteral("How to Add an Appointment")},
        {12, QStringLiteral("How to View an Appointment")},
        {13, QStringLiteral("How to Edit an Appointment")},
        {14, QStringLiteral("How to Delete an Appointment")},
        {15, QStringLiteral("How to View the Schedule for a specific day")},
        {21, QStringLiteral("How to Add a Note")},
        {22, QStringLiteral("How to View a Note")},
        {23, QStringLiteral("How to Edit a Note")},
        {24, QStringLiteral("How to Delete a Note")},
        {31, QStringLiteral("How to Add an Entry")},
        {32, QStringLiteral("How to View an Entry")},
        {33, QStringLiteral("How to Edit an Entry")},
        {34, QStringLiteral("How to Delete an Entry")},
        {41, QStringLiteral("How to Add a Program Button")},
        {42, QStringLiteral("How to Launch a Program")},
        {43, QStringLiteral("How to Delete a Program Button")},
        {44, QStringLiteral("How to Change an Icon of a Program Button")},
    };
    if (page == 1)
        return QStringLiteral("Tallowby - Getting Started");
    return chapter + QStringLiteral(" \u2013 ") + topics.value(page);
}

bool isArial(const QTextCharFormat &format, qreal points)
{
    return format.fontFamilies().toStringList().contains(QStringLiteral("Arial")) &&
           qFuzzyCompare(format.fontPointSize(), points);
}

} // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void startsOnPage11WithAllPagesHidden()
    {
        QCOMPARE(viewer()->objectName(), QStringLiteral("Form13"));
        QCOMPARE(viewer()->windowTitle(), QStringLiteral("Tallowby Help"));
        QCOMPARE(Keyboard::plainCaption(button("Command1")->text()), QStringLiteral("Index"));
        QCOMPARE(button("Command2")->text(), QStringLiteral("<<"));
        QCOMPARE(button("Command3")->text(), QStringLiteral(">>"));
        auto *text1 = viewer()->findChild<QLineEdit *>(QStringLiteral("Text1"));
        QVERIFY(text1);
        QCOMPARE(text1->text(), QStringLiteral("11"));
        viewer()->show();
        QVERIFY(!text1->isVisible());
        QCOMPARE(viewer()->findChildren<QTextBrowser *>().size(), 18);
        for (QTextBrowser *page : viewer()->findChildren<QTextBrowser *>()) {
            QVERIFY(page->isHidden());
            QVERIFY(page->isReadOnly());
        }
    }

    void paging_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("to");
        for (size_t i = 0; i + 1 < std::size(ReadingOrder); ++i) {
            const int a = ReadingOrder[i];
            const int b = ReadingOrder[i + 1];
            const char *kind = a / 10 == b / 10 ? "within chapter" : "across chapters";
            QTest::addRow(">> %s %d to %d", kind, a, b) << a << QStringLiteral("Command3") << b;
            QTest::addRow("<< %s %d to %d", kind, b, a) << b << QStringLiteral("Command2") << a;
        }
    }
    void paging()
    {
        QFETCH(int, from);
        QFETCH(QString, command);
        QFETCH(int, to);
        open(from);
        QTest::mouseClick(viewer()->findChild<QPushButton *>(command), Qt::LeftButton);
        QCOMPARE(viewer()->Text1->text(), QString::number(to));
        QCOMPARE(shownPage(), to);
        QCOMPARE(document(to)->begin().text(), heading(to));
        QCOMPARE(button("Command2")->isEnabled(), to != 1);
        QCOMPARE(button("Command3")->isEnabled(), to != 44);
    }

    void pagingStopsAtBothEnds()
    {
        open(44);
        QVERIFY(!button("Command3")->isEnabled());
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
        QCOMPARE(shownPage(), 44);
        open(1);
        QVERIFY(!button("Command2")->isEnabled());
        QVERIFY(button("Command3")->isEnabled());
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QCOMPARE(shownPage(), 1);
    }

    void indexShowsTheTopics()
    {
        open(32);
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QVERIFY(viewer()->isHidden());
        QVERIFY(Forms::Form12()->isVisible());
        // The viewer keeps its page while hidden.
        viewer()->show();
        QCOMPARE(shownPage(), 32);
    }

    void pageFormat_data()
    {
        QTest::addColumn<int>("page");
        for (const int page : ReadingOrder)
            QTest::addRow("page %d", page) << page;
    }
    // The heading is the first line in blue bold Arial 14, the body black Arial 10; topic
    // steps are disc bullets hanging by 360 twips.
    void pageFormat()
    {
        QFETCH(int, page);
        QTextDocument *doc = document(page);
        QVERIFY(doc);
        const QTextBlock first = doc->begin();
        QCOMPARE(first.text(), heading(page));
        for (auto it = first.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QVERIFY(isArial(format, 14));
            QCOMPARE(format.fontWeight(), int(QFont::Bold));
            QCOMPARE(format.foreground().color(), QColor(0, 0, 255));
        }
        QCOMPARE(doc->indentWidth(), qreal(360 / 15));
        int steps = 0;
        QStringList fields;
        for (QTextBlock block = first.next(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                QVERIFY2(isArial(format, 10), qPrintable(block.text()));
                QCOMPARE(format.foreground().color(), QColor(Qt::black));
            }
            if (QTextList *list = block.textList()) {
                ++steps;
                QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
                QCOMPARE(list->format().indent(), 1);
            } else if (block.blockFormat().leftMargin() == 720 / 15) {
                fields << block.text().section(QStringLiteral(" \u2013 "), 0, 0);
            }
        }
        if (page == 1)
            return;
        QVERIFY(steps >= 3);
        // The appointment pages list the fields of an appointment.
        if (page >= 11 && page <= 14) {
            QCOMPARE(fields, (QStringList{"Subject", "Start-time", "End-time", "Description",
                                          "Reminder Settings"}));
        } else {
            QVERIFY(fields.isEmpty());
        }
    }

    void gettingStartedNamesTheFourParts()
    {
        QTextDocument *doc = document(1);
        QStringList bullets;
        QStringList boldTitles;
        for (QTextBlock block = doc->begin().next(); block.isValid(); block = block.next()) {
            if (block.textList()) {
                bullets << block.text();
                continue;
            }
            bool allBold = !block.text().isEmpty();
            for (auto it = block.begin(); !it.atEnd(); ++it)
                allBold = allBold && it.fragment().charFormat().fontWeight() == QFont::Bold;
            if (allBold)
                boldTitles << block.text();
        }
        const QStringList parts{"Calendar", "Notes", "Address Book", "My Desktop"};
        QCOMPARE(bullets, parts);
        QCOMPARE(boldTitles, parts);
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestHelpViewer)
#include "tst_viewer.moc"
