#include "help/help_viewer_window.h"

#include "controls/keyboard.h"
#include "controls/pictures.h"
#include "controls/program_frame.h"
#include "controls/twips.h"
#include "help/help_forms.h"
#include "help/help_procedures.h"
#include "help/help_topics_window.h"

#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>

namespace {

// The page text built into the program, or an empty text when it is missing.
QString pageText(int page)
{
    QFile file(QStringLiteral(":/help/pages/page%1.html").arg(page, 2, 10, QLatin1Char('0')));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Trailing white space after the page would become a blank in its last paragraph.
    return QString::fromUtf8(file.readAll()).trimmed();
}

// ">>": the page after `page` in reading order (the last page leads to the first).
int nextPage(int page)
{
    int p = page + 1;
    for (const auto &[from, to] : {std::pair{2, 11}, {16, 21}, {25, 31}, {35, 41}, {45, 1}}) {
        if (p == from)
            p = to;
    }
    return p;
}

// "<<": the page before `page` in reading order (the first page leads to the last).
int previousPage(int page)
{
    int p = page - 1;
    for (const auto &[from, to] : {std::pair{0, 44}, {10, 1}, {20, 15}, {30, 24}, {40, 34}}) {
        if (p == from)
            p = to;
    }
    return p;
}

} // namespace

const int HelpViewerWindow::PageNumbers[18] = {1,  11, 12, 13, 14, 15, 21, 22, 23,
                                               24, 31, 32, 33, 34, 41, 42, 43, 44};

HelpViewerWindow::HelpViewerWindow(QWidget *parent) : QWidget(parent)
{
    Q_INIT_RESOURCE(help);
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(QStringLiteral("Tallowby Help"));
    setWindowIcon(Pictures::logoIcon());
    resize(twipsSize(6060, 5070));

    auto button = [this](const char *name, const QString &caption, int left) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(twipsRect(left, 120, 1095, 375));
        return b;
    };
    Command1 = button("Command1", QStringLiteral("&Index"), 120);
    Command2 = button("Command2", QStringLiteral("<<"), 1200);
    Command3 = button("Command3", QStringLiteral(">>"), 2280);
    // The paging buttons have no letter for an access key: Alt with the arrow keys pages, as
    // back and forward do in a browser, and a screen reader names them by what they do.
    Command2->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    Command3->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    Command2->setAccessibleName(QStringLiteral("Previous page"));
    Command3->setAccessibleName(QStringLiteral("Next page"));
    Keyboard::setDialogKeys(this, nullptr);

    // The current page number lives here; the user never works with it.
    Text1 = new QLineEdit(QStringLiteral("11"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(120, 4950, 1095, 285));
    Text1->setReadOnly(true);
    Text1->hide();

    // The pages are written in black and blue on white, so they keep a white page whatever the
    // desktop's palette.
    QPalette paper = palette();
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
    for (const int page : PageNumbers) {
        auto *browser = new QTextBrowser(this);
        browser->setPalette(paper);
        browser->setObjectName(QStringLiteral("HelpFile(%1)").arg(page));
        browser->setGeometry(pageArea());
        browser->setOpenLinks(false);
        // Bulleted steps hang by 360 twips: the list indent is one step of this width. The
        // pages set their own fonts, so their indents keep the designed density.
        browser->document()->setIndentWidth(360 / 15);
        browser->setHtml(pageText(page));
        // A screen reader names the page by its heading.
        browser->setAccessibleName(browser->document()->begin().text());
        browser->hide();
        HelpFile[page] = browser;
    }

    connect(Command1, &QPushButton::clicked, this, &HelpViewerWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &HelpViewerWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &HelpViewerWindow::Command3_Click);
}

void HelpViewerWindow::load() {}

QRect HelpViewerWindow::pageArea() const
{
    const QSize change = size() - twipsSize(6060, 5070);
    return twipsRect(120, 600, 5775, 4335).adjusted(0, 0, change.width(), change.height());
}

void HelpViewerWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (const auto &[number, browser] : HelpFile)
        browser->setGeometry(pageArea());
}

bool HelpViewerWindow::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(e);
}

void HelpViewerWindow::Form_Activate()
{
    SetPagingButtons();
}

void HelpViewerWindow::SetPagingButtons()
{
    Command2->setEnabled(Text1->text() != QLatin1String("1"));
    Command3->setEnabled(Text1->text() != QLatin1String("44"));
}

void HelpViewerWindow::Command1_Click()
{
    hide();
    HelpTopicsWindow *topics = Forms::Form12();
    topics->show();
    topics->raise();
    topics->activateWindow();
}

void HelpViewerWindow::Command2_Click()
{
    Module1::ShowHelpPage(previousPage(Text1->text().toInt()));
    SetPagingButtons();
}

void HelpViewerWindow::Command3_Click()
{
    Module1::ShowHelpPage(nextPage(Text1->text().toInt()));
    SetPagingButtons();
}
