// SPDX-License-Identifier: MIT

#pragma once

#include <optional>

namespace solver {

// The equation a run integrates, numbered as the option buttons are. Unset, before any
// option was chosen, selects no equation: g is 0 everywhere. Its number 0 matters where
// the drawing compares the number with Emden's.
enum class Equation : int {
    Unset = 0,
    Oscillator = 1, // y'' + y = 0
    SineForced = 2, // y'' + 2y = sin x
    Damped = 3,     // y'' + 6y' + 5y = 0
    VanDerPol = 4,  // y'' - (1 - y^2) y' + y = 0
    Emden = 5,      // y'' + (2/x) y' + y^n = 0
    Cosmos = 6,     // y'' = (lam y - 1/y^2) / 3
};

constexpr int kEquationCount = 6;

// The equation of option `number`, 1 to 6; none for any other number.
constexpr std::optional<Equation> equationNumbered(int number)
{
    if (number < 1 || number > kEquationCount)
        return std::nullopt;
    return static_cast<Equation>(number);
}

constexpr int numberOf(Equation eq)
{
    return static_cast<int>(eq);
}

} // namespace solver
