// SPDX-License-Identifier: MIT

// The Explore window's figures over ten million listed samples at 1000 x 1000 pixels: the
// frames of a pan and a zoom sweep of the solution view, the phase plane's redraw, the
// frames of a drag, and the memory the window adds per listed sample. Before them the
// reference's figures and the read-out of a run of a million samples.

#include "bench/explorebench.h"
#include "analysis/readout.h"
#include "solver/builtins.h"

#include "bench/measure.h"
#include "explore/exploreview.h"
#include "explore/referencetrack.h"
#include "explore/renderthread.h"
#include "explore/viewrender.h"
#include "model/runmodel.h"
#include "reference/study.h"
#include "tests/formdriver.h"
#include "window/explorewindow.h"
#include "window/readoutworker.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace measure;

namespace {

struct Frames
{
    double median, slowest;
};

Frames frames(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2] * 1e3, times.back() * 1e3};
}

RunsSnapshot snapshotOf(const RunModel &model)
{
    RunsSnapshot s;
    s.generation = model.generation();
    s.runs = model.runs();
    s.samples = model.samples().store().snapshot();
    return s;
}

std::size_t trackBytes(const Tracks &tracks, bool reference)
{
    std::size_t bytes = 0;
    for (const RunTrack &t : tracks.runs())
        bytes += reference ? t.referenceBytes() : t.memoryBytes();
    return bytes;
}

// The reference the views' worker finds beside 10^6 samples of each equation that has
// one, and the Accuracy panel's study of a run of 10^4 samples.
void benchReference()
{
    using solver::Builtin;
    struct Case
    {
        const char *name;
        solver::RunParameters p;
    };
    const Case cases[] = {
        {"y'' + 2y = sin x", {.eq = Builtin::SineForced, .y0 = 0.01, .z0 = 16.947}},
        {"van der Pol", {.eq = Builtin::VanDerPol, .y0 = 2}},
        {"Emden, n = 3", {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .values = {3}}},
        {"Cosmos", {.eq = Builtin::Cosmos, .y0 = 1, .z0 = 0.5, .values = {0.001}}},
    };
    std::printf("reference: the worker's for 10^6 samples;");
    for (const Case &c : cases) {
        solver::RunParameters p = c.p;
        p.xf = p.x0 + (1'000'000 - 0.5) / 100;
        SampleStore store;
        store.startRun(p);
        struct Keep : solver::SampleSink
        {
            SampleStore &store;
            explicit Keep(SampleStore &s) : store(s) {}
            bool start(double, double) override { return true; }
            bool sample(double, double y) override { return store.tryAppend(y); }
        } keep(store);
        solver::run(p, keep);
        ReferenceTrack ref(p);
        const auto start = Clock::now();
        ref.extend(store.snapshot(), 0, store.size(), store.size());
        std::printf(" %s %.3f s (%zu samples%s)", c.name, seconds(start), ref.rows(),
                    ref.ended() ? ", ended early" : "");
    }
    const auto start = Clock::now();
    reference::studyRun({.eq = Builtin::SineForced, .y0 = 0.01, .z0 = 16.947, .xf = 99.995});
    std::printf("; the study of a 10^4-sample run %.3f s\n", seconds(start));
    std::fflush(stdout);
}

} // namespace

void benchReadout()
{
    // Van der Pol from (0, 2, 0) to 10000: 10^6 samples and 1500 cycles, the run included,
    // as the Read-out panel's worker makes it.
    const solver::RunParameters p{.eq = solver::Builtin::VanDerPol, .y0 = 2, .xf = 10000};
    double cpu = 1e9, wall = 1e9;
    std::uint64_t samples = 0;
    for (int round = 0; round < 5; ++round) {
        const double cpuStart = cpuSeconds();
        const auto start = Clock::now();
        samples = analysis::readRun(p).samples;
        wall = std::min(wall, seconds(start));
        cpu = std::min(cpu, cpuSeconds() - cpuStart);
    }
    // Through the worker, from the request to its result on the window's thread.
    double worker = 1e9;
    for (int round = 0; round < 5; ++round) {
        ReadoutWorker w;
        bool done = false;
        QObject::connect(&w, &ReadoutWorker::done, [&] { done = true; });
        const auto start = Clock::now();
        w.read(p, ~std::uint64_t{0});
        while (!done)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worker = std::min(worker, seconds(start));
    }
    std::printf("read-out: %llu samples of van der Pol, the run included, fastest of 5: %.1f ms "
                "of CPU, %.1f ms; through the panel's worker %.1f ms\n",
                static_cast<unsigned long long>(samples), cpu * 1e3, wall * 1e3, worker * 1e3);
    std::fflush(stdout);
}

void benchExplore()
{
    benchReference();
    benchReadout();
    FormDriver w;
    w.choose(2);
    w.enter({{1, QStringLiteral("0")},
             {3, QStringLiteral("0.01")},
             {4, QStringLiteral("16.947")},
             {2, QStringLiteral("99999.995")}});
    const RunModel &model = modelOf(w.form);
    const auto rows = static_cast<double>(model.samples().rowCount());

    // The views' worker, alone: the runs taken in, their slopes found by running again.
    Tracks tracks;
    const RunsSnapshot snapshot = snapshotOf(model);
    auto start = Clock::now();
    tracks.follow(snapshot);
    const double followed = seconds(start);
    start = Clock::now();
    while (tracks.catchUp(snapshot.samples, 1 << 20)) {
    }
    const double slopes = seconds(start);

    const std::atomic<bool> never{false};
    QImage image;
    ViewRequest r;
    r.width = r.height = 1000;
    const double x0 = 0, x1 = 0.01 * (rows - 1);
    const auto drawFrame = [&](const WorldRect &world) {
        r.world = world;
        const auto t = Clock::now();
        r.ticks = viewTicks(r.kind, world, r.width, r.height);
        renderView(r, tracks, image, never);
        return seconds(t);
    };
    // The worker keeps its image from one frame to the next: it is made once, here.
    drawFrame({x0, 14, x1, -14});
    // Zoom: from the whole span down to 100 samples across, about the middle.
    std::vector<double> zoom, pan;
    const double mid = (x0 + x1) / 2;
    for (double span = x1 - x0; span >= 1.0; span /= 1.25) {
        zoom.push_back(drawFrame({mid - span / 2, 14, mid + span / 2, -14}));
        if (std::getenv("EXPLORE_FRAMES"))
            std::printf("  zoom %g across: %.2f ms\n", span, zoom.back() * 1e3);
    }
    // Pan: a tenth of the span across, in steps of a tenth of the view, then across a
    // thousand samples.
    for (const double span : {(x1 - x0) / 10, 10.0})
        for (double left = x0; left + span <= x1 && pan.size() < 400; left += span / 10)
            pan.push_back(drawFrame({left, 14, left + span, -14}));

    r.kind = ViewKind::Phase;
    r.field.shown = true;
    r.field.p.eq = solver::Builtin::Oscillator;
    std::vector<double> phase;
    for (int k = 0; k < 3; ++k)
        phase.push_back(drawFrame({-14, 20, 14, -20}));
    const double cpu = cpuSeconds();
    drawFrame({-14, 20, 14, -20});
    std::printf("  phase fit: %.1f ms, %.1f ms of CPU\n", phase.back() * 1e3,
                (cpuSeconds() - cpu) * 1e3);
    // Zoomed in on part of the ring, where blocks are run again for exact slopes.
    for (int k = 0; k < 3; ++k)
        phase.push_back(drawFrame({11, 1, 12, 0}));
    std::printf("  phase zoomed: %.1f ms\n", phase.back() * 1e3);

    // Each view as vector graphics at print size, as Save Image As writes its SVG.
    std::printf("  SVG of each view's plot at 4000 x 4000 cells:");
    for (const ViewKind kind : {ViewKind::Solution, ViewKind::Phase, ViewKind::Error}) {
        ViewRequest v;
        v.kind = kind;
        v.world = kind == ViewKind::Phase   ? WorldRect{-14, 20, 14, -20}
                  : kind == ViewKind::Error ? WorldRect{x0, -4, x1, -12}
                                            : WorldRect{x0, 14, x1, -14};
        v.width = v.height = 4000;
        v.ratio = 4;
        v.ticks = viewTicks(kind, v.world, 1000, 1000);
        v.reference = kind == ViewKind::Solution;
        v.field = r.field;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const auto t = Clock::now();
        {
            QSvgGenerator generator;
            generator.setOutputDevice(&buffer);
            generator.setSize(QSize(4000, 4000));
            QPainter painter(&generator);
            paintVectorPlot(painter, v, tracks);
        }
        std::printf(" %s %.0f kB in %.2f s;",
                    kind == ViewKind::Solution ? "solution"
                    : kind == ViewKind::Phase  ? "phase"
                                               : "error",
                    static_cast<double>(buffer.size()) / 1024, seconds(t));
    }
    std::printf("\n");

    // A drag in the window: each move paints the last image moved, nothing is drawn anew.
    w.child<QAction>("exploreAction")->trigger();
    auto *explore = w.form.findChild<ExploreWindow *>();
    explore->resize(2 * 1000 + 150, 1000 + 60);
    auto &view = explore->view(ViewKind::Solution);
    if (!QTest::qWaitFor([&] { return view.upToDate(); }, 20000))
        std::printf("  (the view did not settle in 20 s)\n");
    const QPoint from = view.plotRect().center();
    std::vector<double> drag;
    QMouseEvent press(QEvent::MouseButtonPress, from, view.mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    for (int k = 1; k <= 60; ++k) {
        const QPointF at = from + QPointF(5.0 * k, 2.0 * k);
        QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        const auto t = Clock::now();
        QApplication::sendEvent(&view, &move);
        view.repaint();
        drag.push_back(seconds(t));
    }
    QMouseEvent release(QEvent::MouseButtonRelease, from + QPointF(300, 120), QPointF(),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &release);

    // The same run again, with the window open and then closed: the time the run's
    // handler takes, which is what the user waits for.
    double runWith[2] = {1e9, 1e9};
    for (int round = 0; round < 4; ++round) {
        const bool open = round % 2 == 0;
        explore->setVisible(open);
        w.ready();
        QApplication::processEvents();
        const auto t = Clock::now();
        w.runTo("99999.995");
        runWith[open ? 0 : 1] = std::min(runWith[open ? 0 : 1], seconds(t));
    }

    const Frames z = frames(zoom), p = frames(pan), d = frames(drag), ph = frames(phase);
    std::printf("explore: %.0f samples at 1000 x 1000 px: zoom sweep median %.1f ms, slowest "
                "%.1f ms; pan sweep median %.1f ms, slowest %.1f ms; phase plane redraw median "
                "%.1f ms, slowest %.1f ms; drag frames median %.1f ms, slowest %.1f ms; %.2f bytes "
                "per listed sample\n",
                rows, z.median, z.slowest, p.median, p.slowest, ph.median, ph.slowest, d.median,
                d.slowest, static_cast<double>(trackBytes(tracks, false)) / rows);
    std::printf(
        "  the run of %.0f samples with the window open %.3f s, closed %.3f s (fastest of 2)\n",
        rows, runWith[0], runWith[1]);
    std::printf("  taking in the samples %.3f s; their slopes, the reference and the coverage map "
                "%.3f s; the reference and the error take %.2f bytes per listed sample more\n",
                followed, slopes, static_cast<double>(trackBytes(tracks, true)) / rows);
    std::fflush(stdout);
}
