// SPDX-License-Identifier: MIT

#pragma once

// Levels of detail of a series of samples: the least and greatest value over whole blocks
// of kBase, 2 kBase, 4 kBase, ... samples, in pairs, so that a view draws a long series at
// any zoom from about as many blocks as it has pixels. A value that is not a number is
// left out; a block of nothing else has its least above its greatest. Plain C++.

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

template<typename T> class Pyramid
{
public:
    static constexpr std::size_t kBase = 128;

    void add(T v)
    {
        if (!std::isnan(v)) {
            m_lo = v < m_lo ? v : m_lo;
            m_hi = v > m_hi ? v : m_hi;
        }
        if (++m_count % kBase == 0) {
            addBlock(0, m_lo, m_hi);
            m_lo = kNone, m_hi = -kNone;
        }
    }

    std::size_t levels() const { return m_levels.size(); }
    // Level l: the pairs (least, greatest) of its whole blocks of kBase << l samples.
    const std::vector<T> &level(std::size_t l) const { return m_levels[l]; }
    // Whether block b of level l is whole.
    bool has(std::size_t l, std::size_t b) const
    {
        return l < m_levels.size() && 2 * b + 1 < m_levels[l].size();
    }

    void shrink()
    {
        for (std::vector<T> &l : m_levels)
            l.shrink_to_fit();
    }
    std::size_t memoryBytes() const
    {
        std::size_t bytes = 0;
        for (const std::vector<T> &l : m_levels)
            bytes += l.capacity() * sizeof(T);
        return bytes;
    }

private:
    static constexpr T kNone = std::numeric_limits<T>::infinity();

    void addBlock(std::size_t level, T lo, T hi)
    {
        if (m_levels.size() <= level)
            m_levels.emplace_back();
        std::vector<T> &l = m_levels[level];
        l.push_back(lo);
        l.push_back(hi);
        // Every second block completes one of the next level.
        if (l.size() % 4 == 0) {
            const std::size_t n = l.size();
            addBlock(level + 1, l[n - 4] < l[n - 2] ? l[n - 4] : l[n - 2],
                     l[n - 3] > l[n - 1] ? l[n - 3] : l[n - 1]);
        }
    }

    std::vector<std::vector<T>> m_levels;
    std::size_t m_count = 0;
    T m_lo = kNone, m_hi = -kNone; // the first level's block under way
};
