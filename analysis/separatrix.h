// SPDX-License-Identifier: MIT

#pragma once

// The separatrices of a saddle: the four branches of its stable and unstable manifolds,
// each started a small step from the saddle along an eigenvector and integrated by the
// reference's error-controlled Dormand-Prince 5(4) scheme, the unstable ones forward and
// the stable ones backward, until they leave the box looked at (with a margin), come to
// rest, or reach a length limit.

#include "analysis/equilibria.h"
#include "analysis/nullcline.h"

#include <atomic>
#include <span>
#include <vector>

namespace analysis {

struct Separatrix
{
    bool stable = false; // reached as time runs forward: integrated backward
    std::vector<PhasePoint> points;
};

// At most this many points a branch, a few per pixel of a view's width.
constexpr std::size_t kSeparatrixPoints = 20000;

// The four branches of the saddle `saddle` of `p`'s equation, points spaced at most about
// `spacing` of the box's width or height apart; none for a point that is no saddle, or
// when `abort` was raised. A branch that comes within two spacings of an equilibrium of
// `rest` (the pendulum's from one saddle to the next), or back to its own saddle (a loop),
// ends there: beyond it the rounding, not the flow, decides where it goes.
std::vector<Separatrix> separatrices(const solver::RunParameters &p, const Equilibrium &saddle,
                                     const PhaseBox &box, double spacing = 1.0 / 500.0,
                                     const std::atomic<bool> *abort = nullptr,
                                     std::span<const Equilibrium> rest = {});

} // namespace analysis
