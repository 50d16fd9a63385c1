// SPDX-License-Identifier: MIT

#pragma once

// The phase plane's analysis painted on a view's image or an exported vector plot, in
// device pixels of the request: the nullclines and the separatrices beneath the runs'
// curves, the equilibria's marks over them.

#include "explore/viewrequest.h"

class QPainter;

// The nullclines g = 0 and y' = 0 and the separatrices, as the request shows them.
void paintAnalysisLines(QPainter &painter, const ViewRequest &request, const PhaseAnalysis &a);

// A mark for each equilibrium in view, its shape telling its class: a saddle a cross, a
// node a circle, a focus a square, a center a diamond, a degenerate one a triangle; filled
// where it is stable, open where it is not.
void paintEquilibria(QPainter &painter, const ViewRequest &request, const PhaseAnalysis &a);
