// SPDX-License-Identifier: MIT

#pragma once

// The samples of the runs since the last Ready, in the order they came, and the runs that
// listed them: plain C++, shared by the list, the plot, its probe and every view of the runs.
//
// Only y is kept per sample, 8 bytes. The x of a run's samples is its grid abscissa
// (h * i) + x0, recomputed from the run's x0 and the sample's index in the run, bit for
// bit the double the run handed out.
//
// The values sit in chunks of 2 MiB that never move. A chunk is mapped from the system
// when the last one is full, aligned so that it can be one huge page where the kernel
// offers transparent huge pages, and touched in one go, so a run takes no page fault per
// page of samples and makes no heap allocation per sample. Clearing gives every chunk
// back to the system.

#include "model/runrecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class SampleStore
{
public:
    static constexpr std::size_t kChunkBytes = std::size_t{2} << 20;
    static constexpr std::size_t kChunkValues = kChunkBytes / sizeof(double);
    // Ten million samples, 80 MB: a run past it stops with a message. The table tool,
    // which keeps nothing, has no such limit.
    static constexpr std::size_t kDefaultCapacity = 10'000'000;

    explicit SampleStore(std::size_t capacity = kDefaultCapacity);
    ~SampleStore();
    SampleStore(const SampleStore &) = delete;
    SampleStore &operator=(const SampleStore &) = delete;

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    bool full() const { return m_size >= m_capacity; }

    // A run starts: the samples appended from now on are its grid points 0, 1, 2, ...
    void startRun(const solver::RunParameters &p);
    // It has ended, as `ending` says, having drawn the marks `partial` of a sample it did
    // not list.
    void endRun(const MarkList &partial, const RunEnding &ending);
    // Every run since the store was last emptied, in the order they started.
    const std::vector<RunRecord> &runs() const { return m_runs; }
    // The x the next appended sample stands for.
    double nextAbscissa() const;
    // Appends unless the memory for it cannot be had; false then, and nothing changed.
    bool tryAppend(double y) noexcept
    {
        if (m_next == m_end) [[unlikely]] {
            if (!grow())
                return false;
        }
        *m_next++ = y;
        ++m_size;
        return true;
    }
    // Empties the store and gives its memory back.
    void clear();

    double y(std::size_t row) const { return m_bases[row / kChunkValues][row % kChunkValues]; }
    double x(std::size_t row) const;

    class Chunk;
    // The first size() samples as they are now, readable from any thread while the store
    // goes on growing or is cleared: the chunks they lie in stay mapped while a snapshot
    // holds them.
    class Snapshot
    {
    public:
        Snapshot() = default;
        std::size_t size() const { return m_size; }
        double y(std::size_t row) const { return m_bases[row / kChunkValues][row % kChunkValues]; }

    private:
        friend class SampleStore;
        std::vector<std::shared_ptr<const Chunk>> m_chunks;
        std::vector<const double *> m_bases;
        std::size_t m_size = 0;
    };
    Snapshot snapshot() const;

private:
    bool grow() noexcept;
    // The run whose grid point a stored row is: the last that starts at or before it.
    const RunRecord &runAt(std::size_t row) const;

    std::size_t m_capacity;
    std::size_t m_size = 0;
    std::vector<std::shared_ptr<const Chunk>> m_chunks;
    std::vector<double *> m_bases; // the chunks' values, for a lookup without the pointer chase
    double *m_next = nullptr;      // where the next value goes in the last chunk
    double *m_end = nullptr;
    std::vector<RunRecord> m_runs; // in the order they started, so by firstRow
};
