// SPDX-License-Identifier: MIT

#pragma once

// The y'-nullcline of the phase plane, where g(x, y, y') = 0 at one abscissa x: every
// branch in a box, closed curves included, as segments traced cell by cell on a grid
// (marching squares). A crossing on a cell's edge is found by bisection along it; a sign
// change across a pole, where |g| grows towards it, is none. A branch where g touches 0
// without changing sign (a double root) is not seen.

#include "solver/solver.h"

#include <atomic>
#include <vector>

namespace analysis {

// A point of the phase plane: y across, y' up.
struct PhasePoint
{
    double y = 0.0;
    double z = 0.0;
    bool operator==(const PhasePoint &) const = default;
};

struct PhaseSegment
{
    PhasePoint a, b;
};

// The box of the phase plane looked at: y from left to right, y' from bottom to top.
struct PhaseBox
{
    double left = 0.0, right = 1.0;
    double bottom = 0.0, top = 1.0;
};

// The segments of g(x, y, y') = 0 in `box`, on a grid of `columns` x `rows` cells (each at
// least 1, at most 1024); none when `abort` was raised meanwhile.
std::vector<PhaseSegment> slopeNullcline(const solver::RunParameters &p, double x,
                                         const PhaseBox &box, int columns, int rows,
                                         const std::atomic<bool> *abort = nullptr);

} // namespace analysis
