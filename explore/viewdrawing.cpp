// SPDX-License-Identifier: MIT

#include "explore/viewdrawing.h"

#include "explore/curvepens.h"
#include "explore/phasecurve.h"
#include "explore/runmarks.h"
#include "explore/viewstyle.h"

#include <cmath>
#include <vector>

namespace {

// A line of the grid: one device column or row across the whole canvas.
void gridLine(Canvas &canvas, std::uint32_t colour, bool vertical, double at)
{
    const int k = static_cast<int>(std::floor(at));
    const PixelLine line = vertical ? PixelLine{{k, 0}, {k, canvas.height() - 1}}
                                    : PixelLine{{0, k}, {canvas.width() - 1, k}};
    canvas.drawLines(colour, std::span(&line, 1));
}

// A run's curves in the solution view and the disc where it starts, over the runs before.
bool drawSolutionRun(Canvas &canvas, const WorldScale &m, const ViewRequest &r,
                     const RunTrack &track, const SampleStore::Snapshot &samples,
                     const std::atomic<bool> &abort)
{
    if (!drawSolution(canvas, m, r, track, samples, abort))
        return false;
    if (track.rows() > 0)
        drawStartMark(canvas, m.dx(track.params().x0), m.dy(track.params().y0),
                      track.style().colour);
    return true;
}

// The curves of the solution or the error view on any canvas: the runs in their order, each
// over the ones before; the references dashed over all of them; the live run over
// everything.
bool drawByColumns(const ViewRequest &request, const Tracks &tracks, Canvas &canvas,
                   const std::atomic<bool> &abort)
{
    const WorldScale m(request.window());
    const RunTrack *live = tracks.live();
    if (request.kind == ViewKind::Error) {
        for (const RunTrack &track : tracks.runs())
            if (!drawError(canvas, m, request, track, abort))
                return false;
        return !live || drawError(canvas, m, request, *live, abort);
    }
    for (const RunTrack &track : tracks.runs())
        if (!drawSolutionRun(canvas, m, request, track, tracks.samples(), abort))
            return false;
    if (request.reference) {
        canvas.setLineStyle(LineStyle::Dashed);
        for (const RunTrack &track : tracks.runs())
            if (!drawReference(canvas, m, request, track, tracks.samples(), abort))
                return false;
        canvas.setLineStyle(LineStyle::Solid);
    }
    return !live || drawSolutionRun(canvas, m, request, *live, tracks.liveSamples(), abort);
}

// The ways back, dashed in their runs' colours, over the runs' curves.
void drawBackwards(Canvas &canvas, const ViewRequest &request, const Tracks &tracks)
{
    if (request.kind == ViewKind::Error)
        return;
    const WorldWindow window = request.window();
    for (const BackwardTrack &b : tracks.backward())
        if (b.run < tracks.runs().size())
            drawBackward(canvas, request.kind, window, b, tracks.runs()[b.run].style().colour);
}

} // namespace

void drawGrid(Canvas &canvas, const ViewRequest &r)
{
    const WorldScale m(r.window());
    // Skipped where a coordinate lies beyond an int, as a tick never does on the view.
    const auto onCanvas = [&](double at, int size) { return at >= 0 && at < size; };
    for (const Tick &t : r.ticks.across)
        if (const double x = m.dx(t.value); onCanvas(x, canvas.width()))
            gridLine(canvas, viewstyle::kGrid, true, x);
    for (const Tick &t : r.ticks.up)
        if (const double y = m.dy(t.value); onCanvas(y, canvas.height()))
            gridLine(canvas, viewstyle::kGrid, false, y);
    if (r.world.left < 0 && r.world.right > 0)
        gridLine(canvas, viewstyle::kZeroAxis, true, m.dx(0));
    if (r.world.bottom < 0 && r.world.top > 0)
        gridLine(canvas, viewstyle::kZeroAxis, false, m.dy(0));
}

bool drawCurves(const ViewRequest &request, const Tracks &tracks, Canvas &canvas,
                const std::atomic<bool> &abort)
{
    const bool done = request.kind == ViewKind::Phase
                          ? drawPhases(canvas, WorldScale(request.window()), request, tracks, abort)
                          : drawByColumns(request, tracks, canvas, abort);
    if (done)
        drawBackwards(canvas, request, tracks);
    return done;
}

bool drawCurves(const ViewRequest &request, const Tracks &tracks, const PixelBuffer &image,
                const std::atomic<bool> &abort)
{
    // The pixel canvas draws the dashes, the dots and the bold lines itself.
    PixelCanvas canvas(image, lineScale(request));
    const bool done = request.kind == ViewKind::Phase
                          ? drawPhases(image, WorldScale(request.window()), request, tracks, abort)
                          : drawByColumns(request, tracks, canvas, abort);
    if (done) {
        drawBackwards(canvas, request, tracks);
        canvas.finish();
    }
    return done;
}
