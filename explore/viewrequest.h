// SPDX-License-Identifier: MIT

#pragma once

// What one image of a zoomable view is drawn for, plain C++: the worker draws it, the view
// asks for it, and an export draws it again at print size.

#include "explore/phaseanalysis.h"
#include "explore/ticks.h"
#include "explore/viewkind.h"
#include "model/runrecord.h"
#include "plot/worldwindow.h"
#include "solver/solver.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The direction field: the equation and its parameters' values a next run would take, and
// the abscissa g is taken at for an equation that depends on x.
struct FieldSpec
{
    bool shown = false;
    solver::RunParameters p;
    double x = 0.0;
    bool operator==(const FieldSpec &) const = default;
};

// The field of the run `next` would make. For an equation that depends on x it is taken
// where a sample is marked (`markedX`), the field its curve crosses; with none marked at
// the last run's x0, where it starts; before any run at `next`'s x0. `caption` says which
// ("field at x = 0, the last run's x0"); empty for an equation without x.
FieldSpec nextField(const solver::RunParameters &next, std::span<const RunRecord> runs,
                    std::optional<double> markedX, std::string &caption);

// The ticks of a view's axes: found once for a view's world and size, for the grid the
// worker draws and the numbers beside the plot alike. The error view's ordinate is numbered
// as powers of ten.
struct ViewTicks
{
    std::vector<Tick> across; // along the abscissa, about every 80 pixels
    std::vector<Tick> up;     // along the ordinate, about every 50 pixels
};
ViewTicks viewTicks(ViewKind kind, const WorldRect &world, int plotWidth, int plotHeight);

struct ViewRequest
{
    ViewKind kind = ViewKind::Solution;
    WorldRect world;
    int width = 1; // in device pixels
    int height = 1;
    double ratio = 1.0;    // device pixels per logical pixel
    ViewTicks ticks;       // of the view's plot, in its logical pixels
    FieldSpec field;       // the phase plane's
    AnalysisSpec analysis; // what the phase plane shows of its equation, at the field's x
    // The phase plane's analysis the image was drawn with; none until drawn.
    std::shared_ptr<const PhaseAnalysis> analysed;
    bool reference = false;    // the solution view: the reference as a dashed curve
    std::uint64_t version = 0; // of the runs' snapshot the image was drawn from
    std::uint64_t live = 0;    // the live runs run so far when it was drawn

    WorldWindow window() const { return WorldWindow(world, width, height); }
};

// How many device pixels wide a curve's line is: one a pixel, so that at print size (four
// device pixels a pixel) it is as plain as on screen.
inline int lineScale(const ViewRequest &r)
{
    return r.ratio >= 1.5 ? static_cast<int>(r.ratio + 0.5) : 1;
}
