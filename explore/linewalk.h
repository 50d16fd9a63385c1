// SPDX-License-Identifier: MIT

#pragma once

// The pixels of a line from (x, y) to (x1, y1), both included, as Bresenham's walk visits
// them: set(x, y) for each. Plain C++, for every raster a view draws into.

#include <cstdlib>

template<typename Set> inline void walkLine(int x, int y, int x1, int y1, Set &&set)
{
    const int dx = std::abs(x1 - x), sx = x < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y), sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        set(x, y);
        if (x == x1 && y == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy)
            err += dy, x += sx;
        if (e2 <= dx)
            err += dx, y += sy;
    }
}
