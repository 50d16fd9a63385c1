// SPDX-License-Identifier: MIT

#pragma once

// The marks a run leaves on the plot, as world coordinates in single precision. The
// window paints exactly these; the table tool computes them too, so that both stop at
// the same sample when a coordinate has no value.

#include "platform/palette.h"
#include "solver/checked.h"
#include "solver/fault.h"
#include "solver/solver.h"

#include <array>

struct Mark
{
    enum Kind : unsigned char { Point, LineTo };
    Kind kind;
    float x;
    float y;
    PaletteColour colour;

    bool operator==(const Mark &) const = default;
};

// The marks of one call, in drawing order. When `fault` is set, the marks before it are
// still valid and are drawn; nothing after them is.
struct MarkList
{
    std::array<Mark, 3> marks{};
    int count = 0;
    solver::Fault fault = solver::Fault::None;

    bool ok() const { return fault == solver::Fault::None; }
};

// The start dot (x0, y0) in light red, unscaled for every equation.
MarkList startMarks(double x0, double y0);

// The marks of one sample of the run `p`, as its equation's drawing says: the end of its
// line, or a dot for each of its curves, each dot's coordinates computed only after the
// dot before it is placed.
MarkList sampleMarks(const solver::RunParameters &p, double x, double y);

// Where a mark lies: both coordinates rounded to single precision, x first, unless this or
// an earlier operation of `c` had no value; then `fault` says which, and it is no mark.
struct MarkPosition
{
    float x = 0;
    float y = 0;
    solver::Fault fault = solver::Fault::None;

    bool ok() const { return fault == solver::Fault::None; }
};

inline MarkPosition markPosition(solver::Checked &c, double x, double y)
{
    MarkPosition at;
    if (c.ok()) {
        at.x = c.single(x, solver::Fault::CoordinateOverflow);
        at.y = c.single(y, solver::Fault::CoordinateOverflow);
    }
    at.fault = c.fault();
    return at;
}

// The scaled coordinate of a drawing: the value itself for a scale of 1.
inline double scaled(solver::Checked &c, double scale, double v)
{
    return scale == 1.0 ? v : c.mul(scale, v);
}

// Where a sample's line ends, or its first dot lies: (xScale x, yScale y). Inline, for a
// run that draws each sample as it comes; sampleMarks makes its first mark from here too.
inline MarkPosition firstPosition(const solver::Drawing &d, double x, double y)
{
    solver::Checked c;
    const double wx = scaled(c, d.xScale, x);
    return markPosition(c, wx, scaled(c, d.yScale, y));
}

// Whether the dots after a sample's first cannot fail whenever 0 < y <= 1: each is a power
// of y with an exponent of at least 0, in (0, 1], at the first one's abscissa. A surface
// that shows nothing there can then do with the first dot (the powers cost more than the
// rest of a sample).
bool laterDotsCannotFailBelowOne(const solver::RunParameters &p);
