// SPDX-License-Identifier: MIT

#pragma once

// Whether a bracket of a sign change of g, closed from ends where |g| was `before` and
// `beforeOther` down to ends where it is `after` and `afterOther`, closed on a pole rather
// than a root: towards a root |g| falls as the bracket closes; towards a pole it grows, at
// the end nearer the pole as far as the first bracket's nearer end, which may lie next to it.
#include <algorithm>
#include <cmath>

namespace analysis {

inline bool closesOnPole(double before, double beforeOther, double after, double afterOther)
{
    const double least = std::min(std::fabs(before), std::fabs(beforeOther));
    const double most = std::max(std::fabs(before), std::fabs(beforeOther));
    return std::min(std::fabs(after), std::fabs(afterOther)) > least &&
           std::max(std::fabs(after), std::fabs(afterOther)) >= most;
}

} // namespace analysis
