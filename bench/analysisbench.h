// SPDX-License-Identifier: MIT

#pragma once

// Prints the lines that begin "analysis:": the phase plane's analysis (nullclines,
// equilibria, separatrices) and its image, as the views' worker makes them for a view.
void benchAnalysis();
