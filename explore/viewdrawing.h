// SPDX-License-Identifier: MIT

#pragma once

// What a zoomable view draws of the runs, into pixels, on the view's worker thread: the
// grid at the axes' ticks, and every run's curves in the run's colour at true scale, each
// run over the ones before it, with a disc where it starts, and the live run over them
// all. Plain C++; the direction field's arrows are antialiased strokes, which the caller
// paints between the two.

#include "explore/pixelcanvas.h"
#include "explore/tracks.h"
#include "explore/viewrequest.h"

#include <atomic>

// The grid at the ticks of both axes, and the axes themselves where they are in view.
void drawGrid(Canvas &canvas, const ViewRequest &request);

// Every run's curves as the view's kind asks (with the solution's dashed reference, and the
// phase plane's arrowheads the way each run goes), over what `image` holds. False, with the
// curves half drawn, when `abort` was raised.
bool drawCurves(const ViewRequest &request, const Tracks &tracks, const PixelBuffer &image,
                const std::atomic<bool> &abort);

// The same curves as lines on `canvas`, a vector one: the solution's and the error's merged
// by device columns, the dashes and dots in patterns the canvas draws, the phase plane's
// each drawn once where it goes round again.
bool drawCurves(const ViewRequest &request, const Tracks &tracks, Canvas &canvas,
                const std::atomic<bool> &abort);
