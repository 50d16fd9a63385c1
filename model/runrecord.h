// SPDX-License-Identifier: MIT

#pragma once

// A run as the list, the plot, the probe and every view know it, registered once: with
// all its parameters and the rows it listed. Plain C++.

#include "plot/marks.h"
#include "solver/solver.h"

#include <cstddef>
#include <span>

struct RunRecord
{
    solver::RunParameters params; // as captured when it started
    std::size_t firstRow = 0;     // its listed samples are the rows firstRow .. firstRow + rows - 1
    std::size_t rows = 0;         // once it has ended
    MarkList partial;             // the marks of a sample that failed partway, drawn but not listed
};

// The run that listed `row`, or none: the last run that starts at or before the row, as
// runs that listed nothing share their first row with the next.
const RunRecord *runOf(std::span<const RunRecord> runs, std::size_t row);
