// SPDX-License-Identifier: MIT

#pragma once

// What the views of the runs keep of one run beside the list, about 1.6 bytes a sample:
//
// - y's least and greatest value over blocks of 128, 256, 512, ... samples, so that a run
//   of millions of samples is drawn at any zoom in the time of a frame;
// - the slope y' of every sample, which the list does not keep. It comes from running the
//   run again, which hands out bit for bit the samples it listed, and is held in one byte
//   a sample, scaled within blocks of 32 samples. Each block keeps its range and its
//   exact first slope, so that a deep zoom runs the block again for exact slopes.
//
// Plain C++, built and read on a view's worker thread.

#include "explore/coveragemap.h"
#include "explore/pyramid.h"
#include "explore/referencetrack.h"
#include "model/samplestore.h"
#include "solver/solver.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// An axis-aligned box of values; empty until something is added.
struct Range
{
    double lo = 0.0;
    double hi = -1.0;

    bool empty() const { return !(lo <= hi); }
    void add(double v)
    {
        if (empty())
            lo = hi = v;
        else if (v < lo)
            lo = v;
        else if (v > hi)
            hi = v;
    }
    void add(const Range &r)
    {
        if (!r.empty())
            add(r.lo), add(r.hi);
    }
};

// How a run is drawn in the views: its colour, and whether it is the live run a slider
// drags, drawn bolder over the listed ones.
struct RunStyle
{
    std::uint32_t colour = 0xFF000000; // 0xAARRGGBB
    bool live = false;
    bool operator==(const RunStyle &) const = default;
};

class RunTrack
{
public:
    static constexpr std::size_t kLodBase = Pyramid<double>::kBase;
    static constexpr std::size_t kPhaseBlock = 32; // samples a slope block scales together

    struct SlopeBlock
    {
        float lo;    // the least slope of the block
        float step;  // the slope of one step of the byte: (greatest - least) / 255
        float first; // the exact slope of its first sample
    };

    RunTrack(const solver::RunParameters &p, std::size_t firstRow);

    const solver::RunParameters &params() const { return m_params; }
    std::size_t firstRow() const { return m_firstRow; }
    const RunStyle &style() const { return m_style; }
    void setStyle(const RunStyle &style) { m_style = style; }
    // Samples taken in, and of them those whose slope is known.
    std::size_t rows() const { return m_rows; }
    std::size_t slopeRows() const { return m_slopeRows; }
    // Whether every sample taken in has its slope, or running again can give no more.
    bool slopesDone() const { return m_slopeRows >= m_rows || m_slopesEnded; }

    // A run of at least this many samples gets a coverage map of its phase curve once it
    // has ended and its slopes are found.
    static constexpr std::size_t kCoverageRows = std::size_t{1} << 21;
    // The run has ended: its track takes in no more samples. Its storage shrinks to fit.
    void finish();
    bool finished() const { return m_finished; }
    // Whether the coverage map is still to be made; makes it.
    bool wantsCoverage() const
    {
        return m_finished && !m_coverageTried && slopesDone() && m_slopeRows >= kCoverageRows;
    }
    void makeCoverage(const SampleStore::Snapshot &samples);
    const CoverageMap *coverage() const { return m_coverage.get(); }

    // The reference solution and the error, for at most `budget` more samples taken in;
    // returns how many it handled.
    std::size_t extendReference(const SampleStore::Snapshot &samples, std::size_t budget,
                                std::mutex *lock = nullptr)
    {
        return m_reference.extend(samples, m_firstRow, m_rows, budget, lock);
    }
    const ReferenceTrack &reference() const { return m_reference; }
    bool referenceDone() const { return m_reference.rows() >= m_rows; }

    // Takes in the run's samples up to `rows` from the list.
    void extend(const SampleStore::Snapshot &samples, std::size_t rows);
    // The slope of the next sample, from a run that hands out its states as it goes (the
    // live run), with no running again.
    void takeSlope(const solver::GridState &s) { addSlope(s); }
    // Runs the run again for the slopes of at most `budget` more samples taken in; returns
    // how many it found.
    std::size_t extendSlopes(const SampleStore::Snapshot &samples, std::size_t budget);

    // The levels of detail of y.
    const Pyramid<double> &detail() const { return m_detail; }
    std::size_t levels() const { return m_detail.levels(); }
    const std::vector<double> &level(std::size_t l) const { return m_detail.level(l); }

    // The slope of sample i < slopeRows(), to within the block's step.
    float slope(std::size_t i) const
    {
        const std::size_t b = i / kPhaseBlock;
        if (b < m_blocks.size())
            return m_blocks[b].lo + m_blocks[b].step * static_cast<float>(m_bytes[i]);
        return m_tail[i - b * kPhaseBlock];
    }
    std::size_t slopeBlocks() const { return m_blocks.size(); }
    const SlopeBlock &slopeBlock(std::size_t b) const { return m_blocks[b]; }
    // The state of the run at the first sample of slope block b, to run it again from.
    solver::GridState blockStart(std::size_t b, const SampleStore::Snapshot &samples) const;
    // The exact slope of sample i < slopeRows(), run again from its block's start.
    float exactSlope(std::size_t i, const SampleStore::Snapshot &samples) const;

    // The ranges of x, y and y' over what is taken in.
    Range xRange() const;
    const Range &yRange() const { return m_y; }
    const Range &slopeRange() const { return m_z; }

    // The memory the track holds for the solution and the phase plane, and beside it for
    // the reference solution and the error.
    std::size_t memoryBytes() const;
    std::size_t referenceBytes() const { return m_reference.memoryBytes(); }

private:
    void addSlope(const solver::GridState &s);

    solver::RunParameters m_params;
    std::size_t m_firstRow;
    RunStyle m_style;
    std::size_t m_rows = 0;
    Range m_y;
    Pyramid<double> m_detail;

    std::size_t m_slopeRows = 0;
    std::vector<std::uint8_t> m_bytes;
    std::vector<SlopeBlock> m_blocks;
    std::vector<float> m_tail; // the exact slopes of the block under way
    Range m_z;
    std::optional<solver::GridState> m_next; // where running again goes on
    bool m_slopesEnded = false;              // the run again ended before the samples did
    bool m_finished = false;
    bool m_coverageTried = false;
    std::unique_ptr<CoverageMap> m_coverage;
    ReferenceTrack m_reference;
};
