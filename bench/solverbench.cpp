// SPDX-License-Identifier: MIT

// The run with a sink that does nothing: the cost of one grid point, failure checks
// included; the same run with g given as a formula; and the formula's own costs.

#include "formula/formula.h"
#include "solver/builtins.h"
#include "solver/formulaequation.h"
#include "solver/solver.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

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

namespace {

// ---- g as a formula ----------------------------------------------------------------------

std::shared_ptr<const formula::Program> compiled(std::string_view text)
{
    return std::get<std::shared_ptr<const formula::Program>>(formula::compile(text));
}

// An equation's g is a plain function, so the program it runs is found here.
// A run of the equation made from the formula `text`, as the window and the table tool make
// it.
void formulaRunBench(benchmark::State &state, const char *text, RunParameters p)
{
    p.eq = std::get<EquationRef>(formulaEquation(text));
    runBench(state, p);
}

// The built-in g called through a made equation, as the formula's is: the cost of the call
// alone.
void calledRunBench(benchmark::State &state, Builtin b, RunParameters p)
{
    const Equation &row = builtinEquation(b);
    p.eq = EquationRef(std::make_shared<const Equation>(
        Equation{.gFirst = row.gFirst, .g = row.g, .curves = builtin::kY}));
    runBench(state, p);
}

// Points of van der Pol's cycle and around it.
std::vector<std::pair<double, double>> phasePoints()
{
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 1024; ++i)
        points.emplace_back(-2.5 + 0.005 * i, 3.0 - 0.0059 * i);
    return points;
}

// One evaluation after another at the points, none waiting for another's result.
template<typename G> void evaluationBench(benchmark::State &state, G g)
{
    const auto points = phasePoints();
    Checked c;
    for (auto _ : state)
        for (const auto &[y, z] : points)
            benchmark::DoNotOptimize(g(y, z, c));
    if (!c.ok())
        state.SkipWithError("an evaluation failed");
    state.counters["ns_per_evaluation"] =
        benchmark::Counter(static_cast<double>(state.iterations() * points.size()) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void builtinEvaluation(benchmark::State &state)
{
    evaluationBench(state, [](double y, double z, Checked &c) {
        return builtin::vanDerPol<double>(builtinEquation(Builtin::VanDerPol), nullptr,
                                          Abscissa{0.0, 0.0}, y, z, c);
    });
}

void formulaEvaluation(benchmark::State &state)
{
    const auto program = compiled("(1-y*y)*y'-y");
    evaluationBench(state, [&program](double y, double z, Checked &c) {
        return program->evaluate(0.0, y, z, nullptr, c);
    });
}

// A formula of 10,000 characters: Duffing's g again and again, then blanks.
void compileBench(benchmark::State &state)
{
    const std::string term = " + (-d*y' - a*y - b*y^3 + g*cos(w*x))";
    std::string text = "y";
    while (text.size() + term.size() <= 10000)
        text += term;
    text.resize(10000, ' ');
    for (auto _ : state)
        benchmark::DoNotOptimize(compiled(text));
    state.counters["characters"] = static_cast<double>(text.size());
}

} // namespace

BENCHMARK_CAPTURE(formulaRunBench, van_der_pol_formula, "(1-y*y)*y'-y",
                  span(Builtin::VanDerPol, 0.5, 0.0));
BENCHMARK_CAPTURE(calledRunBench, van_der_pol_called, Builtin::VanDerPol,
                  span(Builtin::VanDerPol, 0.5, 0.0));
BENCHMARK(builtinEvaluation);
BENCHMARK(formulaEvaluation);
BENCHMARK(compileBench)->Unit(benchmark::kMillisecond);
