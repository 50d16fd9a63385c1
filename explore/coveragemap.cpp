// SPDX-License-Identifier: MIT

#include "explore/coveragemap.h"

#include "explore/linewalk.h"

#include <algorithm>
#include <cmath>

CoverageMap::CoverageMap(const WorldRect &box)
    : m_world(box), m_sx(kSide / box.width()), m_sy(kSide / box.height()),
      m_bits(static_cast<std::size_t>(kSide) * kWords, 0)
{
}

void CoverageMap::line(double x0, double y0, double x1, double y1)
{
    // Clamped before the conversion: a box of no width maps to no number at all.
    const auto cell = [](double v) {
        return static_cast<int>(std::fmin(std::fmax(v, 0.0), kSide - 1.0));
    };
    int x = cell((x0 - m_world.left) * m_sx), y = cell((m_world.top - y0) * m_sy);
    const int xe = cell((x1 - m_world.left) * m_sx), ye = cell((m_world.top - y1) * m_sy);
    walkLine(x, y, xe, ye, [this](int px, int py) { set(px, py); });
}
