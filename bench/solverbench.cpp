// SPDX-License-Identifier: MIT

// The run with a sink that does nothing: the cost of one grid point, failure checks
// included.

#include "solver/builtins.h"
#include "solver/solver.h"

#include <benchmark/benchmark.h>

using namespace solver;

namespace {

class NullSink : public SampleSink
{
public:
    bool start(double, double) override { return true; }
    bool sample(double x, double y) override
    {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        return true;
    }
};

void runBench(benchmark::State &state, RunParameters p)
{
    NullSink sink;
    std::uint64_t points = 0;
    for (auto _ : state) {
        const RunOutcome out = run(p, sink);
        if (out.failed())
            state.SkipWithError("the run failed");
        points += out.samples;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(points));
    // Inverted rate: seconds per (10^-9 point), i.e. nanoseconds per grid point.
    state.counters["ns_per_point"] =
        benchmark::Counter(static_cast<double>(points) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// 10^5 grid points per run, from the default texts on.
RunParameters span(Builtin eq, double y0 = 0.01, double z0 = 16.947)
{
    // Cosmos with lam = 1.
    return RunParameters{.eq = eq, .x0 = 0.0, .y0 = y0, .z0 = z0, .xf = 1000.0, .values = {1.0}};
}

} // namespace

BENCHMARK_CAPTURE(runBench, unset, span(Builtin::None));
BENCHMARK_CAPTURE(runBench, oscillator, span(Builtin::Oscillator));
BENCHMARK_CAPTURE(runBench, sine_forced, span(Builtin::SineForced));
BENCHMARK_CAPTURE(runBench, damped, span(Builtin::Damped));
BENCHMARK_CAPTURE(runBench, van_der_pol, span(Builtin::VanDerPol, 0.5, 0.0));
// Index 5: the solution 1 / sqrt(1 + x^2 / 3) never reaches zero, so the run is long.
BENCHMARK_CAPTURE(
    runBench, emden,
    RunParameters{
        .eq = Builtin::Emden, .x0 = 0.01, .y0 = 1.0, .z0 = 0.0, .xf = 1000.0, .values = {5.0}});
BENCHMARK_CAPTURE(runBench, cosmos, span(Builtin::Cosmos, 1.0, 0.0));
