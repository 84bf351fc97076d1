#include "help/help_topics_window.h"

#include "controls/keyboard.h"
#include "controls/pictures.h"
#include "controls/program_frame.h"
#include "controls/twips.h"
#include "help/help_forms.h"
#include "help/help_procedures.h"
#include "help/help_viewer_window.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

constexpr int PictureSize = 32;

QPixmap canvas()
{
    QPixmap pm(PictureSize, PictureSize);
    pm.fill(Qt::transparent);
    return pm;
}

// A closed book seen from the front, slightly turned: blue cover, pages at the right edge.
QPixmap closedBook()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // The block of pages behind the cover.
    p.setPen(QColor(90, 90, 90));
    p.setBrush(QColor(250, 248, 235));
    p.drawRect(QRectF(9.5, 4.5, 18, 24));
    p.setPen(QColor(190, 185, 170));
    for (int x = 25; x <= 27; ++x)
        p.drawLine(QPointF(x + 0.5, 6), QPointF(x + 0.5, 27));
    // The cover and its spine.
    p.setPen(QColor(20, 30, 90));
    p.setBrush(QColor(40, 70, 170));
    p.drawRoundedRect(QRectF(5.5, 2.5, 19, 25), 1.5, 1.5);
    p.setBrush(QColor(25, 45, 120));
    p.drawRect(QRectF(5.5, 2.5, 4, 25));
    // A label on the cover.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 205, 90));
    p.drawRect(QRectF(12, 8, 10, 5));
    return pm;
}

// An open book seen from above: two pages curving away from the spine, with lines of text.
QPixmap openBook()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // The cover under the pages.
    p.setPen(QColor(20, 30, 90));
    p.setBrush(QColor(40, 70, 170));
    QPainterPath cover;
    cover.moveTo(1, 10);
    cover.lineTo(16, 12);
    cover.lineTo(31, 10);
    cover.lineTo(31, 27);
    cover.lineTo(16, 29);
    cover.lineTo(1, 27);
    cover.closeSubpath();
    p.drawPath(cover);
    // The two pages.
    p.setPen(QColor(90, 90, 90));
    p.setBrush(QColor(252, 250, 240));
    QPainterPath left;
    left.moveTo(16, 9);
    left.cubicTo(12, 6, 7, 6, 3, 7);
    left.lineTo(3, 25);
    left.cubicTo(7, 24, 12, 24, 16, 27);
    left.closeSubpath();
    p.drawPath(left);
    QPainterPath right;
    right.moveTo(16, 9);
    right.cubicTo(20, 6, 25, 6, 29, 7);
    right.lineTo(29, 25);
    right.cubicTo(25, 24, 20, 24, 16, 27);
    right.closeSubpath();
    p.drawPath(right);
    // Lines of text on both pages.
    p.setPen(QPen(QColor(120, 130, 160), 1));
    for (int y = 11; y <= 22; y += 3) {
        p.drawLine(QPointF(5, y), QPointF(14, y + 1));
        p.drawLine(QPointF(18, y + 1), QPointF(27, y));
    }
    return pm;
}

// A sheet of lined paper with a folded corner.
QPixmap linedSheet()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(6.5, 2.5);
    sheet.lineTo(20.5, 2.5);
    sheet.lineTo(26.5, 8.5);
    sheet.lineTo(26.5, 29.5);
    sheet.lineTo(6.5, 29.5);
    sheet.closeSubpath();
    p.setPen(QColor(80, 80, 80));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    // The folded corner.
    QPainterPath corner;
    corner.moveTo(20.5, 2.5);
    corner.lineTo(20.5, 8.5);
    corner.lineTo(26.5, 8.5);
    corner.closeSubpath();
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(corner);
    // Ruled lines and the red margin.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(110, 150, 220));
    for (int y = 12; y <= 27; y += 3)
        p.drawLine(8, y, 25, y);
    p.setPen(QColor(220, 60, 60));
    p.drawLine(10, 4, 10, 28);
    return pm;
}

} // namespace

HelpTopicsWindow::HelpTopicsWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Tallowby Help Topics"));
    setWindowIcon(Pictures::logoIcon());
    resize(twipsSize(7395, 6195));

    ImageList1 = {QIcon(closedBook()), QIcon(openBook()), QIcon(linedSheet())};

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(twipsRect(120, 240, 7092, 5568));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setIconSize(QSize(24, 24));
    TreeView1->setRootIsDecorated(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setAccessibleName(QStringLiteral("Help topics"));
    // Enter opens the topic in focus (below); Escape closes the window as its close box does.
    Keyboard::setDialogKeys(this, nullptr);

    connect(TreeView1, &QTreeWidget::itemCollapsed, this, &HelpTopicsWindow::TreeView1_Collapse);
    connect(TreeView1, &QTreeWidget::itemExpanded, this, &HelpTopicsWindow::TreeView1_Expand);
    connect(TreeView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item, int) { TreeView1_NodeClick(item); });
    // Enter on a topic opens it as a click does, for users of the keyboard.
    connect(TreeView1, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item, int) { TreeView1_NodeClick(item); });
}

void HelpTopicsWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize change = size() - twipsSize(7395, 6195);
    TreeView1->setGeometry(
        twipsRect(120, 240, 7092, 5568).adjusted(0, 0, change.width(), change.height()));
}

void HelpTopicsWindow::load()
{
    Module1::BuildHelpTopics();
}

void HelpTopicsWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    TreeView1->clear();
    load();
}

QTreeWidgetItem *HelpTopicsWindow::addNode(const QString &parentKey, const QString &key,
                                           const QString &text, int picture)
{
    QTreeWidgetItem *parentItem = parentKey.isEmpty() ? nullptr : node(parentKey);
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, KeyRole, key);
    setNodePicture(item, picture);
    if (parentItem)
        parentItem->addChild(item);
    else
        TreeView1->addTopLevelItem(item);
    return item;
}

QTreeWidgetItem *HelpTopicsWindow::node(const QString &key) const
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it) {
        if ((*it)->data(0, KeyRole).toString() == key)
            return *it;
    }
    return nullptr;
}

void HelpTopicsWindow::setNodePicture(QTreeWidgetItem *item, int picture)
{
    item->setData(0, PictureRole, picture);
    item->setIcon(0, ImageList1.value(picture - 1));
}

void HelpTopicsWindow::TreeView1_Collapse(QTreeWidgetItem *item)
{
    if (item)
        setNodePicture(item, ClosedBook);
}

void HelpTopicsWindow::TreeView1_Expand(QTreeWidgetItem *item)
{
    if (item)
        setNodePicture(item, OpenBook);
}

void HelpTopicsWindow::TreeView1_NodeClick(QTreeWidgetItem *item)
{
    if (!item)
        return;
    // A topic's key is chapter digit, "-", topic digit; the root and the chapters have none.
    const QString key = item->data(0, KeyRole).toString();
    if (key.size() != 3 || key.at(1) != QLatin1Char('-') || !key.at(0).isDigit() ||
        !key.at(2).isDigit())
        return;
    const int page = 10 * key.at(0).digitValue() + key.at(2).digitValue();

    Module1::ShowHelpPage(page);
    hide();
    HelpViewerWindow *viewer = Forms::Form13();
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    // The paging buttons follow the page at once, whether or not the window system
    // reports the viewer as activated.
    viewer->SetPagingButtons();
}
