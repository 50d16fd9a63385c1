// SPDX-License-Identifier: MIT

#include "explore/tracks.h"

#include "explore/runpalette.h"

#include <algorithm>
#include <cmath>

void Tracks::follow(const RunsSnapshot &snapshot)
{
    const std::lock_guard<std::mutex> locked(m_lock);
    if (snapshot.generation != m_generation) {
        m_runs.clear();
        m_backward.clear();
        m_generation = snapshot.generation;
    }
    m_samples = snapshot.samples;
    for (std::size_t k = 0; k < snapshot.runs.size(); ++k) {
        const RunRecord &run = snapshot.runs[k];
        if (k >= m_runs.size())
            m_runs.emplace_back(run.params, run.firstRow);
        m_runs[k].setStyle(k < snapshot.styles.size() ? snapshot.styles[k]
                                                      : RunStyle{runColour(k), false});
        m_runs[k].extend(snapshot.samples, run.rows);
        if (!snapshot.running || k + 1 < snapshot.runs.size())
            m_runs[k].finish();
    }
}

void Tracks::addBackward(BackwardTrack track)
{
    const std::lock_guard<std::mutex> locked(m_lock);
    m_backward.push_back(std::move(track));
}

void Tracks::setLive(std::optional<RunTrack> track, SampleStore::Snapshot samples)
{
    const std::lock_guard<std::mutex> locked(m_lock);
    m_live = std::move(track);
    m_liveSamples = std::move(samples);
}

bool Tracks::slopesDone() const
{
    return std::all_of(m_runs.begin(), m_runs.end(),
                       [](const RunTrack &run) { return run.slopesDone(); });
}

double Tracks::referenceShare() const
{
    std::size_t rows = 0, done = 0;
    for (const RunTrack &run : m_runs)
        rows += run.rows(), done += std::min(run.rows(), run.reference().rows());
    return rows == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(rows);
}

std::string Tracks::referenceEnd() const
{
    for (const RunTrack &run : m_runs)
        if (run.reference().ended())
            return run.reference().endReason();
    return {};
}

std::optional<WorldRect> Tracks::bounds(ViewKind kind) const
{
    Range x, y;
    for (const RunTrack &run : m_runs) {
        bool empty = true;
        const WorldRect b = curveBounds(kind, run, empty);
        if (!empty)
            x.add(b.left), x.add(b.right), y.add(b.bottom), y.add(b.top);
    }
    if (x.empty() || y.empty())
        return std::nullopt;
    return WorldRect{x.lo, y.hi, x.hi, y.lo};
}

bool Tracks::catchUp(const SampleStore::Snapshot &samples, std::size_t budget)
{
    bool missing = false;
    if (m_live) {
        // The run a slider drags is the one looked at: its slopes (where it did not take them
        // as it ran) and its reference first, in short slices, so that a slider's next move
        // waits for no more than one.
        if (budget > 0 && !m_live->slopesDone()) {
            const std::lock_guard<std::mutex> locked(m_lock);
            budget -= std::min(budget, m_live->extendSlopes(m_liveSamples, budget));
        }
        if (budget > 0 && !m_live->referenceDone())
            budget -=
                std::min(budget, m_live->extendReference(
                                     m_liveSamples, std::min<std::size_t>(budget, 8192), &m_lock));
        missing = !m_live->slopesDone() || !m_live->referenceDone();
    }
    for (RunTrack &run : m_runs) {
        if (budget > 0 && !run.slopesDone()) {
            const std::lock_guard<std::mutex> locked(m_lock);
            budget -= std::min(budget, run.extendSlopes(samples, budget));
        }
        missing = missing || !run.slopesDone();
    }
    for (RunTrack &run : m_runs) {
        if (budget > 0 && !run.referenceDone())
            budget -= std::min(budget, run.extendReference(samples, budget, &m_lock));
        missing = missing || !run.referenceDone();
    }
    for (RunTrack &run : m_runs) {
        if (budget > 0 && run.wantsCoverage()) {
            // One pass over the run's samples, a few hundred milliseconds for ten million.
            const std::lock_guard<std::mutex> locked(m_lock);
            run.makeCoverage(samples);
            budget = 0;
        }
        missing = missing || run.wantsCoverage();
    }
    return missing;
}

const RunTrack *Tracks::trackOf(int row, std::size_t &index) const
{
    if (row < 0)
        return nullptr;
    const auto r = static_cast<std::size_t>(row);
    // The tracks are in the order of their runs, so of their first rows.
    auto after =
        std::upper_bound(m_runs.begin(), m_runs.end(), r,
                         [](std::size_t v, const RunTrack &t) { return v < t.firstRow(); });
    while (after != m_runs.begin() && (after - 1)->rows() == 0)
        --after;
    if (after == m_runs.begin() || r >= (after - 1)->firstRow() + (after - 1)->rows())
        return nullptr;
    index = r - (after - 1)->firstRow();
    return &*(after - 1);
}

WorldRect curveBounds(ViewKind kind, const RunTrack &track, bool &empty)
{
    Range x, y;
    if (kind == ViewKind::Solution) {
        x = track.xRange();
        y = track.yRange();
        // The powers of y at the ends of its range bound the other curves: of y's range, not
        // of the box as it grows.
        const solver::RunParameters &p = track.params();
        const Range values = y;
        if (!values.empty())
            for (const solver::Curve &curve : p.eq->curves.subspan(1))
                for (const double v : {values.lo, values.hi})
                    if (const double c = solver::curveValue(curve, p.values, v); std::isfinite(c))
                        y.add(c);
    } else if (kind == ViewKind::Phase) {
        if (track.slopeRows() > 0)
            x = track.yRange(), y = track.slopeRange();
    } else if (const ReferenceTrack &ref = track.reference(); ref.rows() > 0) {
        // From the smallest error to the largest, in whole decades; an error of 0 alone is
        // shown a decade below the smallest double's.
        x = track.xRange();
        if (ref.largestError() > 0) {
            y.add(std::floor(std::log10(ref.smallestError())));
            y.add(std::ceil(std::log10(ref.largestError())));
        } else if (ref.someZero()) {
            y.add(-324), y.add(-323);
        }
    }
    empty = x.empty() || y.empty();
    return {x.lo, y.hi, x.hi, y.lo};
}
