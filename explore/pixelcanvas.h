// SPDX-License-Identifier: MIT

#pragma once

// Drawing straight into the pixels of an image, plain C++: a canvas whose lines are the
// pixels a Bresenham walk visits, with no painter call, and a pen for curves whose segments
// mostly cross columns. The zoomable views draw millions of short segments a frame with
// them; the main plot keeps QPainter's own lines.
//
// Dashes and dots are counted along the pixels a polyline's lines visit one after the
// other, so that a curve has them in whatever direction it goes. A bold line is drawn again
// one pixel below where it runs flatter than 45 degrees, one pixel to the right where it
// runs steeper: two pixels wide across its way. At a scale of s device pixels a pixel (an
// image at print size) every line is s times as wide, centred on its way, and its dashes s
// times as long, so that it looks on paper as it does on screen.

#include "explore/linewalk.h"
#include "plot/canvas.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

// 32-bit pixels, row after row, `stride` pixels apart.
struct PixelBuffer
{
    std::uint32_t *bits = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;

    std::uint32_t &at(int x, int y) const
    {
        return bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)];
    }
    bool contains(int x, int y) const
    {
        return static_cast<unsigned>(x) < static_cast<unsigned>(width) &&
               static_cast<unsigned>(y) < static_cast<unsigned>(height);
    }
};

class PixelCanvas final : public Canvas
{
public:
    explicit PixelCanvas(const PixelBuffer &pixels, int scale = 1)
        : m_pixels(pixels), m_scale(scale < 1 ? 1 : scale)
    {
    }

    int width() const override { return m_pixels.width; }
    int height() const override { return m_pixels.height; }
    void fill(std::uint32_t colour) override;
    void drawLines(std::uint32_t colour, std::span<const PixelLine> lines) override;
    void dot(int x, int y, std::uint32_t colour) override
    {
        if (m_scale == 1) {
            set(x, y, colour);
            if (m_bold)
                set(x, y + 1, colour);
            return;
        }
        const int w = lineWidth(), from = -(w - 1) / 2;
        for (int dy = from; dy < from + w; ++dy)
            for (int dx = from; dx < from + w; ++dx)
                set(x + dx, y + dy, colour);
    }
    void finish() override {}
    void setLineStyle(LineStyle style) override;
    void setBold(bool bold) override { m_bold = bold; }

    // Of a pattern's pixels along the way, counted from its first, whether pixel k is set.
    static bool patternSets(LineStyle style, std::size_t k)
    {
        switch (style) {
        case LineStyle::Dashed:
            return k % 8 < 4; // four on, four off, as the vector canvas dashes
        case LineStyle::Dotted:
            return k % 3 == 0; // one on, two off
        case LineStyle::Solid:
            break;
        }
        return true;
    }

private:
    void set(int x, int y, std::uint32_t colour) const
    {
        if (m_pixels.contains(x, y))
            m_pixels.at(x, y) = colour;
    }
    void drawStyled(std::uint32_t colour, std::span<const PixelLine> lines);
    int lineWidth() const { return (m_bold ? 2 : 1) * m_scale; }

    PixelBuffer m_pixels;
    int m_scale = 1;
    LineStyle m_style = LineStyle::Solid;
    bool m_bold = false;
    std::size_t m_along = 0; // the pattern's pixels so far
    bool m_hasEnd = false;   // a line was drawn in the pattern, ending at m_end
    PixelPoint m_end{0, 0};
};

// A polyline in one colour: a segment with both ends on the image walks its pixels with no
// check, one that is not is clipped first. A bold one sets the pixel beside each too, and
// one at a scale of s is s times as wide, as the canvas draws them.
class LinePen
{
public:
    LinePen(const PixelBuffer &pixels, std::uint32_t colour, bool bold = false, int scale = 1)
        : m_pixels(pixels), m_colour(colour), m_bold(bold || scale > 1),
          m_width((bold ? 2 : 1) * (scale < 1 ? 1 : scale)),
          m_from(scale > 1 ? -(m_width - 1) / 2 : 0)
    {
    }

    void to(double x, double y)
    {
        const int w = m_pixels.width, h = m_pixels.height;
        if (x >= 0 && x < w && y >= 0 && y < h) {
            const int ix = static_cast<int>(x), iy = static_cast<int>(y);
            if (m_has && m_inside) {
                if (ix != m_ix || iy != m_iy)
                    walk(m_ix, m_iy, ix, iy, false);
            } else if (m_has) {
                clipped(x, y);
            } else {
                for (int k = m_from; k < m_from + m_width; ++k)
                    if (iy + k >= 0 && iy + k < h)
                        m_pixels.at(ix, iy + k) = m_colour;
            }
            m_ix = ix, m_iy = iy, m_inside = true;
        } else if (std::isnan(x) || std::isnan(y)) {
            m_has = false;
            return;
        } else {
            if (m_has)
                clipped(x, y);
            m_inside = false;
        }
        m_has = true;
        m_x = x, m_y = y;
    }
    void gap() { m_has = false; }

private:
    void clipped(double x, double y)
    {
        PixelLine l;
        if (segmentPixels(m_x, m_y, x, y, m_pixels.width, m_pixels.height, l))
            walk(l.a.x, l.a.y, l.b.x, l.b.y, true);
    }
    void walk(int x, int y, int x1, int y1, bool check)
    {
        if (m_bold) {
            const bool flat = std::abs(x1 - x) >= std::abs(y1 - y);
            const int bx = flat ? 0 : 1, by = flat ? 1 : 0;
            walkLine(x, y, x1, y1, [&](int px, int py) {
                for (int k = m_from; k < m_from + m_width; ++k)
                    if (m_pixels.contains(px + k * bx, py + k * by))
                        m_pixels.at(px + k * bx, py + k * by) = m_colour;
            });
            return;
        }
        walkLine(x, y, x1, y1, [&](int px, int py) {
            if (!check || m_pixels.contains(px, py))
                m_pixels.at(px, py) = m_colour;
        });
    }

    PixelBuffer m_pixels;
    std::uint32_t m_colour;
    bool m_bold;         // wider than a pixel
    int m_width, m_from; // across the way, from m_from pixels beside it
    bool m_has = false, m_inside = false;
    int m_ix = 0, m_iy = 0;
    double m_x = 0, m_y = 0;
};
