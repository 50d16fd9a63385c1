// SPDX-License-Identifier: MIT

// The plain-C++ side of the zoomable views: their navigation within what a double holds,
// the numbers of their axes and fields, and what they keep of a run.

#include "explore/navigation.h"
#include "explore/runtrack.h"
#include "explore/ticks.h"
#include "platform/texttonumber.h"
#include "solver/builtins.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

bool finite(const WorldRect &r)
{
    return std::isfinite(r.left) && std::isfinite(r.right) && std::isfinite(r.top) &&
           std::isfinite(r.bottom) && std::isfinite(r.width()) && std::isfinite(r.height()) &&
           r.width() > 0 && r.height() > 0;
}

TEST(Navigation, ZoomsAboutAPointKeepsItsHistoryAndStaysWithinADouble)
{
    Navigation n({0, 10, 10, 0});
    n.zoomAbout(2, 3, 0.5);
    EXPECT_EQ(n.current(), (WorldRect{1, 6.5, 6, 1.5})); // (2, 3) stays where it was
    n.pan(0.1, -0.1);
    EXPECT_EQ(n.current(), (WorldRect{1.5, 6, 6.5, 1}));
    ASSERT_TRUE(n.back());
    EXPECT_EQ(n.current(), (WorldRect{1, 6.5, 6, 1.5}));
    ASSERT_TRUE(n.back());
    EXPECT_FALSE(n.back());
    ASSERT_TRUE(n.forward());
    n.show({0, 1, 1, 0}); // a new step forgets the ones ahead
    EXPECT_FALSE(n.forward());

    // A thousand notches in, at the origin and beside it, and out again: always a
    // rectangle a view can map, 1e-300 across at the origin.
    for (const double at : {0.0, 5.0, -1e200}) {
        Navigation deep({at - 1, at + 1, at + 1, at - 1});
        for (int k = 0; k < 1000; ++k)
            deep.zoomAbout(at, at, 0.5);
        EXPECT_TRUE(finite(deep.current())) << at;
        EXPECT_GE(deep.current().width(),
                  std::max(Navigation::kTinySpan, 4096 * DBL_EPSILON * std::fabs(at)));
        EXPECT_LE(deep.current().width(), std::max(1e-299, 1e-11 * std::fabs(at))) << at;
        for (int k = 0; k < 3000; ++k)
            deep.zoomAbout(at, at, 2);
        EXPECT_TRUE(finite(deep.current())) << at;
        EXPECT_GE(deep.current().left, -Navigation::kLimit);
        EXPECT_LE(deep.current().right, Navigation::kLimit);
        deep.pan(1e6, 0); // against the edge: it stops there
        EXPECT_EQ(deep.current().right, Navigation::kLimit);
    }
    // Whatever comes in, a sound rectangle goes out.
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    for (const WorldRect &r : {WorldRect{kNaN, 1, 1, 0}, WorldRect{5, 1, -5, 2},
                               WorldRect{-DBL_MAX, DBL_MAX, DBL_MAX, -DBL_MAX}})
        EXPECT_TRUE(finite(Navigation::sound(r)));
    EXPECT_EQ(Navigation::fit({2, 5, 2, 5}),
              (WorldRect{1, 7.5, 3, 2.5})); // room of half each value
}

struct TextCase
{
    double value, resolution;
    std::string label, field;
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << c.value << " by " << c.resolution;
}

class NumberTexts : public testing::TestWithParam<TextCase>
{
};

TEST_P(NumberTexts, HaveTheDigitsTheResolutionNeedsAndReadBack)
{
    const TextCase &c = GetParam();
    EXPECT_EQ(numberText(c.value, c.resolution), c.label);
    EXPECT_EQ(fieldText(c.value, c.resolution), c.field);
    // A field's text reads back within the resolution, and a pixel on differs.
    const double back = *textToNumber(c.field);
    EXPECT_LE(std::fabs(back - c.value), c.resolution);
    EXPECT_NE(fieldText(c.value + c.resolution, c.resolution), c.field);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberTexts,
    testing::Values(TextCase{-0.25, 0.055, "\u22120.25", "-0.25"},
                    TextCase{12.1875, 0.255, "12.2", "12.2"}, TextCase{3, 20, "3", "3"},
                    TextCase{1e-300, 1e-302, "1.00e-300", "1.00e-300"},
                    TextCase{5.000000000001, 1e-12, "5.000000000001e+00", "5.000000000001e+00"},
                    TextCase{-3e12, 1e9, "\u22123.000e+12", "-3.000e+12"}));

TEST(Ticks, FallAtOneTwoFiveSteps)
{
    EXPECT_EQ(tickStep(5.5, 6), 1);
    EXPECT_EQ(tickStep(23.67, 8), 5);
    EXPECT_EQ(tickStep(1e-300, 5), 2e-301);
    std::vector<std::string> labels;
    for (const Tick &t : ticks(-0.25, 5.25, 6))
        labels.push_back(t.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
    EXPECT_TRUE(ticks(-1e300, 1e300, 5).size() <= 20);
}

TEST(RunTrack, KeepsEachSlopeToHalfItsBlocksStepAndRunsABlockAgainExactly)
{
    const solver::RunParameters p{
        .eq = solver::Builtin::SineForced, .y0 = 0.01, .z0 = 16.947, .xf = 50};
    SampleStore store;
    store.startRun(p);
    struct States : solver::StateSink
    {
        SampleStore &store;
        std::vector<float> z;
        explicit States(SampleStore &s) : store(s) {}
        bool state(const solver::GridState &s) override
        {
            z.push_back(s.z);
            return store.tryAppend(s.y);
        }
    } states(store);
    solver::run(p, states);
    RunTrack track(p, 0);
    track.extend(store.snapshot(), store.size());
    track.finish();
    while (track.extendSlopes(store.snapshot(), 1000) > 0) {
    }
    ASSERT_EQ(track.slopeRows(), states.z.size());
    for (std::size_t i = 0; i < states.z.size(); ++i) {
        const auto &block =
            track.slopeBlock(std::min(i / RunTrack::kPhaseBlock, track.slopeBlocks() - 1));
        if (i / RunTrack::kPhaseBlock < track.slopeBlocks()) {
            ASSERT_LE(std::fabs(track.slope(i) - states.z[i]), block.step / 2 * 1.0001) << i;
        }
        ASSERT_EQ(track.exactSlope(i, store.snapshot()), states.z[i]) << i;
    }
    // The first level of detail: the least and greatest y of each block of 128.
    const std::vector<double> &level = track.level(0);
    ASSERT_EQ(level.size(), 2 * (store.size() / RunTrack::kLodBase));
    for (std::size_t b = 0; b < level.size() / 2; ++b) {
        double lo = store.y(b * RunTrack::kLodBase), hi = lo;
        for (std::size_t i = b * RunTrack::kLodBase; i < (b + 1) * RunTrack::kLodBase; ++i)
            lo = std::min(lo, store.y(i)), hi = std::max(hi, store.y(i));
        ASSERT_EQ(level[2 * b], lo);
        ASSERT_EQ(level[2 * b + 1], hi);
    }
    EXPECT_FALSE(track.wantsCoverage()); // too short to need a coverage map
}

} // namespace
