// SPDX-License-Identifier: MIT

#pragma once

// The walk along a run's phase curve, y' over y, that both the raster and the vector phase
// plane draw with their pens. Plain C++.

#include "explore/runtrack.h"
#include "explore/viewrequest.h"
#include "model/samplestore.h"
#include "plot/worldwindow.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

// The phase curve of the slope blocks fromBlock .. toBlock - 1 of a run, and of the
// samples after its last whole block when `withTail`, with `pen`: its device points, a gap
// where it passes by blocks beyond the view. A pen that says when it is full() ends it
// early.
template<typename Pen>
bool walkPhase(Pen &pen, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
               const SampleStore::Snapshot &samples, const std::atomic<bool> &abort,
               std::size_t fromBlock, std::size_t toBlock, bool withTail)
{
    const std::size_t rows = track.slopeRows();
    if (rows == 0)
        return true;
    const std::size_t first = track.firstRow();
    const double slopePerPixel = 1.0 / m.sy;
    const WorldRect &w = r.world;
    // A block beyond the view by more than a pixel is passed by.
    const double padX = 2.0 / m.sx, padY = 2.0 / m.sy;
    const auto point = [&](std::size_t i, double z) {
        pen.to(m.dx(samples.y(first + i)), m.dy(z));
    };
    // A block run again for its exact slopes, from its first sample to its last.
    struct Exact : solver::StateSink
    {
        decltype(point) &draw;
        std::size_t end;
        Exact(decltype(point) &d, std::size_t e) : draw(d), end(e) {}
        bool state(const solver::GridState &s) override
        {
            draw(static_cast<std::size_t>(s.i), s.z);
            return static_cast<std::size_t>(s.i) + 1 < end;
        }
    };

    const std::size_t blocks = track.slopeBlocks();
    const std::vector<double> *lod = track.levels() > 0 ? &track.level(0) : nullptr;
    bool joined = false; // the sample before this block was drawn
    for (std::size_t b = fromBlock; b < std::min(blocks, toBlock); ++b) {
        if ((b & 0x3FF) == 0 && abort.load(std::memory_order_relaxed))
            return false;
        if constexpr (requires { pen.full(); })
            if (pen.full())
                return true;
        const RunTrack::SlopeBlock &block = track.slopeBlock(b);
        const std::size_t begin = b * RunTrack::kPhaseBlock, end = begin + RunTrack::kPhaseBlock;
        // The block's box: its slopes' range, and its values' range from the first level
        // of detail where that block is whole, else from the samples.
        const double zLo = block.lo, zHi = block.lo + 255.0f * block.step;
        double yLo = 0, yHi = 0;
        if (const std::size_t l = begin / RunTrack::kLodBase; lod && l * 2 + 1 < lod->size()) {
            yLo = (*lod)[l * 2], yHi = (*lod)[l * 2 + 1];
        } else {
            yLo = yHi = samples.y(first + begin);
            for (std::size_t i = begin; i < end; ++i)
                yLo = std::min(yLo, samples.y(first + i)),
                yHi = std::max(yHi, samples.y(first + i));
        }
        if (zHi < w.bottom - padY || zLo > w.top + padY || yHi < w.left - padX ||
            yLo > w.right + padX) {
            pen.gap();
            joined = false;
            continue;
        }
        if (!joined && b > 0)
            point(begin - 1, track.slope(begin - 1)); // from the sample before the block
        if (block.step > slopePerPixel) {
            // Zoomed in until the byte's half step, its greatest error, passes half a pixel:
            // the block run again for its exact slopes.
            Exact exact(point, end);
            solver::resume(track.params(), track.blockStart(b, samples), exact);
        } else {
            for (std::size_t i = begin; i < end; ++i)
                point(i, track.slope(i));
        }
        joined = true;
    }
    // The block under way: its slopes exact.
    if (!withTail)
        return true;
    const std::size_t tail = blocks * RunTrack::kPhaseBlock;
    if (!joined && blocks > 0 && rows > tail)
        point(tail - 1, track.slope(tail - 1));
    for (std::size_t i = tail; i < rows; ++i)
        point(i, track.slope(i));
    return true;
}
