// SPDX-License-Identifier: MIT

#include "platform/palette.h"

#include <array>

std::uint32_t paletteRgb(PaletteColour index)
{
    // The classic 16-colour palette: dark colours at 0..7, bright ones at 8..15.
    static constexpr std::array<std::uint32_t, 16> kPalette = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    return kPalette[static_cast<unsigned>(index) & 15u];
}
