// SPDX-License-Identifier: MIT

#pragma once

#include "solver/fault.h"

namespace solver {

// g with its partial derivatives by y and by y' at one point, for a phase-plane analysis:
// the Jacobian of (y, y') -> (y', g) is [[0, 1], [byY, bySlope]]. fault is the first
// operation without a value, of g or of a derivative (a square root's at 0, say); then the
// three numbers mean nothing.
struct Partials
{
    double value = 0.0;
    double byY = 0.0;
    double bySlope = 0.0;
    Fault fault = Fault::None;
};

} // namespace solver
