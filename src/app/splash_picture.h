// The splash screen as it was last drawn, kept in the user's cache folder: a start-up that
// finds a picture made for the same screen, style, palette, fonts and texts shows it instead
// of drawing the box, which spares loading the publisher's large typefaces while the program
// starts. Any difference in those makes a different key and so a fresh drawing.
#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace SplashPicture {

// The file that holds the picture of `box` as it would be drawn now, in `folder`; empty when
// `folder` is empty (no picture is kept).
QString fileFor(const QWidget &box, const QString &folder);

// The picture in `file` when it is whole and has exactly the size `box` needs on its screen,
// in device pixels (its own pixel ratio stays 1); a null image otherwise.
QImage load(const QString &file, const QWidget &box);

// Keeps `picture` in `file`, replacing it as a whole (a start-up never reads half a picture),
// and removes the other pictures of that folder.
bool store(const QString &file, const QImage &picture);

} // namespace SplashPicture
