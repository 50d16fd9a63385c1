// SPDX-License-Identifier: MIT

// The plain-C++ side of the zoomable views: their navigation within what a double holds,
// the numbers of their axes and fields, what they keep of a run, and what they draw.

#include "explore/navigation.h"
#include "explore/backwardtrack.h"
#include "explore/fieldarrows.h"
#include "explore/liverun.h"
#include "explore/phasecurve.h"
#include "explore/runlegend.h"
#include "explore/runtrack.h"
#include "explore/ticks.h"
#include "explore/tracks.h"
#include "explore/viewdrawing.h"
#include "explore/viewstyle.h"
#include "platform/texttonumber.h"
#include "solver/builtins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

// A log axis is numbered at whole decades, then zoomed in at 1, 2 and 5 times a decade,
// every digit, and within a digit at 1-2-5 steps of the values: never "6.31e−12".
TEST(Ticks, OfALogAxisFallOnDecadesOrOneTwoFiveStepsOfThem)
{
    const struct
    {
        double lo, hi;
        int most;
        std::vector<std::string> labels;
    } cases[] = {
        {-14, -5, 6, {"1e\u221214", "1e\u221212", "1e\u221210", "1e\u22128", "1e\u22126"}},
        {-9.5, -6.2, 6, {"1e\u22129", "1e\u22128", "1e\u22127"}},
        {-12.2, -11.1, 6, {"1e\u221212", "2e\u221212", "5e\u221212"}},
        {-11.5, -11.3, 6, {"4e\u221212", "5e\u221212"}},
        {-11.45,
         -11.42,
         6,
         {"3.55e\u221212", "3.60e\u221212", "3.65e\u221212", "3.70e\u221212", "3.75e\u221212",
          "3.80e\u221212"}},
        {0.2, 2.9, 6, {"1e1", "1e2"}},
        {2.1, 2.9, 6, {"2e2", "5e2"}},
        {2.1, 2.9, 1, {}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> labels;
        for (const Tick &t : logTicks(c.lo, c.hi, c.most)) {
            labels.push_back(t.label);
            EXPECT_GE(t.value, c.lo);
            EXPECT_LE(t.value, c.hi);
        }
        EXPECT_EQ(labels, c.labels) << c.lo << " " << c.hi;
    }
    // Anywhere a zoom goes, beyond the doubles' decades too: a few ticks, each within.
    for (const auto &[lo, hi] :
         std::vector<std::pair<double, double>>{{-1e300, 1e300},
                                                {-330, -325},
                                                {-400, -399.5},
                                                {-323.9, -323.8},
                                                {3e9, 3e9 + 0.5},
                                                {9007199254740992.0, 9007199254741000.0},
                                                {-1e7, -1e7 + 1e-6},
                                                {307.9, 308.2}}) {
        const std::vector<Tick> t = logTicks(lo, hi, 5);
        EXPECT_LE(t.size(), 20u) << lo;
        for (const Tick &tick : t) {
            EXPECT_GE(tick.value, lo);
            EXPECT_LE(tick.value, hi);
            EXPECT_FALSE(tick.label.empty());
        }
    }
    EXPECT_TRUE(logTicks(1, 1, 5).empty());
}

TEST(Ticks, AreFoundOncePerViewForItsGridAndNumbers)
{
    // About one every 80 pixels across and 50 up; the error's ordinate in powers of ten.
    const ViewTicks t = viewTicks(ViewKind::Solution, {0, 10, 10, -10}, 400, 250);
    ASSERT_EQ(t.across.size(), 6u); // 0, 2, ..., 10
    EXPECT_EQ(t.across[1].label, "2");
    ASSERT_EQ(t.up.size(), 5u); // -10, -5, ..., 10
    EXPECT_EQ(t.up.front().label, "\u221210");
    const ViewTicks e = viewTicks(ViewKind::Error, {0, -2, 1, -8}, 400, 300);
    ASSERT_FALSE(e.up.empty());
    for (const Tick &tick : e.up)
        EXPECT_EQ(tick.label, powerText(tick.value));
    EXPECT_EQ(e.up.front().label, "1e\u22128");
    // A narrow view still numbers its ends.
    EXPECT_EQ(viewTicks(ViewKind::Phase, {-1, 1, 1, -1}, 40, 40).across.size(), 3u);
}

// ---- What a view draws -------------------------------------------------------------------

// The pixels of a small view, white to begin with.
struct Pixels
{
    Pixels(int w, int h) : bits(static_cast<std::size_t>(w * h), viewstyle::kBackground)
    {
        buffer = {bits.data(), w, h, static_cast<std::size_t>(w)};
    }
    int count(std::uint32_t colour) const
    {
        return static_cast<int>(std::count(bits.begin(), bits.end(), colour));
    }
    std::vector<std::uint32_t> bits;
    PixelBuffer buffer;
};

ViewRequest request(ViewKind kind, const WorldRect &world, int w, int h)
{
    ViewRequest r;
    r.kind = kind;
    r.world = world;
    r.width = w, r.height = h;
    r.ticks = viewTicks(kind, world, w, h);
    return r;
}

TEST(ViewDrawing, TheGridLiesOnTheTicksAndTheAxesOnZero)
{
    Pixels p(200, 100);
    PixelCanvas canvas(p.buffer);
    // x from -1 to 9: ticks at 0, 5 (two across 200 pixels), y from -2 to 2: at -2, 0, 2.
    const ViewRequest r = request(ViewKind::Solution, {-1, 2, 9, -2}, 200, 100);
    drawGrid(canvas, r);
    const auto column = [&](int x) {
        int n = 0;
        for (int y = 0; y < 100; ++y)
            n += p.buffer.at(x, y) != viewstyle::kBackground;
        return n;
    };
    EXPECT_EQ(column(20), 100); // x = 0, the zero axis
    EXPECT_EQ(p.buffer.at(20, 10), viewstyle::kZeroAxis);
    EXPECT_EQ(column(120), 100); // x = 5
    EXPECT_EQ(p.buffer.at(120, 10), viewstyle::kGrid);
    EXPECT_EQ(p.buffer.at(21, 10), viewstyle::kBackground);
    EXPECT_EQ(p.buffer.at(120, 50), viewstyle::kZeroAxis); // y = 0 crosses it
    // Whole columns and rows, nothing else: two columns, and the rows of y = 2 (the top
    // one) and y = 0; y = -2 is the far edge, off the canvas.
    EXPECT_EQ(p.buffer.at(60, 0), viewstyle::kGrid);
    EXPECT_EQ(p.count(viewstyle::kBackground), (200 - 2) * (100 - 2));
}

TEST(ViewDrawing, TheFieldPointsAlongTheMotionAndLeavesOutWhereGHasNoValue)
{
    // The oscillator: (y', y'') = (z, -y), so on the screen, y'' upward, along (z, y).
    ViewRequest r = request(ViewKind::Phase, {-1, 1, 1, -1}, 400, 400);
    r.field = {true, {.eq = solver::Builtin::Oscillator}, 0};
    const std::vector<FieldArrow> arrows = fieldArrows(r);
    ASSERT_EQ(arrows.size(), 400u);
    for (const FieldArrow &a : arrows) {
        const double y = -1 + (a.tail.x + a.tip.x) / 400, z = 1 - (a.tail.y + a.tip.y) / 400;
        // (y', y'') = (z, -y), with y'' up the screen.
        const double tx = a.tip.x - a.tail.x, ty = a.tip.y - a.tail.y;
        EXPECT_NEAR(tx * y - ty * z, 0, 1e-9);
        EXPECT_GT(tx * z + ty * y, 0);
        EXPECT_NEAR(std::hypot(a.tip.x - a.tail.x, a.tip.y - a.tail.y), 14, 1e-9); // 0.7 cells
    }
    // Cosmos divides by y^2: the column of cells at y = 0 would, but none lies there; with
    // y from 0 the first column does.
    r.field.p = {.eq = solver::Builtin::Cosmos, .values = {1}};
    EXPECT_EQ(fieldArrows(r).size(), 400u);
    r.world = {0, 1, 2, -1};
    r.field.p.values[0] = 0;
    EXPECT_EQ(fieldArrows(r).size(), 400u);
}

// A canvas that keeps what it is asked to draw.
struct RecordingCanvas : Canvas
{
    RecordingCanvas(int w, int h) : w(w), h(h) {}
    int width() const override { return w; }
    int height() const override { return h; }
    void fill(std::uint32_t) override {}
    void drawLines(std::uint32_t colour, std::span<const PixelLine> batch) override
    {
        lines.insert(lines.end(), batch.begin(), batch.end());
        (style == LineStyle::Dashed ? dashed : solid).push_back(colour);
    }
    void dot(int, int, std::uint32_t) override {}
    void finish() override {}
    void setLineStyle(LineStyle s) override { style = s; }
    int w, h;
    std::vector<PixelLine> lines;
    LineStyle style = LineStyle::Solid;
    std::vector<std::uint32_t> solid, dashed; // the colour of each batch of lines
};

TEST(CoveredPen, DrawsACycleOnceHoweverOftenItGoesRound)
{
    RecordingCanvas canvas(100, 100);
    CoveredPen pen(canvas, 0xFFFF0000);
    for (int round = 0; round < 50; ++round)
        for (int k = 0; k <= 64; ++k) {
            const double a = k * 2 * 3.14159265358979 / 64;
            pen.to(50 + 40 * std::cos(a), 50 + 40 * std::sin(a));
        }
    pen.gap();
    pen.to(5, 5);
    pen.to(6, 95); // a new line after the gap, not joined to the circle
    pen.finish();
    EXPECT_EQ(canvas.lines.size(), 65u);
    EXPECT_EQ(canvas.lines.back(), (PixelLine{{5, 5}, {6, 95}}));
}

TEST(CoveredPen, PaintsACurveThatFillsItsBandAsRowsOfPixels)
{
    // A spiral of 40 turns from radius 5 to 45, never closing: more lines than allowed.
    RecordingCanvas canvas(100, 100);
    CoveredPen pen(canvas, 0xFFFF0000, 500);
    for (int k = 0; k <= 40 * 64; ++k) {
        const double a = k * 2 * 3.14159265358979 / 64, r = 5 + k / 64.0;
        pen.to(50 + r * std::cos(a), 50 + r * std::sin(a));
    }
    pen.finish();
    ASSERT_FALSE(canvas.lines.empty());
    EXPECT_LE(canvas.lines.size(), 100u * 50); // rows of runs, each a horizontal line
    for (const PixelLine &l : canvas.lines)
        ASSERT_EQ(l.a.y, l.b.y);
    // Row 50 runs through the spiral's centre: its pixels left and right of the hole.
    int across = 0;
    for (const PixelLine &l : canvas.lines)
        if (l.a.y == 50)
            across += l.b.x - l.a.x + 1;
    EXPECT_GT(across, 60);
    EXPECT_LT(across, 92);
}

TEST(ViewDrawing, AVectorPhasePlaneKeepsOnlyWhatANewRoundAdds)
{
    // The oscillator goes round its circle 16 times in 10^4 samples: one round's segments.
    const solver::RunParameters p{.eq = solver::Builtin::Oscillator, .y0 = 1, .xf = 100};
    SampleStore store;
    store.startRun(p);
    struct Store : solver::SampleSink
    {
        SampleStore &s;
        explicit Store(SampleStore &s) : s(s) {}
        bool start(double, double) override { return true; }
        bool sample(double, double y) override { return s.tryAppend(y); }
    } sink(store);
    solver::run(p, sink);
    store.endRun({}, {});
    RunsSnapshot snapshot;
    snapshot.runs = store.runs();
    snapshot.samples = store.snapshot();
    Tracks tracks;
    tracks.follow(snapshot);
    while (tracks.catchUp(snapshot.samples, 1 << 20)) {
    }
    RecordingCanvas canvas(400, 400);
    const std::atomic<bool> never{false};
    ASSERT_TRUE(drawCurves(request(ViewKind::Phase, {-1.2, 1.2, 1.2, -1.2}, 400, 400), tracks,
                           canvas, never));
    EXPECT_GT(canvas.lines.size(), 200u);  // a round is 628 samples of about two pixels
    EXPECT_LT(canvas.lines.size(), 1300u); // and the 15 others add next to nothing
    // The solution's reference is dashed on a canvas that dashes, the run's curve solid.
    const auto only = [](const std::vector<std::uint32_t> &batches, std::uint32_t colour) {
        return !batches.empty() && std::count(batches.begin(), batches.end(), colour) ==
                                       static_cast<std::ptrdiff_t>(batches.size());
    };
    canvas.solid.clear();
    ASSERT_TRUE(
        drawCurves(request(ViewKind::Solution, {0, 1, 100, -1}, 400, 400), tracks, canvas, never));
    EXPECT_TRUE(canvas.dashed.empty());
    EXPECT_TRUE(only(canvas.solid, tracks.runs()[0].style().colour));
    ViewRequest withReference = request(ViewKind::Solution, {0, 1, 100, -1}, 400, 400);
    withReference.reference = true;
    ASSERT_TRUE(drawCurves(withReference, tracks, canvas, never));
    EXPECT_TRUE(only(canvas.dashed, viewstyle::kReference));
    EXPECT_TRUE(only(canvas.solid, tracks.runs()[0].style().colour));
    EXPECT_EQ(canvas.style, LineStyle::Solid);
}

// ---- The runs and their tracks -------------------------------------------------------------

TEST(Runs, ARowBelongsToTheRunThatListedIt)
{
    // Runs of 3, 0, 2 and 0 rows, the empty ones sharing their first row with the next.
    std::vector<RunRecord> runs(4);
    runs[0].firstRow = 0, runs[0].rows = 3;
    runs[1].firstRow = 3;
    runs[2].firstRow = 3, runs[2].rows = 2;
    runs[3].firstRow = 5;
    const int expected[] = {0, 0, 0, 2, 2, -1, -1};
    for (std::size_t row = 0; row < std::size(expected); ++row) {
        const RunRecord *run = runOf(runs, row);
        EXPECT_EQ(run ? static_cast<int>(run - runs.data()) : -1, expected[row]) << row;
    }
    EXPECT_EQ(runOf({}, 0), nullptr);
}

TEST(Runs, EmdensCurvesAllLieInTheSolutionsBox)
{
    // y from 1 down to 0.5 with n = 3: y^3 and y^4 reach down to 1/8 and 1/16.
    const solver::RunParameters p{
        .eq = solver::Builtin::Emden, .x0 = 1, .y0 = 1, .xf = 2, .values = {3}};
    RunTrack track(p, 0);
    SampleStore store;
    store.startRun(p);
    for (const double y : {1.0, 0.75, 0.5})
        store.tryAppend(y);
    track.extend(store.snapshot(), 3);
    bool empty = true;
    const WorldRect b = curveBounds(ViewKind::Solution, track, empty);
    ASSERT_FALSE(empty);
    EXPECT_EQ(b, (WorldRect{1, 1, solver::gridAbscissa(1, 2), 0.0625}));
    curveBounds(ViewKind::Phase, track, empty);
    EXPECT_TRUE(empty); // no slopes yet
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

namespace {

// A run as the list keeps it: every y the run hands out, with the run's own end.
struct Listed
{
    std::vector<double> y;
    solver::RunOutcome outcome;
};

Listed listed(const solver::RunParameters &p)
{
    struct Sink : solver::SampleSink
    {
        std::vector<double> y;
        bool start(double, double) override { return true; }
        bool sample(double, double v) override
        {
            y.push_back(v);
            return true;
        }
    } sink;
    const solver::RunOutcome outcome = solver::run(p, sink);
    return {std::move(sink.y), outcome};
}

solver::RunParameters emden(double n, double xf)
{
    solver::RunParameters p{.eq = solver::Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = xf};
    p.values[0] = n;
    return p;
}

struct LiveCase
{
    const char *name;
    solver::RunParameters p;
    std::size_t room;
    RunEnding::Cause cause;
    std::size_t rows;
    const char *ending; // as the legend says it
};

std::ostream &operator<<(std::ostream &os, const LiveCase &c)
{
    return os << c.name;
}

class LiveRuns : public ::testing::TestWithParam<LiveCase>
{
};

} // namespace

// The live run hands out the very samples a listed run of the same values lists, and ends
// where that would end, for the legend to say.
TEST_P(LiveRuns, ListTheSamplesOfTheListedRunAndEndWhereItWould)
{
    const LiveCase &c = GetParam();
    const std::atomic<bool> never{false};
    const std::optional<LiveRun> live = runLive(c.p, c.room, never);
    ASSERT_TRUE(live);
    EXPECT_EQ(live->record.ending.cause, c.cause);
    EXPECT_EQ(live->record.rows, c.rows);
    EXPECT_EQ(live->samples.size(), c.rows);
    EXPECT_EQ(endingText(live->record), c.ending);
    const Listed all = listed(c.p);
    ASSERT_GE(all.y.size(), c.rows);
    for (std::size_t i = 0; i < c.rows; ++i)
        ASSERT_EQ(live->samples.y(i), all.y[i]) << "sample " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LiveRuns,
    ::testing::Values(LiveCase{"ToTheEnd",
                               {.eq = solver::Builtin::Oscillator, .y0 = 1, .xf = 10},
                               100000,
                               RunEnding::Cause::Done,
                               1001,
                               ""},
                      LiveCase{"EmdenZeroIndexFallsToZero", emden(0, 10), 100000,
                               RunEnding::Cause::FirstZero, 244,
                               "ended at the first zero: y ≤ 0 after x = 2.44"},
                      LiveCase{"EmdenIndexOneFallsToZero", emden(1, 10), 100000,
                               RunEnding::Cause::FirstZero, 314,
                               "ended at the first zero: y ≤ 0 after x = 3.14"},
                      LiveCase{"WhereTheListIsFull",
                               {.eq = solver::Builtin::Oscillator, .y0 = 1, .xf = 10},
                               500,
                               RunEnding::Cause::ListFull,
                               500,
                               "the list is full at x = 5"},
                      LiveCase{"AFaultOfItsArithmetic",
                               {.eq = solver::Builtin::Cosmos, .y0 = 0, .xf = 1},
                               100000,
                               RunEnding::Cause::Fault,
                               0,
                               "division by zero at x = 0"},
                      LiveCase{"AFaultOfItsMarks",
                               {.eq = solver::Builtin::Oscillator, .y0 = 1e39, .xf = 1},
                               100000,
                               RunEnding::Cause::Fault,
                               0,
                               "drawing coordinate out of range at x = 0"},
                      LiveCase{"NoSamplesBeforeX0",
                               {.eq = solver::Builtin::Oscillator, .x0 = 1, .xf = 0},
                               100000,
                               RunEnding::Cause::Done,
                               0,
                               "no samples: the final abscissa is before x0"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LiveRuns, StopWhenANewerOneIsWanted)
{
    const std::atomic<bool> raised{true};
    EXPECT_FALSE(
        runLive({.eq = solver::Builtin::Oscillator, .y0 = 1, .xf = 1000}, 1 << 20, raised));
}

// What the legend says of a run: the run itself, or its value in a family, and its end.
TEST(RunLegend, NamesTheRunItsParametersAndHowItEnded)
{
    RunRecord run{emden(1.5, 10), 0, 314, {}, {RunEnding::Cause::FirstZero}};
    EXPECT_EQ(runText(run.params), "Emden, n = 1.5; from x0 = 0.01, y = 1, y' = 0 to 10");
    EXPECT_EQ(legendText(run, familyText("n", "1.5")),
              "n = 1.5 – ended at the first zero: y ≤ 0 after x = 3.14");
    run.ending = {RunEnding::Cause::Done};
    EXPECT_EQ(legendText(run, ""), "Emden, n = 1.5; from x0 = 0.01, y = 1, y' = 0 to 10");
    const struct
    {
        RunEnding ending;
        const char *text;
    } endings[] = {
        {{RunEnding::Cause::Running}, ""},
        {{RunEnding::Cause::Fault, solver::Fault::PowerUndefined, 2.5},
         "power of a negative number with a fractional exponent at x = 2.5"},
        {{RunEnding::Cause::ListFull, solver::Fault::None, 99999.99},
         "the list is full at x = 99999.99"},
        {{RunEnding::Cause::OutOfMemory, solver::Fault::None, 3},
         "no memory for more lines at x = 3"},
    };
    for (const auto &e : endings) {
        run.ending = e.ending;
        EXPECT_EQ(endingText(run), e.text);
    }
    const RunRecord oscillator{{.eq = solver::Builtin::Oscillator, .x0 = -1, .y0 = 0.5, .xf = 3},
                               0,
                               401,
                               {},
                               {RunEnding::Cause::Done}};
    EXPECT_EQ(legendText(oscillator, ""), "y'' + y = 0; from x0 = -1, y = 0.5, y' = 0 to 3");
}

// The field of an equation with x in it: at the marked sample, else the last run's x0, else
// the next run's; of one without x, with no caption.
TEST(NextField, IsTakenWhereTheCaptionSays)
{
    const solver::RunParameters sine{.eq = solver::Builtin::SineForced, .x0 = 0.5, .xf = 5};
    const RunRecord last{{.eq = solver::Builtin::SineForced, .x0 = -2, .xf = 5}, 0, 701, {}, {}};
    const struct
    {
        solver::RunParameters next;
        bool runs;
        std::optional<double> marked;
        double x;
        const char *caption;
    } cases[] = {
        {sine, false, std::nullopt, 0.5, "field at x = 0.5, the next run's x0"},
        {sine, true, std::nullopt, -2, "field at x = -2, the last run's x0"},
        {sine, true, 1.23, 1.23, "field at x = 1.23, the marked sample"},
        {{.eq = solver::Builtin::Oscillator, .x0 = 3}, true, 1.23, 0, ""},
    };
    for (const auto &c : cases) {
        std::string caption = "stale";
        const FieldSpec f = nextField(
            c.next, c.runs ? std::span(&last, 1) : std::span<const RunRecord>{}, c.marked, caption);
        EXPECT_TRUE(f.shown);
        EXPECT_EQ(f.x, c.x) << c.caption;
        EXPECT_EQ(f.p, c.next);
        EXPECT_EQ(caption, c.caption);
    }
}

// ---- The way back of a run ------------------------------------------------------------

struct BackCase
{
    std::string name;
    ViewKind kind;
    WorldRect box; // left, top, right, bottom
    double xf;     // of the run forward from (0, 1, 0) of y'' + y = 0
    std::size_t points;
    double reached;
};

void PrintTo(const BackCase &c, std::ostream *os)
{
    *os << c.name;
}

class WayBack : public testing::TestWithParam<BackCase>
{
};

TEST_P(WayBack, GoesAsFarBackAsTheRunGoesOnOrToTheViewsEdge)
{
    const BackCase &c = GetParam();
    solver::RunParameters p{.eq = solver::EquationRef(solver::Builtin::Oscillator),
                            .x0 = 0,
                            .y0 = 1,
                            .z0 = 0,
                            .xf = c.xf};
    const std::atomic<bool> never{false};
    const auto track = runBack(3, p, c.kind, c.box, never);
    ASSERT_TRUE(track.has_value());
    EXPECT_EQ(track->run, 3u);
    EXPECT_EQ(track->points.size(), c.points);
    EXPECT_EQ(track->reached, c.reached);
    if (track->points.empty())
        return;
    EXPECT_EQ(track->points.front().x, 0.0);
    EXPECT_EQ(track->points.back().x, c.reached);
    // cos x, which is even: the way back mirrors the way forward.
    for (const BackwardTrack::Point &q : track->points)
        ASSERT_NEAR(q.y, std::cos(q.x), 1e-6 * (1 + std::fabs(q.x))) << q.x;
}

INSTANTIATE_TEST_SUITE_P(
    Explore, WayBack,
    testing::Values(
        BackCase{"AsFarAsForward", ViewKind::Solution, {-10, 2, 10, -2}, 3, 301, -3},
        // The first sample beyond the left edge ends it, and is drawn to the edge.
        BackCase{"ToTheSolutionsEdge", ViewKind::Solution, {-1, 2, 10, -2}, 3, 102, -1.01},
        // In the phase plane, y falls below -0.5 first at x = -2.1 (cos 2.1 = -0.505).
        BackCase{"ToThePhasePlanesEdge", ViewKind::Phase, {-0.5, 2, 2, -2}, 3, 211, -2.1},
        // A run of a million samples keeps every second one of its way back, and its end.
        BackCase{"ALongOneKeepsEveryStridethPoint",
                 ViewKind::Solution,
                 {-1e6, 2, 1e6, -2},
                 10000,
                 500001,
                 -10000},
        BackCase{"NoneForARunWithoutSamples", ViewKind::Solution, {-10, 2, 10, -2}, -3, 0, 0}),
    [](const auto &info) { return info.param.name; });
