// SPDX-License-Identifier: MIT

#include "plot/plotsurface.h"
#include "plot/axes.h"
#include "plot/marks.h"
#include "solver/builtins.h"

#include "tests/plotpixels.h"

#include <gtest/gtest.h>

#include <QImage>

#include <ostream>

namespace {

using namespace plotpixels;

QRgb pixel(PlotSurface &s, int x, int y)
{
    return s.image().pixel(x, y);
}

class Surface : public testing::Test
{
protected:
    Surface() { s.setScale(-5, 15, 15, -5); }
    PlotSurface s{kSize};
};

struct MapCase
{
    float x, y;
    int px, py;
};

void PrintTo(const MapCase &c, std::ostream *os)
{
    *os << "(" << c.x << ", " << c.y << ")";
}

class WorldToDevice : public testing::TestWithParam<MapCase>
{
};

TEST_P(WorldToDevice, PutsADotOnTheMappedPixel)
{
    PlotSurface s(kSize);
    s.setScale(-5, 15, 15, -5);
    const MapCase &c = GetParam();
    s.point(c.x, c.y, 0);
    EXPECT_EQ(pixel(s, c.px, c.py), kBlackRgb);
    // and on no other pixel
    const QImage &image = s.image();
    int dark = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            dark += image.pixel(x, y) != kBackground;
    EXPECT_EQ(dark, 1);
}

INSTANTIATE_TEST_SUITE_P(Points, WorldToDevice,
                         testing::Values(MapCase{0, 0, kAxisColumn, kAxisRow},
                                         MapCase{-5, 15, 0, 0}, MapCase{14.99f, -4.99f, 448, 448},
                                         MapCase{1, 14, 134, 22}, MapCase{-4.5f, 0.01f, 11, 336}));

TEST_F(Surface, ClipsWhatLiesOutsideTheWorldWindow)
{
    s.point(15.5f, 0, 0);
    s.point(15, -5, 0); // the far corner maps just past the last pixel
    s.point(0, -5.01f, 0);
    s.point(3e38f, -3e38f, 0);
    const QImage &image = s.image();
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            ASSERT_EQ(image.pixel(x, y), kBackground) << x << "," << y;
    EXPECT_EQ(s.currentPoint(), QPointF(3e38f, -3e38f));
}

TEST_F(Surface, ClipsLinesToTheWindowWhateverTheirLength)
{
    s.line(-10, 5, 20, 5, 12); // crosses the whole window at row 224
    for (int x = 0; x < kSize; ++x)
        ASSERT_EQ(pixel(s, x, 224), kRed) << x;
    EXPECT_EQ(pixel(s, 10, 223), kBackground);
    EXPECT_EQ(pixel(s, 10, 225), kBackground);

    // From the origin towards a point at the end of single range: the visible part is
    // the diagonal up and to the right.
    s.point(0, 0, 12);
    s.lineTo(3.4e38f, 3.4e38f, 2);
    EXPECT_EQ(pixel(s, kAxisColumn + 100, kAxisRow - 100), kGreenRgb);
    EXPECT_EQ(s.currentPoint(), QPointF(3.4e38f, 3.4e38f));
    s.line(-1e30f, -1e30f, -2e30f, 1e30f, 0); // wholly outside
}

TEST_F(Surface, LineToStartsAtTheCurrentPoint)
{
    s.point(1, 1, 12);
    s.lineTo(3, 1, 12);
    // row floor(14 * 22.45) = 314, columns 134 .. 179
    for (int x = 134; x <= 179; ++x)
        EXPECT_EQ(pixel(s, x, 314), kRed) << x;
    EXPECT_EQ(pixel(s, 133, 314), kBackground);
    EXPECT_EQ(pixel(s, 180, 314), kBackground);
    EXPECT_EQ(s.currentPoint(), QPointF(3, 1));
}

TEST_F(Surface, ClearFillsTheBackgroundAndResetsTheCurrentPoint)
{
    s.line(1, 1, 5, 5, 12);
    s.clear();
    EXPECT_EQ(s.currentPoint(), QPointF(0, 0));
    EXPECT_EQ(pixel(s, 160, 270), kBackground);
    s.lineTo(1, 0, 12);
    EXPECT_EQ(pixel(s, kAxisColumn + 10, kAxisRow), kRed);
}

TEST_F(Surface, DrawsTheValidMarksOfAList)
{
    // An Emden sample at y < 0 with a fractional index: only the light-red dot.
    const MarkList marks = sampleMarks({.eq = solver::Builtin::Emden, .values = {2.5}}, 0.5, -1);
    ASSERT_EQ(marks.count, 1);
    s.draw(marks);
    EXPECT_EQ(pixel(s, 134, 381), kRed); // (1, -2)
    EXPECT_EQ(s.currentPoint(), QPointF(1, -2));

    // Emden at n = 2, y = 1.5, x = 0.5: (1, 3) red, (1, 4.5) black, (1, 6.75) green.
    s.draw(sampleMarks({.eq = solver::Builtin::Emden, .values = {2}}, 0.5, 1.5));
    EXPECT_EQ(pixel(s, 134, 269), kRed);
    EXPECT_EQ(pixel(s, 134, 235), kBlackRgb);
    EXPECT_EQ(pixel(s, 134, 185), kGreenRgb);
}

TEST(Axes, StartupAxesAreMagentaAndBlueWithNineteenTickPairs)
{
    PlotSurface s(kSize);
    drawStartupAxes(s);
    const QImage &image = s.image();
    for (const int x : {0, 50, 109, 115, 200, 448})
        EXPECT_EQ(image.pixel(x, kAxisRow), kMagentaRgb) << x;
    // The tick at 0 on the y axis crosses the origin in blue.
    for (int x = 110; x <= 114; ++x)
        EXPECT_EQ(image.pixel(x, kAxisRow), kBlue) << x;
    // The y axis runs over the whole height, past the bottom edge.
    for (int y = 0; y < kSize; ++y)
        ASSERT_EQ(image.pixel(kAxisColumn, y), kBlue) << y;

    // Ticks on the x axis at columns floor((i + 5) * 22.45), rows 334 .. 338.
    int ticks = 0;
    for (int x = 0; x < kSize; ++x)
        ticks += image.pixel(x, kAxisRow - 2) == kBlue;
    EXPECT_EQ(ticks, 19);
    EXPECT_EQ(image.pixel(134, 334), kBlue);
    EXPECT_EQ(image.pixel(134, 338), kBlue);
    EXPECT_EQ(image.pixel(134, 339), kBackground);
    // none at -5 or 15
    EXPECT_EQ(image.pixel(0, 334), kBackground);
    // Ticks on the y axis, columns 110 .. 114 at rows floor((15 - i) * 22.45).
    ticks = 0;
    for (int y = 0; y < kSize; ++y)
        ticks += image.pixel(kAxisColumn - 2, y) == kBlue;
    EXPECT_EQ(ticks, 19);
    EXPECT_EQ(image.pixel(110, 22), kBlue); // i = 14
    EXPECT_EQ(image.pixel(114, 22), kBlue);
    EXPECT_EQ(image.pixel(109, 22), kBackground);
    EXPECT_EQ(image.pixel(115, 22), kBackground);
}

TEST(Axes, ResetAxesClearAndRedrawBothAxesInBlue)
{
    PlotSurface s(kSize);
    drawStartupAxes(s);
    s.line(1, 1, 5, 5, 12);
    drawResetAxes(s);
    const QImage &image = s.image();
    for (const int x : {0, 200, 448})
        EXPECT_EQ(image.pixel(x, kAxisRow), kBlue) << x;
    EXPECT_EQ(image.pixel(kAxisColumn, 448), kBlue);
    EXPECT_EQ(image.pixel(160, 270), kBackground);
    // The last tick drawn is the y-axis tick at 14.
    EXPECT_EQ(s.currentPoint(), QPointF(0.1f, 14));
}

TEST(Axes, HighDensityScreensGetOneDevicePixelThinLines)
{
    PlotSurface s(kSize, 2.0);
    drawStartupAxes(s);
    const QImage &image = s.image();
    ASSERT_EQ(image.size(), QSize(898, 898));
    // The x axis: row floor(15 * 44.9) = 673 only.
    EXPECT_EQ(image.pixel(600, 673), kMagentaRgb);
    EXPECT_EQ(image.pixel(600, 672), kBackground);
    EXPECT_EQ(image.pixel(600, 674), kBackground);
    EXPECT_EQ(image.pixel(224, 10), kBlue);
    EXPECT_EQ(image.pixel(223, 10), kBackground);
    EXPECT_EQ(image.pixel(225, 10), kBackground);
}

} // namespace
