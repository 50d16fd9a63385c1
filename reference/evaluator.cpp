// SPDX-License-Identifier: MIT

#include "reference/evaluator.h"

#include "reference/engine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace reference {

using solver::Fault;
using solver::RunParameters;

Evaluator::Evaluator(const RunParameters &p, std::uint64_t samples, Method method)
    : m_samples(samples), m_closedForm(method == Method::Best && p.eq->closedForm)
{
    m_engine = m_closedForm ? makeClosedForm(p) : makeIntegrated(p);
    if (m_samples == 0)
        m_status = Status::Complete;
}

Evaluator::~Evaluator() = default;
Evaluator::Evaluator(Evaluator &&) noexcept = default;
Evaluator &Evaluator::operator=(Evaluator &&) noexcept = default;

Evaluator::Chunk Evaluator::next(std::span<double> out) noexcept
{
    if (m_status != Status::Going)
        return {0, m_status};
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), m_samples - m_position));
    Ending end;
    std::size_t got = 0;
    try {
        got = m_engine->fill(m_position, out.first(want), end);
    } catch (...) {
        // Nothing in an engine is meant to throw; should anything, the reference ends.
        got = 0;
        end = Ending{};
        end << "the reference failed";
    }
    m_position += got;
    if (end.ended) {
        m_status = Status::Ended;
        std::memcpy(m_reason, end.text, end.length);
        m_reasonLength = end.length;
    } else if (m_position == m_samples) {
        m_status = Status::Complete;
    }
    return {got, m_status};
}

std::uint64_t gridPointCount(const RunParameters &p)
{
    const double nsteps = (p.xf - p.x0) / solver::h;
    if (!(nsteps >= 0.0) || !std::isfinite(nsteps))
        return 0;
    // Beyond 2^63 the run could not count its grid points anyway.
    if (nsteps >= 0x1p63)
        return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(nsteps) + 1;
}

} // namespace reference
