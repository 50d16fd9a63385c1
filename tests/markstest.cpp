// SPDX-License-Identifier: MIT

#include "plot/marks.h"
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
    Equation eq;
    double n, x, y;
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
    const MarkList list = sampleMarks(c.eq, c.n, c.x, c.y);
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
            "Unset", Equation::Unset, 2, 1.5, -0.25, {{L, 1.5f, -0.25f, kLightRed}}, Fault::None},
        MarksCase{"Oscillator",
                  Equation::Oscillator,
                  2,
                  0.01,
                  0.1,
                  {{L, 0.01f, 0.1f, kLightRed}},
                  Fault::None},
        MarksCase{"VanDerPol", Equation::VanDerPol, 2, 3, 2, {{L, 3, 2, kLightRed}}, Fault::None},
        MarksCase{"EmdenSquareAndCube",
                  Equation::Emden,
                  2,
                  0.5,
                  1.5,
                  {{P, 1, 3, kLightRed}, {P, 1, 4.5f, kBlack}, {P, 1, 6.75f, kGreen}},
                  Fault::None},
        MarksCase{"EmdenAtOne",
                  Equation::Emden,
                  2,
                  0.01,
                  1,
                  {{P, 0.02f, 2, kLightRed}, {P, 0.02f, 2, kBlack}, {P, 0.02f, 2, kGreen}},
                  Fault::None},
        MarksCase{"Cosmos", Equation::Cosmos, 2, 1.25, 0.5, {{L, 5, 0.5f, kLightRed}}, Fault::None},
        MarksCase{"OutsideCatalogue", static_cast<Equation>(7), 2, 1, 1, {}, Fault::None},
        // A negative start with a fractional index: the light-red dot stands, the rest
        // has no value.
        MarksCase{"EmdenNegativeFractional",
                  Equation::Emden,
                  2.5,
                  0.5,
                  -1,
                  {{P, 1, -2, kLightRed}},
                  Fault::PowerUndefined},
        MarksCase{"EmdenZeroNegativeIndex",
                  Equation::Emden,
                  -1,
                  1,
                  0,
                  {{P, 2, 0, kLightRed}},
                  Fault::PowerOfZero},
        MarksCase{"EmdenPowerBeyondSingle",
                  Equation::Emden,
                  2,
                  1,
                  1e20,
                  {{P, 2, 2e20f, kLightRed}},
                  Fault::CoordinateOverflow},
        MarksCase{"EmdenPowerBeyondDouble",
                  Equation::Emden,
                  20,
                  1,
                  1e20,
                  {{P, 2, 2e20f, kLightRed}},
                  Fault::Overflow},
        MarksCase{
            "LineBeyondSingle", Equation::SineForced, 2, 1, 1e39, {}, Fault::CoordinateOverflow},
        MarksCase{"CosmosStretchBeyondSingle",
                  Equation::Cosmos,
                  2,
                  1e38,
                  1,
                  {},
                  Fault::CoordinateOverflow},
        // Just past the largest single but rounding down to it.
        MarksCase{"RoundsToLargestSingle",
                  Equation::Oscillator,
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
    for (const double x : {-3.0, 0.01, 3.14, 7.6, 1e3, 1e308})
        for (const double y : {-2.0, 1e-310, 0.25, 1.0, 1.5, 1e39})
            for (const double n : {-1.5, 0.0, 0.5, 2.0, 5.0, 300.0}) {
                const MarkList all = sampleMarks(Equation::Emden, n, x, y);
                const MarkList first = emdenFirstDot(x, y);
                ASSERT_EQ(first.count, std::min(all.count, 1)) << x << " " << y << " " << n;
                if (first.count == 1)
                    EXPECT_EQ(first.marks[0], all.marks[0]);
                else
                    EXPECT_EQ(first.fault, all.fault);
                if (emdenPowersCannotFail(n, y) && first.ok()) {
                    EXPECT_EQ(all.fault, Fault::None) << x << " " << y << " " << n;
                    EXPECT_EQ(all.count, 3);
                }
            }
}

} // namespace
