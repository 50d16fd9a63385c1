// SPDX-License-Identifier: MIT

#include "solver/formulaequation.h"

#include "solver/builtins.h"

#include <string>
#include <vector>

namespace solver {

namespace {

// The description and what its texts and its formula are kept in, for as long as a run, a
// view or a list of recent formulas holds it.
struct FormulaEquation : Equation
{
    std::shared_ptr<const formula::Program> program;
    std::string captionText;
    std::string spokenText;
    std::vector<Parameter> parameterList;
};

const FormulaEquation &described(const Equation &eq)
{
    return static_cast<const FormulaEquation &>(eq);
}

// The first evaluation of a step takes the stored single-precision slope.
double formulaFirstG(const Equation &eq, const double *values, const Abscissa &a, double y, float z,
                     Checked &c)
{
    return described(eq).program->evaluate(a.x, y, z, values, c);
}

double formulaG(const Equation &eq, const double *values, const Abscissa &a, double y, double z,
                Checked &c)
{
    return described(eq).program->evaluate(a.x, y, z, values, c);
}

Partials formulaPartials(const Equation &eq, const double *values, double x, double y, double z)
{
    return described(eq).program->partials(x, y, z, values);
}

} // namespace

std::variant<EquationRef, formula::ParseError> formulaEquation(std::string_view text)
{
    auto compiled = formula::compile(text);
    if (auto *error = std::get_if<formula::ParseError>(&compiled))
        return *error;
    auto eq = std::make_shared<FormulaEquation>();
    eq->program = std::get<std::shared_ptr<const formula::Program>>(std::move(compiled));
    const formula::Program &program = *eq->program;
    eq->captionText = "y'' = " + program.text();
    eq->spokenText = "y double prime equals " + program.text();
    for (const std::string &name : program.parameters())
        eq->parameterList.push_back({name, name, {}, {}, {}});
    eq->caption = eq->captionText;
    eq->spoken = eq->spokenText;
    eq->usageName = eq->captionText;
    eq->parameters = eq->parameterList;
    eq->gFirst = &formulaFirstG;
    eq->g = &formulaG;
    eq->partials = &formulaPartials;
    eq->dependsOnX = program.usesX();
    // A light-red polyline at its values, as equations 1 to 4 are drawn.
    eq->curves = builtinEquation(Builtin::None).curves;
    return EquationRef(std::shared_ptr<const Equation>(eq, eq.get()));
}

const formula::Program *formulaOf(const Equation &eq)
{
    return eq.gFirst == &formulaFirstG ? described(eq).program.get() : nullptr;
}

} // namespace solver
