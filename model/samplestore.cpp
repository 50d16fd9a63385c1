// SPDX-License-Identifier: MIT

#include "model/samplestore.h"

#include "platform/mappedmemory.h"
#include "solver/solver.h"

#include <algorithm>
#include <cstdint>
#include <new>

// A chunk's memory, mapped from the system and unmapped with the last snapshot or store
// that holds it.
class SampleStore::Chunk
{
public:
    // None when the system has no memory for it.
    static std::shared_ptr<const Chunk> map() noexcept
    {
        // Aligned to its size, so that it can be one huge page, and faulted in whole now
        // rather than one trap per page while a run writes into it.
        void *memory = mapped::map(kChunkBytes, kChunkBytes);
        if (!memory)
            return nullptr;
        if (!mapped::populate(memory, kChunkBytes)) {
            mapped::unmap(memory, kChunkBytes);
            return nullptr;
        }
        try {
            return std::shared_ptr<const Chunk>(new Chunk(static_cast<double *>(memory)));
        } catch (const std::bad_alloc &) {
            mapped::unmap(memory, kChunkBytes);
            return nullptr;
        }
    }

    ~Chunk() { mapped::unmap(m_values, kChunkBytes); }
    Chunk(const Chunk &) = delete;
    Chunk &operator=(const Chunk &) = delete;

    double *values() const { return m_values; }

private:
    explicit Chunk(double *values) : m_values(values) {}
    double *m_values;
};

SampleStore::SampleStore(std::size_t capacity) : m_capacity(capacity) {}

SampleStore::~SampleStore() = default;

bool SampleStore::grow() noexcept
{
    try {
        // The tables are reserved first, so that nothing can fail once the chunk is mapped.
        m_chunks.reserve(m_chunks.size() + 1);
        m_bases.reserve(m_bases.size() + 1);
    } catch (const std::bad_alloc &) {
        return false;
    }
    auto chunk = Chunk::map();
    if (!chunk)
        return false;
    m_next = chunk->values();
    m_end = m_next + kChunkValues;
    m_bases.push_back(m_next);
    m_chunks.push_back(std::move(chunk));
    return true;
}

void SampleStore::startRun(const solver::RunParameters &p)
{
    m_runs.push_back(RunRecord{p, m_size, 0, MarkList{}, RunEnding{}});
}

void SampleStore::endRun(const MarkList &partial, const RunEnding &ending)
{
    m_runs.back().rows = m_size - m_runs.back().firstRow;
    m_runs.back().partial = partial;
    m_runs.back().ending = ending;
}

const RunRecord &SampleStore::runAt(std::size_t row) const
{
    // Runs that stored nothing share their first row with the next, which comes later.
    const auto after =
        std::upper_bound(m_runs.begin(), m_runs.end(), row,
                         [](std::size_t r, const RunRecord &run) { return r < run.firstRow; });
    return *(after - 1);
}

double SampleStore::nextAbscissa() const
{
    const RunRecord &run = m_runs.back();
    return solver::gridAbscissa(run.params.x0, static_cast<std::int64_t>(m_size - run.firstRow));
}

double SampleStore::x(std::size_t row) const
{
    const RunRecord &run = runAt(row);
    return solver::gridAbscissa(run.params.x0, static_cast<std::int64_t>(row - run.firstRow));
}

void SampleStore::clear()
{
    m_chunks = {};
    m_bases = {};
    m_next = m_end = nullptr;
    m_runs = {};
    m_size = 0;
}

SampleStore::Snapshot SampleStore::snapshot() const
{
    Snapshot s;
    s.m_chunks = m_chunks;
    s.m_bases.assign(m_bases.begin(), m_bases.end());
    s.m_size = m_size;
    return s;
}
