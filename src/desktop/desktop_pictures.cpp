#include "desktop/desktop_pictures.h"

#include <QPainter>
#include <QPolygon>

namespace DesktopPictures {

QPixmap tickMark(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // Hard edges in plain black, like a small 16-colour icon.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    // The tick on a 32-pixel grid: a short stroke down to the right, then a long one up.
    const QPolygon tick32({QPoint(3, 17), QPoint(8, 12), QPoint(13, 17), QPoint(26, 4),
                           QPoint(31, 9), QPoint(13, 27)});
    const qreal scale = size / 32.0;
    p.scale(scale, scale);
    p.drawPolygon(tick32);
    return pixmap;
}

QIcon defaultButtonPicture()
{
    QIcon icon;
    icon.addPixmap(tickMark(32));
    icon.addPixmap(tickMark(16));
    return icon;
}

} // namespace DesktopPictures
