#include "help/help_procedures.h"
#include "controls/program_frame.h"
#include "controls/twips.h"
#include "help/help_forms.h"
#include "help/help_topics_window.h"
#include "help/help_viewer_window.h"

#include <QLineEdit>
#include <QTextBrowser>

namespace Module1 {

void BuildHelpTopics()
{
    HelpTopicsWindow *form = Forms::Form12();
    constexpr int Book = HelpTopicsWindow::ClosedBook;
    constexpr int Sheet = HelpTopicsWindow::Sheet;
    struct Node {
        const char *key;
        const char *text;
        const char *parent;
        int picture;
    };
    static const Node nodes[] = {
        {"Tlw", "Tallowby", "", Book},
        {"0-1", "Getting Started", "Tlw", Sheet},
        {"C", "Calendar", "Tlw", Book},
        {"1-1", "How to add an appointment", "C", Sheet},
        {"1-2", "How to view an appointment", "C", Sheet},
        {"1-3", "How to edit an appointment", "C", Sheet},
        {"1-4", "How to delete an appointment", "C", Sheet},
        {"1-5", "How to view the schedule for a specific day", "C", Sheet},
        {"N", "Notes", "Tlw", Book},
        {"2-1", "How to add a note", "N", Sheet},
        {"2-2", "How to view a note", "N", Sheet},
        {"2-3", "How to edit a note", "N", Sheet},
        {"2-4", "How to delete a note", "N", Sheet},
        {"A", "Address Book", "Tlw", Book},
        {"3-1", "How to add an entry", "A", Sheet},
        {"3-2", "How to view an entry", "A", Sheet},
        {"3-3", "How to edit an entry", "A", Sheet},
        {"3-4", "How to delete an entry", "A", Sheet},
        {"D", "My Desktop", "Tlw", Book},
        {"4-1", "How to add a program button", "D", Sheet},
        {"4-2", "How to launch a program", "D", Sheet},
        {"4-3", "How to delete a program button", "D", Sheet},
        {"4-4", "How to change an icon of a program button", "D", Sheet},
    };
    for (const Node &n : nodes) {
        form->addNode(QString::fromLatin1(n.parent), QString::fromLatin1(n.key),
                      QString::fromLatin1(n.text), n.picture);
    }
}

void ShowHelpPage(int page)
{
    HelpViewerWindow *form = Forms::Form13();
    const auto found = form->HelpFile.find(page);
    // Only the numbers of built-in pages arise; anything else leaves the viewer as it is.
    if (found == form->HelpFile.end())
        return;
    QTextBrowser *target = found->second;
    target->setGeometry(form->pageArea());
    for (const auto &[number, browser] : form->HelpFile)
        browser->hide();
    form->Text1->setText(QString::number(page));
    target->show();
}

} // namespace Module1
