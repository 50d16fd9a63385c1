// SPDX-License-Identifier: MIT

#pragma once

// The live run a slider drags: the run a next Enter would make, run on a view's worker
// into samples of its own and never listed. It stops where the listed run would: at the
// Emden stop, at the first fault of its arithmetic or of its marks, or where the list
// would be full. Plain C++.

#include "explore/runtrack.h"
#include "model/runrecord.h"
#include "model/samplestore.h"

#include <atomic>
#include <optional>

struct LiveRun
{
    RunRecord record; // its parameters, its rows from 0, how it ended
    SampleStore::Snapshot samples;
    RunTrack track; // its samples and their slopes, taken in as it ran; no reference yet
};

// Runs `p` for at most `room` samples (the lines the list has room for). None when `abort`
// was raised meanwhile, or when there is no memory for the samples.
std::optional<LiveRun> runLive(const solver::RunParameters &p, std::size_t room,
                               const std::atomic<bool> &abort);
