// SPDX-License-Identifier: MIT

#include "explore/runtrack.h"

#include <algorithm>
#include <cmath>

RunTrack::RunTrack(const solver::RunParameters &p, std::size_t firstRow)
    : m_params(p), m_firstRow(firstRow), m_reference(p)
{
}

void RunTrack::extend(const SampleStore::Snapshot &samples, std::size_t rows)
{
    for (; m_rows < rows; ++m_rows) {
        const double y = samples.y(m_firstRow + m_rows);
        m_y.add(y);
        m_detail.add(y);
    }
}

void RunTrack::addSlope(const solver::GridState &s)
{
    m_tail.push_back(s.z);
    m_z.add(s.z);
    ++m_slopeRows;
    if (m_tail.size() < kPhaseBlock)
        return;
    const auto [lo, hi] = std::minmax_element(m_tail.begin(), m_tail.end());
    const float step = (*hi - *lo) / 255.0f;
    m_blocks.push_back({*lo, step, m_tail.front()});
    for (const float z : m_tail)
        m_bytes.push_back(step > 0 ? static_cast<std::uint8_t>(std::lround((z - *lo) / step))
                                   : std::uint8_t{0});
    m_tail.clear();
}

std::size_t RunTrack::extendSlopes(const SampleStore::Snapshot &samples, std::size_t budget)
{
    const std::size_t limit = std::min(m_rows, m_slopeRows + budget);
    if (m_slopesEnded || m_slopeRows >= limit)
        return 0;
    const std::size_t before = m_slopeRows;

    // The same run once more, handing out whole states, from where the last call stopped.
    struct Sink : solver::StateSink
    {
        RunTrack &track;
        const SampleStore::Snapshot &samples;
        std::size_t limit;
        Sink(RunTrack &t, const SampleStore::Snapshot &s, std::size_t l)
            : track(t), samples(s), limit(l)
        {
        }
        bool state(const solver::GridState &s) override
        {
            if (static_cast<std::size_t>(s.i) >= limit) {
                track.m_next = s;
                return false;
            }
            track.addSlope(s);
            return true;
        }
    } sink(*this, samples, limit);
    const solver::RunOutcome out =
        m_next ? solver::resume(m_params, *m_next, sink) : solver::run(m_params, sink);
    // Ended before its samples did: the list stopped where the run had more to give, or
    // (never, as the run is the same) the other way round.
    if (!out.sinkStop)
        m_slopesEnded = true;
    return m_slopeRows - before;
}

solver::GridState RunTrack::blockStart(std::size_t b, const SampleStore::Snapshot &samples) const
{
    const auto i = static_cast<std::int64_t>(b * kPhaseBlock);
    return {i, solver::gridAbscissa(m_params.x0, i), samples.y(m_firstRow + b * kPhaseBlock),
            m_blocks[b].first};
}

float RunTrack::exactSlope(std::size_t i, const SampleStore::Snapshot &samples) const
{
    const std::size_t b = i / kPhaseBlock;
    if (b >= m_blocks.size())
        return m_tail[i - b * kPhaseBlock];
    struct Sink : solver::StateSink
    {
        std::size_t wanted;
        float z = 0.0f;
        explicit Sink(std::size_t w) : wanted(w) {}
        bool state(const solver::GridState &s) override
        {
            z = s.z;
            return static_cast<std::size_t>(s.i) < wanted;
        }
    } sink(i);
    solver::resume(m_params, blockStart(b, samples), sink);
    return sink.z;
}

void RunTrack::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // Grown by doubling while the run went on: room for what it will hold, and no more.
    const auto fit = [](auto &v, std::size_t n) {
        if (v.capacity() > n)
            v.shrink_to_fit();
        else
            v.reserve(n);
    };
    fit(m_bytes, m_rows);
    fit(m_blocks, m_rows / kPhaseBlock);
    m_detail.shrink();
    m_reference.reserve(m_rows);
}

void RunTrack::makeCoverage(const SampleStore::Snapshot &samples)
{
    m_coverageTried = true;
    // The curve's box, with a little room so that no value lies on its far edges.
    const Range y = m_y, z = m_z;
    const double padY = std::max((y.hi - y.lo) * 1e-3, std::max(std::fabs(y.hi), 1.0) * 1e-12);
    const double padZ = std::max((z.hi - z.lo) * 1e-3, std::max(std::fabs(z.hi), 1.0) * 1e-12);
    auto map = std::make_unique<CoverageMap>(
        WorldRect{y.lo - padY, z.hi + padZ, y.hi + padY, z.lo - padZ});
    if (!(map->world().width() > 0 && map->world().height() > 0 &&
          std::isfinite(map->world().width()) && std::isfinite(map->world().height())))
        return; // a box no map can hold: the curve is drawn from its samples
    double lastY = samples.y(m_firstRow), lastZ = slope(0);
    for (std::size_t i = 1; i < m_slopeRows; ++i) {
        const double y = samples.y(m_firstRow + i), z = slope(i);
        map->line(lastY, lastZ, y, z);
        lastY = y, lastZ = z;
    }
    if (m_slopeRows == 1)
        map->line(lastY, lastZ, lastY, lastZ);
    m_coverage = std::move(map);
}

std::size_t RunTrack::memoryBytes() const
{
    std::size_t bytes = m_bytes.capacity() + m_blocks.capacity() * sizeof(SlopeBlock) +
                        m_tail.capacity() * sizeof(float);
    bytes += m_detail.memoryBytes();
    return bytes + (m_coverage ? m_coverage->memoryBytes() : 0);
}

Range RunTrack::xRange() const
{
    Range r;
    if (m_rows > 0) {
        r.add(solver::gridAbscissa(m_params.x0, 0));
        r.add(solver::gridAbscissa(m_params.x0, static_cast<std::int64_t>(m_rows - 1)));
    }
    return r;
}
