#include "desktop/desktop_window.h"

#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "desktop/desktop_pictures.h"
#include "shell/forms.h"
#include "shell/main_window.h"
#include "shell/module1.h"
#include "shell/seams.h"
#include "shell/twips.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>

DesktopWindow::DesktopWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("My Desktop"));
    resize(twips(7770), twips(5175));
    m_defaultPicture = DesktopPictures::defaultButtonPicture();

    auto button = [this](const char *name, const QString &caption, QRect geometry) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        return b;
    };
    Command1 = button("Command1", QStringLiteral("Add Button"), twipsRect(120, 120, 1215, 375));
    Command2 = button("Command2", QStringLiteral("Delete Button"), twipsRect(1440, 120, 1215, 375));
    Command3 = button("Command3", QStringLiteral("Change Icon"), twipsRect(2760, 120, 1215, 375));
    // Where a caption needs more room than designed, the button widens and the buttons to its
    // right move along, keeping the designed gap.
    const int gap = twips(1440) - twips(120 + 1215);
    int left = Command1->x();
    for (QPushButton *b : {Command1, Command2, Command3}) {
        b->setGeometry(left, b->y(), qMax(b->width(), b->sizeHint().width()), b->height());
        left = b->geometry().right() + 1 + gap;
    }
    connect(Command1, &QPushButton::clicked, this, &DesktopWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DesktopWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &DesktopWindow::Command3_Click);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setGeometry(twipsRect(120, 720, 7530, 840));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    connect(Toolbar1, &QToolBar::actionTriggered, this, &DesktopWindow::Toolbar1_ButtonClick);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(m_defaultPicture.pixmap(32, 32));
    Picture1->setGeometry(0, 0, 32, 32);
    Picture1->hide();
}

void DesktopWindow::load()
{
    Module1::LoadDesktopButtons();
}

void DesktopWindow::Command1_Click()
{
    Module1::AddDesktopButton();
}

// Opens a launcher dialog: its list holds every button's caption with none chosen, and the
// main window takes no input until the dialog closes.
template <typename Dialog> static void openLauncherDialog(Dialog *dialog)
{
    dialog->fillList();
    if (MainWindow *main = Forms::MDIForm1())
        main->setEnabled(false);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void DesktopWindow::Command2_Click()
{
    openLauncherDialog(Forms::Form10());
}

void DesktopWindow::Command3_Click()
{
    openLauncherDialog(Forms::Form11());
}

void DesktopWindow::Toolbar1_ButtonClick(QAction *button)
{
    const int j = Toolbar1->actions().indexOf(button) + 1;
    if (j < 1 || j > Module1::ButtonPaths.size())
        return;
    const QString path = Module1::ButtonPaths.at(j - 1);
    const QString reason = ProgramLauncher::start(path);
    if (!reason.isEmpty())
        MessageBox::show(
            QStringLiteral("The program \"%1\" could not be started.\n%2").arg(path, reason));
}
