// SPDX-License-Identifier: MIT

// What reaches the painter of a curve, checked without one: the world window's mapping,
// the clipping of a segment to the pixels near a device, and the merging of a polyline by
// device columns.

#include "plot/columnbatcher.h"
#include "plot/worldwindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
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
