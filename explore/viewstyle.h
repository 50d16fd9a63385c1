// SPDX-License-Identifier: MIT

#pragma once

#include "plot/canvas.h"

#include <cstddef>
#include <cstdint>

// The colours of the zoomable views, as 0xAARRGGBB. Each run is drawn in a colour of its own
// (explore/runpalette.h), all of its curves in it; everything else is light or grey, and none
// of it is a colour a run is drawn in.
namespace viewstyle {

constexpr std::uint32_t kBackground = 0xFFFFFFFF;
constexpr std::uint32_t kGrid = 0xFFE4E4E4;
constexpr std::uint32_t kZeroAxis = 0xFFA8A8A8;
constexpr std::uint32_t kField = 0xFF9DB8D9;     // the direction field: light steel blue
constexpr std::uint32_t kReference = 0xFF505050; // the reference solution, dashed
constexpr std::uint32_t kLegend = 0xFF404040;    // the legend's lines, in no run's colour
// The phase plane's analysis: the nullclines dark goldenrod, the separatrices dark grey in
// dashes and dots, the equilibria's marks black on a white halo.
constexpr std::uint32_t kNullcline = 0xFFB8860B;
constexpr std::uint32_t kSeparatrix = 0xFF505050;
constexpr std::uint32_t kEquilibrium = 0xFF000000;

// A run's curves share its colour and keep their roles by their lines: Emden's y solid, y^n
// dashed, y^(n+1) dotted.
inline LineStyle curveStyle(std::size_t k)
{
    return k == 0 ? LineStyle::Solid : k == 1 ? LineStyle::Dashed : LineStyle::Dotted;
}

} // namespace viewstyle
