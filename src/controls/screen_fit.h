// Windows that fit their screen.
#pragma once

class QWidget;

namespace ScreenFit {

// Each time the window is shown, it is made no larger than the available area of its screen
// (the desktop's panels left out), down to its least size, and a window that would reach over
// an edge is moved inside. A window whose least size is larger than that area shows its
// controls in a scroll area instead.
void keepOnScreen(QWidget *window);

} // namespace ScreenFit
