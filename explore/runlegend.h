// SPDX-License-Identifier: MIT

#pragma once

// What the legend of the views says of a run: the run itself (its equation, its
// parameters' values, its start and end) or its value in a family, and how it ended.
// Plain C++.

#include "model/runrecord.h"

#include <string>
#include <string_view>

// "y'' + y = 0; from x0 = 0, y = 1, y' = 0 to 10", with "n = 1, " after the equation for
// each of its parameters.
std::string runText(const solver::RunParameters &p);

// How a run ended, where that is not at its final abscissa: "ended at the first zero: y ≤ 0
// after x = 6.89" (the last sample listed), "division by zero at x = 1.5", "the list is
// full at x = 99999.99", "no memory for more lines at x = 3", "no samples: the final
// abscissa is before x0". Empty for a run that went to its end or is still under way.
std::string endingText(const RunRecord &run);

// A run of a family, named by the value that varies: "n = 1.5".
std::string familyText(std::string_view name, std::string_view value);

// The legend's line for a run: its name (a family's value, or the run itself when
// `name` is empty) and how it ended, after a dash.
std::string legendText(const RunRecord &run, std::string_view name);
