// SPDX-License-Identifier: MIT

// What reaches the painter of a curve, checked without one: the world window's mapping,
// the clipping of a segment to the pixels near a device, the merging of a polyline by
// device columns, and the probe's search and placement.

#include "plot/columnbatcher.h"
#include "plot/probesearch.h"
#include "plot/worldwindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(WorldWindow, MapsTheMainPlotsCornersAndBack)
{
    const WorldWindow w(kPlotWorld, 449, 449);
    EXPECT_EQ(w.toDevice(-5, 15), (DevicePoint{0, 0}));
    EXPECT_EQ(w.toDevice(15, -5), (DevicePoint{449, 449}));
    EXPECT_EQ(w.toDevice(0, 0), (DevicePoint{112.25, 336.75}));
    EXPECT_EQ(w.toWorld(112.25, 336.75), (WorldPoint{0, 0}));
    // A window 1e-300 across keeps its arithmetic finite.
    const WorldWindow deep({-5e-301, 5e-301, 5e-301, -5e-301}, 1000, 1000);
    EXPECT_EQ(deep.toDevice(0, 0), (DevicePoint{500, 500}));
    EXPECT_DOUBLE_EQ(deep.worldX(750), 2.5e-301);
}

TEST(WorldScale, MapsAsTheWorldWindowDoesWithinARoundingAndBack)
{
    for (const WorldRect &world : {kPlotWorld, WorldRect{-1e-300, 3e-300, 2e-300, -1e-300},
                                   WorldRect{1e8, 1e8 + 3, 1e8 + 7, 1e8 - 1}}) {
        const WorldWindow w(world, 1000, 600);
        const WorldScale m(w);
        for (const double f : {0.0, 0.125, 0.5, 0.9375, 1.0}) {
            const double x = world.left + f * world.width(), y = world.bottom + f * world.height();
            EXPECT_NEAR(m.dx(x), w.deviceX(x), 1e-9) << f;
            EXPECT_NEAR(m.dy(y), w.deviceY(y), 1e-9) << f;
            EXPECT_NEAR(m.wx(m.dx(x)), x, 1e-12 * std::max(1.0, std::fabs(x))) << f;
        }
    }
    // Far beyond the window, an infinity at worst, never a NaN.
    const WorldScale m(WorldWindow({-1e300, 1e300, 1e300, -1e300}, 1000, 1000));
    EXPECT_FALSE(std::isnan(m.dx(1.7e308)));
    EXPECT_FALSE(std::isnan(m.dy(-1.7e308)));
}

// ---- The probe ---------------------------------------------------------------------------

struct ProbeCase
{
    std::string name;
    NearestSample::Points points;
    double px, py; // the pointer, in device pixels of a 100 x 100 device over [0, 10]^2
    std::vector<std::tuple<int, int, double, double>> candidates; // row, mark, world x, y
    int row;                                                      // found; -1 none
    int mark;
};

void PrintTo(const ProbeCase &c, std::ostream *os)
{
    *os << c.name;
}

class Probe : public testing::TestWithParam<ProbeCase>
{
};

TEST_P(Probe, FindsTheNearestListedPointWithinReach)
{
    const ProbeCase &c = GetParam();
    NearestSample search(WorldWindow({0, 10, 10, 0}, 100, 100), c.px, c.py, c.points);
    for (const auto &[row, mark, x, y] : c.candidates)
        search.consider(row, mark, x, y);
    if (c.row < 0) {
        EXPECT_FALSE(search.best());
        return;
    }
    ASSERT_TRUE(search.best());
    EXPECT_EQ(search.best()->row, c.row);
    EXPECT_EQ(search.best()->mark, c.mark);
}

using P = NearestSample::Points;
INSTANTIATE_TEST_SUITE_P(
    Cases, Probe,
    testing::Values(
        // (5, 5) is device (50, 50): a mark there sets pixel (50, 50), centred at 50.5.
        ProbeCase{"NearestWins", P::Curve, 50, 50, {{3, 0, 5.3, 5}, {7, 0, 5.1, 5}}, 7, 0},
        ProbeCase{
            "TieGoesToTheFirstListed", P::Curve, 50, 50, {{9, 0, 5.2, 5}, {4, 1, 4.8, 5}}, 4, 1},
        ProbeCase{"BeyondReach", P::Curve, 50, 50, {{1, 0, 6.1, 5}}, -1, 0},
        ProbeCase{"JustWithinReach", P::Curve, 50, 50, {{1, 0, 6.0, 5}}, 1, 0},
        // A mark is its pixel: (5.04, 5) and (5.06, 5) both set pixel 50, a tie.
        ProbeCase{"MarksInOnePixelTie",
                  P::Marks,
                  50.5,
                  50.5,
                  {{8, 2, 5.06, 5.0}, {6, 0, 5.04, 4.96}},
                  6,
                  0},
        // A mark beyond the device is not drawn, so not found, however near.
        ProbeCase{"MarkOffTheDevice", P::Marks, 0.5, 50.5, {{2, 0, -0.05, 5}}, -1, 0},
        ProbeCase{"CurvePointOffTheDevice", P::Curve, 0.5, 50, {{2, 0, -0.05, 5}}, 2, 0}),
    [](const auto &info) { return info.param.name; });

TEST(Probe, SaysWhereToLookForCandidates)
{
    NearestSample search(WorldWindow({0, 10, 10, 0}, 100, 100), 50, 20, P::Curve);
    // Eleven pixels of 0.1 either way: the reach and one to spare.
    EXPECT_DOUBLE_EQ(search.fromX(), 3.9);
    EXPECT_DOUBLE_EQ(search.toX(), 6.1);
    EXPECT_DOUBLE_EQ(search.fromY(), 6.9);
    EXPECT_DOUBLE_EQ(search.toY(), 9.1);
}

struct PlacementCase
{
    std::string name;
    double x, y;
    double px, py;
    bool inside;
};

void PrintTo(const PlacementCase &c, std::ostream *os)
{
    *os << c.name;
}

class Placing : public testing::TestWithParam<PlacementCase>
{
};

TEST_P(Placing, PutsAPointOnItsPixelOrOnTheNearestEdge)
{
    const PlacementCase &c = GetParam();
    const Placement at = placeOnDevice(WorldWindow({0, 10, 10, 0}, 100, 100), c.x, c.y);
    EXPECT_EQ(at.x, c.px);
    EXPECT_EQ(at.y, c.py);
    EXPECT_EQ(at.inside, c.inside);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placing,
    testing::Values(PlacementCase{"Inside", 2.55, 7.01, 25, 29, true},
                    PlacementCase{"OnTheTopLeftCorner", 0, 10, 0, 0, true},
                    // The far edges belong to the next pixel, which is off the device.
                    PlacementCase{"OnTheFarEdge", 10, 0, 99, 99, false},
                    PlacementCase{"LeftOfIt", -3, 5, 0, 50, false},
                    PlacementCase{"BelowIt", 5, -1, 50, 99, false},
                    // Further away than an int counts pixels, still on the edge.
                    PlacementCase{"FarBeyondAnInt", 1e300, -1e300, 99, 99, false},
                    PlacementCase{"FarBeforeIt", -1e300, 1e300, 0, 0, false}),
    [](const auto &info) { return info.param.name; });

struct SegmentCase
{
    std::string name;
    double ax, ay, bx, by;
    bool drawn;
    PixelLine pixels;
};

void PrintTo(const SegmentCase &c, std::ostream *os)
{
    *os << c.name;
}

class SegmentPixels : public testing::TestWithParam<SegmentCase>
{
};

TEST_P(SegmentPixels, AreTheFlooredEndsClippedNearTheDevice)
{
    const SegmentCase &c = GetParam();
    PixelLine out{};
    ASSERT_EQ(segmentPixels(c.ax, c.ay, c.bx, c.by, 100, 100, out), c.drawn);
    if (c.drawn) {
        EXPECT_EQ(out, c.pixels);
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Segments, SegmentPixels,
    testing::Values(SegmentCase{"Inside", 10.5, 20.9, 30.2, 40.0, true, {{10, 20}, {30, 40}}},
                    SegmentCase{"WhollyLeft", -50, 0, -3, 99, false, {}},
                    SegmentCase{"CutAtTheBox", -98, 50, 50, 50, true, {{-2, 50}, {50, 50}}},
                    SegmentCase{
                        "AcrossFromFarAway", -1e300, 50, 1e300, 50, true, {{-2, 50}, {102, 50}}},
                    SegmentCase{"BeyondWhatADifferenceHolds", -1.7e308, 0, 1.7e308, 100, false, {}},
                    SegmentCase{"NaN", kNaN, 10, 20, 30, false, {}}),
    [](const auto &info) { return info.param.name; });

struct Batch
{
    std::uint32_t colour;
    std::vector<PixelLine> lines;
    bool operator==(const Batch &) const = default;
};

TEST(ColumnBatcher, MergesAPolylineByColumnsAndFlushesAtAColourChange)
{
    std::vector<Batch> batches;
    ColumnBatcher b([&](std::uint32_t colour, std::span<const PixelLine> lines) {
        batches.push_back({colour, {lines.begin(), lines.end()}});
    });
    // Up and down in column 10: one span over all the rows it covered.
    b.add({{10, 5}, {10, 8}}, 1);
    b.add({{10, 8}, {10, 3}}, 1);
    b.add({{10, 3}, {10, 4}}, 1);
    // Into column 12: the segment itself, then a span there that grows.
    b.add({{10, 4}, {12, 7}}, 1);
    b.add({{12, 7}, {12, 9}}, 1);
    // Another colour: what came before is handed out first.
    b.add({{12, 9}, {12, 9}}, 2);
    b.close();
    b.flush();
    const std::vector<Batch> expected = {
        {1, {{{10, 3}, {10, 8}}, {{10, 4}, {12, 7}}, {{12, 7}, {12, 9}}}},
        {2, {{{12, 9}, {12, 9}}}},
    };
    EXPECT_EQ(batches, expected);
}

} // namespace
