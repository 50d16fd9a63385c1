// SPDX-License-Identifier: MIT

#pragma once

// The phase plane's curves: every run's y' over y in its colour, from the slopes found by
// running it again, each segment walked pixel by pixel into the image; a long run from its
// coverage map wherever that is as fine as the view's pixels. Each run lies over the ones
// before it, with a disc where it starts and arrowheads the way it goes; the live run lies
// over them all. Plain C++.

#include "explore/pixelcanvas.h"
#include "explore/tracks.h"
#include "explore/viewrequest.h"

#include <atomic>
#include <cstdint>
#include <vector>

bool drawPhases(const PixelBuffer &image, const WorldScale &m, const ViewRequest &r,
                const Tracks &tracks, const std::atomic<bool> &abort);

// A polyline drawn as lines on a canvas, leaving out each segment whose pixels some line it
// kept has set already: a curve that goes round one cycle a thousand times is painted once.
// For a vector canvas, where every line is a path of its own. A curve that fills a band of
// the plane (one that never closes) would keep more lines than a file should hold: past
// `most` lines it is painted, at finish(), as the rows of the pixels it sets.
class CoveredPen
{
public:
    CoveredPen(Canvas &canvas, std::uint32_t colour, std::size_t most = 16384);
    void to(double x, double y);
    void gap() { m_has = false; }
    // Paints what it kept, or the rows of its pixels.
    void finish();

private:
    Canvas &m_canvas;
    std::uint32_t m_colour;
    std::size_t m_most;
    std::vector<bool> m_drawn; // the pixels the curve sets, row after row
    std::vector<PixelLine> m_lines;
    bool m_tooMany = false;
    bool m_has = false;
    double m_x = 0, m_y = 0;
};

// The same curves as lines on `canvas`, each run's drawn once where it goes round again,
// and from the samples even where a coverage map could stand for them.
bool drawPhases(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const Tracks &tracks,
                const std::atomic<bool> &abort);

// Where a run's phase curve starts in the view's device pixels: (y0, y'(x0)) as the run
// keeps its first slope, rounded to a float.
DevicePoint phaseStart(const WorldScale &m, const RunTrack &track);
