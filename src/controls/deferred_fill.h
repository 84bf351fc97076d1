// Work that fills a view, put off until the view is first looked at: painted, clicked or
// scrolled, or asked for its contents. Start-up then pays only for what is on screen.
#pragma once

#include <QEvent>

#include <functional>
#include <utility>

class DeferredFill {
public:
    void set(std::function<void()> fill) { m_fill = std::move(fill); }
    void cancel() { m_fill = nullptr; }
    bool pending() const { return bool(m_fill); }

    // Runs the waiting fill, if any. It is taken first, because a fill reaches back into the
    // view through the operations that call this.
    void run()
    {
        if (!m_fill)
            return;
        const std::function<void()> fill = std::move(m_fill);
        m_fill = nullptr;
        fill();
    }

    // Whether a viewport event means the user is looking at the view now.
    static bool isFirstLook(const QEvent *event)
    {
        switch (event->type()) {
        case QEvent::Paint:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        default:
            return false;
        }
    }

private:
    std::function<void()> m_fill;
};
