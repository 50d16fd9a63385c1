// SPDX-License-Identifier: MIT

#pragma once

// The equilibria of y'' = g(y, y') in the phase plane: the points (y*, 0) where
// g(y*, 0) = 0, each found to the last bit by bisection, and classified by the eigenvalues
// of the Jacobian [[0, 1], [dg/dy, dg/dy']] there, from the exact partial derivatives the
// equation's description gives. Only an equation whose g does not depend on x has them.

#include "solver/solver.h"

#include <complex>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace analysis {

enum class EquilibriumKind {
    Saddle,
    StableNode,
    UnstableNode,
    StableFocus,
    UnstableFocus,
    // Purely imaginary eigenvalues: a center of the linearisation, which the nonlinear
    // terms may turn into a weak focus either way.
    Center,
    // A zero eigenvalue: the linearisation does not decide.
    Degenerate,
};

// "saddle", "stable node", ...
const char *kindName(EquilibriumKind kind);

struct Equilibrium
{
    double y = 0.0;
    EquilibriumKind kind = EquilibriumKind::Degenerate;
    // The eigenvalues, the larger real part first (a complex pair: + then - imaginary part).
    std::complex<double> eigenvalues[2];
    // Each eigenvalue's eigenvector (1, lambda), scaled to length 1.
    std::complex<double> eigenvectors[2][2];
    // dg/dy and dg/dy' at the point.
    double byY = 0.0;
    double bySlope = 0.0;
};

// The class and eigen data of the Jacobian [[0, 1], [byY, bySlope]].
Equilibrium classify(double y, double byY, double bySlope);

struct EquilibriumSearch
{
    enum class Answer {
        Found,      // `found` holds each one in the range, possibly none
        DependsOnX, // the equation depends on x: no equilibria
        Everywhere, // g(y, 0) is 0 all through the range: every point is one
        TooMany,    // more than the limit: `found` holds none
    };
    Answer answer = Answer::Found;
    std::vector<Equilibrium> found; // in increasing y
    // What to tell when there is nothing to mark: "no equilibria: the equation depends on x".
    std::string note;
};

// The most equilibria a search reports; beyond it, TooMany.
constexpr std::size_t kMaxEquilibria = 200;

// Every equilibrium of `p`'s equation with its parameters' values with y in [from, to].
// g(y, 0) is sampled at kScanPoints points and every sign change, and every exact zero,
// is refined by bisection to adjacent doubles; a sign change across a pole, where |g| grows
// as the bracket shrinks, is none. Bounded work whatever the equation or range.
constexpr int kScanPoints = 4096;
EquilibriumSearch findEquilibria(const solver::RunParameters &p, double from, double to,
                                 std::size_t limit = kMaxEquilibria);

// The equilibrium at y of `p`'s equation classified; none where g or its partials have no
// value there.
std::optional<Equilibrium> equilibriumAt(const solver::RunParameters &p, double y);

// "y = 3.141592653589793, y' = 0: saddle, eigenvalues 1, -1", "y = 0, y' = 0: unstable
// focus, eigenvalues 0.5 ± 0.866025i": y to the last digit, the eigenvalues to six.
std::string equilibriumLine(const Equilibrium &e);
// "0.5 ± 0.866025i", "1, -1".
std::string eigenvalueText(const Equilibrium &e);
// The eigenvectors: "(0.5, 0.433013 ± 0.75i)" or "(0.707107, 0.707107), (0.707107, -0.707107)".
std::string eigenvectorText(const Equilibrium &e);

} // namespace analysis
