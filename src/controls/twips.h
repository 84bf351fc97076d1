// Designed positions and sizes are in twips: 15 twips to a pixel for the font the windows are
// designed with, 8.25 point MS Sans Serif at 96 dots per inch, whose average character is 6
// pixels wide and 13 high (its dialog base units). With a larger desktop font they grow by the
// ratio of that font's average character width to 6 horizontally and of its height to 13
// vertically, never by less than 1: the proportions stay and no caption is cut.
#pragma once

#include <QRect>
#include <QSizeF>

// How much the application font's characters exceed the design font's, across and down.
QSizeF twipScale();

int twipsX(int twips);
int twipsY(int twips);
QSize twipsSize(int width, int height);
// The edges are scaled, so that controls designed edge to edge stay so.
QRect twipsRect(int left, int top, int width, int height);
