// Form2: the notes view: a pad, a name box and the numbered list of saved notes.
#pragma once

#include "controls/anchors.h"

#include <QWidget>

class FlexGrid;
class LimitedTextBox;
class QLineEdit;
class QMdiSubWindow;
class QPushButton;

class NotesWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int PadMaxLength = 490;
    static constexpr int NameMaxLength = 20;

    explicit NotesWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();

    LimitedTextBox *Text1 = nullptr;
    FlexGrid *MSFlexGrid1 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command1 = nullptr;
    QLineEdit *Text2 = nullptr;

    void Form_Load();
    void Form_Activate();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_SelChange();
    void Text1_Change();
    void Text2_Change();

    // Makes the header row current, so that no note is selected, without touching the name box.
    void selectNoNote();

    // The designed size.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void onSubWindowActivated(QMdiSubWindow *window);

    bool m_selectingNoNote = false;
    Anchors m_anchors;
};
