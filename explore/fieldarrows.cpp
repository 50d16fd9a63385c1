// SPDX-License-Identifier: MIT

#include "explore/fieldarrows.h"

#include "solver/checked.h"

#include <algorithm>
#include <cmath>

std::vector<FieldArrow> fieldArrows(const ViewRequest &r)
{
    constexpr int kCells = 20;
    const WorldScale m(r.window());
    const double w = r.width, h = r.height;
    const double cellW = w / kCells, cellH = h / kCells;
    const double length = 0.7 * std::min(cellW, cellH);
    const double head = std::min(length * 0.35, 5.0 * r.ratio);
    std::vector<FieldArrow> arrows;
    arrows.reserve(kCells * kCells);
    for (int row = 0; row < kCells; ++row) {
        for (int col = 0; col < kCells; ++col) {
            const double cx = (col + 0.5) * cellW, cy = (row + 0.5) * cellH;
            const double y = m.wx(cx); // the phase plane's abscissa is y
            const double z = m.wy(cy); // and its ordinate y'
            solver::Checked c;
            const double g = solver::g(r.field.p, r.field.x, y, z, c);
            // (y', y'') as the screen shows it: y' along the abscissa, y'' up.
            const double dx = z * m.sx, dy = -g * m.sy;
            const double norm = std::hypot(dx, dy);
            if (!c.ok() || !std::isfinite(norm) || norm == 0)
                continue;
            const double ux = dx / norm, uy = dy / norm;
            FieldArrow a;
            a.tail = {cx - ux * length / 2, cy - uy * length / 2};
            a.tip = {cx + ux * length / 2, cy + uy * length / 2};
            // The head: two strokes back from the tip, 25 degrees either side.
            for (int k = 0; k < 2; ++k) {
                const double side = k == 0 ? 1.0 : -1.0;
                const double angle = std::atan2(uy, ux) + 3.14159265358979 - side * 0.4363;
                a.heads[k] = {a.tip.x + std::cos(angle) * head, a.tip.y + std::sin(angle) * head};
            }
            arrows.push_back(a);
        }
    }
    return arrows;
}

double fieldArrowWidth(const ViewRequest &request)
{
    return std::max(1.0, request.ratio);
}
