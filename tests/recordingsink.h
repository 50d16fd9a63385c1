// SPDX-License-Identifier: MIT

#pragma once

#include "solver/solver.h"

#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

// Keeps what a run hands over; can be told to refuse the sample number `refuseAt`.
class RecordingSink : public solver::SampleSink
{
public:
    bool start(double x0, double y0) override
    {
        ++starts;
        startPoint = {x0, y0};
        return true;
    }

    bool sample(double x, double y) override
    {
        if (samples.size() == refuseAt)
            return false;
        samples.emplace_back(x, y);
        return true;
    }

    int starts = 0;
    std::pair<double, double> startPoint;
    std::vector<std::pair<double, double>> samples;
    std::size_t refuseAt = std::numeric_limits<std::size_t>::max();
};
