// Form12: the tree of help topics. A click on a topic opens its page in the help viewer.
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

class HelpTopicsWindow : public QWidget {
    Q_OBJECT
public:
    // Item data roles of the tree's nodes: the node's key and its picture number in ImageList1.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int PictureRole = Qt::UserRole + 1;

    // The pictures of ImageList1, numbered from 1 as the tree refers to them.
    enum Picture { ClosedBook = 1, OpenBook = 2, Sheet = 3 };

    explicit HelpTopicsWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created: builds the tree.
    void load();

    QTreeWidget *TreeView1 = nullptr;
    // Closed book, open book, lined sheet (pictures 1, 2, 3).
    QList<QIcon> ImageList1;

    // Adds a node as the last child of the node with key `parentKey` (the root when empty).
    QTreeWidgetItem *addNode(const QString &parentKey, const QString &key, const QString &text,
                             int picture);
    // The node with that key, or nullptr.
    QTreeWidgetItem *node(const QString &key) const;
    // Gives a node picture number `picture` of ImageList1.
    void setNodePicture(QTreeWidgetItem *item, int picture);

    void TreeView1_Collapse(QTreeWidgetItem *item);
    void TreeView1_Expand(QTreeWidgetItem *item);
    void TreeView1_NodeClick(QTreeWidgetItem *item);

protected:
    // The tree keeps its designed margins as the window grows or shrinks.
    void resizeEvent(QResizeEvent *event) override;
    // Closed through the window system, the window counts as unloaded: the next help command
    // shows it with a newly built tree, all chapters folded.
    void closeEvent(QCloseEvent *event) override;
};
