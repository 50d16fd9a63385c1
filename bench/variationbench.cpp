// SPDX-License-Identifier: MIT

// A slider's live run and a family, as Explore makes them:
//
// - the live run of 10^5 samples, from the move that asks for it until the views' worker
//   has finished an image of it for each of the three views (1000 x 500 pixels each), for
//   a sweep of moves one after another;
// - a family of 20 runs of 10^4 samples through the real window, from the command until
//   every run is listed and every view shows all of them.

#include "bench/variationbench.h"

#include "bench/measure.h"
#include "explore/exploreview.h"
#include "explore/liverun.h"
#include "explore/renderthread.h"
#include "model/runmodel.h"
#include "solver/builtins.h"
#include "tests/formdriver.h"
#include "window/explorewindow.h"
#include "window/runvariation.h"

#include <QAction>
#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace measure;

namespace {

// The parts of a live run on their own: the run with its slopes, then its reference.
void benchLiveParts()
{
    const solver::RunParameters p{.eq = solver::Builtin::VanDerPol, .y0 = 1.5, .xf = 999.99};
    const std::atomic<bool> never{false};
    double run = 1e9, reference = 1e9;
    for (int k = 0; k < 5; ++k) {
        auto start = Clock::now();
        std::optional<LiveRun> live = runLive(p, 10'000'000, never);
        run = std::min(run, seconds(start));
        start = Clock::now();
        while (!live->track.referenceDone())
            live->track.extendReference(live->samples, 1 << 16);
        reference = std::min(reference, seconds(start));
    }
    std::printf("live run parts, 10^5 samples of van der Pol, fastest of 5: the run with its "
                "slopes %.1f ms, its reference %.1f ms\n",
                run * 1e3, reference * 1e3);
}

void benchLive()
{
    RenderThread worker;
    ViewRequest r;
    r.width = 1000, r.height = 500;
    const ViewKind kinds[] = {ViewKind::Solution, ViewKind::Phase, ViewKind::Error};
    const WorldRect worlds[] = {{0, 4, 1000, -4}, {-3, 4, 3, -4}, {0, -2, 1000, -16}};
    std::vector<double> times, errors;
    // van der Pol from (0, y0, 0) to 999.99: 10^5 samples, y0 from 0.5 to 2.5.
    for (int move = 0; move <= 40; ++move) {
        solver::RunParameters p{
            .eq = solver::Builtin::VanDerPol, .y0 = 0.5 + 0.05 * move, .xf = 999.99};
        const auto start = Clock::now();
        for (int v = 0; v < RenderThread::kViews; ++v) {
            r.kind = kinds[v], r.world = worlds[v];
            r.ticks = viewTicks(r.kind, r.world, r.width, r.height);
            worker.request(v, r);
        }
        worker.setLive(p, 10'000'000);
        const std::uint64_t wanted = static_cast<std::uint64_t>(move) + 1;
        // An image of each view with the live run; then one of the error view drawn once the
        // live run's reference is known, which shows its error.
        bool shown[RenderThread::kViews] = {}, error = false;
        double first = 0;
        while (!error) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            bool referenced = false;
            {
                const std::lock_guard<std::mutex> locked(worker.tracks().lock());
                referenced = worker.tracks().live() && worker.tracks().live()->referenceDone();
            }
            for (int v = 0; v < RenderThread::kViews; ++v)
                if (const auto image = worker.take(v); image && image->second.live >= wanted) {
                    shown[v] = true;
                    if (v == 2 && referenced)
                        error = true;
                }
            if (first == 0 &&
                std::all_of(std::begin(shown), std::end(shown), [](bool s) { return s; }))
                first = seconds(start);
        }
        if (move > 0) { // the first pays for the thread's start
            times.push_back(first * 1e3);
            errors.push_back(seconds(start) * 1e3);
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(errors.begin(), errors.end());
    std::printf("live run: 10^5 samples of van der Pol, %zu moves, from a move to an image with "
                "it in each of the three views: median %.1f ms, slowest %.1f ms; to the error "
                "view with its error: median %.1f ms, slowest %.1f ms\n",
                times.size(), times[times.size() / 2], times.back(), errors[errors.size() / 2],
                errors.back());
}

void benchFamily()
{
    FormDriver w;
    w.choose(4);
    w.enter({{1, QStringLiteral("0")}, {3, QStringLiteral("1")}, {4, QStringLiteral("0")}});
    w.text(2)->setText(QStringLiteral("99.99")); // 10^4 samples a run
    w.child<QAction>("exploreAction")->trigger();
    auto *window = w.form.findChild<ExploreWindow *>();
    auto *worker = w.form.findChild<RenderThread *>();
    w.ready();
    QApplication::processEvents();
    const auto views = window->findChildren<ExploreView *>();
    const Varied y0{Varied::Kind::Y0, -1, QStringLiteral("y(x0)")};
    const auto start = Clock::now();
    window->variation().runFamily({y0, 0.1, 3, 20});
    // Listed; then the solution and the phase plane show every run; then the error view
    // too, which waits for every run's reference.
    double listedAt = 0, curvesAt = 0;
    const auto shown = [&] {
        if (window->variation().family())
            return false;
        if (listedAt == 0)
            listedAt = seconds(start);
        if (curvesAt == 0 && window->view(ViewKind::Solution).upToDate() &&
            window->view(ViewKind::Phase).upToDate())
            curvesAt = seconds(start);
        for (ExploreView *v : views)
            if (!v->upToDate())
                return false;
        return curvesAt > 0;
    };
    while (!shown())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const double listed = seconds(start);
    // The slopes and the references come after, on the worker.
    const auto complete = [&] {
        const std::lock_guard<std::mutex> locked(worker->tracks().lock());
        for (const RunTrack &t : worker->tracks().runs())
            if (!t.slopesDone() || !t.referenceDone())
                return false;
        return true;
    };
    while (!complete())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    std::printf("family: 20 runs of 10^4 samples of van der Pol through the window (%d rows), "
                "after the command: listed %.0f ms, in the solution and the phase plane %.0f "
                "ms, in the error view with every reference %.0f ms\n",
                w.samples().rowCount(), listedAt * 1e3, curvesAt * 1e3, listed * 1e3);
}

} // namespace

void benchVariation()
{
    benchLiveParts();
    benchLive();
    benchFamily();
}
