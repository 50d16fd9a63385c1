// SPDX-License-Identifier: MIT

#include "plot/axes.h"

#include "plot/plotsurface.h"

namespace {

constexpr WorldRect kWorld = kPlotWorld;

// The 19 pairs of ticks at -4 .. 14, inside the edges, reaching 0.1 to either side of each
// axis.
void drawTicks(PlotSurface &s)
{
    constexpr float kTick = 0.1f;
    for (int i = static_cast<int>(kWorld.left) + 1; i < static_cast<int>(kWorld.right); ++i) {
        const auto t = static_cast<float>(i);
        s.line(t, -kTick, t, kTick);
        s.line(-kTick, t, kTick, t);
    }
}

} // namespace

void drawStartupAxes(PlotSurface &s)
{
    s.setScale(kWorld);
    s.line(kWorld.left, 0, kWorld.right, 0, kMagenta);
    s.line(0, kWorld.top, 0, -50); // runs past the bottom edge
    drawTicks(s);
}

void drawResetAxes(PlotSurface &s)
{
    s.clear();
    s.line(kWorld.left, 0, kWorld.right, 0);
    s.line(0, kWorld.top, 0, kWorld.bottom);
    drawTicks(s);
}
