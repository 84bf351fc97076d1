// Controls at designed places that follow their window as it grows or shrinks from its designed
// size: each edge of a control moves by a share of the change in its parent's size, 0 keeping
// the edge where it was designed and 1 moving it by the whole change.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

class Anchors {
public:
    // The control's present geometry and its parent's present size count as designed. Parents
    // are added before their children.
    void add(QWidget *control, qreal left, qreal top, qreal right, qreal bottom);
    // Places every control for the present sizes of their parents.
    void place() const;

private:
    struct Anchor {
        QPointer<QWidget> control;
        QRect designed;
        QSize parentDesigned;
        qreal left, top, right, bottom;
    };
    std::vector<Anchor> m_anchors;
};
