// SPDX-License-Identifier: MIT

#include "analysis/equilibria.h"
#include "analysis/nullcline.h"
#include "analysis/readout.h"
#include "analysis/separatrix.h"
#include "solver/builtins.h"
#include "solver/formulaequation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace analysis;
using solver::Builtin;
using solver::RunParameters;

namespace {

RunParameters builtin(Builtin b, double value = 0.0)
{
    RunParameters p;
    p.eq = solver::EquationRef(b);
    p.values[0] = value;
    return p;
}

RunParameters typed(const std::string &text, std::vector<double> values = {})
{
    auto made = solver::formulaEquation(text);
    EXPECT_TRUE(std::holds_alternative<solver::EquationRef>(made)) << text;
    RunParameters p;
    if (auto *eq = std::get_if<solver::EquationRef>(&made))
        p.eq = *eq;
    for (std::size_t i = 0; i < values.size(); ++i)
        p.values[i] = values[i];
    return p;
}

// ---- Equilibria and their classes --------------------------------------------------------

// What a textbook says of each equation's equilibria, independently of how they are found:
// where they lie, their class and eigenvalues (a complex pair as real part and the
// positive imaginary part).
struct Expected
{
    double y;
    EquilibriumKind kind;
    double re1, im1, re2;
};

struct EquilibriumCase
{
    std::string name;
    RunParameters p;
    double from, to;
    std::vector<Expected> expected;
};

void PrintTo(const EquilibriumCase &c, std::ostream *os)
{
    *os << c.name;
}

class Equilibria : public testing::TestWithParam<EquilibriumCase>
{
};

TEST_P(Equilibria, AreWhereAndWhatTheTextbookSays)
{
    const EquilibriumCase &c = GetParam();
    const EquilibriumSearch s = findEquilibria(c.p, c.from, c.to);
    ASSERT_EQ(s.answer, EquilibriumSearch::Answer::Found);
    ASSERT_EQ(s.found.size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
        const Equilibrium &e = s.found[i];
        const Expected &x = c.expected[i];
        SCOPED_TRACE(equilibriumLine(e));
        // To full precision: g(y*, 0) changes sign within a double or two of y*.
        EXPECT_NEAR(e.y, x.y,
                    4 * std::numeric_limits<double>::epsilon() * std::max(1.0, std::fabs(x.y)));
        EXPECT_EQ(e.kind, x.kind);
        EXPECT_NEAR(e.eigenvalues[0].real(), x.re1, 1e-12);
        EXPECT_NEAR(e.eigenvalues[0].imag(), x.im1, 1e-12);
        EXPECT_NEAR(e.eigenvalues[1].real(), x.re2, 1e-12);
        EXPECT_NEAR(e.eigenvalues[1].imag(), -x.im1, 1e-12);
    }
}

constexpr double kPi = std::numbers::pi;
const double kHalfRoot3 = std::sqrt(3.0) / 2.0;

INSTANTIATE_TEST_SUITE_P(
    Phase, Equilibria,
    testing::Values(
        EquilibriumCase{"OscillatorCenter",
                        builtin(Builtin::Oscillator),
                        -5,
                        15,
                        {{0, EquilibriumKind::Center, 0, 1, 0}}},
        EquilibriumCase{"DampedStableNode",
                        builtin(Builtin::Damped),
                        -5,
                        15,
                        {{0, EquilibriumKind::StableNode, -1, 0, -5}}},
        EquilibriumCase{"VanDerPolUnstableFocus",
                        builtin(Builtin::VanDerPol),
                        -5,
                        15,
                        {{0, EquilibriumKind::UnstableFocus, 0.5, kHalfRoot3, 0.5}}},
        // lam y = 1/y^2: y = lam^(-1/3); dg/dy = (lam + 2/y^3)/3 = lam.
        EquilibriumCase{"CosmosSaddle",
                        builtin(Builtin::Cosmos, 1.0),
                        -5,
                        15,
                        {{1, EquilibriumKind::Saddle, 1, 0, -1}}},
        EquilibriumCase{"CosmosLamEight",
                        builtin(Builtin::Cosmos, 8.0),
                        -5,
                        15,
                        {{0.5, EquilibriumKind::Saddle, std::sqrt(8.0), 0, -std::sqrt(8.0)}}},
        EquilibriumCase{"CosmosLamTwo",
                        builtin(Builtin::Cosmos, 2.0),
                        0.1,
                        3,
                        {{std::pow(2.0, -1.0 / 3.0), EquilibriumKind::Saddle, std::sqrt(2.0), 0,
                          -std::sqrt(2.0)}}},
        // Cosmos with lam < 0: the equilibrium is at a negative y.
        EquilibriumCase{"CosmosNegativeLam",
                        builtin(Builtin::Cosmos, -1.0),
                        -5,
                        15,
                        {{-1, EquilibriumKind::Center, 0, 1, 0}}},
        EquilibriumCase{"Pendulum",
                        typed("-sin(y)"),
                        -7,
                        7,
                        {{-2 * kPi, EquilibriumKind::Center, 0, 1, 0},
                         {-kPi, EquilibriumKind::Saddle, 1, 0, -1},
                         {0, EquilibriumKind::Center, 0, 1, 0},
                         {kPi, EquilibriumKind::Saddle, 1, 0, -1},
                         {2 * kPi, EquilibriumKind::Center, 0, 1, 0}}},
        EquilibriumCase{"DampedPendulum",
                        typed("-sin(y) - c*y'", {0.5}),
                        -4,
                        4,
                        {{-kPi, EquilibriumKind::Saddle, (-0.5 + std::sqrt(4.25)) / 2, 0,
                          (-0.5 - std::sqrt(4.25)) / 2},
                         {0, EquilibriumKind::StableFocus, -0.25, std::sqrt(3.75) / 2, -0.25},
                         {kPi, EquilibriumKind::Saddle, (-0.5 + std::sqrt(4.25)) / 2, 0,
                          (-0.5 - std::sqrt(4.25)) / 2}}},
        // Duffing's double well: y'' = y - y^3, saddle at 0, centers at +-1.
        EquilibriumCase{"DoubleWell",
                        typed("y - y^3"),
                        -5,
                        15,
                        {{-1, EquilibriumKind::Center, 0, std::sqrt(2.0), 0},
                         {0, EquilibriumKind::Saddle, 1, 0, -1},
                         {1, EquilibriumKind::Center, 0, std::sqrt(2.0), 0}}},
        EquilibriumCase{"UnstableNode",
                        typed("5*y' - 4*y"),
                        -5,
                        15,
                        {{0, EquilibriumKind::UnstableNode, 4, 0, 1}}},
        // y'' = y^2: a double root, both eigenvalues 0.
        EquilibriumCase{"DoubleRootAtAScanPoint",
                        typed("-y^3"),
                        -5,
                        15,
                        {{0, EquilibriumKind::Degenerate, 0, 0, 0}}},
        // 1/y changes sign at 0 without a zero: a pole is no equilibrium.
        EquilibriumCase{"PoleIsNone", typed("1/(y - 0.3)"), -5, 15, {}},
        EquilibriumCase{"OutOfRange", builtin(Builtin::Cosmos, 1.0), 2, 15, {}}),
    [](const auto &info) { return info.param.name; });

struct AnswerCase
{
    std::string name;
    RunParameters p;
    double from, to;
    EquilibriumSearch::Answer answer;
    std::string note;
    std::size_t count; // found, where the answer is Found
};

void PrintTo(const AnswerCase &c, std::ostream *os)
{
    *os << c.name;
}

class EquilibriumAnswers : public testing::TestWithParam<AnswerCase>
{
};

TEST_P(EquilibriumAnswers, AreClearForHostileEquationsAndRanges)
{
    const AnswerCase &c = GetParam();
    const EquilibriumSearch s = findEquilibria(c.p, c.from, c.to);
    EXPECT_EQ(s.answer, c.answer);
    EXPECT_EQ(s.note, c.note);
    EXPECT_EQ(s.found.size(), c.count);
    for (const Equilibrium &e : s.found)
        EXPECT_TRUE(e.y >= c.from && e.y <= c.to) << e.y;
}

constexpr double kMax = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(
    Phase, EquilibriumAnswers,
    testing::Values(
        AnswerCase{"SineForcedDependsOnX", builtin(Builtin::SineForced), -5, 15,
                   EquilibriumSearch::Answer::DependsOnX,
                   "no equilibria: the equation depends on x", 0},
        AnswerCase{"EmdenDependsOnX", builtin(Builtin::Emden, 2), -5, 15,
                   EquilibriumSearch::Answer::DependsOnX,
                   "no equilibria: the equation depends on x", 0},
        AnswerCase{"FormulaWithX", typed("-y + x"), -5, 15, EquilibriumSearch::Answer::DependsOnX,
                   "no equilibria: the equation depends on x", 0},
        AnswerCase{"ZeroEverywhere", typed("0*y"), -5, 15, EquilibriumSearch::Answer::Everywhere,
                   "every point of y' = 0 is an equilibrium: g(y, 0) is 0 there", 0},
        AnswerCase{"NoEquationChosen", builtin(Builtin::None), -5, 15,
                   EquilibriumSearch::Answer::Everywhere,
                   "every point of y' = 0 is an equilibrium: g(y, 0) is 0 there", 0},
        // 637 roots between -5 and 15.
        AnswerCase{"ThousandsInView", typed("sin(100*y)"), -5, 15,
                   EquilibriumSearch::Answer::TooMany,
                   "more than 200 equilibria in this range: zoom in to see them", 0},
        // Zoomed in, the same equation's roots are found: k pi / 100 for k = 0 to 3.
        AnswerCase{"ThousandsZoomedIn", typed("sin(100*y)"), -0.001, 0.1,
                   EquilibriumSearch::Answer::Found, "", 4},
        AnswerCase{"NoRoot", typed("1 + y^2"), -5, 15, EquilibriumSearch::Answer::Found,
                   "no equilibria in view", 0},
        AnswerCase{"TinyView", builtin(Builtin::Oscillator), -1e-300, 1e-300,
                   EquilibriumSearch::Answer::Found, "", 1},
        AnswerCase{"TinyViewAwayFromRoot", builtin(Builtin::Oscillator), 1.0, 1.0 + 1e-15,
                   EquilibriumSearch::Answer::Found, "no equilibria in view", 0},
        AnswerCase{"WholeDoubleRange", builtin(Builtin::Oscillator), -kMax, kMax,
                   EquilibriumSearch::Answer::Found, "", 1},
        AnswerCase{"EmptyRange", builtin(Builtin::Oscillator), 1, 1,
                   EquilibriumSearch::Answer::Found, "no equilibria in view", 0},
        AnswerCase{"NotANumberRange", builtin(Builtin::Oscillator),
                   std::numeric_limits<double>::quiet_NaN(), 1, EquilibriumSearch::Answer::Found,
                   "no equilibria in view", 0},
        // sqrt has no value below 0, and its partial none at 0.
        AnswerCase{"NoValueAtTheRoot", typed("sqrt(y)"), -5, 15, EquilibriumSearch::Answer::Found,
                   "no equilibria in view", 0}),
    [](const auto &info) { return info.param.name; });

struct LineCase
{
    std::string name;
    RunParameters p;
    double from, to;
    std::vector<std::string> lines;
};

void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << c.name;
}

class EquilibriumLines : public testing::TestWithParam<LineCase>
{
};

TEST_P(EquilibriumLines, GiveYToTheLastDigitAndTheEigenvalues)
{
    const LineCase &c = GetParam();
    std::vector<std::string> lines;
    for (const Equilibrium &e : findEquilibria(c.p, c.from, c.to).found)
        lines.push_back(equilibriumLine(e));
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Phase, EquilibriumLines,
    testing::Values(LineCase{"VanDerPol",
                             builtin(Builtin::VanDerPol),
                             -5,
                             15,
                             {"y = 0, y' = 0: unstable focus, eigenvalues 0.5 ± 0.866025i"}},
                    LineCase{"Oscillator",
                             builtin(Builtin::Oscillator),
                             -5,
                             15,
                             {"y = 0, y' = 0: center, eigenvalues 0 ± 1i"}},
                    LineCase{"Damped",
                             builtin(Builtin::Damped),
                             -5,
                             15,
                             {"y = 0, y' = 0: stable node, eigenvalues -1, -5"}},
                    LineCase{"Cosmos",
                             builtin(Builtin::Cosmos, 1.0),
                             -5,
                             15,
                             {"y = 1, y' = 0: saddle, eigenvalues 1, -1"}},
                    LineCase{"Pendulum",
                             typed("-sin(y)"),
                             3,
                             7,
                             {"y = 3.141592653589793, y' = 0: saddle, eigenvalues 1, -1",
                              "y = 6.283185307179586, y' = 0: center, eigenvalues 0 ± 1i"}}),
    [](const auto &info) { return info.param.name; });

TEST(EquilibriumVectors, AreTheEigenvectorsOfTheJacobian)
{
    // For each class: J v = l v with J = [[0, 1], [byY, bySlope]], |v| = 1.
    for (const auto &[byY, bySlope] : std::vector<std::pair<double, double>>{
             {1, 0}, {-1, 0}, {-5, -6}, {-1, 1}, {-4, 5}, {2, -0.5}, {0, 1}}) {
        const Equilibrium e = classify(0, byY, bySlope);
        for (int k = 0; k < 2; ++k) {
            const auto l = e.eigenvalues[k];
            const auto *v = e.eigenvectors[k];
            EXPECT_NEAR(std::abs(v[1] - l * v[0]), 0, 1e-15);
            EXPECT_NEAR(std::abs(byY * v[0] + bySlope * v[1] - l * v[1]), 0, 1e-14);
            EXPECT_NEAR(std::norm(v[0]) + std::norm(v[1]), 1, 1e-15);
        }
    }
    EXPECT_EQ(eigenvectorText(classify(0, 1, 0)), "(0.707107, 0.707107), (0.707107, -0.707107)");
    EXPECT_EQ(eigenvectorText(classify(0, -1, 1)), "(0.707107, 0.353553 ± 0.612372i)");
}

// ---- Nullclines ---------------------------------------------------------------------

struct NullclineCase
{
    std::string name;
    RunParameters p;
    double x;
    PhaseBox box;
    // Where the curve g = 0 is, as the distance of a point from it in the box's units;
    // none: nothing is to be drawn.
    std::function<double(double y, double z)> off;
    double length; // of all branches in the box; 0: none
};

void PrintTo(const NullclineCase &c, std::ostream *os)
{
    *os << c.name;
}

class Nullclines : public testing::TestWithParam<NullclineCase>
{
};

TEST_P(Nullclines, LieOnTheCurveWithEveryBranch)
{
    const NullclineCase &c = GetParam();
    const auto segments = slopeNullcline(c.p, c.x, c.box, 200, 160);
    double length = 0;
    for (const PhaseSegment &s : segments) {
        for (const PhasePoint &q : {s.a, s.b}) {
            EXPECT_LT(c.off(q.y, q.z), 1e-6) << q.y << ", " << q.z;
            EXPECT_TRUE(q.y >= c.box.left && q.y <= c.box.right && q.z >= c.box.bottom &&
                        q.z <= c.box.top);
        }
        length += std::hypot(s.b.y - s.a.y, s.b.z - s.a.z);
    }
    // The chords of a smooth curve are a little shorter than its arcs.
    EXPECT_NEAR(length, c.length, 0.002 * c.length + 1e-12);
}

// The length of z = f(y) over [a, b] in the box, by many chords.
double graphLength(const std::function<double(double)> &f, double a, double b, double bottom,
                   double top)
{
    double length = 0;
    const int n = 200000;
    for (int k = 0; k < n; ++k) {
        const double y0 = a + (b - a) * k / n, y1 = a + (b - a) * (k + 1) / n;
        const double z0 = std::clamp(f(y0), bottom, top), z1 = std::clamp(f(y1), bottom, top);
        if (f(y0) >= bottom && f(y0) <= top && f(y1) >= bottom && f(y1) <= top)
            length += std::hypot(y1 - y0, z1 - z0);
    }
    return length;
}

const double kVanDerPolLength =
    graphLength([](double y) { return y / (1 - y * y); }, -3, -1 - 1e-9, -3, 3) +
    graphLength([](double y) { return y / (1 - y * y); }, -1 + 1e-9, 1 - 1e-9, -3, 3) +
    graphLength([](double y) { return y / (1 - y * y); }, 1 + 1e-9, 3, -3, 3);

INSTANTIATE_TEST_SUITE_P(
    Phase, Nullclines,
    testing::Values(
        // (1 - y^2) y' = y: three branches, two of them going off the box up and down.
        NullclineCase{"VanDerPolThreeBranches",
                      builtin(Builtin::VanDerPol),
                      0,
                      {-3, 3, -3, 3},
                      [](double y, double z) { return std::fabs((1 - y * y) * z - y); },
                      kVanDerPolLength},
        NullclineCase{"ClosedCircle",
                      typed("1 - y^2 - y'^2"),
                      0,
                      {-2, 2, -1.5, 1.5},
                      [](double y, double z) { return std::fabs(std::hypot(y, z) - 1); },
                      2 * kPi},
        // Two closed curves, one inside the other: every branch.
        NullclineCase{"TwoRings",
                      typed("(y^2 + y'^2 - 1)*(y^2 + y'^2 - 4)"),
                      0,
                      {-3, 3, -3, 3},
                      [](double y, double z) {
                          const double r = std::hypot(y, z);
                          return std::min(std::fabs(r - 1), std::fabs(r - 2));
                      },
                      6 * kPi},
        // The damped equation: -6 y' = 5 y, a line through the box.
        NullclineCase{"DampedLine",
                      builtin(Builtin::Damped),
                      0,
                      {-5, 15, -10, 10},
                      [](double y, double z) { return std::fabs(6 * z + 5 * y); },
                      std::hypot(17.0, 17.0 * 5 / 6)},
        // At x = 1 the forced oscillator's nullcline is y = sin(1)/2, a vertical line.
        NullclineCase{"SineForcedAtItsX",
                      builtin(Builtin::SineForced),
                      1,
                      {-1, 1, -2, 2},
                      [](double y, double) { return std::fabs(y - std::sin(1.0) / 2); },
                      4},
        NullclineCase{"PoleIsNoBranch",
                      typed("1/(y - 0.3)"),
                      0,
                      {-1, 1, -1, 1},
                      [](double, double) { return 1.0; },
                      0},
        NullclineCase{"ZeroEverywhereDrawsNothing",
                      typed("0*y"),
                      0,
                      {-1, 1, -1, 1},
                      [](double, double) { return 1.0; },
                      0},
        NullclineCase{"TinyBox",
                      builtin(Builtin::Oscillator),
                      0,
                      {-1e-300, 1e-300, -1, 1},
                      [](double y, double) { return std::fabs(y) * 1e300; },
                      2},
        NullclineCase{"WholeDoubleRange",
                      builtin(Builtin::Damped),
                      0,
                      {-kMax, kMax, -kMax, kMax},
                      [](double y, double z) { return std::fabs(6 * (z / kMax) + 5 * (y / kMax)); },
                      std::hypot(2.0, 2.0 * 5 / 6) * kMax}),
    [](const auto &info) { return info.param.name; });

TEST(Nullclines, StopWhenAborted)
{
    const std::atomic<bool> raised{true};
    EXPECT_TRUE(
        slopeNullcline(builtin(Builtin::VanDerPol), 0, {-3, 3, -3, 3}, 100, 100, &raised).empty());
    // An empty or reversed box has none.
    EXPECT_TRUE(slopeNullcline(builtin(Builtin::VanDerPol), 0, {3, -3, -3, 3}, 100, 100).empty());
}

// ---- Separatrices --------------------------------------------------------------------

struct SeparatrixCase
{
    std::string name;
    RunParameters p;
    double saddle;
    PhaseBox box;
    // A quantity the flow keeps, and its value on the saddle's level.
    std::function<double(double y, double z)> energy;
    int leaving; // branches that leave the box; the others end at rest
};

void PrintTo(const SeparatrixCase &c, std::ostream *os)
{
    *os << c.name;
}

class Separatrices : public testing::TestWithParam<SeparatrixCase>
{
};

TEST_P(Separatrices, KeepTheSaddlesEnergyAndLeaveItAlongItsEigenvectors)
{
    const SeparatrixCase &c = GetParam();
    const auto search = findEquilibria(c.p, c.saddle - 0.01, c.saddle + 0.01);
    ASSERT_EQ(search.found.size(), 1u);
    const Equilibrium &e = search.found[0];
    ASSERT_EQ(e.kind, EquilibriumKind::Saddle);
    const auto branches = separatrices(c.p, e, c.box);
    ASSERT_EQ(branches.size(), 4u);
    const double level = c.energy(e.y, 0);
    int stable = 0, leaving = 0;
    const double width = c.box.right - c.box.left, height = c.box.top - c.box.bottom;
    for (const Separatrix &s : branches) {
        stable += s.stable ? 1 : 0;
        ASSERT_GT(s.points.size(), 10u);
        EXPECT_EQ(s.points.front(), (PhasePoint{e.y, 0}));
        for (const PhasePoint &q : s.points)
            ASSERT_NEAR(c.energy(q.y, q.z), level, 1e-6) << q.y << ", " << q.z;
        const PhasePoint &end = s.points.back();
        if (end.y < c.box.left || end.y > c.box.right || end.z < c.box.bottom || end.z > c.box.top)
            ++leaving;
        // No gap wider than a few spacings between points.
        for (std::size_t k = 1; k < s.points.size(); ++k)
            ASSERT_LT(std::hypot((s.points[k].y - s.points[k - 1].y) / width,
                                 (s.points[k].z - s.points[k - 1].z) / height),
                      0.01);
    }
    EXPECT_EQ(stable, 2);
    EXPECT_EQ(leaving, c.leaving);
}

INSTANTIATE_TEST_SUITE_P(
    Phase, Separatrices,
    testing::Values(
        // The pendulum's separatrices bound its oscillations: the level z^2/2 - cos y = 1 of
        // the saddles. From pi two branches run to the saddle at -pi, two on beyond the box
        // towards 3 pi.
        SeparatrixCase{"PendulumBoundsItsOscillations",
                       typed("-sin(y)"),
                       kPi,
                       {-7, 7, -3, 3},
                       [](double y, double z) { return z * z / 2 - std::cos(y); },
                       2},
        // y'' = y - y^3: the two homoclinic loops of the saddle at 0 come back to it.
        SeparatrixCase{"DoubleWellLoops",
                       typed("y - y^3"),
                       0,
                       {-2, 2, -1, 1},
                       [](double y, double z) { return z * z / 2 - y * y / 2 + y * y * y * y / 4; },
                       0},
        // Cosmos with lam = 1: g = (y - 1/y^2)/3 = -V'(y), V = -(y^2/2 + 1/y)/3.
        SeparatrixCase{"CosmosSaddle",
                       builtin(Builtin::Cosmos, 1.0),
                       1,
                       {0.2, 3, -2, 2},
                       [](double y, double z) { return z * z / 2 - (y * y / 2 + 1 / y) / 3; },
                       4}),
    [](const auto &info) { return info.param.name; });

TEST(Separatrices, NoneButForASaddle)
{
    const auto search = findEquilibria(builtin(Builtin::VanDerPol), -1, 1);
    ASSERT_EQ(search.found.size(), 1u);
    EXPECT_TRUE(separatrices(builtin(Builtin::VanDerPol), search.found[0], {-3, 3, -3, 3}).empty());
    // A saddle of a box without width has none either.
    const Equilibrium saddle = classify(0, 1, 0);
    EXPECT_TRUE(separatrices(typed("y"), saddle, {0, 0, -1, 1}).empty());
    const std::atomic<bool> raised{true};
    EXPECT_TRUE(separatrices(typed("y"), saddle, {-1, 1, -1, 1}, 0.002, &raised).empty());
}

} // namespace

// ---- The read-out of a run ----------------------------------------------------------------

namespace readout {

RunParameters run(RunParameters p, double y0, double z0, double xf, double x0 = 0.0)
{
    p.x0 = x0, p.y0 = y0, p.z0 = z0, p.xf = xf;
    return p;
}

// The Lane-Emden solution of index n from the series about 0 at x0 = 0.01, exact there to
// far below the run's own error.
RunParameters emden(double n, double xf)
{
    constexpr double x0 = 0.01;
    return run(builtin(Builtin::Emden, n), 1 - x0 * x0 / 6 + n * x0 * x0 * x0 * x0 / 120,
               -x0 / 3 + n * x0 * x0 * x0 / 30, xf, x0);
}

struct OrbitCase
{
    std::string name;
    RunParameters p;
    std::optional<double> period; // none: no closed form
    double amplitude, middle;
    double tolerance;
};

void PrintTo(const OrbitCase &c, std::ostream *os)
{
    *os << c.name;
}

class Orbit : public testing::TestWithParam<OrbitCase>
{
};

TEST_P(Orbit, HasThePeriodAndAmplitudeOfTheCycle)
{
    const OrbitCase &c = GetParam();
    const Readout r = readRun(c.p);
    ASSERT_TRUE(r.orbit) << readoutLines(r)[1];
    if (c.period) {
        EXPECT_NEAR(r.orbit->period, *c.period, c.tolerance);
    }
    EXPECT_NEAR(r.orbit->amplitude, c.amplitude, c.tolerance);
    EXPECT_NEAR(r.orbit->middle, c.middle, c.tolerance);
    EXPECT_GE(r.orbit->agreeing, kOrbitCycles);
    EXPECT_GE(r.orbit->digits, kOrbitDigits);
    EXPECT_FALSE(r.settles);
}

// y'' = -sin y from rest at y = a: period 4 K(sin(a/2)).
const double kPendulumPeriod = 4 * std::comp_ellint_1(std::sin(0.5));
// Cosmos with lam = -1 keeps (y'^2 + y^2 / 3 - 2 / (3y)) / 2: from rest at -1/2 it turns
// at the other root of y^2 - 2/y = 17/4 below -1.
const double kCosmosBottom = [] {
    double lo = -3, hi = -1;
    for (int k = 0; k < 200; ++k) {
        const double mid = (lo + hi) / 2;
        (mid * mid - 2 / mid > 4.25 ? lo : hi) = mid;
    }
    return lo;
}();

INSTANTIATE_TEST_SUITE_P(
    Readout, Orbit,
    testing::Values(
        // The limit cycle of van der Pol's equation with mu = 1, to four decimals.
        OrbitCase{"VanDerPol", run(builtin(Builtin::VanDerPol), 2, 0, 200), 6.6633, 2.0086, 0,
                  5e-5},
        OrbitCase{"VanDerPolFromNearZero", run(builtin(Builtin::VanDerPol), 0.1, 0, 200), 6.6633,
                  2.0086, 0, 5e-5},
        OrbitCase{"Oscillator", run(builtin(Builtin::Oscillator), 0, 1, 100), 2 * kPi, 1, 0, 1e-5},
        OrbitCase{"Pendulum", run(typed("-sin(y)"), 1, 0, 100), kPendulumPeriod, 1, 0, 1e-5},
        OrbitCase{"CosmosAboutItsCenter", run(builtin(Builtin::Cosmos, -1.0), -0.5, 0, 60),
                  std::nullopt, (-0.5 - kCosmosBottom) / 2, (-0.5 + kCosmosBottom) / 2, 1e-5}),
    [](const auto &info) { return info.param.name; });

struct EndCase
{
    std::string name;
    RunParameters p;
    std::optional<Expected> settles; // none: neither an orbit nor an equilibrium
};

void PrintTo(const EndCase &c, std::ostream *os)
{
    *os << c.name;
}

class RunEnd : public testing::TestWithParam<EndCase>
{
};

TEST_P(RunEnd, IsTheEquilibriumItSettlesOnOrNeither)
{
    const EndCase &c = GetParam();
    const Readout r = readRun(c.p);
    EXPECT_FALSE(r.orbit);
    ASSERT_EQ(r.settles.has_value(), c.settles.has_value());
    const std::string line = readoutLines(r)[1];
    if (!c.settles) {
        EXPECT_EQ(line, "No periodic orbit found.");
        return;
    }
    EXPECT_NEAR(r.settles->at.y, c.settles->y, 1e-12);
    EXPECT_EQ(r.settles->at.kind, c.settles->kind);
    EXPECT_NEAR(r.settles->at.eigenvalues[0].real(), c.settles->re1, 1e-12);
    EXPECT_NEAR(r.settles->at.eigenvalues[1].real(), c.settles->re2, 1e-12);
    EXPECT_LE(r.settles->distance, 1e-6);
    EXPECT_EQ(line.rfind("Settles on the equilibrium " + equilibriumLine(r.settles->at), 0), 0u)
        << line;
}

INSTANTIATE_TEST_SUITE_P(
    Readout, RunEnd,
    testing::Values(
        // 4.25 e^-x from the default start: far below 1e-6 at x = 50, not yet at 5.
        EndCase{"DampedSettles", run(builtin(Builtin::Damped), 0.01, 16.947, 50),
                Expected{0, EquilibriumKind::StableNode, -1, 0, -5}},
        EndCase{"DampedNotYet", run(builtin(Builtin::Damped), 0.01, 16.947, 5), std::nullopt},
        EndCase{"DampedPendulum", run(typed("-sin(y) - c*y'", {0.5}), 1, 0, 100),
                Expected{0, EquilibriumKind::StableFocus, -0.25, std::sqrt(3.75) / 2, -0.25}},
        // Started on its saddle, Cosmos stays there: g(1, 0) is exactly 0.
        EndCase{"CosmosAtItsSaddle", run(builtin(Builtin::Cosmos, 1.0), 1, 0, 10),
                Expected{1, EquilibriumKind::Saddle, 1, 0, -1}},
        // Its period stays while its amplitude falls by 3 % a cycle: a spiral, no orbit.
        EndCase{"LightlyDampedSpiral", run(typed("-y - 0.01*y'"), 1, 0, 200), std::nullopt},
        // Two frequencies, 1 and sqrt 2, that never share a period.
        EndCase{"SineForced", run(builtin(Builtin::SineForced), 0.01, 16.947, 200), std::nullopt}),
    [](const auto &info) { return info.param.name; });

struct EmdenCase
{
    std::string name;
    double n;
    std::optional<double> firstZero; // the textbooks' xi_1
};

void PrintTo(const EmdenCase &c, std::ostream *os)
{
    *os << c.name;
}

class EmdenZero : public testing::TestWithParam<EmdenCase>
{
};

TEST_P(EmdenZero, IsTheTextbooksFirstZeroToFourDecimals)
{
    const EmdenCase &c = GetParam();
    const Readout r = readRun(emden(c.n, c.firstZero ? 20 : 50));
    if (!c.firstZero) {
        EXPECT_EQ(r.zeros.count, 0u);
        return;
    }
    ASSERT_EQ(r.zeros.count, 1u);
    // Within half a unit of the fourth decimal of the exact value.
    EXPECT_NEAR(r.zeros.first[0], *c.firstZero, 5e-5);
    // After the last sample: the run stops there, or its next step has no value.
    EXPECT_GT(r.zeros.first[0], r.lastX);
    EXPECT_LE(r.zeros.first[0], r.lastX + solver::h);
    EXPECT_NE(r.zeroAfterLast, Readout::After::None);
}

INSTANTIATE_TEST_SUITE_P(
    Readout, EmdenZero,
    testing::Values(EmdenCase{"IndexZero", 0, std::sqrt(6.0)}, EmdenCase{"IndexOne", 1, kPi},
                    // y^1.5 of the stage below 0 has no value: the last cubic, continued.
                    EmdenCase{"IndexOneAndAHalf", 1.5, 3.65375374},
                    EmdenCase{"IndexTwo", 2, 4.35287460}, EmdenCase{"IndexThree", 3, 6.89684862},
                    EmdenCase{"IndexFour", 4, 14.9715463},
                    // Schuster's solution (1 + x^2/3)^(-1/2) never reaches 0.
                    EmdenCase{"IndexFive", 5, std::nullopt}),
    [](const auto &info) { return info.param.name; });

TEST(Readout, OscillatorsZerosAndExtremaAreAtMultiplesOfHalfPi)
{
    // sin x over [0, 100]: 32 zeros, at k pi; 16 maxima at pi/2 + 2k pi, 16 minima pi after.
    const RunParameters p = run(builtin(Builtin::Oscillator), 0, 1, 100);
    const Readout r = readRun(p);
    EXPECT_EQ(r.zeros.count, 32u);
    EXPECT_EQ(r.maxima, 16u);
    EXPECT_EQ(r.minima, 16u);
    // Where |y'| = 1 a zero is off by no more than y is: within the run's own error, which
    // the single-precision slope sets.
    struct Error : solver::StateSink
    {
        double most = 0;
        bool state(const solver::GridState &s) override
        {
            most = std::max({most, std::fabs(s.y - std::sin(s.x)),
                             std::fabs(static_cast<double>(s.z) - std::cos(s.x))});
            return true;
        }
    } error;
    solver::run(p, error);
    EXPECT_LT(error.most, 3e-6);
    const auto near = [&](double x, double at) { EXPECT_NEAR(x, at, error.most) << at; };
    for (std::size_t k = 0; k < r.zeros.first.size(); ++k)
        near(r.zeros.first[k], kPi * static_cast<double>(k));
    for (std::size_t k = 0; k < r.zeros.last.size(); ++k)
        near(r.zeros.last[k], kPi * static_cast<double>(22 + k));
    EXPECT_EQ(r.zeros.first[0], 0.0); // y0 itself
    for (std::size_t k = 0; k < r.extrema.first.size(); ++k) {
        const Extremum &e = r.extrema.first[k];
        near(e.x, kPi / 2 + kPi * static_cast<double>(k));
        EXPECT_EQ(e.maximum, k % 2 == 0);
        near(e.y, e.maximum ? 1 : -1);
    }
    const std::vector<std::string> lines = readoutLines(r);
    ASSERT_EQ(lines.size(), 46u);
    EXPECT_EQ(lines[2], "32 zeros of y, the first 10 and the last 10:");
    EXPECT_EQ(lines[3], "  x = 0");
    EXPECT_EQ(lines[13], "  (12 more)");
    EXPECT_EQ(lines[24], "16 maxima and 16 minima of y, the first 10 and the last 10:");
    EXPECT_EQ(lines[35], "  (12 more)");
}

TEST(Readout, ZeroSlopeAtTheStartIsNoExtremum)
{
    // From rest at y = 1 the oscillator's first extremum is the minimum at pi.
    const Readout r = readRun(run(builtin(Builtin::Oscillator), 1, 0, 5));
    ASSERT_EQ(r.extrema.count, 1u);
    EXPECT_FALSE(r.extrema.first[0].maximum);
    EXPECT_NEAR(r.extrema.first[0].x, kPi, 3e-6);
    ASSERT_EQ(r.zeros.count, 2u);
    EXPECT_NEAR(r.zeros.first[0], kPi / 2, 3e-6);
    EXPECT_NEAR(r.zeros.first[1], 3 * kPi / 2, 3e-6);
}

TEST(Readout, TellsTheRunsEndAndWhatItPasses)
{
    // Emden of index 1, y = sin x / x: no extremum after its start, one zero, where it stops.
    const std::vector<std::string> lines = readoutLines(readRun(emden(1, 20)));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "314 samples, x from 0.01 to 3.14.");
    EXPECT_EQ(lines[1], "No periodic orbit found.");
    EXPECT_EQ(lines[2], "1 zero of y:");
    EXPECT_EQ(lines[3].substr(0, 11), "  x = 3.141");
    EXPECT_TRUE(lines[3].ends_with(" (after the last sample: the run stopped here, at y <= 0)"));
    EXPECT_EQ(lines[4], "No maximum and no minimum of y.");
    // The zero after xf is none of the run's: it ends at 3.141, the zero lies at pi.
    EXPECT_EQ(readRun(emden(1, 3.141)).zeros.count, 0u);
    EXPECT_EQ(readoutLines(readRun(run(builtin(Builtin::Oscillator), 1, 0, -1))),
              std::vector<std::string>{"The run has no samples."});
    // Van der Pol's cycle, its numbers to the digits its cycles agree to.
    EXPECT_EQ(readoutLines(readRun(run(builtin(Builtin::VanDerPol), 2, 0, 200)))[1],
              "Ends on a periodic orbit: period 6.6633 (all 29 cycles agree to 5 digits), "
              "amplitude 2.0086.");
    EXPECT_EQ(readoutLines(readRun(run(builtin(Builtin::Cosmos, -1.0), -0.5, 0, 60)))[1],
              "Ends on a periodic orbit: period 6.10468 (all 8 cycles agree to 6 digits), "
              "amplitude 0.632782 about y = -1.13278.");
}

TEST(Readout, KeepsTheLastCyclesOfALongRun)
{
    // 10^6 samples, 1500 cycles: the last 1000 are compared.
    const Readout r = readRun(run(builtin(Builtin::VanDerPol), 2, 0, 10000));
    ASSERT_TRUE(r.orbit);
    EXPECT_EQ(r.orbit->agreeing, kComparedCycles);
    EXPECT_TRUE(r.orbit->allCompared);
    EXPECT_GT(r.orbit->cycles, kComparedCycles);
    EXPECT_NEAR(r.orbit->period, 6.6633, 5e-5);
    EXPECT_NE(readoutLines(r)[1].find("; no more are compared)"), std::string::npos);
    // Only the first and the last extrema are kept, whatever their count.
    EXPECT_EQ(r.extrema.first.size() + r.extrema.last.size(), 20u);
    EXPECT_EQ(r.extrema.count, r.maxima + r.minima);
}

TEST(Readout, ALimitedRunEndsThereAndAnAbandonedOneWhereItWas)
{
    const RunParameters p = run(builtin(Builtin::Oscillator), 0, 1, 100);
    const Readout first = readRun(p, 315);
    EXPECT_EQ(first.samples, 315u);
    EXPECT_EQ(first.lastX, solver::gridAbscissa(0, 314));
    // 0, and pi between 3.14 and 3.15 is beyond the last sample, 3.14.
    EXPECT_EQ(first.zeros.count, 1u);
    // Abandoned at its first report: the read-out of the samples before it, no more.
    int calls = 0;
    const Readout abandoned = readRun(run(builtin(Builtin::Oscillator), 0, 1, 1000),
                                      ~std::uint64_t{0}, [&](double fraction) {
                                          EXPECT_GT(fraction, 0);
                                          EXPECT_LT(fraction, 1);
                                          return ++calls < 0;
                                      });
    EXPECT_EQ(calls, 1);
    EXPECT_GT(abandoned.samples, 0u);
    EXPECT_LT(abandoned.samples, 100001u);
    EXPECT_EQ(abandoned.lastX, solver::gridAbscissa(0, abandoned.samples - 1));
}

} // namespace readout
