// Form9: the launcher view (My Desktop). Its toolbar holds one button per stored launcher
// entry; a click starts that entry's program. The three command buttons above it add a button
// and open the delete and change-icon dialogs.
#pragma once

#include "controls/deferred_fill.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QList>
#include <QListView>
#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

// The buttons of the launcher toolbar: caption, picture, and as the tip the full caption above
// the program path.
class LauncherButtonsModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LauncherButtonsModel(QObject *parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_captions.size());
    }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Replaces every button at once; the lists hold one item per button, in toolbar order.
    void setButtons(const QStringList &captions, const QList<QIcon> &pictures,
                    const QStringList &tips);
    // The size of every button, taken up by the next setButtons.
    void setButtonSize(QSize size) { m_buttonSize = size; }

private:
    QSize m_buttonSize;
    QStringList m_captions;
    QList<QIcon> m_pictures;
    QStringList m_tips;
};

// The launcher toolbar: a row of equal buttons, a 32 by 32 picture with its caption below,
// that wraps onto further rows when they do not fit and scrolls only when the rows fill it. A
// caption too long for its button is elided and stands in full in the button's tip. Only the
// buttons in sight are drawn, so thousands of them cost no more than a few.
class LauncherToolbar : public QListView {
    Q_OBJECT
public:
    explicit LauncherToolbar(QWidget *parent = nullptr);
    // The buttons; a rebuild put off by fillWhenNeeded runs first.
    LauncherButtonsModel *buttons() const;
    // Sizes the buttons for the longest caption.
    void fitButtons(const QStringList &captions);

    // Puts off `fill`, which builds the buttons, until the toolbar is first looked at: painted,
    // clicked, or its buttons asked for. The launcher starts behind the calendar.
    void fillWhenNeeded(std::function<void()> fill);
    // Drops a rebuild put off, for one that is made now.
    void cancelPendingFill() { m_pendingFill.cancel(); }

protected:
    void initViewItemOption(QStyleOptionViewItem *option) const override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void ensureFilled() const;

    LauncherButtonsModel *m_buttons = nullptr;
    mutable DeferredFill m_pendingFill;
};

class DesktopWindow : public QWidget {
    Q_OBJECT
public:
    explicit DesktopWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created: builds the toolbar from the launcher file.
    void load();
    // The designed client area, which the view takes when it is not maximized.
    QSize sizeHint() const override;

    QPushButton *Command1 = nullptr; // "Add Button"
    QPushButton *Command2 = nullptr; // "Delete Button"
    QPushButton *Command3 = nullptr; // "Change Icon"
    // One button per launcher entry, in position order; 32 by 32 pictures, caption below.
    LauncherToolbar *Toolbar1 = nullptr;
    // The pictures of the toolbar buttons: picture i+1 (index i) belongs to position i.
    QList<QIcon> ImageList1;
    // Holds the default button picture (the tick mark); never shown.
    QLabel *Picture1 = nullptr;
    // The default button picture, at 32 by 32 and 16 by 16.
    QIcon defaultPicture() const { return m_defaultPicture; }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // `button` is the clicked button's place on the toolbar, counted from 1.
    void Toolbar1_ButtonClick(int button);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The toolbar takes the view's space below the command buttons, with the designed margins.
    void placeToolbar();

    QIcon m_defaultPicture;
};
