// SPDX-License-Identifier: MIT

#pragma once

#include "platform/palette.h"

#include <cstdint>

// The colours of the zoomable views, as 0xAARRGGBB. The curves keep the main plot's colours
// for their equation; everything else is light, and none of it is a colour a curve is drawn
// in.
namespace viewstyle {

constexpr std::uint32_t kBackground = 0xFFFFFFFF;
constexpr std::uint32_t kGrid = 0xFFE4E4E4;
constexpr std::uint32_t kZeroAxis = 0xFFA8A8A8;
constexpr std::uint32_t kField = 0xFF9DB8D9;     // the direction field: light steel blue
constexpr std::uint32_t kReference = 0xFF505050; // the reference solution, dashed

inline std::uint32_t curveColour(PaletteColour c)
{
    return paletteRgb(c) | 0xFF000000u;
}

} // namespace viewstyle
