// SPDX-License-Identifier: MIT

// How long the phase plane's worker takes, after a view settles, to find its analysis and
// draw the image with it: the nullcline traced over the view, the equilibria found and
// classified, the saddles' separatrices integrated, at the size of Explore's phase plane
// when it opens (about 440 x 370 pixels) and at 1000 x 1000.

#include "bench/analysisbench.h"

#include "bench/measure.h"
#include "explore/phaseanalysis.h"
#include "explore/tracks.h"
#include "explore/viewrender.h"
#include "solver/builtins.h"
#include "solver/formulaequation.h"

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace measure;

namespace {

struct Case
{
    const char *name;
    solver::RunParameters p;
    WorldRect world; // left, top, right, bottom
};

solver::RunParameters typed(const char *text)
{
    solver::RunParameters p;
    p.eq = std::get<solver::EquationRef>(solver::formulaEquation(text));
    return p;
}

} // namespace

void benchAnalysis()
{
    solver::RunParameters cosmos;
    cosmos.eq = solver::Builtin::Cosmos;
    cosmos.values[0] = 1;
    const Case cases[] = {
        {"van der Pol, the default run's view",
         {.eq = solver::Builtin::VanDerPol},
         {-2.2, 2.9, 2.2, -2.9}},
        {"van der Pol as a formula", typed("(1-y*y)*y'-y"), {-2.2, 2.9, 2.2, -2.9}},
        {"pendulum -sin(y), two saddles", typed("-sin(y)"), {-7, 3, 7, -3}},
        {"Cosmos lam = 1, a saddle", cosmos, {0.2, 2, 3, -2}},
        {"sin(100*y), hundreds of equilibria", typed("sin(100*y)"), {-5, 3, 15, -3}},
    };
    const Tracks tracks; // no runs: the analysis alone with the grid and the field
    const std::atomic<bool> never{false};
    QImage image;
    for (const auto &[w, h] : {std::pair{440, 370}, std::pair{1000, 1000}}) {
        for (const Case &c : cases) {
            ViewRequest r;
            r.kind = ViewKind::Phase;
            r.width = w;
            r.height = h;
            r.world = c.world;
            r.ticks = viewTicks(r.kind, r.world, w, h);
            r.field = {true, c.p, 0.0};
            std::vector<double> found, drawn;
            for (int k = 0; k < 7; ++k) {
                auto start = Clock::now();
                auto a = analysePhase(r, std::nullopt, never);
                found.push_back(seconds(start) * 1e3);
                r.analysed = std::make_shared<const PhaseAnalysis>(std::move(*a));
                start = Clock::now();
                renderView(r, tracks, image, never);
                drawn.push_back(seconds(start) * 1e3);
            }
            std::sort(found.begin(), found.end());
            std::sort(drawn.begin(), drawn.end());
            std::printf("analysis: %4d x %4d %-38s found %6.2f ms (slowest %6.2f), image %5.2f "
                        "ms; %zu segments, %zu equilibria, %zu separatrices\n",
                        w, h, c.name, found[found.size() / 2], found.back(),
                        drawn[drawn.size() / 2], r.analysed->nullcline.size(),
                        r.analysed->equilibria.found.size(), r.analysed->separatrices.size());
        }
    }
}
