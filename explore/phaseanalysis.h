// SPDX-License-Identifier: MIT

#pragma once

// What the phase plane shows of its equation beyond the field and the runs, plain C++:
// the nullclines, the equilibria marked by their class, and the saddles' separatrices,
// found on the views' worker for the world a view shows; and the words a screen reader
// and a click on an equilibrium give of them.

#include "analysis/equilibria.h"
#include "analysis/nullcline.h"
#include "analysis/separatrix.h"
#include "plot/worldwindow.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ViewRequest;

// What of the analysis a phase plane shows, from its menu.
struct AnalysisSpec
{
    bool nullclines = true;
    bool equilibria = true;
    bool separatrices = true;
    bool any() const { return nullclines || equilibria || separatrices; }
    bool operator==(const AnalysisSpec &) const = default;
};

struct PhaseAnalysis
{
    // Of g(x, y, y') = 0 at the field's x; the y-nullcline y' = 0 is the axis itself.
    std::vector<analysis::PhaseSegment> nullcline;
    // In the view's y range and in the runs'.
    analysis::EquilibriumSearch equilibria;
    std::vector<analysis::Separatrix> separatrices;
};

// The saddles in view whose separatrices are traced, at most; a view of hundreds of them
// shows their marks alone.
constexpr std::size_t kTracedSaddles = 16;
// The nullcline's cells, in device pixels a side.
constexpr int kNullclineCell = 4;

// The analysis of `request`'s phase plane, of the equation and x of its field, with the
// equilibria of the runs' y range `runs` too (none: the view's alone); none when `abort`
// was raised meanwhile.
std::optional<PhaseAnalysis> analysePhase(const ViewRequest &request,
                                          std::optional<std::pair<double, double>> runs,
                                          const std::atomic<bool> &abort);

// The equilibrium whose mark lies within `reach` device pixels of (dx, dy) in `window`,
// the nearest; none if none does.
const analysis::Equilibrium *equilibriumNear(const PhaseAnalysis &a, const WorldWindow &window,
                                             double dx, double dy, double reach);

// A marked equilibrium as its tag says it: "stable node at (0, 0): eigenvalues -1, -5;
// eigenvectors (0.707107, -0.707107), (0.196116, -0.980581)".
std::string equilibriumTag(const analysis::Equilibrium &e);

// The phase plane's analysis in words, for its accessible description: the nullclines
// shown (at which x), then each equilibrium with its eigenvalues, or the search's note,
// then the separatrices' count.
std::string analysisDescription(const PhaseAnalysis &a, const AnalysisSpec &shown,
                                const std::string &where);
