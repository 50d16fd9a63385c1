// SPDX-License-Identifier: MIT

#include "explore/pixelcanvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

void PixelCanvas::fill(std::uint32_t colour)
{
    for (int y = 0; y < m_pixels.height; ++y)
        std::fill_n(&m_pixels.at(0, y), m_pixels.width, colour);
}

void PixelCanvas::setLineStyle(LineStyle style)
{
    m_style = style;
    m_along = 0;
    m_hasEnd = false;
}

void PixelCanvas::drawLines(std::uint32_t colour, std::span<const PixelLine> lines)
{
    if (m_style != LineStyle::Solid || lineWidth() > 1) {
        drawStyled(colour, lines);
        return;
    }
    // The ends lie within two pixels of the image (the batcher clips them there), so each
    // pixel is checked and the walk stays short.
    for (const PixelLine &l : lines)
        walkLine(l.a.x, l.a.y, l.b.x, l.b.y, [&](int x, int y) {
            if (m_pixels.contains(x, y))
                m_pixels.at(x, y) = colour;
        });
}

void PixelCanvas::drawStyled(std::uint32_t colour, std::span<const PixelLine> lines)
{
    for (const PixelLine &l : lines) {
        const bool flat = std::abs(l.b.x - l.a.x) >= std::abs(l.b.y - l.a.y);
        const int bx = flat ? 0 : 1, by = flat ? 1 : 0;
        // Across the way: a bold line the pixel beside too, a scaled one centred.
        const int w = lineWidth(), from = m_scale > 1 ? -(w - 1) / 2 : 0;
        // A line that goes on from where the last one ended shares its first pixel with it:
        // that pixel was counted, and set or left, already.
        bool skip = m_hasEnd && l.a == m_end;
        walkLine(l.a.x, l.a.y, l.b.x, l.b.y, [&](int x, int y) {
            if (std::exchange(skip, false))
                return;
            if (!patternSets(m_style, m_along++ / static_cast<std::size_t>(m_scale)))
                return;
            for (int k = from; k < from + w; ++k)
                set(x + k * bx, y + k * by, colour);
        });
        m_hasEnd = true;
        m_end = l.b;
    }
}
