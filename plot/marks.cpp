// SPDX-License-Identifier: MIT

#include "plot/marks.h"

#include "solver/checked.h"
#include "solver/solver.h"

using solver::Checked;
using solver::Equation;
using solver::Fault;

namespace {

// Appends the mark at `at`, or notes why it has none.
void add(MarkList &list, Mark::Kind kind, const MarkPosition &at, PaletteColour colour)
{
    if (!at.ok()) {
        list.fault = at.fault;
        return;
    }
    list.marks[static_cast<std::size_t>(list.count++)] = Mark{kind, at.x, at.y, colour};
}

// Rounds both coordinates to single precision, x first, and appends the mark unless
// this or an earlier operation of the list had no value.
void add(MarkList &list, Checked &c, Mark::Kind kind, double x, double y, PaletteColour colour)
{
    if (c.ok())
        add(list, kind, markPosition(c, x, y), colour);
}

} // namespace

MarkList startMarks(double x0, double y0)
{
    MarkList list;
    Checked c;
    add(list, c, Mark::Point, x0, y0, kLightRed);
    return list;
}

MarkList emdenFirstDot(double x, double y)
{
    MarkList list;
    add(list, Mark::Point, emdenFirstPosition(x, y), kLightRed);
    return list;
}

MarkList sampleMarks(Equation eq, double n, double x, double y)
{
    MarkList list;
    Checked c;
    if (eq < Equation::Emden || eq == Equation::Cosmos) {
        add(list, Mark::LineTo, lineEnd(eq, x, y), kLightRed);
    } else if (eq == Equation::Emden) {
        // Each dot's coordinates are computed only after the dot before it is placed, so
        // a power without a value leaves the earlier dots drawn.
        const double x2 = c.mul(2.0, x);
        add(list, c, Mark::Point, x2, c.mul(2.0, y), kLightRed);
        if (c.ok())
            add(list, c, Mark::Point, x2, c.mul(2.0, c.pow(y, n)), kBlack);
        if (c.ok())
            add(list, c, Mark::Point, x2, c.mul(2.0, c.pow(y, c.add(1.0, n))), kGreen);
    }
    if (!c.ok())
        list.fault = c.fault();
    return list;
}
