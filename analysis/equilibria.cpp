// SPDX-License-Identifier: MIT

#include "analysis/equilibria.h"

#include "analysis/bracket.h"
#include "solver/checked.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace analysis {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// g(y, 0) as a run's later evaluations compute it; not a number where it has no value.
double gAtRest(const solver::RunParameters &p, double y)
{
    solver::Checked c;
    const double v = solver::g(p, 0.0, y, 0.0, c);
    return c.ok() ? v : kNoValue;
}

// Scan point k of n from `from` to `to`, both ends exact, with no overflow near the
// double range: each end is divided before they are summed.
double scanPoint(double from, double to, int k, int n)
{
    if (k == 0)
        return from;
    if (k == n)
        return to;
    const double t = static_cast<double>(k) / static_cast<double>(n);
    return from * (1.0 - t) + to * t;
}

// The root of g(y, 0) between a and b, where g has values of opposite signs ga and gb, to
// adjacent doubles; none where the bracket closes on a pole or on a point without a value.
std::optional<double> bisect(const solver::RunParameters &p, double a, double b, double ga,
                             double gb)
{
    const double ga0 = ga, gb0 = gb;
    // Each halving at least halves the bracket's width in doubles: about 2100 at most
    // from the widest bracket down to adjacent subnormals.
    for (int i = 0; i < 2200; ++i) {
        const double mid = a / 2.0 + b / 2.0;
        if (!(mid > a && mid < b))
            break;
        const double gm = gAtRest(p, mid);
        if (std::isnan(gm))
            return std::nullopt;
        if (gm == 0.0)
            return mid;
        if (std::signbit(gm) == std::signbit(ga))
            a = mid, ga = gm;
        else
            b = mid, gb = gm;
    }
    if (closesOnPole(ga0, gb0, ga, gb))
        return std::nullopt;
    return std::fabs(ga) <= std::fabs(gb) ? a : b;
}

std::string number(double v, int digits)
{
    char buffer[40];
    v += 0.0; // no "-0"
    const auto r = digits > 0 ? std::to_chars(buffer, buffer + sizeof buffer, v,
                                              std::chars_format::general, digits)
                              : std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::string complexText(std::complex<double> v)
{
    if (v.imag() == 0.0)
        return number(v.real(), 6);
    return number(v.real(), 6) + (v.imag() < 0 ? " - " : " + ") + number(std::fabs(v.imag()), 6) +
           "i";
}

} // namespace

const char *kindName(EquilibriumKind kind)
{
    switch (kind) {
    case EquilibriumKind::Saddle:
        return "saddle";
    case EquilibriumKind::StableNode:
        return "stable node";
    case EquilibriumKind::UnstableNode:
        return "unstable node";
    case EquilibriumKind::StableFocus:
        return "stable focus";
    case EquilibriumKind::UnstableFocus:
        return "unstable focus";
    case EquilibriumKind::Center:
        return "center";
    case EquilibriumKind::Degenerate:
        break;
    }
    return "degenerate";
}

Equilibrium classify(double y, double byY, double bySlope)
{
    // The characteristic polynomial l^2 - T l + D with trace T = dg/dy' and determinant
    // D = -dg/dy.
    Equilibrium e;
    e.y = y;
    e.byY = byY;
    e.bySlope = bySlope;
    const double trace = bySlope;
    const double det = -byY;
    const double disc = trace * trace - 4.0 * det;
    if (disc >= 0.0) {
        // The root of larger magnitude without cancellation, the other from the product.
        const double q = (trace + std::copysign(std::sqrt(disc), trace)) / 2.0;
        const double l1 = q;
        const double l2 = q != 0.0 ? det / q : 0.0;
        e.eigenvalues[0] = std::max(l1, l2);
        e.eigenvalues[1] = std::min(l1, l2);
    } else {
        const double im = std::sqrt(-disc) / 2.0;
        e.eigenvalues[0] = {trace / 2.0, im};
        e.eigenvalues[1] = {trace / 2.0, -im};
    }
    if (det == 0.0)
        e.kind = EquilibriumKind::Degenerate;
    else if (det < 0.0)
        e.kind = EquilibriumKind::Saddle;
    else if (disc >= 0.0)
        e.kind = trace < 0.0 ? EquilibriumKind::StableNode : EquilibriumKind::UnstableNode;
    else if (trace == 0.0)
        e.kind = EquilibriumKind::Center;
    else
        e.kind = trace < 0.0 ? EquilibriumKind::StableFocus : EquilibriumKind::UnstableFocus;
    for (int k = 0; k < 2; ++k) {
        const std::complex<double> l = e.eigenvalues[k];
        const double length = std::sqrt(1.0 + std::norm(l));
        e.eigenvectors[k][0] = 1.0 / length;
        e.eigenvectors[k][1] = l / length;
    }
    return e;
}

std::optional<Equilibrium> equilibriumAt(const solver::RunParameters &p, double y)
{
    const solver::Equation &eq = *p.eq;
    if (!eq.partials)
        return std::nullopt;
    const solver::Partials d = eq.partials(eq, p.values.data(), 0.0, y, 0.0);
    if (d.fault != solver::Fault::None || !std::isfinite(d.byY) || !std::isfinite(d.bySlope))
        return std::nullopt;
    return classify(y, d.byY, d.bySlope);
}

EquilibriumSearch findEquilibria(const solver::RunParameters &p, double from, double to,
                                 std::size_t limit)
{
    EquilibriumSearch s;
    if (p.eq->dependsOnX) {
        s.answer = EquilibriumSearch::Answer::DependsOnX;
        s.note = "no equilibria: the equation depends on x";
        return s;
    }
    if (!(from < to) || !std::isfinite(from) || !std::isfinite(to)) {
        s.note = "no equilibria in view";
        return s;
    }
    std::vector<double> roots;
    bool tooMany = false;
    const auto add = [&](double y) {
        if (!roots.empty() && roots.back() == y)
            return;
        if (roots.size() >= limit) {
            tooMany = true;
            return;
        }
        roots.push_back(y);
    };
    int points = 1, zeros = 0;
    double a = scanPoint(from, to, 0, kScanPoints);
    double ga = gAtRest(p, a);
    if (ga == 0.0)
        ++zeros, add(a);
    for (int k = 1; k <= kScanPoints; ++k) {
        const double b = scanPoint(from, to, k, kScanPoints);
        if (b <= a)
            continue; // a range a few doubles wide: the same point again
        ++points;
        const double gb = gAtRest(p, b);
        if (gb == 0.0) {
            ++zeros, add(b);
        } else if (!tooMany && ga != 0.0 && !std::isnan(ga) && !std::isnan(gb) &&
                   std::signbit(ga) != std::signbit(gb)) {
            if (const auto root = bisect(p, a, b, ga, gb))
                add(*root);
        }
        a = b, ga = gb;
    }
    if (zeros == points) {
        s.answer = EquilibriumSearch::Answer::Everywhere;
        s.note = "every point of y' = 0 is an equilibrium: g(y, 0) is 0 there";
        return s;
    }
    if (tooMany) {
        s.answer = EquilibriumSearch::Answer::TooMany;
        s.note =
            "more than " + std::to_string(limit) + " equilibria in this range: zoom in to see them";
        return s;
    }
    for (const double y : roots)
        if (const auto e = equilibriumAt(p, y))
            s.found.push_back(*e);
    if (s.found.empty())
        s.note = "no equilibria in view";
    return s;
}

std::string eigenvalueText(const Equilibrium &e)
{
    const std::complex<double> l = e.eigenvalues[0];
    if (l.imag() != 0.0)
        return number(l.real(), 6) + " ± " + number(l.imag(), 6) + "i";
    return number(l.real(), 6) + ", " + number(e.eigenvalues[1].real(), 6);
}

std::string eigenvectorText(const Equilibrium &e)
{
    const auto vector = [](const std::complex<double> *v) {
        std::string text = "(";
        text += complexText(v[0]);
        text += ", ";
        text += complexText(v[1]);
        text += ')';
        return text;
    };
    if (e.eigenvalues[0].imag() != 0.0) {
        // A conjugate pair: one vector with ± in its imaginary part.
        const std::complex<double> *v = e.eigenvectors[0];
        std::string text = "(";
        text += number(v[0].real(), 6);
        text += ", ";
        text += number(v[1].real(), 6);
        text += " ± ";
        text += number(std::fabs(v[1].imag()), 6);
        text += "i)";
        return text;
    }
    return vector(e.eigenvectors[0]) + ", " + vector(e.eigenvectors[1]);
}

std::string equilibriumLine(const Equilibrium &e)
{
    return "y = " + number(e.y, 0) + ", y' = 0: " + kindName(e.kind) + ", eigenvalues " +
           eigenvalueText(e);
}

} // namespace analysis
