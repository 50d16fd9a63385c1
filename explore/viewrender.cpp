// SPDX-License-Identifier: MIT

#include "explore/viewrender.h"

#include "explore/curvepens.h"
#include "explore/fieldarrows.h"
#include "explore/phasecurve.h"
#include "explore/pixelcanvas.h"
#include "explore/ticks.h"
#include "explore/viewstyle.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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

// What `draw` draws on a layer of its own, laid over the image in dashes: a curve of any
// direction comes out in short strokes and gaps.
template<typename Draw> bool drawDashed(QImage &image, Draw draw)
{
    // Transparent where nothing is drawn: an opaque format would fill it with black.
    QImage layer(image.size(), QImage::Format_ARGB32);
    layer.fill(0);
    PixelCanvas canvas(layer);
    if (!draw(canvas))
        return false;
    for (int y = 0; y < image.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(layer.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (from[x] != 0 && ((x + y) / 4) % 2 == 0)
                to[x] = from[x];
    }
    return true;
}

} // namespace

bool renderView(const ViewRequest &request, const Tracks &tracks, QImage &image,
                const std::atomic<bool> &abort)
{
    if (image.size() != request.size || image.format() != QImage::Format_RGB32)
        image = QImage(request.size, QImage::Format_RGB32);
    image.fill(viewstyle::kBackground);
    const ViewMapping m(request);
    drawGrid(image, request, m);
    if (request.kind == ViewKind::Phase && request.field.shown)
        drawFieldArrows(image, request, m);

    bool done = true;
    PixelCanvas canvas(image);
    switch (request.kind) {
    case ViewKind::Solution:
        for (const RunTrack &track : tracks.runs())
            done = done && drawSolution(canvas, m, request, track, tracks.samples(), abort);
        if (request.reference && done)
            done = drawDashed(image, [&](Canvas &layer) {
                for (const RunTrack &track : tracks.runs())
                    if (!drawReference(layer, m, request, track, tracks.samples(), abort))
                        return false;
                return true;
            });
        break;
    case ViewKind::Phase:
        done = drawPhases(image, m, request, tracks, tracks.samples(), abort);
        break;
    case ViewKind::Error:
        for (const RunTrack &track : tracks.runs())
            done = done && drawError(canvas, m, request, track, abort);
        break;
    }
    image.setDevicePixelRatio(request.ratio);
    return done;
}

WorldRect curveBounds(ViewKind kind, const RunTrack &track, bool &empty)
{
    Range x, y;
    if (kind == ViewKind::Solution) {
        x = track.xRange();
        y = track.yRange();
        // The powers of y at the ends of its range bound the other curves.
        const solver::RunParameters &p = track.params();
        if (!y.empty())
            for (const solver::Curve &curve : p.eq->curves.subspan(1))
                for (const double v : {y.lo, y.hi})
                    if (const double c = solver::curveValue(curve, p.values, v); std::isfinite(c))
                        y.add(c);
    } else if (kind == ViewKind::Phase) {
        if (track.slopeRows() > 0)
            x = track.yRange(), y = track.slopeRange();
    } else if (const ReferenceTrack &ref = track.reference(); ref.rows() > 0) {
        // From the smallest error to the largest, in whole decades; an error of 0 alone is
        // shown a decade below the smallest double's.
        x = track.xRange();
        if (ref.largestError() > 0) {
            y.add(std::floor(std::log10(ref.smallestError())));
            y.add(std::ceil(std::log10(ref.largestError())));
        } else if (ref.someZero()) {
            y.add(-324), y.add(-323);
        }
    }
    empty = x.empty() || y.empty();
    return {x.lo, y.hi, x.hi, y.lo};
}
