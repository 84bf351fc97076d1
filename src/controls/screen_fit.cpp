#include "controls/screen_fit.h"

#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace {

const QString kAreaName = QStringLiteral("ScreenFitArea");

// The room a window's frame takes around it. While the window is being shown the window system
// may not have told it yet, and a title bar is assumed.
QMargins frameMargins(const QWidget *window, bool showing)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(),
                           frame.right() - inner.right(), frame.bottom() - inner.bottom());
    if (!margins.isNull() || !showing)
        return margins;
    return {0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), 0, 0};
}

// Moves the window's controls, with their layout if it has one, onto a page of a scroll area
// that fills the window.
QScrollArea *scrollContent(QWidget *window)
{
    auto *area = new QScrollArea(window);
    area->setObjectName(kAreaName);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    auto *page = new QWidget;
    page->setObjectName(kAreaName + QLatin1String("Page"));
    area->setWidget(page);
    if (QLayout *layout = window->layout()) {
        page->setLayout(layout);
    } else {
        page->setMinimumSize(window->size());
        const QObjectList children = window->children();
        for (QObject *child : children) {
            auto *control = qobject_cast<QWidget *>(child);
            if (control && control != area && !control->isWindow())
                control->setParent(page);
        }
    }
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    auto *fill = new QVBoxLayout(window);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(area);
    area->show();
    return area;
}

void fit(QWidget *window, bool showing)
{
    // A maximised or full-screen window is the window system's to size.
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QRect available = window->screen()->availableGeometry();
    const QMargins frame = frameMargins(window, showing);
    const QSize room = available.size().shrunkBy(frame);
    auto *area = window->findChild<QScrollArea *>(kAreaName, Qt::FindDirectChildrenOnly);
    const QSize least = window->minimumSize();
    if (!area && (least.width() > room.width() || least.height() > room.height()))
        area = scrollContent(window);
    QSize wanted = window->size();
    if (area) {
        // The whole page where there is room, with a scroll bar beside or below it where not.
        wanted = area->widget()->minimumSize().expandedTo(area->widget()->sizeHint());
        const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
        if (wanted.height() > room.height())
            wanted.rwidth() += bar;
        if (wanted.width() > room.width())
            wanted.rheight() += bar;
    }
    const QSize size = wanted.boundedTo(room).expandedTo(window->minimumSize());
    if (size != window->size())
        window->resize(size);

    // A window that reaches over an edge is moved inside. One too large for the window system to
    // centre is centred when it is first shown.
    QRect placed(window->pos(), size.grownBy(frame));
    const bool large =
        size.width() * 9 >= room.width() * 8 || size.height() * 9 >= room.height() * 8;
    if (showing && large && !window->testAttribute(Qt::WA_Moved))
        placed.moveCenter(available.center());
    placed.moveLeft(std::clamp(placed.left(), available.left(),
                               std::max(available.left(), available.right() + 1 - placed.width())));
    placed.moveTop(std::clamp(placed.top(), available.top(),
                              std::max(available.top(), available.bottom() + 1 - placed.height())));
    if (placed.topLeft() != window->pos())
        window->move(placed.topLeft());
}

class Keeper : public QObject {
public:
    using QObject::QObject;

protected:
    // On each showing, and when a shown window changes its size.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        const bool showing = event->type() == QEvent::Show && !event->spontaneous();
        if (!m_fitting && (showing || (event->type() == QEvent::Resize && window->isVisible()))) {
            m_fitting = true;
            fit(window, showing);
            m_fitting = false;
        }
        return false;
    }

private:
    bool m_fitting = false;
};

} // namespace

namespace ScreenFit {

void keepOnScreen(QWidget *window)
{
    static Keeper keeper;
    window->installEventFilter(&keeper);
}

} // namespace ScreenFit
