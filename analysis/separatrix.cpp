// SPDX-License-Identifier: MIT

#include "analysis/separatrix.h"

#include "solver/checked.h"

#include <boost/numeric/odeint.hpp>

#include <array>
#include <cmath>
#include <functional>

namespace analysis {

namespace {

using State = std::array<double, 2>;

struct NoValue
{
};

// (y, y') -> (y', g), or its reverse, the same curves run the other way; an equation
// without x, so the time is the abscissa's difference only.
struct Flow
{
    const solver::RunParameters *p;
    double sign;
    std::uint64_t *evaluations;

    void operator()(const State &s, State &d, double) const
    {
        ++*evaluations;
        if (!std::isfinite(s[0]) || !std::isfinite(s[1]))
            throw NoValue{};
        solver::Checked c;
        const double g = solver::g(*p, 0.0, s[0], s[1], c);
        if (!c.ok())
            throw NoValue{};
        d[0] = sign * s[1];
        d[1] = sign * g;
    }
};

// The branch's start, as a share of the box from the saddle: close enough that the
// eigenvector's line is the manifold to well within a pixel, far enough that leaving the
// saddle takes a few dozen of its time constants at most.
constexpr double kStart = 1e-6;
// Tolerances of the steps, absolute and relative.
constexpr double kTolerance = 1e-10;
// Beyond the box by this share of it on each side, the branch is out of view.
constexpr double kMargin = 0.1;
// The work of one branch, in evaluations of g; and the time it may take, in units of the
// saddle's slowest time constant.
constexpr std::uint64_t kEvaluations = 400000;
constexpr double kTimeConstants = 2000.0;

class Branch
{
public:
    Branch(const solver::RunParameters &p, const PhaseBox &box, double spacing,
           std::span<const Equilibrium> rest)
        : m_p(p), m_box(box), m_spacing(spacing), m_width(box.right - box.left),
          m_height(box.top - box.bottom), m_rest(rest)
    {
    }

    // The branch from the saddle `from` along the eigenvector (dy, dz), the way `side` says,
    // forward when `sign` is 1 and backward when -1.
    Separatrix trace(const Equilibrium &from, double dy, double dz, double side, double sign,
                     double duration, const std::atomic<bool> *abort)
    {
        Separatrix s;
        s.stable = sign < 0;
        m_away = false;
        const double size = std::hypot(dy / m_width, dz / m_height);
        if (!(size > 0) || !std::isfinite(size))
            return s;
        const double step = side * kStart / size;
        State x{from.y + step * dy, step * dz};
        s.points.push_back({from.y, 0.0});
        s.points.push_back({x[0], x[1]});
        std::uint64_t evaluations = 0;
        const Flow flow{&m_p, sign, &evaluations};
        auto stepper = boost::numeric::odeint::make_dense_output(
            kTolerance, kTolerance, boost::numeric::odeint::runge_kutta_dopri5<State>());
        stepper.initialize(x, 0.0, 1e-3 * duration);
        try {
            while (stepper.current_time() < duration && evaluations < kEvaluations &&
                   s.points.size() < kSeparatrixPoints) {
                if (abort && abort->load(std::memory_order_relaxed))
                    return {};
                const double t0 = stepper.current_time();
                const State before = stepper.current_state();
                stepper.do_step(std::ref(flow));
                const State after = stepper.current_state();
                // Points no further apart than the spacing, from the dense output.
                const double apart =
                    std::hypot((after[0] - before[0]) / m_width, (after[1] - before[1]) / m_height);
                const int parts = static_cast<int>(std::min(64.0, std::ceil(apart / m_spacing)));
                const double t1 = stepper.current_time();
                for (int k = 1; k <= parts; ++k) {
                    State at = after;
                    if (k < parts)
                        stepper.calc_state(t0 + (t1 - t0) * k / parts, at);
                    s.points.push_back({at[0], at[1]});
                    if (!inView(at) || arrived(from, at))
                        return s;
                }
                if (t1 - t0 < 1e-12 * std::max(1.0, t1))
                    break; // the step collapsed: the flow has no value ahead
                if (apart < 1e-9 * (t1 - t0))
                    break; // come to rest at an equilibrium
            }
        } catch (const NoValue &) {
        } catch (...) {
            // odeint gives up after many rejected steps in a row: the branch ends there.
        }
        return s;
    }

private:
    // Within two spacings of an equilibrium, its own saddle once it has gone away from it.
    bool arrived(const Equilibrium &from, const State &at)
    {
        const auto apart = [&](double y) {
            return std::hypot((at[0] - y) / m_width, at[1] / m_height);
        };
        const double home = apart(from.y);
        if (home > 20 * m_spacing)
            m_away = true;
        if (m_away && home < 2 * m_spacing)
            return true;
        for (const Equilibrium &e : m_rest)
            if (e.y != from.y && apart(e.y) < 2 * m_spacing)
                return true;
        return false;
    }

    bool inView(const State &at) const
    {
        return at[0] >= m_box.left - kMargin * m_width &&
               at[0] <= m_box.right + kMargin * m_width &&
               at[1] >= m_box.bottom - kMargin * m_height &&
               at[1] <= m_box.top + kMargin * m_height;
    }

    const solver::RunParameters &m_p;
    PhaseBox m_box;
    double m_spacing;
    double m_width, m_height;
    std::span<const Equilibrium> m_rest;
    bool m_away = false;
};

} // namespace

std::vector<Separatrix> separatrices(const solver::RunParameters &p, const Equilibrium &saddle,
                                     const PhaseBox &box, double spacing,
                                     const std::atomic<bool> *abort,
                                     std::span<const Equilibrium> rest)
{
    std::vector<Separatrix> branches;
    if (saddle.kind != EquilibriumKind::Saddle || p.eq->dependsOnX || !(box.right - box.left > 0) ||
        !(box.top - box.bottom > 0) || !std::isfinite(box.right - box.left) ||
        !std::isfinite(box.top - box.bottom))
        return branches;
    const double unstable = saddle.eigenvalues[0].real();
    const double stable = saddle.eigenvalues[1].real();
    const double slowest = 1.0 / std::min(unstable, -stable);
    Branch branch(p, box, spacing, rest);
    for (const int k : {0, 1}) {
        const double dy = saddle.eigenvectors[k][0].real();
        const double dz = saddle.eigenvectors[k][1].real();
        for (const double side : {1.0, -1.0}) {
            Separatrix s = branch.trace(saddle, dy, dz, side, k == 0 ? 1.0 : -1.0,
                                        kTimeConstants * slowest, abort);
            if (abort && abort->load(std::memory_order_relaxed))
                return {};
            if (s.points.size() > 1)
                branches.push_back(std::move(s));
        }
    }
    return branches;
}

} // namespace analysis
