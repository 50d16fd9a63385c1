// SPDX-License-Identifier: MIT

#pragma once

// A family of runs: one quantity of a run (a parameter, a start value, x0 or the final
// abscissa) takes `runs` values evenly from `from` to `to`, one run each. The window and
// the table tool type each value as the shortest text that reads back to it, so the lines
// of a family are those of typing its runs one by one.

namespace solver {

constexpr int kMinFamilyRuns = 2;
constexpr int kMaxFamilyRuns = 100;

// The value of run i of `runs`: from + (to - from) * i / (runs - 1), each operation rounded
// on its own, in this order. The last is not always `to` itself.
double familyValue(double from, double to, int i, int runs);

} // namespace solver
