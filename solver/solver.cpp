// SPDX-License-Identifier: MIT

#include "solver/solver.h"

#include "solver/runloop.h"

namespace solver {

RunOutcome run(const RunParameters &p, SampleSink &sink)
{
    return runAny(p, nullptr, sink);
}

RunOutcome run(const RunParameters &p, StateSink &sink)
{
    return runAny(p, nullptr, sink);
}

RunOutcome resume(const RunParameters &p, const GridState &from, StateSink &sink)
{
    return runAny(p, &from, sink);
}

RunOutcome runBackward(const RunParameters &p, SampleSink &sink)
{
    return runAny<0, float, SampleSink, true>(p, nullptr, sink);
}

RunOutcome runBackward(const RunParameters &p, StateSink &sink)
{
    return runAny<0, float, StateSink, true>(p, nullptr, sink);
}

} // namespace solver
