// SPDX-License-Identifier: MIT

#pragma once

// Where a long run's phase curve passes, at a fixed fine resolution: one bit for each of
// 2048 x 2048 cells over the curve's box. A view whose pixels are no smaller than a cell
// draws the curve from the set cells, in a few milliseconds however many samples went
// into them; a view zoomed in further draws the samples themselves. Plain C++.

#include "plot/worldwindow.h"

#include <cstdint>
#include <vector>

class CoverageMap
{
public:
    static constexpr int kSide = 2048;

    // Over `box`, which the curve does not leave.
    explicit CoverageMap(const WorldRect &box);

    const WorldRect &world() const { return m_world; }
    // Sets the cells the segment from (x0, y0) to (x1, y1) passes.
    void line(double x0, double y0, double x1, double y1);
    // Whether a view whose pixels are `unitsX` by `unitsY` world units is no finer than a
    // cell, so that the cells may stand for the curve.
    bool servesPixels(double unitsX, double unitsY) const
    {
        return unitsX >= m_world.width() / kSide && unitsY >= m_world.height() / kSide;
    }
    // Calls f(x, y) with the world centre of every set cell.
    template<typename F> void forEachCell(F &&f) const
    {
        for (int row = 0; row < kSide; ++row) {
            const std::uint64_t *words = &m_bits[static_cast<std::size_t>(row) * kWords];
            const double y = m_cells.wy(row + 0.5);
            for (int w = 0; w < kWords; ++w)
                for (std::uint64_t bits = words[w]; bits != 0; bits &= bits - 1) {
                    const int col = w * 64 + __builtin_ctzll(bits);
                    f(m_cells.wx(col + 0.5), y);
                }
        }
    }
    std::size_t memoryBytes() const { return m_bits.size() * sizeof(std::uint64_t); }

private:
    static constexpr int kWords = kSide / 64;
    void set(int x, int y)
    {
        m_bits[static_cast<std::size_t>(y) * kWords + static_cast<std::size_t>(x >> 6)] |=
            std::uint64_t{1} << (x & 63);
    }

    WorldRect m_world;
    WorldScale m_cells; // the world on the cells
    std::vector<std::uint64_t> m_bits;
};
