// SPDX-License-Identifier: MIT

#pragma once

// What the views mark on a run beside its curves, plain C++: a disc where it starts, and in
// the phase plane arrowheads along its curve pointing the way it goes. Both are lines on a
// canvas, so that the raster and the vector views draw them alike, in device pixels
// whatever the zoom.

#include "plot/canvas.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A disc seven pixels across about device point (x, y), as the rows of its pixels; nothing
// when it lies off the canvas.
void drawStartMark(Canvas &canvas, double x, double y, std::uint32_t colour);

// An arrowhead's tip in device coordinates, and the unit direction it points.
struct Arrowhead
{
    double x, y;
    double dx, dy;
};

// The two strokes of each arrowhead, six pixels back from its tip on either side.
void drawArrowheads(Canvas &canvas, std::span<const Arrowhead> heads, std::uint32_t colour);

// Where a curve drawn through device points gets its arrowheads: one each time it has gone
// `spacing` pixels on from the last on the canvas, pointing along its last few pixels (the
// slopes of a long run are rounded to within a pixel, too coarse for the way between two
// samples). At most `most` of them, so that a run that goes round a cycle a million times
// marks it a few times and afterwards costs one test a point.
class ArrowTrail
{
public:
    static constexpr double kSpacing = 120;
    static constexpr std::size_t kMost = 40;

    ArrowTrail(int width, int height, std::size_t most = kMost)
        : m_width(width), m_height(height), m_most(most)
    {
    }
    void to(double x, double y)
    {
        if (m_heads.size() >= m_most)
            return;
        if (!(x >= 0 && x < m_width && y >= 0 && y < m_height)) {
            m_has = false; // off the canvas, or not a number: the way starts again after it
            return;
        }
        if (!m_has) {
            m_has = true;
            m_x = x, m_y = y;
            return;
        }
        const double dx = x - m_x, dy = y - m_y, d2 = dx * dx + dy * dy;
        if (d2 >= kChord * kChord)
            chord(x, y, dx, dy, std::sqrt(d2));
    }
    void gap() { m_has = false; }
    bool full() const { return m_heads.size() >= m_most; }
    const std::vector<Arrowhead> &heads() const { return m_heads; }

private:
    static constexpr double kChord = 4; // pixels a direction is taken over
    void chord(double x, double y, double dx, double dy, double length);

    int m_width, m_height;
    std::size_t m_most;
    bool m_has = false;
    double m_x = 0, m_y = 0;      // where the chord under way started
    double m_gone = kSpacing / 2; // pixels since the last arrowhead; the first comes sooner
    std::vector<Arrowhead> m_heads;
};

// A pen that hands each point to `Pen` and to an arrow trail.
template<typename Pen> class TrailPen
{
public:
    TrailPen(Pen &pen, ArrowTrail &trail) : m_pen(pen), m_trail(trail) {}
    void to(double x, double y)
    {
        m_pen.to(x, y);
        m_trail.to(x, y);
    }
    void gap()
    {
        m_pen.gap();
        m_trail.gap();
    }

private:
    Pen &m_pen;
    ArrowTrail &m_trail;
};
