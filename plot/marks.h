// SPDX-License-Identifier: MIT

#pragma once

// The marks a run leaves on the plot, as world coordinates in single precision. The
// window paints exactly these; the table tool computes them too, so that both stop at
// the same sample when a coordinate has no value.

#include "platform/palette.h"
#include "solver/checked.h"
#include "solver/equation.h"
#include "solver/fault.h"

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

// The marks of one sample: a light-red line for equations 1 to 4 and an unset number;
// for Emden three dots at (2x, 2y), (2x, 2 y^n) and (2x, 2 y^(1+n)); for Cosmos a
// light-red line to (4x, y).
MarkList sampleMarks(solver::Equation eq, double n, double x, double y);

// The first of an Emden sample's dots alone, (2x, 2y), with the faults of making it.
MarkList emdenFirstDot(double x, double y);

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

// The one mark of a sample of equations 1 to 4, an unset number and Cosmos: the end of
// its light-red line, (x, y), or (4x, y) for Cosmos. Inline, for a run that draws each
// sample as it comes; sampleMarks makes it from here too.
inline MarkPosition lineEnd(solver::Equation eq, double x, double y)
{
    solver::Checked c;
    const double wx = eq == solver::Equation::Cosmos ? c.mul(4.0, x) : x;
    return markPosition(c, wx, y);
}

// Where the first of an Emden sample's dots lies, (2x, 2y); emdenFirstDot makes it from here.
inline MarkPosition emdenFirstPosition(double x, double y)
{
    solver::Checked c;
    const double x2 = c.mul(2.0, x);
    return markPosition(c, x2, c.mul(2.0, y));
}

// For 0 < y <= 1 and n >= 0 both powers of an Emden sample lie in (0, 1]: they cannot
// fail, and they only place the second and third dots, at the first one's abscissa. A
// surface that shows nothing there can then do with the first dot (the powers cost more
// than the rest of a sample).
constexpr bool emdenPowersCannotFail(double n, double y)
{
    return y > 0.0 && y <= 1.0 && n >= 0.0;
}
