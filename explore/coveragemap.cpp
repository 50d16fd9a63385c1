// SPDX-License-Identifier: MIT

#include "explore/coveragemap.h"

#include "explore/linewalk.h"

#include <algorithm>
#include <cmath>

CoverageMap::CoverageMap(const WorldRect &box)
    : m_world(box), m_cells(WorldWindow(box, kSide, kSide)),
      m_bits(static_cast<std::size_t>(kSide) * kWords, 0)
{
}

void CoverageMap::line(double x0, double y0, double x1, double y1)
{
    // Clamped before the conversion: a box of no width maps to no number at all.
    const auto cell = [](double v) {
        return static_cast<int>(std::fmin(std::fmax(v, 0.0), kSide - 1.0));
    };
    int x = cell(m_cells.dx(x0)), y = cell(m_cells.dy(y0));
    const int xe = cell(m_cells.dx(x1)), ye = cell(m_cells.dy(y1));
    walkLine(x, y, xe, ye, [this](int px, int py) { set(px, py); });
}
