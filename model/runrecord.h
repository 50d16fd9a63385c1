// SPDX-License-Identifier: MIT

#pragma once

// A run as the list, the plot, the probe and every view know it, registered once: with
// all its parameters and the rows it listed. Plain C++.

#include "plot/marks.h"
#include "solver/solver.h"

#include <cstddef>
#include <cstdint>
#include <span>

// How a run ended, as the views tell it.
struct RunEnding
{
    enum class Cause : std::uint8_t {
        Running,     // still listing samples
        Done,        // at the final abscissa, or with no sample to list
        FirstZero,   // y fell to 0 or below, and the run stopped before it (the Emden stop)
        Fault,       // an operation without a value
        ListFull,    // the list could take no more lines
        OutOfMemory, // there was no memory for more lines
    };
    Cause cause = Cause::Running;
    solver::Fault fault = solver::Fault::None;
    double x = 0.0; // where the run stopped: the fault's or the full list's abscissa
    bool operator==(const RunEnding &) const = default;
};

struct RunRecord
{
    solver::RunParameters params; // as captured when it started
    std::size_t firstRow = 0;     // its listed samples are the rows firstRow .. firstRow + rows - 1
    std::size_t rows = 0;         // once it has ended
    MarkList partial;             // the marks of a sample that failed partway, drawn but not listed
    RunEnding ending;
};

// The run that listed `row`, or none: the last run that starts at or before the row, as
// runs that listed nothing share their first row with the next.
const RunRecord *runOf(std::span<const RunRecord> runs, std::size_t row);
