// SPDX-License-Identifier: MIT

// The runs that study the error of the run: the same loop with the step halved up to three
// times and the slope held in single or double precision.

#include "solver/runloop.h"

namespace solver {

namespace {

template<typename Z> RunOutcome runWithStep(const RunParameters &p, SampleSink &sink, int halvings)
{
    switch (halvings) {
    case 1:
        return runAny<1, Z>(p, nullptr, sink);
    case 2:
        return runAny<2, Z>(p, nullptr, sink);
    case 3:
        return runAny<3, Z>(p, nullptr, sink);
    }
    // The run itself, so that it keeps the code it is compiled to on its own.
    if constexpr (std::is_same_v<Z, float>)
        return run(p, sink);
    else
        return runAny<0, Z>(p, nullptr, sink);
}

} // namespace

RunOutcome run(const RunParameters &p, SampleSink &sink, int halvings, Slope slope)
{
    static_assert(kMaxHalvings == 3, "runWithStep has a case for each step");
    return slope == Slope::Single ? runWithStep<float>(p, sink, halvings)
                                  : runWithStep<double>(p, sink, halvings);
}

} // namespace solver
