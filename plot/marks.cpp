// SPDX-License-Identifier: MIT

#include "plot/marks.h"

#include "solver/checked.h"
#include "solver/solver.h"

#include <cmath>

using solver::Checked;
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

// The value of a later curve: y raised to its exponent, checked.
double curveValue(Checked &c, const solver::Curve &curve, const solver::ParameterValues &values,
                  double y)
{
    if (curve.power < 0)
        return y;
    const double value = values[static_cast<std::size_t>(curve.power)];
    return c.pow(y, curve.plus == 0.0 ? value : c.add(curve.plus, value));
}

} // namespace

MarkList startMarks(double x0, double y0)
{
    MarkList list;
    Checked c;
    add(list, c, Mark::Point, x0, y0, kLightRed);
    return list;
}

MarkList sampleMarks(const solver::RunParameters &p, double x, double y)
{
    const solver::Equation &eq = *p.eq;
    const solver::Drawing &d = eq.drawing;
    MarkList list;
    if (d.mark == solver::Drawing::Mark::Line) {
        add(list, Mark::LineTo, firstPosition(d, x, y), eq.curves[0].colour);
        return list;
    }
    // Each dot's coordinates are computed only after the dot before it is placed, so a
    // power without a value leaves the earlier dots drawn.
    Checked c;
    const double wx = scaled(c, d.xScale, x);
    for (std::size_t k = 0; k < eq.curves.size() && k < list.marks.size() && c.ok(); ++k) {
        const double v = k == 0 ? y : curveValue(c, eq.curves[k], p.values, y);
        add(list, c, Mark::Point, wx, scaled(c, d.yScale, v), eq.curves[k].colour);
    }
    if (!c.ok())
        list.fault = c.fault();
    return list;
}

bool laterDotsCannotFailBelowOne(const solver::RunParameters &p)
{
    const solver::Equation &eq = *p.eq;
    // A scaled value in (0, 1] must stay within single precision.
    if (eq.drawing.mark != solver::Drawing::Mark::Dots || !(std::fabs(eq.drawing.yScale) <= 1e30))
        return false;
    for (std::size_t k = 1; k < eq.curves.size(); ++k) {
        const solver::Curve &curve = eq.curves[k];
        if (curve.power < 0)
            continue;
        const double value = p.values[static_cast<std::size_t>(curve.power)];
        const double exponent = curve.plus == 0.0 ? value : curve.plus + value;
        if (!(exponent >= 0.0) || !std::isfinite(exponent))
            return false;
    }
    return true;
}
