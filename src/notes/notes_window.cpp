#include "notes/notes_window.h"

#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "controls/program_frame.h"
#include "controls/twips.h"
#include "notes/notes_forms.h"
#include "notes/notes_procedures.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <tuple>

NotesWindow::NotesWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Notes"));
    resize(sizeHint());

    Text1 = new LimitedTextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(120, 120, 3135, 3615));
    Text1->setMaxLength(PadMaxLength);
    Text1->setAccessibleName(QStringLiteral("Note pad"));

    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setGeometry(twipsRect(3360, 120, 3975, 3615));
    // Tab leaves the list for the next control instead of walking its cells.
    MSFlexGrid1->setTabKeyNavigation(false);
    // The names' column takes the list's width as the view grows.
    MSFlexGrid1->horizontalHeader()->setStretchLastSection(true);
    MSFlexGrid1->setAccessibleName(QStringLiteral("Saved notes"));

    auto button = [this](const char *name, const QString &caption, QRect geometry) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        return b;
    };
    // Access keys stay clear of the main window's menus (F, V, H).
    Command4 = button("Command4", QStringLiteral("&Clear Pad"), twipsRect(120, 3840, 1335, 375));
    Command2 =
        button("Command2", QStringLiteral("<< View &Note"), twipsRect(4920, 3840, 1215, 375));
    Command3 = button("Command3", QStringLiteral("&Delete Note"), twipsRect(6240, 3840, 1095, 375));
    Command1 =
        button("Command1", QStringLiteral("&Save Note As:"), twipsRect(120, 4320, 1335, 375));

    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(twipsRect(1560, 4320, 2895, 375));
    Text2->setMaxLength(NameMaxLength);
    Text2->setAccessibleName(QStringLiteral("Note name"));

    // The pad and the list share a change of the view's width and take a change of its height,
    // down to six lines and a narrower pad and list; the buttons keep to the bottom, those
    // below the list to its right edge.
    for (const auto &[control, left, right] :
         {std::tuple{static_cast<QWidget *>(Text1), 0.0, 0.5}, {MSFlexGrid1, 0.5, 1.0}})
        m_anchors.add(control, left, 0, right, 1);
    for (const auto &[control, share] : {std::pair{static_cast<QWidget *>(Command4), 0.0},
                                         {Command1, 0.0},
                                         {Command2, 1.0},
                                         {Command3, 1.0}})
        m_anchors.add(control, share, 1, share, 1);
    m_anchors.add(Text2, 0, 1, 0.5, 1);
    setMinimumSize(twipsSize(5400, 4890 - 3615 + 6 * 240));

    setTabOrder(Text1, MSFlexGrid1);
    setTabOrder(MSFlexGrid1, Text2);
    setTabOrder(Text2, Command4);
    setTabOrder(Command4, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    connect(Command1, &QPushButton::clicked, this, &NotesWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &NotesWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &NotesWindow::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &NotesWindow::Command4_Click);
    connect(MSFlexGrid1, &FlexGrid::DblClick, this, &NotesWindow::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &FlexGrid::SelChange, this, &NotesWindow::MSFlexGrid1_SelChange);
    connect(Text1, &QPlainTextEdit::textChanged, this, &NotesWindow::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &NotesWindow::Text2_Change);
}

QSize NotesWindow::sizeHint() const
{
    return twipsSize(7470, 4890);
}

void NotesWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_anchors.place();
}

void NotesWindow::load()
{
    Form_Load();
}

void NotesWindow::Form_Load()
{
    // The view is activated whenever its sub-window becomes the active one in the main window.
    if (QMdiArea *views = ProgramFrame::viewArea())
        connect(views, &QMdiArea::subWindowActivated, this, &NotesWindow::onSubWindowActivated);
    // LoadNoteList, with the reading of the file put off until the list is first looked at:
    // the view starts behind the calendar, and a full notes file is large.
    MSFlexGrid1->fillWhenNeeded(&NotesProcedures::FillNoteList);
    NotesProcedures::ResetPad();
}

void NotesWindow::onSubWindowActivated(QMdiSubWindow *window)
{
    if (window && window->widget() == this)
        Form_Activate();
}

void NotesWindow::Form_Activate()
{
    selectNoNote();
}

void NotesWindow::selectNoNote()
{
    // Row 0 is the header: no note is selected. The name box keeps what it holds, so the user
    // does not find the column title "Description" there after switching views.
    // A list still to be filled has its header row made current by the filling.
    if (MSFlexGrid1->fillPending())
        return;
    const bool selecting = m_selectingNoNote;
    m_selectingNoNote = true;
    MSFlexGrid1->setRow(0);
    m_selectingNoNote = selecting;
}

void NotesWindow::Command1_Click()
{
    // SaveNote disables the button once the note is in the file; after a failed save it stays
    // enabled, since the pad is not saved.
    Module1::SaveNote();
}

void NotesWindow::Command2_Click()
{
    Module1::ViewNote();
}

void NotesWindow::Command3_Click()
{
    Module1::DeleteNote();
}

void NotesWindow::Command4_Click()
{
    Text1->clear();
}

void NotesWindow::MSFlexGrid1_DblClick()
{
    Module1::ViewNote();
}

void NotesWindow::MSFlexGrid1_SelChange()
{
    if (m_selectingNoNote)
        return;
    Text2->setText(MSFlexGrid1->TextMatrix(MSFlexGrid1->Row(), 1));
}

void NotesWindow::Text1_Change()
{
    Command1->setEnabled(true);
}

void NotesWindow::Text2_Change()
{
    Command1->setEnabled(true);
}
