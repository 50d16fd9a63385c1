// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

// An index into the 16-colour palette of the plot.
using PaletteColour = int;

constexpr PaletteColour kBlack = 0;
constexpr PaletteColour kGreen = 2;
constexpr PaletteColour kMagenta = 5;
constexpr PaletteColour kLightRed = 12;

// The colour of a palette entry as 0xRRGGBB.
std::uint32_t paletteRgb(PaletteColour index);
