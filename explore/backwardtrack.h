// SPDX-License-Identifier: MIT

#pragma once

// A run's way back from its start, drawn beside it and never listed (the list holds runs
// from x0 on): the same run with the step -h, from its start to the view's edge or as far
// back as the run goes forward, whichever comes first. Plain C++, run on the views' worker.

#include "explore/viewkind.h"
#include "plot/canvas.h"
#include "plot/worldwindow.h"
#include "solver/solver.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct BackwardTrack
{
    std::size_t run = 0; // the index of the run it goes back from
    struct Point
    {
        double x, y, z;
    };
    // Of every sample, or of every stride-th of a long run and its last; x decreasing.
    std::vector<Point> points;
    double reached = 0.0; // the last abscissa it reached
    solver::RunOutcome outcome;
};

// The most points a way back keeps.
constexpr std::size_t kBackwardPoints = 1 << 19;

// The way back of run `run`, `p` its parameters, until it leaves `box` of a view of `kind`
// (the solution's (x, y), the phase plane's (y, y')); none when `abort` was raised.
std::optional<BackwardTrack> runBack(std::size_t run, const solver::RunParameters &p, ViewKind kind,
                                     const WorldRect &box, const std::atomic<bool> &abort);

// The way back on `canvas` as a view of `kind` over `world` shows it, dashed in `colour`.
void drawBackward(Canvas &canvas, ViewKind kind, const WorldWindow &window,
                  const BackwardTrack &track, std::uint32_t colour);
