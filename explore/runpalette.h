// SPDX-License-Identifier: MIT

#pragma once

// The colours the views draw the runs in, as 0xAARRGGBB. Plain C++.
//
// A few runs take the colours of Okabe and Ito's palette, which readers with any of the
// common kinds of colour blindness still tell apart. Its yellow is left out, too pale on
// the views' white, and so is its black, which is the live run's. A family of more runs
// than that would cycle through them and read as a tangle of unrelated curves; it takes
// a sequential map instead, dark violet through blue and teal to green, whose lightness
// grows with the index, so that the runs read as the ordered sequence they are. The map
// stops short of its lightest end, a yellow that would vanish on white.

#include <cstddef>
#include <cstdint>

// The live run a slider drags: black, over the listed runs.
constexpr std::uint32_t kLiveColour = 0xFF000000;

// How many colours runColour() has before it starts again.
constexpr std::size_t kRunColours = 6;

// The colour of run `index`, from the colour-blind safe palette, cycling after its last.
std::uint32_t runColour(std::size_t index);

// The colour of run i of a family of `count` runs on the sequential map: the first the
// darkest, the last the lightest.
std::uint32_t familyColour(std::size_t i, std::size_t count);

// The colour of run i of `count` runs drawn together: runColour() while the palette has a
// colour for each, familyColour() beyond.
inline std::uint32_t colourOfRun(std::size_t i, std::size_t count)
{
    return count <= kRunColours ? runColour(i) : familyColour(i, count);
}
