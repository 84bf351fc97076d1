#include "desktop/launcher_dialog.h"

#include "controls/keyboard.h"
#include "controls/twips.h"
#include "data/desktop_store.h"
#include "desktop/desktop_forms.h"
#include "desktop/desktop_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

LauncherDialog::LauncherDialog(const char *formName, const QString &caption, int heightTwips,
                               const QString &confirmCaption, const QString &listName)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QString::fromLatin1(formName));
    setWindowTitle(caption);
    setFixedSize(twipsSize(4605, heightTwips));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Keyboard::nameComboBox(Combo1, listName);
    // Typed text never becomes a list item.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setGeometry(twipsX(120), twipsY(240), twipsX(4335), Combo1->sizeHint().height());

    Command1 = new QPushButton(confirmCaption, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(3360, 720, 1095, 375));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twipsRect(2160, 720, 1095, 375));
    // Where a caption needs more room than designed, the button widens to the left and
    // "Cancel" moves along, keeping the designed gap and the right edge.
    const int gap = twipsX(3360) - twipsX(2160 + 1095);
    int right = Command1->geometry().right();
    for (QPushButton *b : {Command1, Command2}) {
        const int width = qMax(b->width(), b->sizeHint().width());
        b->setGeometry(right + 1 - width, b->y(), width, b->height());
        right = b->x() - gap - 1;
    }
    // Tab goes along the row of buttons from left to right: "Cancel", then the confirming one.
    setTabOrder(Combo1, Command2);
    setTabOrder(Command2, Command1);
    Keyboard::setDialogKeys(this, Command1, Command2);
    connect(Command2, &QPushButton::clicked, this, &LauncherDialog::Command2_Click);
}

void LauncherDialog::fillList()
{
    Combo1->clear();
    Combo1->addItems(DesktopStore().ReadCaptions());
    Combo1->setCurrentIndex(-1);
    Combo1->clearEditText();
}

int LauncherDialog::chosenPosition() const
{
    const int index = Combo1->currentIndex();
    if (index < 0 || Combo1->currentText() != Combo1->itemText(index))
        return -1;
    return index;
}

void LauncherDialog::Command2_Click()
{
    finish();
}

void LauncherDialog::finish()
{
    hide();
    if (!ProgramFrame::window())
        return;
    ProgramFrame::setEnabled(true);
    ProgramFrame::showView(Forms::Form9());
}

void LauncherDialog::closeEvent(QCloseEvent *event)
{
    // The close box acts as "Cancel".
    event->accept();
    finish();
}
