// Form13: the help viewer. Shows one built-in help page at a time, pages through them in
// reading order and leads back to the topics tree.
#pragma once

#include <QWidget>

#include <map>

class QLineEdit;
class QPushButton;
class QTextBrowser;

class HelpViewerWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewerWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    // The help page numbers in reading order.
    static const int PageNumbers[18];

    QPushButton *Command1 = nullptr; // "Index"
    QPushButton *Command2 = nullptr; // "<<"
    QPushButton *Command3 = nullptr; // ">>"
    // The current page number as decimal text; the viewer's state, not shown to the user.
    QLineEdit *Text1 = nullptr;
    // The pages, by page number.
    std::map<int, QTextBrowser *> HelpFile;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Form_Activate();
    // "<<" is disabled on the first page, ">>" on the last.
    void SetPagingButtons();
    // The place of the page shown: designed at left 120, top 600, 5775 by 4335 twips, and
    // growing or shrinking with the window.
    QRect pageArea() const;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};
