#include "desktop/desktop_window.h"

#include "controls/program_frame.h"
#include "controls/seams.h"
#include "controls/twips.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "desktop/desktop_forms.h"
#include "desktop/desktop_pictures.h"
#include "desktop/desktop_procedures.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTextDocument>

#include <algorithm>

QVariant LauncherButtonsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_captions.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_captions.at(index.row());
    case Qt::DecorationRole:
        return m_pictures.value(index.row());
    case Qt::SizeHintRole:
        return m_buttonSize;
    case Qt::AccessibleTextRole: {
        // A screen reader names a button by its caption, or by the program's file name when the
        // caption is empty.
        const QString &caption = m_captions.at(index.row());
        if (!caption.isEmpty())
            return caption;
        const QString path = m_tips.value(index.row());
        return path.mid(std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1);
    }
    case Qt::AccessibleDescriptionRole:
        return m_tips.value(index.row());
    case Qt::ToolTipRole: {
        // The full caption, which a narrow button may elide, above the program it starts. A
        // tool tip that looks like markup is taken as markup: such a text goes as the markup
        // of itself, so that it shows as typed.
        const QString &caption = m_captions.at(index.row());
        const QString tip = m_tips.value(index.row());
        const QString text = caption.isEmpty() ? tip : caption + QLatin1Char('\n') + tip;
        return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
    }
    default:
        return {};
    }
}

void LauncherButtonsModel::setButtons(const QStringList &captions, const QList<QIcon> &pictures,
                                      const QStringList &tips)
{
    beginResetModel();
    m_captions = captions;
    m_pictures = pictures;
    m_tips = tips;
    endResetModel();
}

LauncherToolbar::LauncherToolbar(QWidget *parent)
    : QListView(parent), m_buttons(new LauncherButtonsModel(this))
{
    setModel(m_buttons);
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setIconSize(QSize(32, 32));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The buttons are one stop of the Tab key; the arrow keys go from button to button, and
    // Enter or Space starts the program of the button in focus.
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Program buttons"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMouseTracking(true);
    // Drawn on the window's own colour, as a toolbar is.
    viewport()->setBackgroundRole(QPalette::Window);
    fitButtons({});
}

LauncherButtonsModel *LauncherToolbar::buttons() const
{
    ensureFilled();
    return m_buttons;
}

void LauncherToolbar::fillWhenNeeded(std::function<void()> fill)
{
    ensureFilled();
    m_pendingFill.set(std::move(fill));
}

void LauncherToolbar::ensureFilled() const
{
    m_pendingFill.run();
}

void LauncherToolbar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Select:
        if (currentIndex().isValid() && !(event->modifiers() & ~Qt::KeypadModifier)) {
            event->accept();
            emit clicked(currentIndex());
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

bool LauncherToolbar::viewportEvent(QEvent *event)
{
    if (DeferredFill::isFirstLook(event))
        ensureFilled();
    return QListView::viewportEvent(event);
}

void LauncherToolbar::fitButtons(const QStringList &captions)
{
    // The caption with the most characters stands for the widest; the others are elided
    // should one of them be wider still.
    const QString *longest = nullptr;
    for (const QString &caption : captions) {
        if (!longest || caption.size() > longest->size())
            longest = &caption;
    }
    const QFontMetrics metrics(font());
    const int text = longest ? metrics.horizontalAdvance(*longest) : 0;
    const int width = std::clamp(text + 12, 48, 160);
    const int height = iconSize().height() + metrics.height() + 8;
    setGridSize(QSize(width, height));
    // Every button fills its place in the grid, whatever its own caption.
    m_buttons->setButtonSize(gridSize() - QSize(2, 2));
}

void LauncherToolbar::initViewItemOption(QStyleOptionViewItem *option) const
{
    QListView::initViewItemOption(option);
    // Picture above the caption, both centred, as on a toolbar button.
    option->decorationPosition = QStyleOptionViewItem::Top;
    option->decorationAlignment = Qt::AlignCenter;
    option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
    option->textElideMode = Qt::ElideRight;
    option->features &= ~QStyleOptionViewItem::WrapText;
}

DesktopWindow::DesktopWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("My Desktop"));
    resize(sizeHint());
    m_defaultPicture = DesktopPictures::defaultButtonPicture();

    auto button = [this](const char *name, const QString &caption, QRect geometry) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        return b;
    };
    // Access keys stay clear of the main window's menus (F, V, H).
    Command1 = button("Command1", QStringLiteral("&Add Button"), twipsRect(120, 120, 1215, 375));
    Command2 =
        button("Command2", QStringLiteral("&Delete Button"), twipsRect(1440, 120, 1215, 375));
    Command3 = button("Command3", QStringLiteral("&Change Icon"), twipsRect(2760, 120, 1215, 375));
    // Where a caption needs more room than designed, the button widens and the buttons to its
    // right move along, keeping the designed gap.
    const int gap = twipsX(1440) - twipsX(120 + 1215);
    int left = Command1->x();
    for (QPushButton *b : {Command1, Command2, Command3}) {
        b->setGeometry(left, b->y(), qMax(b->width(), b->sizeHint().width()), b->height());
        left = b->geometry().right() + 1 + gap;
    }
    connect(Command1, &QPushButton::clicked, this, &DesktopWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DesktopWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &DesktopWindow::Command3_Click);

    Toolbar1 = new LauncherToolbar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    placeToolbar();
    connect(Toolbar1, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &clicked) { Toolbar1_ButtonClick(clicked.row() + 1); });

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(m_defaultPicture.pixmap(32, 32));
    Picture1->setGeometry(0, 0, 32, 32);
    Picture1->hide();
}

QSize DesktopWindow::sizeHint() const
{
    return twipsSize(7770, 5175);
}

void DesktopWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeToolbar();
}

void DesktopWindow::placeToolbar()
{
    // Designed at left 120 and top 720, 120 twips from the right edge; it keeps that margin at
    // the right and the bottom as the view grows or shrinks.
    const int left = twipsX(120);
    const int top = twipsY(720);
    Toolbar1->setGeometry(left, top, std::max(width() - left - twipsX(120), 0),
                          std::max(height() - top - twipsY(120), 0));
}

void DesktopWindow::load()
{
    // LoadDesktopButtons, put off until the toolbar is first looked at: the view starts behind
    // the calendar, and a full launcher file has thousands of buttons.
    Toolbar1->fillWhenNeeded(&Module1::LoadDesktopButtons);
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
    ProgramFrame::setEnabled(false);
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

void DesktopWindow::Toolbar1_ButtonClick(int button)
{
    const int j = button;
    if (j < 1 || j > Module1::ButtonPaths.size())
        return;
    const QString path = Module1::ButtonPaths.at(j - 1);
    const QString reason = ProgramLauncher::start(path);
    if (!reason.isEmpty())
        MessageBox::show(
            QStringLiteral("The program \"%1\" could not be started.\n%2").arg(path, reason));
}
