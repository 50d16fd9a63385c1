// The run with a sink that does nothing: the cost of one grid point, failure checks
// included.

#include "solver/solver.h"

#include <benchmark/benchmark.h>

namespace {

class NullSink : public SampleSink
{
public:
    Fault start(double, double) override { return Fault::None; }
    Fault sample(double x, double y) override
    {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        return Fault::None;
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
RunParameters span(int eq, double y0 = 0.01, double z0 = 16.947)
{
    return RunParameters{eq, 0.0, y0, z0, 1000.0, 2.0, 1.0};
}

} // namespace

BENCHMARK_CAPTURE(runBench, unset, span(0));
BENCHMARK_CAPTURE(runBench, oscillator, span(1));
BENCHMARK_CAPTURE(runBench, sine_forced, span(2));
BENCHMARK_CAPTURE(runBench, damped, span(3));
BENCHMARK_CAPTURE(runBench, van_der_pol, span(4, 0.5, 0.0));
// Index 5: the solution 1 / sqrt(1 + x^2 / 3) never reaches zero, so the run is long.
BENCHMARK_CAPTURE(runBench, emden, RunParameters{5, 0.01, 1.0, 0.0, 1000.0, 5.0, 1.0});
BENCHMARK_CAPTURE(runBench, cosmos, span(6, 1.0, 0.0));
