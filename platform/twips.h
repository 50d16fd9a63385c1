// SPDX-License-Identifier: MIT

#pragma once

#include <QRect>

// Window geometry is given in twips, 1/1440 inch: 15 twips are one pixel at 96 dpi, and
// one logical pixel in Qt.
constexpr int twipsToPixels(int twips)
{
    return twips / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}
