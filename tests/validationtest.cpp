// SPDX-License-Identifier: MIT

// The runs against closed-form solutions and known constants of the six equations. These
// check the integrator as a numerical method: the exact-text tests elsewhere check that
// it is this method, operation for operation.

#include "solver/builtins.h"
#include "solver/solver.h"

#include "tests/recordingsink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

using namespace solver;

namespace {

struct ClosedFormCase
{
    std::string name;
    RunParameters p;
    std::function<double(double)> exact;
    double tolerance;
    std::size_t samples;
};

void PrintTo(const ClosedFormCase &c, std::ostream *os)
{
    *os << c.name;
}

// Lane-Emden solutions are singular-looking at 0, so runs start at x0 = 0.01 on the
// closed form and its derivative.
RunParameters emdenFrom(double x0, double n, double xf, const std::function<double(double)> &y,
                        const std::function<double(double)> &dy)
{
    return RunParameters{
        .eq = Builtin::Emden, .x0 = x0, .y0 = y(x0), .z0 = dy(x0), .xf = xf, .values = {n}};
}

double laneEmden0(double x)
{
    return 1 - x * x / 6;
}
double laneEmden0d(double x)
{
    return -x / 3;
}
double laneEmden1(double x)
{
    return std::sin(x) / x;
}
double laneEmden1d(double x)
{
    return (x * std::cos(x) - std::sin(x)) / (x * x);
}
double laneEmden5(double x)
{
    return 1 / std::sqrt(1 + x * x / 3);
}
double laneEmden5d(double x)
{
    return -x / 3 * std::pow(1 + x * x / 3, -1.5);
}

class ClosedForm : public testing::TestWithParam<ClosedFormCase>
{
};

TEST_P(ClosedForm, EverySampleLiesOnTheSolution)
{
    const ClosedFormCase &c = GetParam();
    RecordingSink sink;
    const RunOutcome out = run(c.p, sink);
    EXPECT_FALSE(out.failed()) << faultText(out.fault);
    ASSERT_EQ(sink.samples.size(), c.samples);
    double worst = 0;
    for (const auto &[x, y] : sink.samples)
        worst = std::max(worst, std::fabs(y - c.exact(x)));
    EXPECT_LE(worst, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Solutions, ClosedForm,
    testing::Values(
        ClosedFormCase{"LaneEmden0", emdenFrom(0.01, 0, 2.4, laneEmden0, laneEmden0d), laneEmden0,
                       1e-6, 240},
        ClosedFormCase{"LaneEmden1", emdenFrom(0.01, 1, 3.1, laneEmden1, laneEmden1d), laneEmden1,
                       1e-6, 310},
        ClosedFormCase{"LaneEmden5", emdenFrom(0.01, 5, 10, laneEmden5, laneEmden5d), laneEmden5,
                       1e-6, 1000},
        ClosedFormCase{
            "OscillatorCosine",
            RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 1, .z0 = 0, .xf = 20},
            [](double x) { return std::cos(x); }, 1e-6, 2001},
        // y = sin x solves y'' + 2y = sin x from y(0) = 0, y'(0) = 1.
        ClosedFormCase{
            "SineForcedIsSine",
            RunParameters{.eq = Builtin::SineForced, .x0 = 0, .y0 = 0, .z0 = 1, .xf = 20},
            [](double x) { return std::sin(x); }, 1e-6, 2001},
        // y'' + 6y' + 5y = 0 from y(0) = 1, y'(0) = -3: (e^-x + e^-5x) / 2.
        ClosedFormCase{"DampedTwoModes",
                       RunParameters{.eq = Builtin::Damped, .x0 = 0, .y0 = 1, .z0 = -3, .xf = 10},
                       [](double x) { return (std::exp(-x) + std::exp(-5 * x)) / 2; }, 1e-6, 1001},
        // The static state of the Cosmos equation: lam y = 1 / y^2, y = lam^(-1/3).
        ClosedFormCase{
            "CosmosStaticUnit",
            RunParameters{.eq = Builtin::Cosmos, .x0 = 0, .y0 = 1, .z0 = 0, .xf = 5, .values = {1}},
            [](double) { return 1.0; }, 1e-9, 501},
        ClosedFormCase{
            "CosmosStaticHalf",
            RunParameters{
                .eq = Builtin::Cosmos, .x0 = 0, .y0 = 0.5, .z0 = 0, .xf = 5, .values = {8}},
            [](double) { return 0.5; }, 1e-9, 501},
        ClosedFormCase{
            "CosmosStaticTwo",
            RunParameters{
                .eq = Builtin::Cosmos, .x0 = 0, .y0 = 2, .z0 = 0, .xf = 5, .values = {0.125}},
            [](double) { return 2.0; }, 1e-9, 501}),
    [](const testing::TestParamInfo<ClosedFormCase> &info) { return info.param.name; });

struct ZeroCase
{
    std::string name;
    double n;
    double firstZero; // of the Lane-Emden solution of index n
};

void PrintTo(const ZeroCase &c, std::ostream *os)
{
    *os << c.name;
}

class LaneEmdenZero : public testing::TestWithParam<ZeroCase>
{
};

TEST_P(LaneEmdenZero, TheRunEndsAtTheFirstZero)
{
    const ZeroCase &c = GetParam();
    // The series about 0: y = 1 - x^2/6 + n x^4/120.
    const double x0 = 0.01, n = c.n;
    const double y0 = 1 - x0 * x0 / 6 + n * std::pow(x0, 4) / 120;
    const double z0 = -x0 / 3 + n * std::pow(x0, 3) / 30;
    RecordingSink sink;
    const RunOutcome out = run(
        RunParameters{.eq = Builtin::Emden, .x0 = x0, .y0 = y0, .z0 = z0, .xf = 20, .values = {n}},
        sink);
    // With a fractional index the last step may take a power of a negative y instead.
    EXPECT_TRUE(out.emdenStop || out.fault == Fault::PowerUndefined) << faultText(out.fault);
    ASSERT_FALSE(sink.samples.empty());
    const double last = sink.samples.back().first;
    EXPECT_NEAR(last, c.firstZero, 0.01);
    EXPECT_LE(last, c.firstZero);
    EXPECT_GT(sink.samples.back().second, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Indices, LaneEmdenZero,
    testing::Values(ZeroCase{"Index0", 0, std::sqrt(6.0)}, ZeroCase{"Index1", 1, std::numbers::pi},
                    ZeroCase{"Index1_5", 1.5, 3.65375}, ZeroCase{"Index2", 2, 4.35287},
                    ZeroCase{"Index3", 3, 6.89685}),
    [](const testing::TestParamInfo<ZeroCase> &info) { return info.param.name; });

TEST(VanDerPol, SettlesOnTheLimitCycleOfPeriod6_6633)
{
    RecordingSink sink;
    run(RunParameters{.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 0.5, .z0 = 0, .xf = 100}, sink);
    ASSERT_EQ(sink.samples.size(), 10001u);
    // Upward zero crossings, placed by linear interpolation between samples.
    std::vector<double> crossings;
    for (std::size_t i = 1; i < sink.samples.size(); ++i) {
        const auto [xa, ya] = sink.samples[i - 1];
        const auto [xb, yb] = sink.samples[i];
        if (ya < 0 && yb >= 0)
            crossings.push_back(xa + (xb - xa) * (-ya) / (yb - ya));
    }
    ASSERT_GE(crossings.size(), 10u);
    // Past the transient: the mean of the last five periods.
    const double period = (crossings.back() - crossings[crossings.size() - 6]) / 5;
    EXPECT_NEAR(period, 6.6633, 0.001);
    // The cycle's amplitude is about 2.0086.
    double peak = 0;
    for (std::size_t i = sink.samples.size() - 700; i < sink.samples.size(); ++i)
        peak = std::max(peak, sink.samples[i].second);
    EXPECT_NEAR(peak, 2.0086, 0.001);
}

} // namespace
