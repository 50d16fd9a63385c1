// SPDX-License-Identifier: MIT

#include "explore/pixelcanvas.h"

#include <algorithm>

void PixelCanvas::fill(std::uint32_t colour)
{
    for (int y = 0; y < m_pixels.height; ++y)
        std::fill_n(&m_pixels.at(0, y), m_pixels.width, colour);
}

void PixelCanvas::drawLines(std::uint32_t colour, std::span<const PixelLine> lines)
{
    // The ends lie within two pixels of the image (the batcher clips them there), so each
    // pixel is checked and the walk stays short.
    for (const PixelLine &l : lines)
        walkLine(l.a.x, l.a.y, l.b.x, l.b.y, [&](int x, int y) {
            if (m_pixels.contains(x, y))
                m_pixels.at(x, y) = colour;
        });
}
