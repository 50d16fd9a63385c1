// SPDX-License-Identifier: MIT

#include "explore/tracks.h"

#include "explore/viewrender.h"

void Tracks::follow(const RunsSnapshot &snapshot)
{
    const std::lock_guard<std::mutex> locked(m_lock);
    if (snapshot.generation != m_generation) {
        m_runs.clear();
        m_generation = snapshot.generation;
    }
    m_samples = snapshot.samples;
    for (std::size_t k = 0; k < snapshot.runs.size(); ++k) {
        const RunRecord &run = snapshot.runs[k];
        if (k >= m_runs.size())
            m_runs.emplace_back(run.params, run.firstRow);
        m_runs[k].extend(snapshot.samples, run.rows);
        if (!snapshot.running || k + 1 < snapshot.runs.size())
            m_runs[k].finish();
    }
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
    for (RunTrack &run : m_runs) {
        if (budget > 0 && !run.slopesDone()) {
            const std::lock_guard<std::mutex> locked(m_lock);
            budget -= std::min(budget, run.extendSlopes(samples, budget));
        }
        missing = missing || !run.slopesDone();
    }
    for (RunTrack &run : m_runs) {
        if (budget > 0 && !run.referenceDone()) {
            const std::lock_guard<std::mutex> locked(m_lock);
            budget -= std::min(budget, run.extendReference(samples, budget));
        }
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
