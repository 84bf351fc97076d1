// The launcher's own picture: the default button picture, a black tick mark drawn in code.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace DesktopPictures {
// The tick mark at `size` pixels square (drawn for 32 and 16), on a transparent background.
QPixmap tickMark(int size);
// The default button picture, with its 32 by 32 and 16 by 16 images.
QIcon defaultButtonPicture();
} // namespace DesktopPictures
