// SPDX-License-Identifier: MIT

#pragma once

// What computes a reference, behind the Evaluator: the equation's closed form or the
// integration, handing out its values at the run's grid points in order.

#include "solver/solver.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>

namespace reference {

// Where an engine's values end, and why.
struct Ending
{
    bool ended = false;
    char text[160] = {};
    std::size_t length = 0;

    // Appends pieces; what does not fit is cut.
    Ending &operator<<(std::string_view s)
    {
        const std::size_t n = std::min(s.size(), sizeof text - length);
        std::memcpy(text + length, s.data(), n);
        length += n;
        ended = true;
        return *this;
    }
    // Six significant digits: enough to say where, in the same form in every locale.
    Ending &operator<<(double x)
    {
        char buffer[32];
        const auto r =
            std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 6);
        return *this << std::string_view(buffer, static_cast<std::size_t>(r.ptr - buffer));
    }
};

// Values of one run at its grid points, from index `first` on, into `out`; fewer than
// out.size() only when it ends, which `end` then says.
class Engine
{
public:
    virtual ~Engine() = default;
    virtual std::size_t fill(std::uint64_t first, std::span<double> out, Ending &end) = 0;
};

inline double gridX(const solver::RunParameters &p, std::uint64_t i)
{
    return solver::gridAbscissa(p.x0, static_cast<std::int64_t>(i));
}

// The closed form of an equation that has one; and the integration of any equation.
std::unique_ptr<Engine> makeClosedForm(const solver::RunParameters &p);
std::unique_ptr<Engine> makeIntegrated(const solver::RunParameters &p);

} // namespace reference
