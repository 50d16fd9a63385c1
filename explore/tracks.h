// SPDX-License-Identifier: MIT

#pragma once

#include "explore/backwardtrack.h"
#include "explore/runtrack.h"
#include "explore/viewkind.h"
#include "model/runrecord.h"
#include "model/samplestore.h"
#include "plot/worldwindow.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The runs as a view's worker sees them: taken on the window's thread, read on the
// worker's. Plain C++. The samples stay where the list keeps them; the snapshot holds their chunks.
struct RunsSnapshot
{
    std::uint64_t generation = 0; // a new one after each Ready
    std::uint64_t version = 0;    // a new one for each snapshot the window hands over
    std::vector<RunRecord> runs;
    // Of each run, in the same order; a run beyond them takes runColour() of its index.
    std::vector<RunStyle> styles;
    bool running = false; // the last run still lists samples
    SampleStore::Snapshot samples;
};

// The track of every run, built on the worker thread and read there without a lock; the
// window's thread reads them under the lock, which the worker takes while it changes
// them.
class Tracks
{
public:
    // In line with the runs of a snapshot: afresh after a Ready, a track for each new run,
    // every run's samples taken in. Cheap: y alone, one pass over what is new.
    void follow(const RunsSnapshot &snapshot);
    // What the views need beyond the samples, for at most `budget` more samples: the live
    // run's reference, then of the listed runs, the first runs first, the slopes, the
    // reference solutions, then the coverage maps of the long runs that have ended. Whether
    // any of it is still to do afterwards.
    bool catchUp(const SampleStore::Snapshot &samples, std::size_t budget);

    const std::vector<RunTrack> &runs() const { return m_runs; }
    // Whether every listed run's slopes are known.
    bool slopesDone() const;
    // The live run a slider drags, drawn over the listed runs and never listed, with the
    // samples it keeps beside the list; none while no slider is dragged.
    const RunTrack *live() const { return m_live ? &*m_live : nullptr; }
    const SampleStore::Snapshot &liveSamples() const { return m_liveSamples; }
    // Hands over the live run: its track (its samples taken in, its style set, black and
    // live) and the samples it reads them from; none ends it. On the worker's thread, as
    // follow(); it takes the lock for the window's thread. catchUp() finds its slopes and
    // its reference before the listed runs'.
    void setLive(std::optional<RunTrack> track, SampleStore::Snapshot samples);
    std::mutex &lock() const { return m_lock; }
    // The ways back drawn beside the runs, until the next Ready. addBackward() on the
    // worker's thread; it takes the lock for the window's thread.
    const std::vector<BackwardTrack> &backward() const { return m_backward; }
    void addBackward(BackwardTrack track);
    // The runs' samples as the tracks took them in, and after which Ready: on the window's
    // thread the list may have moved on, and only these go with the tracks.
    const SampleStore::Snapshot &samples() const { return m_samples; }
    std::uint64_t generation() const { return m_generation; }
    // Of the samples taken in, the share with a reference so far; and where the first
    // reference that ended before its run did ended, and why (empty: none did).
    double referenceShare() const;
    std::string referenceEnd() const;
    // The world box all runs' curves take in a view of `kind`; none while nothing is known.
    std::optional<WorldRect> bounds(ViewKind kind) const;

    // The track of the run that listed `row`, and the row's index in it; none for a row no
    // track took in.
    const RunTrack *trackOf(int row, std::size_t &index) const;

private:
    mutable std::mutex m_lock;
    std::uint64_t m_generation = ~std::uint64_t{0};
    std::vector<RunTrack> m_runs;
    SampleStore::Snapshot m_samples;
    std::optional<RunTrack> m_live;
    std::vector<BackwardTrack> m_backward;
    SampleStore::Snapshot m_liveSamples;
};

// The world box a run's curves take in a view: for the solution x against each of its
// curves, for the phase plane y against y', for the error x against log10 |error|. Empty
// while nothing is known.
WorldRect curveBounds(ViewKind kind, const RunTrack &track, bool &empty);
