// SPDX-License-Identifier: MIT

#include "reference/engine.h"

#include <cmath>

namespace reference {

using solver::RunParameters;

namespace {

// The equation's closed form through the run's start (x0, y0 and z0 as captured, not the
// single-rounded slope the run holds), its constants found once.
class ClosedFormEngine final : public Engine
{
public:
    explicit ClosedFormEngine(const RunParameters &p)
        : m_p(p), m_form(*p.eq->closedForm), m_start{p.x0, p.y0, p.z0},
          m_constants(m_form.constants(p.values.data(), m_start))
    {
    }

    std::size_t fill(std::uint64_t first, std::span<double> out, Ending &end) override
    {
        for (std::size_t k = 0; k < out.size(); ++k) {
            const double x = gridX(m_p, first + k);
            const double y = m_form.value(m_constants, m_start, x);
            if (!std::isfinite(y)) {
                end << "the reference has no finite value at x = " << x;
                return k;
            }
            out[k] = y;
        }
        return out.size();
    }

private:
    RunParameters m_p;
    solver::ClosedForm m_form;
    solver::Start m_start;
    solver::ClosedForm::Constants m_constants;
};

} // namespace

std::unique_ptr<Engine> makeClosedForm(const RunParameters &p)
{
    return std::make_unique<ClosedFormEngine>(p);
}

} // namespace reference
