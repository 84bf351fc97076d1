// Designed sizes are in twips: 15 twips to a device-independent pixel.
#pragma once

#include <QRect>

constexpr int twips(int value)
{
    return value / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
