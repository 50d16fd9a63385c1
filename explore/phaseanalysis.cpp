// SPDX-License-Identifier: MIT

#include "explore/phaseanalysis.h"

#include "explore/viewrequest.h"

#include <algorithm>
#include <charconv>
#include <cmath>

using analysis::Equilibrium;
using analysis::EquilibriumSearch;

namespace {

// The equilibria of both searches in increasing y, each once; the first search's answer
// unless it found them and the second did not.
EquilibriumSearch merged(EquilibriumSearch view, const EquilibriumSearch &runs)
{
    if (view.answer != EquilibriumSearch::Answer::Found)
        return view;
    if (runs.answer != EquilibriumSearch::Answer::Found)
        return view; // the view's own, where the runs' range has too many to tell
    for (const Equilibrium &e : runs.found)
        if (std::none_of(view.found.begin(), view.found.end(),
                         [&](const Equilibrium &f) { return f.y == e.y; }))
            view.found.push_back(e);
    std::sort(view.found.begin(), view.found.end(),
              [](const Equilibrium &a, const Equilibrium &b) { return a.y < b.y; });
    if (!view.found.empty())
        view.note.clear();
    return view;
}

} // namespace

std::optional<PhaseAnalysis> analysePhase(const ViewRequest &request,
                                          std::optional<std::pair<double, double>> runs,
                                          const std::atomic<bool> &abort)
{
    PhaseAnalysis a;
    const solver::RunParameters &p = request.field.p;
    const WorldRect &w = request.world;
    const analysis::PhaseBox box{w.left, w.right, w.bottom, w.top};
    if (request.analysis.nullclines) {
        const double cell = kNullclineCell * request.ratio;
        a.nullcline = analysis::slopeNullcline(
            p, request.field.x, box, static_cast<int>(std::ceil(request.width / cell)),
            static_cast<int>(std::ceil(request.height / cell)), &abort);
    }
    if (abort)
        return std::nullopt;
    if (request.analysis.equilibria || request.analysis.separatrices) {
        a.equilibria = analysis::findEquilibria(p, w.left, w.right);
        if (runs && (runs->first < w.left || runs->second > w.right))
            a.equilibria = merged(std::move(a.equilibria),
                                  analysis::findEquilibria(p, runs->first, runs->second));
    }
    if (abort)
        return std::nullopt;
    if (request.analysis.separatrices) {
        const double spacing = 1.0 / std::max(1, std::max(request.width, request.height));
        std::size_t traced = 0;
        for (const Equilibrium &e : a.equilibria.found) {
            if (e.kind != analysis::EquilibriumKind::Saddle || e.y < w.left || e.y > w.right)
                continue;
            if (++traced > kTracedSaddles)
                break;
            for (analysis::Separatrix &s :
                 analysis::separatrices(p, e, box, spacing, &abort, a.equilibria.found))
                a.separatrices.push_back(std::move(s));
            if (abort)
                return std::nullopt;
        }
    }
    return a;
}

const Equilibrium *equilibriumNear(const PhaseAnalysis &a, const WorldWindow &window, double dx,
                                   double dy, double reach)
{
    const Equilibrium *nearest = nullptr;
    double best = reach * reach;
    for (const Equilibrium &e : a.equilibria.found) {
        const DevicePoint d = window.toDevice(e.y, 0.0);
        const double d2 = (d.x - dx) * (d.x - dx) + (d.y - dy) * (d.y - dy);
        if (d2 <= best)
            best = d2, nearest = &e;
    }
    return nearest;
}

std::string equilibriumTag(const Equilibrium &e)
{
    std::string tag = analysis::kindName(e.kind);
    tag += " at (";
    // To the last digit, as found.
    char y[32];
    tag.append(y, std::to_chars(y, y + sizeof y, e.y + 0.0).ptr);
    tag += ", 0): eigenvalues ";
    tag += analysis::eigenvalueText(e);
    tag += "; eigenvectors ";
    tag += analysis::eigenvectorText(e);
    return tag;
}

std::string analysisDescription(const PhaseAnalysis &a, const AnalysisSpec &shown,
                                const std::string &where)
{
    std::string text;
    if (shown.nullclines) {
        text += "Nullclines: y' = 0, and g = 0";
        text += where.empty() ? std::string() : " at " + where;
        text += a.nullcline.empty() ? " (none in view). " : ". ";
    }
    if (shown.equilibria) {
        if (a.equilibria.found.empty()) {
            text += a.equilibria.note.empty() ? std::string("no equilibria in view")
                                              : a.equilibria.note;
            text += ". ";
        } else {
            text += "Equilibria: ";
            for (std::size_t k = 0; k < a.equilibria.found.size(); ++k) {
                if (k > 0)
                    text += "; ";
                text += equilibriumTag(a.equilibria.found[k]);
            }
            text += ". ";
        }
    }
    if (shown.separatrices && !a.separatrices.empty())
        text += "Separatrices: " + std::to_string(a.separatrices.size()) + " branches. ";
    if (!text.empty())
        text.pop_back();
    return text;
}
