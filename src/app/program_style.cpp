#include "app/program_style.h"

#include "controls/pictures.h"

#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QMainWindow>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace {

// The glyphs of the title-bar buttons of the sub-windows, of the toolbar's and menu bar's
// extension button and of the calendar's arrows, drawn here rather than decoded from the
// style's picture files: start-up asks for each of them.
QIcon titleBarIcon(QStyle::StandardPixmap icon)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    switch (icon) {
    case QStyle::SP_TitleBarMinButton:
        p.drawLine(QPointF(4, 11.5), QPointF(12, 11.5));
        break;
    case QStyle::SP_TitleBarMaxButton:
        p.drawRect(QRectF(4.5, 4.5, 7, 7));
        break;
    case QStyle::SP_TitleBarNormalButton:
        p.drawRect(QRectF(3.5, 6.5, 6, 6));
        p.drawPolyline(QPolygonF({QPointF(6.5, 6.5), QPointF(6.5, 3.5), QPointF(12.5, 3.5),
                                  QPointF(12.5, 9.5), QPointF(9.5, 9.5)}));
        break;
    case QStyle::SP_TitleBarCloseButton:
        p.setRenderHint(QPainter::Antialiasing);
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
        break;
    case QStyle::SP_TitleBarMenuButton:
        return QIcon(Pictures::logo(16));
    case QStyle::SP_ToolBarHorizontalExtensionButton:
        p.setRenderHint(QPainter::Antialiasing);
        p.drawPolyline(QPolygonF({QPointF(4, 4), QPointF(8, 8), QPointF(4, 12)}));
        p.drawPolyline(QPolygonF({QPointF(9, 4), QPointF(13, 8), QPointF(9, 12)}));
        break;
    case QStyle::SP_ArrowLeft:
    case QStyle::SP_ArrowRight: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        const bool left = icon == QStyle::SP_ArrowLeft;
        p.drawPolygon(QPolygonF(
            {QPointF(left ? 11 : 5, 3), QPointF(left ? 4 : 12, 8), QPointF(left ? 11 : 5, 13)}));
        break;
    }
    default:
        return {};
    }
    return QIcon(pixmap);
}

// Fills `r` in pieces of at most 64 rows (see ProgramStyle).
void fillInPieces(QPainter *painter, const QRect &r, const QBrush &brush)
{
    for (int top = r.top(); top <= r.bottom(); top += 64)
        painter->fillRect(QRect(r.left(), top, r.width(), std::min(64, r.bottom() - top + 1)),
                          brush);
}

// The application's style, with each standard icon kept once it is made: every sub-window of
// the multiple-document area asks for the same title-bar icons, which the style would load and
// decode from its picture files anew each time.
//
// Under the Fusion style, two frames are painted here as Fusion paints them, in another way:
// a group box's frame, which Fusion draws from a picture file (decoding it would load the image
// format plug-ins during start-up, for the splash screen's frame), and the main window's
// toolbar, whose long lines make the painter hand their blending to worker threads: starting
// those threads and handing over to them costs more than the lines. Lines here are filled as
// rectangles of at most 64 rows, which the painter blends itself. Everything else is the
// style's own.
class ProgramProxyStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        // The glyphs drawn here look the same whatever the option says; the menu bar asks for
        // its extension button's with one.
        if (option && icon != SP_ToolBarHorizontalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        const Qt::LayoutDirection direction =
            widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
        const int key = int(icon) * 2 + (direction == Qt::RightToLeft ? 1 : 0);
        auto found = m_icons.constFind(key);
        if (found == m_icons.constEnd()) {
            QIcon made = titleBarIcon(icon);
            if (made.isNull())
                made = QProxyStyle::standardIcon(icon, option, widget);
            found = m_icons.insert(key, made);
        }
        return found.value();
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_FrameGroupBox || !m_fusion)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        // Below the title, if any: a light line one pixel in from the left and top edges, with
        // rounded corners, a fainter line inside it and a faint shade within.
        const auto *box = qobject_cast<const QGroupBox *>(widget);
        const bool titled = !box || box->isCheckable() || !box->title().isEmpty();
        const int top = (titled ? std::max(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget),
                                           option->fontMetrics.height())
                                : 0) +
                        3;
        const QRect r = option->rect.adjusted(1, top + 1, 0, 0);
        const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
        const QColor outer(117, 117, 117, 50), inner(0, 0, 0, 8);
        fillInPieces(painter, QRect(QPoint(l + 2, t + 2), QPoint(rt - 2, b - 2)),
                     QColor(0, 0, 0, 3));
        fillInPieces(painter, QRect(QPoint(l + 1, t), QPoint(rt - 1, t)), outer);
        fillInPieces(painter, QRect(QPoint(l + 1, b), QPoint(rt - 1, b)), outer);
        fillInPieces(painter, QRect(QPoint(l, t + 1), QPoint(l, b - 1)), outer);
        fillInPieces(painter, QRect(QPoint(rt, t + 1), QPoint(rt, b - 1)), outer);
        fillInPieces(painter, QRect(QPoint(l + 2, t + 1), QPoint(rt - 2, t + 1)), inner);
        fillInPieces(painter, QRect(QPoint(l + 2, b - 1), QPoint(rt - 2, b - 1)), inner);
        fillInPieces(painter, QRect(QPoint(l + 1, t + 2), QPoint(l + 1, b - 2)), inner);
        fillInPieces(painter, QRect(QPoint(rt - 1, t + 2), QPoint(rt - 1, b - 2)), inner);
        for (const QPoint p : {QPoint(l + 1, t + 1), QPoint(rt - 1, t + 1), QPoint(l + 1, b - 1),
                               QPoint(rt - 1, b - 1)})
            painter->fillRect(QRect(p, QSize(1, 1)), QColor(90, 90, 90, 31));
        for (const QPoint p : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
            painter->fillRect(QRect(p, QSize(1, 1)), QColor(39, 39, 39, 13));
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *bar = qstyleoption_cast<const QStyleOptionToolBar *>(option);
        if (element != CE_ToolBar || !m_fusion || !bar || bar->toolBarArea != Qt::TopToolBarArea ||
            !(option->state & State_Horizontal) || !widget ||
            !qobject_cast<const QMainWindow *>(widget->parentWidget()))
            return QProxyStyle::drawControl(element, option, painter, widget);
        // A gradient from a little lighter than the window down to its colour, a light line
        // at the top and, under the last toolbar, a dark line above a light one at the bottom.
        const QRect r = option->rect;
        const QColor window = option->palette.window().color();
        QLinearGradient gradient(r.topLeft(), r.bottomLeft());
        gradient.setColorAt(0, window.lighter(104));
        gradient.setColorAt(1, window);
        fillInPieces(painter, r, gradient);
        const QColor light(255, 255, 255, 90), shadow(0, 0, 0, 60);
        const auto row = [&](int y, const QColor &color) {
            painter->fillRect(QRect(r.left(), y, r.width(), 1), color);
        };
        if (bar->positionOfLine == QStyleOptionToolBar::End ||
            bar->positionOfLine == QStyleOptionToolBar::OnlyOne) {
            row(r.bottom(), light);
            row(r.bottom() - 1, shadow);
        } else {
            row(r.bottom(), shadow);
        }
        row(r.top(), light);
    }

private:
    mutable QHash<int, QIcon> m_icons;
    const bool m_fusion =
        baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
};

} // namespace

namespace ProgramStyle {

void install()
{
    if (dynamic_cast<ProgramProxyStyle *>(QApplication::style()))
        return;
    QStyle *base = QStyleFactory::create(QApplication::style()->name());
    QApplication::setStyle(new ProgramProxyStyle(base));
}

} // namespace ProgramStyle
