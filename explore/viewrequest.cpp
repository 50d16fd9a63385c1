// SPDX-License-Identifier: MIT

#include "explore/viewrequest.h"

#include "listing/numbertext.h"

#include <algorithm>

FieldSpec nextField(const solver::RunParameters &next, std::span<const RunRecord> runs,
                    std::optional<double> markedX, std::string &caption)
{
    FieldSpec field{true, next, 0.0};
    caption.clear();
    if (!next.eq->dependsOnX)
        return field;
    field.x = next.x0;
    const char *where = "the next run's x0";
    if (!runs.empty())
        field.x = runs.back().params.x0, where = "the last run's x0";
    if (markedX)
        field.x = *markedX, where = "the marked sample";
    caption = "field at x = " + generalText(field.x) + ", " + where;
    return field;
}

ViewTicks viewTicks(ViewKind kind, const WorldRect &world, int plotWidth, int plotHeight)
{
    ViewTicks t;
    t.across = ticks(world.left, world.right, std::max(2, plotWidth / 80));
    t.up = kind == ViewKind::Error ? logTicks(world.bottom, world.top, std::max(2, plotHeight / 50))
                                   : ticks(world.bottom, world.top, std::max(2, plotHeight / 50));
    return t;
}
