// SPDX-License-Identifier: MIT

#pragma once

#include "platform/palette.h"

#include <QRgb>

// The colours of the zoomable views. The curves keep the main plot's colours for their
// equation; everything else is light, and none of it is a colour a curve is drawn in.
namespace viewstyle {

constexpr QRgb kBackground = 0xFFFFFFFF;
constexpr QRgb kGrid = 0xFFE4E4E4;
constexpr QRgb kZeroAxis = 0xFFA8A8A8;
constexpr QRgb kField = 0xFF9DB8D9;     // the direction field: light steel blue
constexpr QRgb kReference = 0xFF505050; // the reference solution, dashed

inline QRgb curveColour(PaletteColour c)
{
    return paletteRgb(c) | 0xFF000000u;
}

} // namespace viewstyle
