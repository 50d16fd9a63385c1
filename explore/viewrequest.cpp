// SPDX-License-Identifier: MIT

#include "explore/viewrequest.h"

#include <algorithm>

ViewTicks viewTicks(ViewKind kind, const WorldRect &world, int plotWidth, int plotHeight)
{
    ViewTicks t;
    t.across = ticks(world.left, world.right, std::max(2, plotWidth / 80));
    t.up = kind == ViewKind::Error ? logTicks(world.bottom, world.top, std::max(2, plotHeight / 50))
                                   : ticks(world.bottom, world.top, std::max(2, plotHeight / 50));
    return t;
}
