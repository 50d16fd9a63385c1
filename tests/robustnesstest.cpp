// SPDX-License-Identifier: MIT

// Whatever the fields hold, a run ends cleanly: every sample that reaches the window is
// finite, drawable and listable, and a failure is reported instead of a crash.

#include "listing/listline.h"
#include "plot/axes.h"
#include "plot/marks.h"
#include "plot/plotsurface.h"
#include "solver/builtins.h"
#include "solver/solver.h"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <random>

using namespace solver;

namespace {

// What the window's sink does, with checks on everything that passes.
class CheckingSink : public SampleSink
{
public:
    CheckingSink(PlotSurface &surface, const RunParameters &p) : m_surface(surface), m_p(p) {}

    bool start(double x0, double y0) override
    {
        const MarkList marks = startMarks(x0, y0);
        m_surface.draw(marks);
        return marks.ok();
    }

    bool sample(double x, double y) override
    {
        EXPECT_TRUE(std::isfinite(x) && std::isfinite(y)) << x << " " << y;
        const MarkList marks = sampleMarks(m_p, x, y);
        m_surface.draw(marks);
        if (!marks.ok())
            return false;
        for (int i = 0; i < marks.count; ++i) {
            const Mark &m = marks.marks[static_cast<std::size_t>(i)];
            EXPECT_TRUE(std::isfinite(m.x) && std::isfinite(m.y));
        }
        char buf[kMaxListLineLength];
        const char *end = writeListLine(buf, x, y);
        EXPECT_LE(static_cast<std::size_t>(end - buf), kMaxListLineLength);
        ++samples;
        return true;
    }

    std::uint64_t samples = 0;

private:
    PlotSurface &m_surface;
    RunParameters m_p;
};

TEST(Robustness, RandomAndExtremeParametersNeverReachTheWindowUnchecked)
{
    const std::array<double, 18> extremes = {0.0,     -0.0,  4.9e-324, 1e-5,    0.01,   1.0,
                                             -1.0,    2.5,   -2.5,     1e10,    3.4e38, 3.5e38,
                                             -3.5e38, 1e300, -1e308,   DBL_MAX, 16.947, 5.0};
    std::mt19937_64 random(8122026);
    std::uniform_int_distribution<std::size_t> pick(0, extremes.size() - 1);
    std::uniform_real_distribution<double> ordinary(-10.0, 10.0);
    std::uniform_real_distribution<double> span(-1.0, 20.0);
    auto value = [&] { return random() % 2 ? extremes[pick(random)] : ordinary(random); };

    PlotSurface surface(449);
    drawStartupAxes(surface);
    int failed = 0;
    for (int k = 0; k < 3000; ++k) {
        RunParameters p;
        p.eq = static_cast<Builtin>(random() % 7);
        p.x0 = value();
        p.y0 = value();
        p.z0 = value();
        const double n = value(), lam = value();
        p.values[0] = p.eq == Builtin::Cosmos ? lam : n;
        p.xf = p.x0 + span(random); // at most a few thousand grid points
        CheckingSink sink(surface, p);
        const RunOutcome out = run(p, sink);
        EXPECT_EQ(out.samples, sink.samples);
        // A fault of the run, or of a sample's marks, which the sink stops at.
        if (out.failed() || out.sinkStop) {
            ++failed;
            EXPECT_TRUE(std::isfinite(out.faultX));
        }
    }
    // The extremes make a good share of the runs fail, and the rest run to their end.
    EXPECT_GT(failed, 300);
    EXPECT_LT(failed, 2700);
}

} // namespace
