// SPDX-License-Identifier: MIT

#include "explore/viewrender.h"

#include "explore/curvepens.h"
#include "explore/fieldarrows.h"
#include "explore/pixelcanvas.h"
#include "explore/ticks.h"
#include "explore/viewstyle.h"
#include "solver/equations.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using solver::Equation;

namespace {

// The grid at the ticks of both axes, and the axes themselves where they are in view.
void drawGrid(QImage &image, const ViewRequest &r, const ViewMapping &m)
{
    QPainter p(&image);
    const int w = r.size.width(), h = r.size.height();
    const int most = std::max(2, static_cast<int>(w / (80 * r.ratio)));
    const int mostY = std::max(2, static_cast<int>(h / (50 * r.ratio)));
    p.setPen(QColor::fromRgb(viewstyle::kGrid));
    for (const Tick &t : ticks(r.world.left, r.world.right, most)) {
        const double x = std::floor(m.dx(t.value));
        p.drawLine(QLineF(x + 0.5, 0, x + 0.5, h));
    }
    for (const Tick &t : ticks(r.world.bottom, r.world.top, mostY)) {
        const double y = std::floor(m.dy(t.value));
        p.drawLine(QLineF(0, y + 0.5, w, y + 0.5));
    }
    p.setPen(QColor::fromRgb(viewstyle::kZeroAxis));
    if (r.world.left < 0 && r.world.right > 0)
        p.drawLine(QLineF(std::floor(m.dx(0)) + 0.5, 0, std::floor(m.dx(0)) + 0.5, h));
    if (r.world.bottom < 0 && r.world.top > 0)
        p.drawLine(QLineF(0, std::floor(m.dy(0)) + 0.5, w, std::floor(m.dy(0)) + 0.5));
}

} // namespace

bool renderView(const ViewRequest &request, const RunsSnapshot &snapshot, const Tracks &tracks,
                QImage &image, const std::atomic<bool> &abort)
{
    if (image.size() != request.size || image.format() != QImage::Format_RGB32)
        image = QImage(request.size, QImage::Format_RGB32);
    image.fill(viewstyle::kBackground);
    const ViewMapping m(request);
    drawGrid(image, request, m);
    if (request.kind == ViewKind::Phase && request.field.shown)
        drawFieldArrows(image, request, m);

    PixelCanvas canvas(image);
    for (const RunTrack &track : tracks.runs()) {
        if (abort.load(std::memory_order_relaxed))
            return false;
        const bool done = request.kind == ViewKind::Solution
                              ? drawSolution(canvas, m, request, track, snapshot.samples, abort)
                              : drawPhase(image, m, request, track, snapshot.samples, abort);
        if (!done)
            return false;
    }
    image.setDevicePixelRatio(request.ratio);
    return true;
}

WorldRect curveBounds(ViewKind kind, const RunTrack &track, bool &empty)
{
    Range x, y;
    if (kind == ViewKind::Solution) {
        x = track.xRange();
        y = track.yRange();
        if (track.params().eq == Equation::Emden && !y.empty())
            for (const double e : {track.params().n, track.params().n + 1})
                for (const double v : {y.lo, y.hi})
                    if (const double p = std::pow(v, e); std::isfinite(p))
                        y.add(p);
    } else if (track.slopeRows() > 0) {
        x = track.yRange();
        y = track.slopeRange();
    }
    empty = x.empty() || y.empty();
    return {x.lo, y.hi, x.hi, y.lo};
}
