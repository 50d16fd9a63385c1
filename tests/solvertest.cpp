// SPDX-License-Identifier: MIT

#include "solver/solver.h"
#include "solver/builtins.h"
#include "solver/formulaequation.h"
#include "tests/recordingsink.h"

#include <gtest/gtest.h>

#include <ostream>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace solver;

namespace {

// ---- How many grid points a run visits, and where it stops -------------------------

struct CountCase
{
    std::string name;
    RunParameters p;
    std::size_t samples;
    double lastX;
    bool emdenStop;
};

void PrintTo(const CountCase &c, std::ostream *os)
{
    *os << c.name;
}

class SampleCount : public testing::TestWithParam<CountCase>
{
};

TEST_P(SampleCount, VisitsExactlyTheGridPointsUpToTheBound)
{
    const CountCase &c = GetParam();
    RecordingSink sink;
    const RunOutcome out = run(c.p, sink);

    EXPECT_FALSE(out.failed()) << faultText(out.fault);
    EXPECT_EQ(sink.starts, 1);
    EXPECT_EQ(sink.startPoint.first, c.p.x0);
    EXPECT_EQ(sink.startPoint.second, c.p.y0);
    ASSERT_EQ(sink.samples.size(), c.samples);
    EXPECT_EQ(out.samples, c.samples);
    EXPECT_EQ(out.emdenStop, c.emdenStop);
    if (c.samples > 0) {
        EXPECT_EQ(sink.samples.front(), std::make_pair(c.p.x0, c.p.y0));
        EXPECT_NEAR(sink.samples.back().first, c.lastX, 1e-12);
    }
    // Abscissae are recomputed as h * i + x0, never accumulated.
    for (std::size_t i = 0; i < sink.samples.size(); ++i)
        ASSERT_EQ(sink.samples[i].first, h * static_cast<double>(i) + c.p.x0) << i;

    // Run again handing out whole states, then once more from the middle one: the same
    // samples bit for bit, which is what lets a view recover y' by running again.
    struct States : StateSink
    {
        bool state(const GridState &s) override
        {
            all.push_back(s);
            return true;
        }
        std::vector<GridState> all;
    } states, tail;
    EXPECT_EQ(run(c.p, states).samples, c.samples);
    ASSERT_EQ(states.all.size(), c.samples);
    for (std::size_t i = 0; i < c.samples; ++i) {
        ASSERT_EQ(states.all[i].i, static_cast<std::int64_t>(i));
        ASSERT_EQ(std::make_pair(states.all[i].x, states.all[i].y), sink.samples[i]) << i;
    }
    if (c.samples > 0) {
        resume(c.p, states.all[c.samples / 2], tail);
        EXPECT_TRUE(std::equal(tail.all.begin(), tail.all.end(), states.all.begin() + c.samples / 2,
                               states.all.end()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SampleCount,
    testing::Values(
        CountCase{"DefaultTexts",
                  RunParameters{.eq = Builtin::None, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5},
                  501, 5, false},
        CountCase{"EndEqualsStart",
                  RunParameters{.eq = Builtin::SineForced, .x0 = 1.5, .y0 = 2, .z0 = 3, .xf = 1.5},
                  1, 1.5, false},
        CountCase{"EndBeforeStart",
                  RunParameters{.eq = Builtin::Oscillator, .x0 = 1, .y0 = 2, .z0 = 3, .xf = 0.5}, 0,
                  0, false},
        CountCase{"FractionalBound",
                  RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0, .z0 = 1, .xf = 0.025},
                  3, 0.02, false},
        // (0.29 - 0) / 0.01 is just below 29: the bound is never rounded.
        CountCase{"BoundJustBelowInteger",
                  RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0, .z0 = 1, .xf = 0.29},
                  29, 0.28, false},
        CountCase{"NegativeStart",
                  RunParameters{.eq = Builtin::Damped, .x0 = -2, .y0 = 1, .z0 = 0, .xf = 2}, 401, 2,
                  false},
        // First zero of the n = 1 solution is at pi, of the n = 0 one at sqrt(6).
        CountCase{"EmdenStopIndexOne",
                  RunParameters{
                      .eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {1}},
                  314, 3.14, true},
        CountCase{"EmdenStopIndexZero",
                  RunParameters{
                      .eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {0}},
                  244, 2.44, true},
        // A start at or below zero is listed, then the first step ends the run.
        CountCase{"EmdenStartBelowZero",
                  RunParameters{
                      .eq = Builtin::Emden, .x0 = 0.5, .y0 = -1, .z0 = 0, .xf = 5, .values = {2}},
                  1, 0.5, true}),
    [](const auto &info) { return info.param.name; });

// ---- Runs with a smaller step or a double slope, for the study of the error ----------

struct StepCase
{
    std::string name;
    int halvings;
    Slope slope;
};

void PrintTo(const StepCase &c, std::ostream *os)
{
    *os << c.name;
}

class SteppedRun : public testing::TestWithParam<StepCase>
{
};

TEST_P(SteppedRun, MeetsEveryGridPointOfTheRunAtTheSameAbscissa)
{
    const StepCase &c = GetParam();
    const RunParameters p{.eq = Builtin::SineForced, .x0 = -2.3, .y0 = 1, .z0 = -1, .xf = 2.7};
    RecordingSink own, stepped;
    run(p, own);
    const RunOutcome out = run(p, stepped, c.halvings, c.slope);
    EXPECT_FALSE(out.failed());
    const std::size_t every = std::size_t{1} << c.halvings;
    ASSERT_EQ(stepped.samples.size(), (own.samples.size() - 1) * every + 1);
    for (std::size_t i = 0; i < own.samples.size(); ++i)
        ASSERT_EQ(stepped.samples[i * every].first, own.samples[i].first) << i;
    // Only the run itself holds the slope in single precision with the step h.
    EXPECT_EQ(stepped.samples == own.samples, c.halvings == 0 && c.slope == Slope::Single);
}

INSTANTIATE_TEST_SUITE_P(Steps, SteppedRun,
                         testing::Values(StepCase{"RunItself", 0, Slope::Single},
                                         StepCase{"DoubleSlope", 0, Slope::Double},
                                         StepCase{"Half", 1, Slope::Single},
                                         StepCase{"QuarterDoubleSlope", 2, Slope::Double},
                                         StepCase{"Eighth", 3, Slope::Single},
                                         StepCase{"EighthDoubleSlope", 3, Slope::Double}),
                         [](const auto &info) { return info.param.name; });

// ---- Closed forms --------------------------------------------------------------------

TEST(ClosedForm, UnsetEquationIsAStraightLine)
{
    RecordingSink sink;
    run(RunParameters{.eq = Builtin::None, .x0 = 0, .y0 = 1, .z0 = 2, .xf = 1}, sink);
    ASSERT_EQ(sink.samples.size(), 101u);
    for (const auto &[x, y] : sink.samples)
        EXPECT_NEAR(y, 1 + 2 * x, 1e-14) << x;
    EXPECT_NEAR(sink.samples.back().second, 3.0, 1e-14);
}

TEST(ClosedForm, HarmonicOscillatorFollowsSine)
{
    RecordingSink sink;
    run(RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0, .z0 = 1, .xf = 5}, sink);
    ASSERT_EQ(sink.samples.size(), 501u);
    EXPECT_NEAR(sink.samples.back().second, std::sin(5.0), 1e-7);
    for (const auto &[x, y] : sink.samples)
        EXPECT_NEAR(y, std::sin(x), 3e-7) << x; // the single-precision slope
}

TEST(ClosedForm, DampedEquationFollowsTwoExponentials)
{
    // y'' + 6y' + 5y = 0, y(0) = 0.01, y'(0) = 16.947: y = A e^-x + B e^-5x.
    const double b = -(16.947 + 0.01) / 4;
    const double a = 0.01 - b;
    RecordingSink sink;
    run(RunParameters{.eq = Builtin::Damped, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5}, sink);
    ASSERT_EQ(sink.samples.size(), 501u);
    for (const auto &[x, y] : sink.samples)
        EXPECT_NEAR(y, a * std::exp(-x) + b * std::exp(-5 * x), 2e-6) << x;
}

// ---- A product and a sum, each rounded on its own ------------------------------------

// c + a b where the exact product needs more than a double's 53 bits, so that rounding it
// and then the sum gives another double than a fused multiply-add, which rounds once.
struct ProductSumCase
{
    std::string name;
    double a, b, c;
    double expected; // a b rounded, then c + a b rounded
};

void PrintTo(const ProductSumCase &c, std::ostream *os)
{
    *os << c.name;
}

class ProductThenSum : public testing::TestWithParam<ProductSumCase>
{
};

std::uint64_t bits(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}

TEST_P(ProductThenSum, IsRoundedTwiceInTheStraightLineThroughTheStart)
{
    const ProductSumCase &t = GetParam();
    // The case tells the two apart.
    ASSERT_NE(bits(std::fma(t.a, t.b, t.c)), bits(t.expected));
    // y0 + z0 (x - x0) from x0 = 0, the closed form of y'' = 0 that a run of no equation
    // takes as its reference: a compiler allowed to contract makes it one multiply-add.
    const ClosedForm &line = *builtinEquation(Builtin::None).closedForm;
    const Start s{.x0 = 0, .y0 = t.c, .z0 = t.a};
    EXPECT_EQ(bits(line.value(line.constants(nullptr, s), s, t.b)), bits(t.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProductThenSum,
    testing::Values(
        // (1 + 2^-30)^2 = 1 + 2^-29 + 2^-60: the last bit is lost before the 1 is taken off.
        ProductSumCase{"SquareNearOne", 1 + 0x1p-30, 1 + 0x1p-30, -1, 0x1p-29},
        // 1 - 2^-60 rounds to 1: +0, where one rounding keeps -2^-60.
        ProductSumCase{"ProductJustBelowOne", 1 - 0x1p-30, 1 + 0x1p-30, -1, 0.0},
        // 3 times the double nearest 1/3 is 1 - 2^-54, halfway: to even, 1.
        ProductSumCase{"ThreeThirds", 3, 1.0 / 3, -1, 0.0}),
    [](const auto &info) { return info.param.name; });

// ---- The catalogue -------------------------------------------------------------------

struct GCase
{
    std::string name;
    RunParameters p;
    double x, y, z;
    double expected;
};

void PrintTo(const GCase &c, std::ostream *os)
{
    *os << c.name;
}

class Catalogue : public testing::TestWithParam<GCase>
{
};

// g as the first evaluation of a step takes it, with the stored single-precision z.
double gFirst(const RunParameters &p, double x, double y, float z, Checked &c)
{
    const Equation &eq = *p.eq;
    return eq.gFirst(eq, p.values.data(), {x, eq.term ? eq.term(x) : 0.0}, y, z, c);
}

TEST_P(Catalogue, GivesTheTabulatedValueInBothForms)
{
    const GCase &c = GetParam();
    Checked general;
    EXPECT_EQ(g(c.p, c.x, c.y, c.z, general), c.expected);
    EXPECT_TRUE(general.ok());
    Checked first;
    EXPECT_EQ(gFirst(c.p, c.x, c.y, static_cast<float>(c.z), first), c.expected);
    EXPECT_EQ(f(c.x, c.y, c.z), c.z);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Catalogue,
    testing::Values(
        GCase{
            "CosmosWithoutLam",
            RunParameters{.eq = Builtin::Cosmos, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0, .values = {0}},
            0, 2, 0, -1.0 / 12},
        GCase{
            "CosmosAtRest",
            RunParameters{.eq = Builtin::Cosmos, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0, .values = {1}},
            3, 1, 7, 0},
        GCase{
            "EmdenAtOne",
            RunParameters{.eq = Builtin::Emden, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0, .values = {2}},
            1, 1, 0, -1},
        GCase{
            "EmdenAtTwo",
            RunParameters{.eq = Builtin::Emden, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0, .values = {2}},
            2, 1, 1, -2},
        GCase{"VanDerPolAtOne",
              RunParameters{.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0}, 0, 1,
              123, -1},
        GCase{"VanDerPolAtZero",
              RunParameters{.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0}, 0, 0,
              0.5, 0.5},
        // y y = 1 + 2^-29 + 2^-60 rounds to 1 + 2^-29: 1 - y y is -2^-29, then -2 - y. Had
        // the square and the difference been fused, -2^-29 - 2^-60 would give -3 - 2^-29.
        GCase{"VanDerPolRoundsTheSquareFirst",
              RunParameters{.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0}, 0,
              1 + 0x1p-30, 0x1p30, -3 - 0x1p-30},
        GCase{"Oscillator",
              RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0}, 9, 0.25,
              4, -0.25},
        GCase{"SineForced",
              RunParameters{.eq = Builtin::SineForced, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0}, 0, 1.5,
              4, -3},
        GCase{"Damped", RunParameters{.eq = Builtin::Damped, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0}, 0,
              1, 2, -17},
        GCase{"Unset", RunParameters{.eq = Builtin::None, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0}, 1, 2,
              3, 0},
        GCase{"NoneChosen", RunParameters{}, 1, 2, 3, 0}),
    [](const auto &info) { return info.param.name; });

TEST(Catalogue, NumbersTheSixOptions)
{
    for (int number = 1; number <= 6; ++number) {
        ASSERT_TRUE(equationNumbered(number)) << number;
        EXPECT_EQ((*equationNumbered(number))->number, number);
        EXPECT_EQ(*equationNumbered(number), EquationRef(static_cast<Builtin>(number)));
    }
    for (const int number : {-1, 0, 7, 9})
        EXPECT_FALSE(equationNumbered(number)) << number;
    EXPECT_EQ(RunParameters{}.eq, EquationRef(Builtin::None));
}

TEST(Catalogue, FirstFormOfTheDampedEquationRoundsTheProductToSingle)
{
    // z = 1 + 2^-23 (a single); -6 z needs 26 bits, so the single product loses the
    // last ones while the double one keeps them.
    const float z = 1.0f + 0x1p-23f;
    const RunParameters p =
        RunParameters{.eq = Builtin::Damped, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 0};
    Checked c;
    EXPECT_EQ(gFirst(p, 0, 0, z, c), static_cast<double>(-6.0f * z));
    EXPECT_EQ(g(p, 0, 0, static_cast<double>(z), c), -6.0 * static_cast<double>(z));
    EXPECT_NE(static_cast<double>(-6.0f * z), -6.0 * static_cast<double>(z));
}

// ---- Failing operations --------------------------------------------------------------

struct FailCase
{
    std::string name;
    RunParameters p;
    Fault fault;
    double faultX;
    std::size_t samples;
    bool started;
};

void PrintTo(const FailCase &c, std::ostream *os)
{
    *os << c.name;
}

class Failure : public testing::TestWithParam<FailCase>
{
};

TEST_P(Failure, EndsTheRunWhereItArisesAndKeepsWhatCameBefore)
{
    const FailCase &c = GetParam();
    RecordingSink sink;
    const RunOutcome out = run(c.p, sink);
    EXPECT_EQ(out.fault, c.fault) << faultText(out.fault);
    EXPECT_EQ(out.faultX, c.faultX);
    EXPECT_EQ(sink.starts, c.started ? 1 : 0);
    EXPECT_EQ(sink.samples.size(), c.samples);
    EXPECT_EQ(out.samples, c.samples);
    for (const auto &[x, y] : sink.samples)
        ASSERT_TRUE(std::isfinite(x) && std::isfinite(y));
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, Failure,
    testing::Values(
        // (-2 * 0) / 0 in the very first evaluation.
        FailCase{
            "EmdenFromZeroWithFlatStart",
            RunParameters{.eq = Builtin::Emden, .x0 = 0, .y0 = 1, .z0 = 0, .xf = 5, .values = {2}},
            Fault::DivisionByZero, 0, 0, true},
        FailCase{
            "EmdenFromZero",
            RunParameters{
                .eq = Builtin::Emden, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5, .values = {2}},
            Fault::DivisionByZero, 0, 0, true},
        FailCase{
            "CosmosAtZero",
            RunParameters{.eq = Builtin::Cosmos, .x0 = 1, .y0 = 0, .z0 = 1, .xf = 5, .values = {1}},
            Fault::DivisionByZero, 1, 0, true},
        // The last step before y crosses zero takes a power of a negative number.
        FailCase{"EmdenFractionalIndex",
                 RunParameters{
                     .eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {2.5}},
                 Fault::PowerUndefined, 0.01 * 534 + 0.01, 535, true},
        FailCase{
            "EmdenZeroToNegativeIndex",
            RunParameters{.eq = Builtin::Emden, .x0 = 1, .y0 = 0, .z0 = 1, .xf = 5, .values = {-1}},
            Fault::PowerOfZero, 1, 0, true},
        FailCase{"SquareBeyondRange",
                 RunParameters{.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 1e200, .z0 = 0, .xf = 5},
                 Fault::Overflow, 0, 0, true},
        FailCase{
            "SpanBeyondRange",
            RunParameters{.eq = Builtin::Oscillator, .x0 = -1e308, .y0 = 0, .z0 = 0, .xf = 1e308},
            Fault::Overflow, -1e308, 0, true},
        FailCase{"BoundBeyondRange",
                 RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0, .z0 = 0, .xf = 1e307},
                 Fault::Overflow, 0, 0, true},
        // The slope after the first step, about -1e298, has no single value.
        FailCase{"SlopeStoreBeyondSingle",
                 RunParameters{.eq = Builtin::Oscillator, .x0 = 2, .y0 = 1e300, .z0 = 0, .xf = 5},
                 Fault::SingleOverflow, 2, 1, true},
        FailCase{"StartSlopeBeyondSingle",
                 RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0, .z0 = 1e39, .xf = 5},
                 Fault::SingleOverflow, 0, 0, false},
        // -6 z in single precision: 6 * 3e38 is beyond its range.
        FailCase{"SingleProductBeyondRange",
                 RunParameters{.eq = Builtin::Damped, .x0 = 0, .y0 = 0, .z0 = 3e38, .xf = 5},
                 Fault::SingleOverflow, 0, 0, true}),
    [](const auto &info) { return info.param.name; });

TEST(Failure, SinkRefusalEndsTheRunAtThatSample)
{
    RecordingSink sink;
    sink.refuseAt = 7;
    const RunOutcome out = run(
        RunParameters{.eq = Builtin::SineForced, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5}, sink);
    EXPECT_TRUE(out.sinkStop);
    EXPECT_FALSE(out.failed());
    EXPECT_EQ(out.samples, 7u);
    EXPECT_EQ(sink.samples.size(), 7u);
}

} // namespace

namespace {

// Every y of a run, and how it ended.
struct AllY : solver::SampleSink
{
    std::vector<double> y;
    bool start(double, double) override { return true; }
    bool sample(double, double v) override
    {
        y.push_back(v);
        return true;
    }
};

} // namespace

// A damped run decays to a state a step leaves bit for bit as it was, and from there hands
// it out without stepping: the very samples of the same equation stepped to the end (told
// it depends on x, which keeps it stepping), with their count, over the subnormal stretch
// and beyond it; the same for the study's double slope and a halved step.
TEST(FixedPoint, HandsOutTheSamplesSteppingWouldToTheEnd)
{
    solver::Equation stepping = solver::kBuiltins[static_cast<int>(solver::Builtin::Damped)];
    stepping.dependsOnX = true;
    const solver::EquationRef keepsStepping(std::make_shared<const solver::Equation>(stepping));
    const struct
    {
        double y0, z0, xf;
        int halvings;
        solver::Slope slope;
    } cases[] = {
        {0.01, 16.947, 26100, 0, solver::Slope::Single}, // the fixed point at x = 26035
        {1e-300, 0, 100, 0, solver::Slope::Single},      // subnormal at once
        {0, 0, 50, 0, solver::Slope::Single},            // at rest from the start
        {0.01, 16.947, 800, 1, solver::Slope::Double},
    };
    for (const auto &c : cases) {
        solver::RunParameters fixed{
            .eq = solver::Builtin::Damped, .y0 = c.y0, .z0 = c.z0, .xf = c.xf};
        solver::RunParameters stepped = fixed;
        stepped.eq = keepsStepping;
        AllY a, b;
        const solver::RunOutcome ra = solver::run(fixed, a, c.halvings, c.slope);
        const solver::RunOutcome rb = solver::run(stepped, b, c.halvings, c.slope);
        EXPECT_EQ(ra.samples, rb.samples) << c.xf;
        EXPECT_EQ(ra.fault, rb.fault);
        ASSERT_EQ(a.y.size(), b.y.size());
        std::size_t differ = 0;
        for (std::size_t i = 0; i < a.y.size(); ++i)
            differ += std::bit_cast<std::uint64_t>(a.y[i]) != std::bit_cast<std::uint64_t>(b.y[i]);
        EXPECT_EQ(differ, 0u) << c.xf;
    }
}

namespace {

// Every state a run hands out, and the one its Emden stop keeps back.
struct AllStates : solver::StateSink
{
    std::vector<solver::GridState> all;
    std::vector<solver::GridState> keptBackStates;
    bool state(const solver::GridState &s) override
    {
        all.push_back(s);
        return true;
    }
    void keptBack(const solver::GridState &s) override { keptBackStates.push_back(s); }
};

// ---- The state the Emden stop keeps back -------------------------------------------------

struct KeptBackCase
{
    std::string name;
    solver::RunParameters p;
    bool stops; // at the first zero, before xf
};

void PrintTo(const KeptBackCase &c, std::ostream *os)
{
    *os << c.name;
}

class KeptBack : public testing::TestWithParam<KeptBackCase>
{
};

// The state is the next one the same run would hand out without the stop: the very bits of
// the run of the same equation told it has none.
TEST_P(KeptBack, IsTheNextStateOfTheRunWithoutTheStop)
{
    const KeptBackCase &c = GetParam();
    solver::Equation going = *c.p.eq;
    going.stopsAtZero = false;
    solver::RunParameters on = c.p;
    on.eq = solver::EquationRef(std::make_shared<const solver::Equation>(going));
    on.xf += 1; // past a stop after the last grid point, too
    AllStates stopped, continued;
    const RunOutcome out = run(c.p, stopped);
    run(on, continued);
    EXPECT_EQ(out.emdenStop, c.stops);
    if (!c.stops) {
        EXPECT_TRUE(stopped.keptBackStates.empty());
        return;
    }
    ASSERT_EQ(stopped.keptBackStates.size(), 1u);
    const GridState &kept = stopped.keptBackStates[0];
    ASSERT_GT(continued.all.size(), stopped.all.size());
    const GridState &next = continued.all[stopped.all.size()];
    EXPECT_EQ(kept.i, static_cast<std::int64_t>(stopped.all.size()));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kept.x), std::bit_cast<std::uint64_t>(next.x));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kept.y), std::bit_cast<std::uint64_t>(next.y));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(kept.z), std::bit_cast<std::uint32_t>(next.z));
    EXPECT_LE(kept.y, 0.0);
    EXPECT_GT(stopped.all.back().y, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, KeptBack,
    testing::Values(
        KeptBackCase{"IndexOne",
                     {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {1}},
                     true},
        KeptBackCase{"IndexZero",
                     {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {0}},
                     true},
        KeptBackCase{"IndexThree",
                     {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {3}},
                     true},
        // The zero at pi after the last grid point, 3.14, still stops the run after it.
        KeptBackCase{
            "AfterTheLastGridPoint",
            {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 3.145, .values = {1}},
            true},
        KeptBackCase{"BeforeTheZero",
                     {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 3, .values = {1}},
                     false},
        // y^2.5 of a negative stage has no value: a fault, and nothing is kept back.
        KeptBackCase{
            "FractionalIndex",
            {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {2.5}},
            false}),
    [](const auto &info) { return info.param.name; });

// ---- The run backward ----------------------------------------------------------------------

struct MirrorCase
{
    std::string name;
    solver::EquationRef eq;
    double y0, z0, xf;
};

void PrintTo(const MirrorCase &c, std::ostream *os)
{
    *os << c.name;
}

class Backward : public testing::TestWithParam<MirrorCase>
{
};

solver::EquationRef pendulum()
{
    return std::get<solver::EquationRef>(solver::formulaEquation("-sin(y)"));
}

// Where g depends on y alone, the run backward from (0, y0, z0) is the run forward from
// (0, y0, -z0) mirrored: every operation meets the same numbers or their negatives, and
// negation is exact, so x is negated, y is the same bit for bit and y' negated.
TEST_P(Backward, IsTheForwardRunWithTheSlopeNegatedMirrored)
{
    const MirrorCase &c = GetParam();
    AllStates back, forth;
    const RunOutcome b =
        runBackward(RunParameters{.eq = c.eq, .x0 = 0, .y0 = c.y0, .z0 = c.z0, .xf = -c.xf}, back);
    const RunOutcome f =
        run(RunParameters{.eq = c.eq, .x0 = 0, .y0 = c.y0, .z0 = -c.z0, .xf = c.xf}, forth);
    EXPECT_FALSE(b.failed());
    EXPECT_EQ(b.samples, f.samples);
    ASSERT_EQ(back.all.size(), forth.all.size());
    ASSERT_GT(back.all.size(), 1000u);
    for (std::size_t i = 0; i < back.all.size(); ++i) {
        const GridState &u = back.all[i], &v = forth.all[i];
        ASSERT_EQ(u.x, -v.x) << i;
        ASSERT_EQ(u.x, backwardAbscissa(0, static_cast<std::int64_t>(i))) << i;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(u.y), std::bit_cast<std::uint64_t>(v.y)) << i;
        // An exact cancellation gives +0 both ways, where the mirror would be -0.
        ASSERT_EQ(u.z, -v.z) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Backward,
    testing::Values(MirrorCase{"Oscillator", Builtin::Oscillator, 0.01, 16.947, 30},
                    MirrorCase{"OscillatorFromRest", Builtin::Oscillator, 1, 0, 30},
                    MirrorCase{"Pendulum", pendulum(), 1, 0.5, 30},
                    // Over the top: round and round, y growing on.
                    MirrorCase{"PendulumOverTheTop", pendulum(), 0, 2.5, 30}),
    [](const auto &info) { return info.param.name; });

TEST(Backward, EndsAtAFaultAsTheForwardRunDoes)
{
    // Emden backward to x = 0, where 2/x has no value: the grid point -h * 100 + 1 is 0.
    RecordingSink sink;
    const RunOutcome out = runBackward(
        {.eq = Builtin::Emden, .x0 = 1, .y0 = 0.84, .z0 = -0.3, .xf = 0, .values = {1}}, sink);
    EXPECT_EQ(out.fault, Fault::DivisionByZero);
    EXPECT_EQ(out.faultX, 0.0);
    EXPECT_EQ(sink.samples.size(), 100u);
    EXPECT_EQ(sink.samples.back().first, backwardAbscissa(1, 99));
    // After x0 there is nothing to go back to.
    RecordingSink none;
    EXPECT_EQ(runBackward({.eq = Builtin::Oscillator, .x0 = 0, .y0 = 1, .xf = 1}, none).samples,
              0u);
    EXPECT_EQ(none.starts, 1);
}

} // namespace
