// SPDX-License-Identifier: MIT

#include "explore/runpalette.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// Okabe and Ito's colours without yellow and black, the darkest first: a couple of runs
// get those that stand out most on white, and each differs in hue from the one before.
// The sky blue, nearest the direction field's light blue, comes last.
constexpr std::uint32_t kOkabeIto[kRunColours] = {
    0xFF0072B2, // blue
    0xFFD55E00, // vermillion
    0xFF009E73, // bluish green
    0xFFCC79A7, // reddish purple
    0xFFE69F00, // orange
    0xFF56B4E9, // sky blue
};

// The viridis map at 0, 0.1, ..., 0.8 of its length: its last fifth, up to the pale yellow,
// is too light for a curve one pixel wide on white. Their lightness grows from one to the
// next, and so does that of the colours between them.
constexpr std::uint32_t kAnchors[] = {0x440154, 0x482475, 0x414487, 0x355F8D, 0x2A788E,
                                      0x21918C, 0x22A884, 0x44BF70, 0x7AD151};
constexpr std::size_t kSegments = std::size(kAnchors) - 1;

std::uint32_t channel(std::uint32_t rgb, int shift)
{
    return (rgb >> shift) & 0xFFu;
}

} // namespace

std::uint32_t runColour(std::size_t index)
{
    return kOkabeIto[index % kRunColours];
}

std::uint32_t familyColour(std::size_t i, std::size_t count)
{
    // Evenly along the map, the first run at its dark end and the last at its light one.
    const double t = count <= 1 ? 0.0
                                : static_cast<double>(std::min(i, count - 1)) /
                                      static_cast<double>(count - 1) * kSegments;
    const std::size_t k = std::min(static_cast<std::size_t>(t), kSegments - 1);
    const double f = t - static_cast<double>(k);
    std::uint32_t rgb = 0xFF000000u;
    for (const int shift : {16, 8, 0}) {
        const double a = channel(kAnchors[k], shift), b = channel(kAnchors[k + 1], shift);
        rgb |= static_cast<std::uint32_t>(std::lround(a + (b - a) * f)) << shift;
    }
    return rgb;
}
