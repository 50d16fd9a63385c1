// SPDX-License-Identifier: MIT

#pragma once

// The curves of one run in a zoomable view: the solution at true scale, from its samples
// where a pixel holds few of them and from the levels of detail where it holds many; the
// phase plane from the slopes found by running the run again.

#include "explore/tracks.h"
#include "explore/viewrequest.h"
#include "plot/canvas.h"
#include "plot/columnbatcher.h"

#include <atomic>
#include <cstdint>
#include <vector>

// A polyline in one colour, in device coordinates, merged by columns on its way to the
// canvas. A gap, or a point that is not a number, breaks it.
class CurvePen
{
public:
    CurvePen(Canvas &canvas, std::uint32_t colour);
    ~CurvePen() { finish(); }
    void to(double x, double y);
    void gap() { m_has = false; }
    void finish();

private:
    Canvas &m_canvas;
    std::uint32_t m_colour;
    ColumnBatcher m_batcher;
    bool m_has = false;
    double m_x = 0, m_y = 0;
};

// Vertical spans by device column, each joined to the one before it, for a curve of many
// samples a pixel. A gap breaks the joining.
class SpanPen
{
public:
    SpanPen(Canvas &canvas, std::uint32_t colour) : m_canvas(canvas), m_colour(colour) {}
    ~SpanPen() { finish(); }
    // The samples in `column` reach from device row `top` down to `bottom`.
    void add(int column, double top, double bottom);
    void gap();
    void finish();

private:
    void close();

    Canvas &m_canvas;
    std::uint32_t m_colour;
    std::vector<PixelLine> m_lines;
    bool m_open = false, m_joined = false;
    int m_column = 0;
    double m_top = 0, m_bottom = 0;
    double m_lastTop = 0, m_lastBottom = 0; // the column before, for joining
};

// Each curve of a run in the solution view, all in the run's colour, the first solid, the
// second dashed, the third dotted; bold for the live run. False when `abort` was raised.
bool drawSolution(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
                  const SampleStore::Snapshot &samples, const std::atomic<bool> &abort);
// The reference solution of a run, as far as it is known.
bool drawReference(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
                   const SampleStore::Snapshot &samples, const std::atomic<bool> &abort);
// |y - reference| of a run on the error view's log scale, in the run's colour.
bool drawError(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
               const std::atomic<bool> &abort);
