// SPDX-License-Identifier: MIT

#include "explore/fieldarrows.h"

#include "explore/viewstyle.h"
#include "solver/checked.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

void drawFieldArrows(QImage &image, const ViewRequest &r, const ViewMapping &m)
{
    constexpr int kCells = 20;
    const double w = r.size.width(), h = r.size.height();
    const double cellW = w / kCells, cellH = h / kCells;
    const double length = 0.7 * std::min(cellW, cellH);
    const double head = std::min(length * 0.35, 5.0 * r.ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor::fromRgb(viewstyle::kField), std::max(1.0, r.ratio)));
    QPainterPath arrows;
    for (int row = 0; row < kCells; ++row) {
        for (int col = 0; col < kCells; ++col) {
            const double cx = (col + 0.5) * cellW, cy = (row + 0.5) * cellH;
            const double y = r.world.left + cx / m.sx; // the phase plane's abscissa is y
            const double z = r.world.top - cy / m.sy;  // and its ordinate y'
            solver::Checked c;
            const double g = solver::g(r.field.p, r.field.x, y, z, c);
            // (y', y'') as the screen shows it: y' along the abscissa, y'' up.
            const double dx = z * m.sx, dy = -g * m.sy;
            const double norm = std::hypot(dx, dy);
            if (!c.ok() || !std::isfinite(norm) || norm == 0)
                continue;
            const double ux = dx / norm, uy = dy / norm;
            const QPointF tail(cx - ux * length / 2, cy - uy * length / 2);
            const QPointF tip(cx + ux * length / 2, cy + uy * length / 2);
            arrows.moveTo(tail);
            arrows.lineTo(tip);
            // The head: two strokes back from the tip, 25 degrees either side.
            for (const double side : {1.0, -1.0}) {
                const double a = std::atan2(uy, ux) + 3.14159265358979 - side * 0.4363;
                arrows.moveTo(tip);
                arrows.lineTo(tip + QPointF(std::cos(a) * head, std::sin(a) * head));
            }
        }
    }
    p.drawPath(arrows);
}
