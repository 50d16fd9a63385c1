// SPDX-License-Identifier: MIT

#pragma once

// An equation of the user's own: y'' = a typed formula, described as the built-in ones are,
// so that the run, the list, the plot, the views, the reference and the table tool take it
// as they take those. Its parameters are the formula's names; no field of the main window
// holds them.

#include "formula/formula.h"
#include "solver/equation.h"

#include <string_view>
#include <variant>

namespace solver {

// The equation y'' = `text`, or why `text` is not a formula.
std::variant<EquationRef, formula::ParseError> formulaEquation(std::string_view text);

// The formula an equation was made from; none for a built-in one.
const formula::Program *formulaOf(const Equation &eq);

} // namespace solver
