// SPDX-License-Identifier: MIT

#pragma once

class PlotSurface;

// The axes drawn when the window opens: it sets the main plot's world window, then a
// magenta x axis, a blue y axis running past the bottom edge, and 19 pairs of ticks.
void drawStartupAxes(PlotSurface &surface);
// The axes Ready draws after clearing: both blue, the y axis ending at the bottom edge.
void drawResetAxes(PlotSurface &surface);
