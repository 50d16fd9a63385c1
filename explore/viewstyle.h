// SPDX-License-Identifier: MIT

#pragma once

#include "platform/palette.h"
#include "solver/equation.h"

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

// The curves a run is drawn as: y for every equation; for Emden also y^n and y^(n+1).
constexpr int curvesOf(solver::Equation eq)
{
    return eq == solver::Equation::Emden ? 3 : 1;
}
constexpr PaletteColour kCurveColours[3] = {kLightRed, kBlack, kGreen};

} // namespace viewstyle
