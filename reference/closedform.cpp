// SPDX-License-Identifier: MIT

#include "reference/engine.h"

#include <cmath>

namespace reference {

using solver::Equation;
using solver::RunParameters;

namespace {

template<Equation Eq> class ClosedForm final : public Engine
{
public:
    explicit ClosedForm(const RunParameters &p) : m_p(p)
    {
        if constexpr (Eq == Equation::SineForced) {
            // y = sin x + A cos(w (x - x0)) + B sin(w (x - x0)), w = sqrt 2.
            m_a = p.y0 - std::sin(p.x0);
            m_b = (p.z0 - std::cos(p.x0)) / kRoot2;
        } else if constexpr (Eq == Equation::Damped) {
            // y = C1 e^-(x - x0) + C2 e^-5(x - x0); C1 + C2 = y0, -C1 - 5 C2 = z0.
            m_b = -(p.z0 + p.y0) / 4.0;
            m_a = p.y0 - m_b;
        }
    }

    std::size_t fill(std::uint64_t first, std::span<double> out, Ending &end) override
    {
        for (std::size_t k = 0; k < out.size(); ++k) {
            const double x = gridX(m_p, first + k);
            const double y = value(x);
            if (!std::isfinite(y)) {
                end << "the reference has no finite value at x = " << x;
                return k;
            }
            out[k] = y;
        }
        return out.size();
    }

private:
    static constexpr double kRoot2 = 1.4142135623730950488;

    double value(double x) const
    {
        // x - x0 is exact while x and x0 are within a factor of two, x0 = 0 included.
        const double d = x - m_p.x0;
        if constexpr (Eq == Equation::Oscillator)
            return m_p.y0 * std::cos(d) + m_p.z0 * std::sin(d);
        else if constexpr (Eq == Equation::SineForced)
            return std::sin(x) + m_a * std::cos(kRoot2 * d) + m_b * std::sin(kRoot2 * d);
        else if constexpr (Eq == Equation::Damped)
            return m_a * std::exp(-d) + m_b * std::exp(-5.0 * d);
        else
            return m_p.y0 + m_p.z0 * d;
    }

    RunParameters m_p;
    double m_a = 0.0;
    double m_b = 0.0;
};

} // namespace

std::unique_ptr<Engine> makeClosedForm(const RunParameters &p)
{
    return engineFor<ClosedForm>(p);
}

bool hasClosedForm(Equation eq)
{
    return eq != Equation::VanDerPol && eq != Equation::Emden && eq != Equation::Cosmos;
}

} // namespace reference
