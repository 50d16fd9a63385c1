// SPDX-License-Identifier: MIT

#include "explore/runmarks.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr double kHeadLength = 6;        // pixels from the tip back along each stroke
constexpr double kHeadCos = 0.866025404; // the strokes 30 degrees off the way back
constexpr double kHeadSin = 0.5;

} // namespace

void drawStartMark(Canvas &canvas, double x, double y, std::uint32_t colour)
{
    if (!(x > -4 && x < canvas.width() + 4 && y > -4 && y < canvas.height() + 4))
        return;
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    // The pixels within sqrt(10) of the centre's: rows 3, 5, 7, 7, 7, 5 and 3 pixels wide.
    constexpr int kHalf[] = {1, 2, 3, 3, 3, 2, 1};
    PixelLine rows[std::size(kHalf)];
    std::size_t n = 0;
    for (int k = 0; k < static_cast<int>(std::size(kHalf)); ++k) {
        const int row = cy + k - 3;
        const int a = std::max(cx - kHalf[k], 0), b = std::min(cx + kHalf[k], canvas.width() - 1);
        if (row >= 0 && row < canvas.height() && a <= b)
            rows[n++] = {{a, row}, {b, row}};
    }
    if (n > 0)
        canvas.drawLines(colour, std::span(rows, n));
}

void drawArrowheads(Canvas &canvas, std::span<const Arrowhead> heads, std::uint32_t colour)
{
    std::vector<PixelLine> strokes;
    strokes.reserve(2 * heads.size());
    const auto pixel = [](double x, double y) {
        return PixelPoint{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
    };
    for (const Arrowhead &h : heads) {
        // Back along the way, turned either side.
        const double bx = -h.dx * kHeadCos, by = -h.dy * kHeadCos;
        const double sx = -h.dy * kHeadSin, sy = h.dx * kHeadSin;
        const PixelPoint tip = pixel(h.x, h.y);
        for (const double side : {1.0, -1.0})
            strokes.push_back({tip, pixel(h.x + kHeadLength * (bx + side * sx),
                                          h.y + kHeadLength * (by + side * sy))});
    }
    // The strokes end within seven pixels of a tip on the canvas: clipped by the canvas.
    if (!strokes.empty())
        canvas.drawLines(colour, strokes);
}

void ArrowTrail::chord(double x, double y, double dx, double dy, double length)
{
    m_gone += length;
    m_x = x, m_y = y;
    if (m_gone < kSpacing)
        return;
    m_gone -= kSpacing; // what the chord went past it: the arrowheads keep their pitch
    m_heads.push_back({x, y, dx / length, dy / length});
}
