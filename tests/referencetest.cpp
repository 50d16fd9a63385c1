// SPDX-License-Identifier: MIT

#include "reference/evaluator.h"
#include "solver/builtins.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <string>
#include <vector>

using namespace solver;
using reference::Evaluator;

// g++ 12 takes the equation's owner in the copies of a case table for uninitialised
// (a shared_ptr that is never left so); nothing here reads it.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace {

// All values of a run's reference, asked for `chunk` at a time.
std::vector<double> values(Evaluator &ev, std::size_t chunk)
{
    std::vector<double> all(ev.sampleCount());
    std::size_t done = 0;
    while (ev.status() == Evaluator::Status::Going)
        done += ev.next(std::span(all).subspan(done, std::min(chunk, all.size() - done))).count;
    all.resize(done);
    return all;
}

struct Run
{
    std::string name;
    RunParameters p;
};

void PrintTo(const Run &c, std::ostream *os)
{
    *os << c.name;
}

// ---- The integration against the closed forms over 50 units ---------------------------

class Integration : public testing::TestWithParam<Run>
{
};

TEST_P(Integration, MeetsTheClosedForm)
{
    RunParameters p = GetParam().p;
    p.xf = p.x0 + 50;
    const std::uint64_t n = reference::gridPointCount(p);
    ASSERT_EQ(n, 5001u);
    Evaluator closed(p, n), integrated(p, n, Evaluator::Method::Integrated);
    EXPECT_TRUE(closed.closedForm());
    EXPECT_FALSE(integrated.closedForm());
    const auto b = values(closed, 777), a = values(integrated, 1000);
    ASSERT_EQ(a.size(), n);
    ASSERT_EQ(b.size(), n);
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_LE(std::fabs(a[i] - b[i]), 1e-10 * std::max(1.0, std::fabs(b[i]))) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Starts, Integration,
    testing::Values(
        Run{"OscillatorDefault", {.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0.01, .z0 = 16.947}},
        Run{"OscillatorFromNegative", {.eq = Builtin::Oscillator, .x0 = -2.3, .y0 = 1, .z0 = -1}},
        Run{"SineForcedDefault", {.eq = Builtin::SineForced, .x0 = 0, .y0 = 0.01, .z0 = 16.947}},
        Run{"SineForcedLate", {.eq = Builtin::SineForced, .x0 = 7.5, .y0 = -3, .z0 = 0.25}},
        Run{"DampedDefault", {.eq = Builtin::Damped, .x0 = 0, .y0 = 0.01, .z0 = 16.947}},
        Run{"DampedFastStart", {.eq = Builtin::Damped, .x0 = -1, .y0 = 10, .z0 = 99999.7}},
        Run{"NoEquation", {.eq = Builtin::None, .x0 = 3, .y0 = 0.5, .z0 = -0.125}}),
    [](const auto &info) { return info.param.name; });

// ---- Where the reference has no value ---------------------------------------------------

struct EndCase
{
    std::string name;
    RunParameters p;
    std::uint64_t endIndex;
    std::string reason;
};

void PrintTo(const EndCase &c, std::ostream *os)
{
    *os << c.name;
}

class End : public testing::TestWithParam<EndCase>
{
};

TEST_P(End, SaysWhereAndWhy)
{
    const EndCase &c = GetParam();
    Evaluator ev(c.p, reference::gridPointCount(c.p));
    const auto all = values(ev, 100);
    EXPECT_EQ(ev.status(), Evaluator::Status::Ended);
    EXPECT_EQ(ev.endIndex(), c.endIndex);
    EXPECT_EQ(all.size(), c.endIndex);
    EXPECT_EQ(ev.endReason(), c.reason);
    for (double v : all)
        ASSERT_TRUE(std::isfinite(v));
    // It stays ended.
    double more[4];
    EXPECT_EQ(ev.next(more).count, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, End,
    testing::Values(
        EndCase{"EmdenAtZero",
                {.eq = Builtin::Emden, .x0 = 0, .y0 = 1, .z0 = 0, .xf = 5, .values = {2}},
                0,
                "the reference has no value at x = 0"},
        EndCase{"EmdenThroughZero",
                {.eq = Builtin::Emden, .x0 = -0.5, .y0 = 1, .z0 = 0, .xf = 5, .values = {2}},
                50,
                "the reference has no value at x = 0"},
        EndCase{"CosmosFromZero",
                {.eq = Builtin::Cosmos, .x0 = 1, .y0 = 0, .z0 = 1, .xf = 5, .values = {1}},
                0,
                "the reference has no value at x = 1: division by zero"},
        EndCase{"EmdenFractionalFromBelowZero",
                {.eq = Builtin::Emden, .x0 = 0.5, .y0 = -1, .z0 = 0, .xf = 5, .values = {2.5}},
                0,
                "the reference has no value at x = 0.5: power of a negative number with a "
                "fractional exponent"},
        // The solution reaches 0 at 5.35507; x = 0.01 * 535 + 0.01 is beyond.
        EndCase{"EmdenFractionalCrossingZero",
                {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {2.5}},
                535,
                "the reference ends near x = 5.35507: power of a negative number with a "
                "fractional exponent"},
        EndCase{"CosmosPole",
                {.eq = Builtin::Cosmos, .x0 = 0, .y0 = 0.5, .z0 = 0.1, .xf = 5, .values = {1}},
                81,
                "the reference ends near x = 0.808926: its step size collapses"},
        EndCase{"CosmosBlowUp",
                {.eq = Builtin::Cosmos, .x0 = 0, .y0 = 1, .z0 = 0.5, .xf = 2000, .values = {1}},
                61521,
                "the reference ends near x = 615.209: overflow"},
        // Stiff far from its cycle: the work is bounded.
        EndCase{"VanDerPolFarFromItsCycle",
                {.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 5000, .z0 = 0, .xf = 1e5},
                2,
                "the reference ends near x = 0.0172076: too many steps"},
        EndCase{"StraightLineBeyondRange",
                {.eq = Builtin::None, .x0 = 0, .y0 = 1e308, .z0 = 1e308, .xf = 5},
                80,
                "the reference has no finite value at x = 0.8"},
        EndCase{"FarBeyondTheStepsResolution",
                {.eq = Builtin::VanDerPol, .x0 = 1e15, .y0 = 1, .z0 = 0, .xf = 1e15 + 1},
                7,
                "the reference ends near x = 1e+15: its step size collapses"}),
    [](const auto &info) { return info.param.name; });

TEST(Evaluator, ValuesDoNotDependOnTheChunks)
{
    for (const RunParameters &p :
         {RunParameters{.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 2, .z0 = 0, .xf = 20},
          RunParameters{
              .eq = Builtin::Cosmos, .x0 = 0, .y0 = 0.5, .z0 = 0.1, .xf = 5, .values = {1}}}) {
        Evaluator one(p, 2001), many(p, 2001);
        const auto a = values(one, 1), b = values(many, 4096);
        EXPECT_EQ(a, b);
        EXPECT_EQ(one.endReason(), many.endReason());
    }
}

} // namespace
