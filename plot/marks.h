// SPDX-License-Identifier: MIT

#pragma once

// The marks a run leaves on the plot, as world coordinates in single precision. The
// window paints exactly these; the table tool computes them too, so that both stop at
// the same sample when a coordinate has no value.

#include "platform/palette.h"
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
