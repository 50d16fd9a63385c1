// SPDX-License-Identifier: MIT

#include "model/runrecord.h"

#include <algorithm>

const RunRecord *runOf(std::span<const RunRecord> runs, std::size_t row)
{
    auto after =
        std::upper_bound(runs.begin(), runs.end(), row,
                         [](std::size_t r, const RunRecord &run) { return r < run.firstRow; });
    while (after != runs.begin() && (after - 1)->rows == 0)
        --after;
    if (after == runs.begin() || row >= (after - 1)->firstRow + (after - 1)->rows)
        return nullptr;
    return &*(after - 1);
}
