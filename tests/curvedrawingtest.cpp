// SPDX-License-Identifier: MIT

// The surface merges a run's segments by device column and paints them in batches. Here
// each run is painted a second time the plain way, one QPainter call per segment, and
// the two pictures must agree to within one pixel.

#include "plot/axes.h"
#include "plot/marks.h"
#include "plot/plotsurface.h"
#include "plot/rastercanvas.h"
#include "plot/vectorcanvas.h"
#include "solver/builtins.h"
#include "solver/solver.h"

#include "tests/plotpixels.h"
#include "tests/recordingsink.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QSvgGenerator>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

using namespace solver;

namespace {

using namespace plotpixels;

struct DrawCase
{
    std::string name;
    RunParameters p;
    qreal devicePixelRatio = 1.0;
};

void PrintTo(const DrawCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<Mark> runMarks(const RunParameters &p)
{
    RecordingSink sink;
    run(p, sink);
    std::vector<Mark> marks;
    const MarkList start = startMarks(p.x0, p.y0);
    marks.insert(marks.end(), start.marks.begin(), start.marks.begin() + start.count);
    for (const auto &[x, y] : sink.samples) {
        const MarkList m = sampleMarks(p, x, y);
        marks.insert(marks.end(), m.marks.begin(), m.marks.begin() + m.count);
    }
    return marks;
}

// One painter call per mark, on the device pixel each end falls in, with the painter's
// own clipping.
QImage perSegment(const PlotSurface &mapping, QSize size, const std::vector<Mark> &marks)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    auto centre = [&](float x, float y) {
        const QPointF d = mapping.toDevice(x, y);
        return QPointF(std::floor(d.x()), std::floor(d.y()));
    };
    QPointF current = centre(0, 0);
    for (const Mark &m : marks) {
        QPen pen(QColor::fromRgb(paletteRgb(m.colour)), 1.0, Qt::SolidLine, Qt::SquareCap);
        pen.setCosmetic(true);
        painter.setPen(pen);
        const QPointF next = centre(m.x, m.y);
        if (m.kind == Mark::Point)
            painter.drawPoint(next);
        else
            painter.drawLine(QLineF(current, next));
        current = next;
    }
    return image;
}

// Every pixel set in `a` has a pixel of the same colour in `b` at most one pixel away.
int pixelsWithoutNeighbour(const QImage &a, const QImage &b)
{
    int missing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb c = a.pixel(x, y);
            if (c == kBackground)
                continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == c;
            missing += !found;
        }
    return missing;
}

int setPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != kBackground;
    return count;
}

class CurveDrawing : public testing::TestWithParam<DrawCase>
{
};

TEST_P(CurveDrawing, MatchesPaintingEverySegmentToWithinOnePixel)
{
    const DrawCase &c = GetParam();
    PlotSurface surface(kSize, c.devicePixelRatio);
    surface.setScale(-5, 15, 15, -5);
    const std::vector<Mark> marks = runMarks(c.p);
    ASSERT_GT(marks.size(), 100u);
    for (const Mark &m : marks) {
        MarkList one;
        one.marks[0] = m;
        one.count = 1;
        surface.draw(one);
    }
    const QImage merged = surface.image();
    const QImage reference = perSegment(surface, merged.size(), marks);

    ASSERT_GT(setPixels(reference), 50);
    EXPECT_EQ(pixelsWithoutNeighbour(merged, reference), 0);
    EXPECT_EQ(pixelsWithoutNeighbour(reference, merged), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CurveDrawing,
    testing::Values(
        // a steep straight line that leaves through the top edge
        DrawCase{"UnsetDefaults",
                 RunParameters{.eq = Builtin::None, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5}},
        // oscillating around the x axis for a long while, thousands of samples per column
        DrawCase{
            "SineForcedLong",
            RunParameters{.eq = Builtin::SineForced, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 400}},
        DrawCase{"OscillatorFast",
                 RunParameters{.eq = Builtin::Oscillator, .x0 = -5, .y0 = 3, .z0 = 40, .xf = 15}},
        // steep relaxation oscillations, clipped at top and bottom
        DrawCase{"VanDerPol",
                 RunParameters{.eq = Builtin::VanDerPol, .x0 = -4, .y0 = 2, .z0 = 0, .xf = 14}},
        DrawCase{"Damped",
                 RunParameters{.eq = Builtin::Damped, .x0 = -1, .y0 = 10, .z0 = 16.947, .xf = 10}},
        // stretched fourfold: everything past x = 3.75 lies beyond the right edge
        DrawCase{"CosmosClipped",
                 RunParameters{
                     .eq = Builtin::Cosmos, .x0 = 0, .y0 = 0.5, .z0 = 1, .xf = 5, .values = {1}}},
        DrawCase{
            "SineForcedHighDensity",
            RunParameters{.eq = Builtin::SineForced, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 50},
            2.0},
        DrawCase{
            "EmdenDots",
            RunParameters{
                .eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {1.5}}}),
    [](const testing::TestParamInfo<DrawCase> &info) { return info.param.name; });

TEST(CurveDrawing, DotsInAlternatingColoursKeepTheirOrder)
{
    // Where the three Emden families cross, the last dot painted on a pixel shows, as if
    // each dot were painted at once: the picture equals per-dot painting exactly.
    PlotSurface surface(kSize);
    surface.setScale(-5, 15, 15, -5);
    const std::vector<Mark> marks = runMarks(
        RunParameters{.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {2}});
    for (const Mark &m : marks) {
        MarkList one;
        one.marks[0] = m;
        one.count = 1;
        surface.draw(one);
    }
    EXPECT_TRUE(surface.image() == perSegment(surface, QSize(kSize, kSize), marks));
}

TEST(CurveDrawing, ShowsTheSpanUnderWayAndGoesOnExtendingIt)
{
    // Taking the image in the middle of a column paints the span so far; the polyline
    // then carries on in the same column.
    PlotSurface surface(kSize);
    surface.setScale(-5, 15, 15, -5);
    surface.point(0, 0, 12);
    surface.lineTo(0.01f, 1, 12); // column 112, rows 314 .. 336
    EXPECT_EQ(surface.image().pixel(kAxisColumn, 320), kRed);
    EXPECT_EQ(surface.image().pixel(kAxisColumn, 300), kBackground);
    surface.lineTo(0.02f, 2, 12); // rows 291 .. 314, same column
    const QImage &image = surface.image();
    for (int y = 292; y <= 336; ++y)
        ASSERT_EQ(image.pixel(kAxisColumn, y), kRed) << y;
    EXPECT_EQ(image.pixel(kAxisColumn, 289), kBackground);
}

// ---- Line styles -------------------------------------------------------------------------

struct StyleCase
{
    std::string name;
    bool vector; // the vector canvas, painted on an image; else the main plot's raster one
    bool asked;  // whether the canvas is told a style at all, as the main plot never does
    LineStyle style;
    bool bold;
    int least, most; // pixels set along row 10, columns 10 to 89
    bool gaps;       // some of them left out
    int below;       // pixels set along row 11, beside the line's end too when bold
    // The vector canvas's strokes as SVG says them: attributes it has, and after a '!' those
    // it has not, each a word.
    const char *svg = "";
};

void PrintTo(const StyleCase &c, std::ostream *os)
{
    *os << c.name;
}

class CanvasLineStyles : public testing::TestWithParam<StyleCase>
{
};

TEST_P(CanvasLineStyles, TheMainPlotsCanvasDrawsEveryLineSolidTheVectorOneInItsStyle)
{
    const StyleCase &c = GetParam();
    const PixelLine line[] = {{{10, 10}, {89, 10}}};
    QImage image(100, 30, QImage::Format_RGB32);
    image.fill(kBackground);
    const auto paintVector = [&](QPaintDevice &device) {
        QPainter painter(&device);
        VectorCanvas canvas(painter, 100, 30);
        if (c.asked)
            canvas.setLineStyle(c.style), canvas.setBold(c.bold);
        canvas.drawLines(kRed, line);
    };
    if (c.vector) {
        paintVector(image);
    } else {
        RasterCanvas canvas(QSize(100, 30));
        canvas.fill(kBackground);
        if (c.asked)
            canvas.setLineStyle(c.style), canvas.setBold(c.bold);
        canvas.drawLines(kRed, line);
        image = canvas.image().convertToFormat(QImage::Format_RGB32);
    }
    int along = 0, longestGap = 0, gap = 0;
    for (int x = 10; x < 90; ++x) {
        const bool set = image.pixel(x, 10) == kRed;
        along += set;
        gap = set ? 0 : gap + 1;
        longestGap = std::max(longestGap, gap);
    }
    EXPECT_GE(along, c.least);
    EXPECT_LE(along, c.most);
    EXPECT_EQ(longestGap > 0, c.gaps) << longestGap;
    const auto row = [&](int y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == kRed;
        return n;
    };
    EXPECT_EQ(row(11), c.below);
    EXPECT_EQ(setPixels(image), row(10) + row(11)); // nowhere else
    if (!c.vector)
        return;
    // The same as SVG: the pen's pattern and width.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(100, 30));
    paintVector(generator);
    const QByteArray svg = buffer.data();
    ASSERT_TRUE(svg.contains("stroke=\"#ff0000\""));
    for (const QByteArray &word : QByteArray(c.svg).split(' ')) {
        if (!word.isEmpty()) {
            const bool has = !word.startsWith('!');
            EXPECT_EQ(svg.contains(word.mid(has ? 0 : 1)), has) << word.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Canvases, CanvasLineStyles,
    testing::Values(
        StyleCase{"MainPlot", false, false, LineStyle::Solid, false, 80, 80, false, 0},
        StyleCase{"MainPlotAskedForDashes", false, true, LineStyle::Dashed, false, 80, 80, false,
                  0},
        StyleCase{"MainPlotAskedForBoldDots", false, true, LineStyle::Dotted, true, 80, 80, false,
                  0},
        StyleCase{"VectorNeverAsked", true, false, LineStyle::Solid, false, 80, 80, false, 0,
                  "stroke-width=\"1\" !stroke-dasharray !stroke-width=\"2\""},
        StyleCase{"VectorSolid", true, true, LineStyle::Solid, false, 80, 80, false, 0,
                  "stroke-width=\"1\" !stroke-dasharray"},
        // Four cells on, four off, the dashes' ends flat.
        StyleCase{"VectorDashed", true, true, LineStyle::Dashed, false, 38, 42, true, 0,
                  "stroke-dasharray=\"4,4\" stroke-linecap=\"butt\""},
        // One cell on, two off.
        StyleCase{"VectorDotted", true, true, LineStyle::Dotted, false, 24, 30, true, 0,
                  "stroke-dasharray=\"1,2\" stroke-linecap=\"butt\""},
        // Two cells wide, over the row below too; the pattern in cells whatever the width.
        StyleCase{"VectorBold", true, true, LineStyle::Solid, true, 80, 80, false, 81,
                  "stroke-width=\"2\" !stroke-dasharray"},
        StyleCase{"VectorBoldDashed", true, true, LineStyle::Dashed, true, 38, 42, true, 40,
                  "stroke-width=\"2\" stroke-dasharray=\"4,4\""}),
    [](const testing::TestParamInfo<StyleCase> &info) { return info.param.name; });

} // namespace
