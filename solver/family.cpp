// SPDX-License-Identifier: MIT

#include "solver/family.h"

namespace solver {

double familyValue(double from, double to, int i, int runs)
{
    const double span = to - from;
    const double scaled = span * static_cast<double>(i);
    const double step = scaled / static_cast<double>(runs - 1);
    return from + step;
}

} // namespace solver
