#include "controls/anchors.h"

void Anchors::add(QWidget *control, qreal left, qreal top, qreal right, qreal bottom)
{
    m_anchors.push_back(
        {control, control->geometry(), control->parentWidget()->size(), left, top, right, bottom});
}

void Anchors::place() const
{
    for (const Anchor &a : m_anchors) {
        if (!a.control)
            continue;
        const QSize change = a.control->parentWidget()->size() - a.parentDesigned;
        const int left = a.designed.left() + qRound(a.left * change.width());
        const int top = a.designed.top() + qRound(a.top * change.height());
        const int right = a.designed.right() + 1 + qRound(a.right * change.width());
        const int bottom = a.designed.bottom() + 1 + qRound(a.bottom * change.height());
        a.control->setGeometry(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
    }
}
