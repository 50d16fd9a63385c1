// SPDX-License-Identifier: MIT

#include "explore/viewdrawing.h"

#include "explore/curvepens.h"
#include "explore/phasecurve.h"
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

// What `draw` draws on a layer of its own, laid over the image in dashes: a curve of any
// direction comes out in short strokes and gaps.
template<typename Draw> bool drawDashed(const PixelBuffer &image, Draw draw)
{
    // Transparent where nothing is drawn.
    std::vector<std::uint32_t> pixels(
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 0);
    const PixelBuffer layer{pixels.data(), image.width, image.height,
                            static_cast<std::size_t>(image.width)};
    PixelCanvas canvas(layer);
    if (!draw(canvas))
        return false;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (layer.at(x, y) != 0 && ((x + y) / 4) % 2 == 0)
                image.at(x, y) = layer.at(x, y);
    return true;
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
    const WorldScale m(request.window());
    bool done = true;
    switch (request.kind) {
    case ViewKind::Solution:
        for (const RunTrack &track : tracks.runs())
            done = done && drawSolution(canvas, m, request, track, tracks.samples(), abort);
        if (request.reference) {
            canvas.setDashed(true);
            for (const RunTrack &track : tracks.runs())
                done = done && drawReference(canvas, m, request, track, tracks.samples(), abort);
            canvas.setDashed(false);
        }
        break;
    case ViewKind::Phase:
        done = drawPhases(canvas, m, request, tracks, tracks.samples(), abort);
        break;
    case ViewKind::Error:
        for (const RunTrack &track : tracks.runs())
            done = done && drawError(canvas, m, request, track, abort);
        break;
    }
    return done;
}

bool drawCurves(const ViewRequest &request, const Tracks &tracks, const PixelBuffer &image,
                const std::atomic<bool> &abort)
{
    const WorldScale m(request.window());
    PixelCanvas canvas(image);
    bool done = true;
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
    return done;
}
