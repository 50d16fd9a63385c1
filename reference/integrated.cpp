// SPDX-License-Identifier: MIT

#include "reference/engine.h"

#include "solver/checked.h"

#include <boost/numeric/odeint.hpp>

#include <array>
#include <cmath>
#include <functional>

namespace reference {

using solver::Fault;
using solver::RunParameters;

namespace {

using State = std::array<double, 2>;

// Thrown by the right-hand side where it has no value; the stepper then retries from its
// last accepted point with a smaller step.
struct NoValue
{
    Fault fault;
};

// y' = z, z' = g(x, y, z) with the run's own g, in its double form. Its first fault is
// a NoValue; so is a state beyond the double range.
struct System
{
    const RunParameters *p;
    std::uint64_t *evaluations;

    void operator()(const State &s, State &d, double x) const
    {
        ++*evaluations;
        if (!std::isfinite(s[0]) || !std::isfinite(s[1]))
            throw NoValue{Fault::Overflow};
        solver::Checked c;
        d[0] = s[1];
        d[1] = solver::g(*p, x, s[0], s[1], c);
        if (!c.ok())
            throw NoValue{c.fault()};
    }
};

// Tolerances of the steps, absolute and relative: tight enough that the reference is
// some ten thousand times closer to the solution than a run with h = 0.01, loose enough
// that rounding does not yet dominate.
constexpr double kTolerance = 1e-14;
// A step below this fraction of max(1, |x|) has collapsed: the solution has a pole, a
// blow-up or an end there.
constexpr double kCollapse = 1e-14;
// The work is bounded by evaluations of g: up to grid index i at most kEvaluations +
// kEvaluationsPerSample * (i + 1). A smooth solution takes some twenty per sample; a stiff
// one (van der Pol far from its cycle) would take millions, and the reference ends there
// rather than keep the caller waiting.
constexpr std::uint64_t kEvaluations = 1000000;
constexpr std::uint64_t kEvaluationsPerSample = 1000;

class Integrated final : public Engine
{
public:
    explicit Integrated(const RunParameters &p) : m_p(p), m_system{&m_p, &m_evaluations}
    {
        m_stepper.initialize(State{p.y0, p.z0}, p.x0, 1e-3);
    }

    std::size_t fill(std::uint64_t first, std::span<double> out, Ending &end) override
    {
        for (std::size_t k = 0; k < out.size(); ++k) {
            const double x = gridX(m_p, first + k);
            if (first + k == 0 && !startHasValue(end))
                return k;
            if (m_p.eq->poleAtZero) {
                // The equation divides by x: from a negative start the reference cannot
                // go on through 0.
                if (m_p.x0 < 0.0 && x >= 0.0) {
                    end << "the reference has no value at x = 0";
                    return k;
                }
            }
            if (!reach(x, kEvaluations + kEvaluationsPerSample * (first + k + 1), end))
                return k;
            const double t = m_stepper.current_time();
            if (x == t) {
                out[k] = m_stepper.current_state()[0];
            } else {
                State s;
                m_stepper.calc_state(x, s);
                out[k] = s[0];
            }
        }
        return out.size();
    }

private:
    using Stepper = boost::numeric::odeint::result_of::make_dense_output<
        boost::numeric::odeint::runge_kutta_dopri5<State>>::type;

    bool startHasValue(Ending &end)
    {
        if (m_p.eq->poleAtZero) {
            if (m_p.x0 == 0.0) {
                end << "the reference has no value at x = 0";
                return false;
            }
        }
        try {
            State d;
            m_system(State{m_p.y0, m_p.z0}, d, m_p.x0);
            return true;
        } catch (const NoValue &e) {
            end << "the reference has no value at x = " << m_p.x0 << ": "
                << solver::faultText(e.fault);
            return false;
        }
    }

    // Steps on until the last accepted point is at or beyond x, within `budget`
    // evaluations of g in all.
    bool reach(double x, std::uint64_t budget, Ending &end)
    {
        while (m_stepper.current_time() < x) {
            const double t = m_stepper.current_time();
            const double least = kCollapse * std::max(1.0, std::fabs(t));
            if (m_evaluations > budget) {
                end << "the reference ends near x = " << t << ": too many steps";
                return false;
            }
            try {
                m_stepper.do_step(std::ref(m_system));
            } catch (const NoValue &e) {
                // A trial point had no value: try again from the last accepted one with
                // half the step, until the step collapses at the point where the
                // solution ends.
                m_lastFault = e.fault;
                const State s = m_stepper.current_state();
                const double dt = m_stepper.current_time_step() / 2.0;
                if (dt < least)
                    return collapsed(t, end);
                m_stepper.initialize(s, t, dt);
                continue;
            } catch (...) {
                // odeint gives up after 500 rejected steps in a row.
                return collapsed(t, end);
            }
            // Only a fault of the trials right before a collapse tells why it collapsed.
            m_lastFault = Fault::None;
            if (m_stepper.current_time_step() < least)
                return collapsed(m_stepper.current_time(), end);
        }
        return true;
    }

    bool collapsed(double t, Ending &end)
    {
        end << "the reference ends near x = " << t << ": ";
        if (m_lastFault != Fault::None)
            end << solver::faultText(m_lastFault);
        else
            end << "its step size collapses";
        return false;
    }

    RunParameters m_p;
    std::uint64_t m_evaluations = 0;
    System m_system;
    Stepper m_stepper = boost::numeric::odeint::make_dense_output(
        kTolerance, kTolerance, boost::numeric::odeint::runge_kutta_dopri5<State>());
    Fault m_lastFault = Fault::None;
};

} // namespace

std::unique_ptr<Engine> makeIntegrated(const RunParameters &p)
{
    return std::make_unique<Integrated>(p);
}

} // namespace reference
