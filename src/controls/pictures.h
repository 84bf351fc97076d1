// The program's own pictures, drawn in code so that no image file has to be shipped.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace Pictures {
// Toolbar pictures of the main window, 24 by 22 pixels.
QPixmap toolbarCalendar();
QPixmap toolbarNotes();
QPixmap toolbarAddressBook();
QPixmap toolbarDesktop();
// The program's logo (a lit tallow candle), at any size.
QPixmap logo(int size);
// The logo at 16 and 32 pixels (and larger), for window icons.
QIcon logoIcon();
} // namespace Pictures
