// SPDX-License-Identifier: MIT

#include "plot/marks.h"
#include "solver/builtins.h"
#include "solver/solver.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

std::ostream &operator<<(std::ostream &os, const Mark &m)
{
    return os << (m.kind == Mark::Point ? "point(" : "lineTo(") << m.x << ", " << m.y << ", "
              << m.colour << ")";
}

using namespace solver;

namespace {

struct MarksCase
{
    std::string name;
    Builtin eq;
    double n, x, y; // n is the value of the equation's parameter, if it has one
    std::vector<Mark> marks;
    Fault fault;
};

void PrintTo(const MarksCase &c, std::ostream *os)
{
    *os << c.name;
}

class SampleMarks : public testing::TestWithParam<MarksCase>
{
};

TEST_P(SampleMarks, FollowTheEquation)
{
    const MarksCase &c = GetParam();
    const MarkList list = sampleMarks(RunParameters{.eq = c.eq, .values = {c.n}}, c.x, c.y);
    EXPECT_EQ(list.fault, c.fault);
    ASSERT_EQ(static_cast<std::size_t>(list.count), c.marks.size());
    for (std::size_t i = 0; i < c.marks.size(); ++i)
        EXPECT_EQ(list.marks[i], c.marks[i]) << i;
}

constexpr auto P = Mark::Point;
constexpr auto L = Mark::LineTo;

INSTANTIATE_TEST_SUITE_P(
    Marks, SampleMarks,
    testing::Values(
        MarksCase{
            "Unset", Builtin::None, 2, 1.5, -0.25, {{L, 1.5f, -0.25f, kLightRed}}, Fault::None},
        MarksCase{"Oscillator",
                  Builtin::Oscillator,
                  2,
                  0.01,
                  0.1,
                  {{L, 0.01f, 0.1f, kLightRed}},
                  Fault::None},
        MarksCase{"VanDerPol", Builtin::VanDerPol, 2, 3, 2, {{L, 3, 2, kLightRed}}, Fault::None},
        MarksCase{"EmdenSquareAndCube",
                  Builtin::Emden,
                  2,
                  0.5,
                  1.5,
                  {{P, 1, 3, kLightRed}, {P, 1, 4.5f, kBlack}, {P, 1, 6.75f, kGreen}},
                  Fault::None},
        MarksCase{"EmdenAtOne",
                  Builtin::Emden,
                  2,
                  0.01,
                  1,
                  {{P, 0.02f, 2, kLightRed}, {P, 0.02f, 2, kBlack}, {P, 0.02f, 2, kGreen}},
                  Fault::None},
        MarksCase{"Cosmos", Builtin::Cosmos, 2, 1.25, 0.5, {{L, 5, 0.5f, kLightRed}}, Fault::None},
        MarksCase{"Damped", Builtin::Damped, 2, 1, -3, {{L, 1, -3, kLightRed}}, Fault::None},
        // A negative start with a fractional index: the light-red dot stands, the rest
        // has no value.
        MarksCase{"EmdenNegativeFractional",
                  Builtin::Emden,
                  2.5,
                  0.5,
                  -1,
                  {{P, 1, -2, kLightRed}},
                  Fault::PowerUndefined},
        MarksCase{"EmdenZeroNegativeIndex",
                  Builtin::Emden,
                  -1,
                  1,
                  0,
                  {{P, 2, 0, kLightRed}},
                  Fault::PowerOfZero},
        MarksCase{"EmdenPowerBeyondSingle",
                  Builtin::Emden,
                  2,
                  1,
                  1e20,
                  {{P, 2, 2e20f, kLightRed}},
                  Fault::CoordinateOverflow},
        MarksCase{"EmdenPowerBeyondDouble",
                  Builtin::Emden,
                  20,
                  1,
                  1e20,
                  {{P, 2, 2e20f, kLightRed}},
                  Fault::Overflow},
        MarksCase{
            "LineBeyondSingle", Builtin::SineForced, 2, 1, 1e39, {}, Fault::CoordinateOverflow},
        MarksCase{"CosmosStretchBeyondSingle",
                  Builtin::Cosmos,
                  2,
                  1e38,
                  1,
                  {},
                  Fault::CoordinateOverflow},
        // Just past the largest single but rounding down to it.
        MarksCase{"RoundsToLargestSingle",
                  Builtin::Oscillator,
                  2,
                  1,
                  3.4028235e38,
                  {{L, 1, 3.4028235e38f, kLightRed}},
                  Fault::None}),
    [](const auto &info) { return info.param.name; });

TEST(StartMarks, AreOneUnscaledLightRedDot)
{
    const MarkList list = startMarks(3, -1.5);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.marks[0], (Mark{Mark::Point, 3, -1.5f, kLightRed}));
    EXPECT_EQ(startMarks(1e39, 0).fault, Fault::CoordinateOverflow);
    EXPECT_EQ(startMarks(0, -1e39).count, 0);
}

TEST(EmdenFirstDot, IsTheFirstOfTheThreeAndWherePowersCannotFailTheyDoNot)
{
    const Drawing &drawing = EquationRef(Builtin::Emden)->drawing;
    for (const double x : {-3.0, 0.01, 3.14, 7.6, 1e3, 1e308})
        for (const double y : {-2.0, 1e-310, 0.25, 1.0, 1.5, 1e39})
            for (const double n : {-1.5, 0.0, 0.5, 2.0, 5.0, 300.0}) {
                const RunParameters p{.eq = Builtin::Emden, .values = {n}};
                const MarkList all = sampleMarks(p, x, y);
                const MarkPosition first = firstPosition(drawing, x, y);
                ASSERT_EQ(first.ok(), all.count >= 1) << x << " " << y << " " << n;
                if (first.ok())
                    EXPECT_EQ((Mark{Mark::Point, first.x, first.y, kLightRed}), all.marks[0]);
                else
                    EXPECT_EQ(first.fault, all.fault);
                EXPECT_EQ(laterDotsCannotFailBelowOne(p), n >= 0) << n;
                if (laterDotsCannotFailBelowOne(p) && y > 0 && y <= 1 && first.ok()) {
                    EXPECT_EQ(all.fault, Fault::None) << x << " " << y << " " << n;
                    EXPECT_EQ(all.count, 3);
                }
            }
    // Only dots have later dots.
    EXPECT_FALSE(laterDotsCannotFailBelowOne(RunParameters{.eq = Builtin::Cosmos}));
}

} // namespace
