// SPDX-License-Identifier: MIT

#pragma once

// What a slider or a family varies: a start value, the start or final abscissa, or a
// parameter of the equation, and how its text gets into a run: typed into its field in
// the main window, or into the field of a formula's parameter.

#include "model/fieldtable.h"
#include "solver/solver.h"

#include <QList>
#include <QString>

#include <optional>

struct Varied
{
    enum class Kind { X0, Xf, Y0, Z0, Parameter };
    Kind kind = Kind::Y0;
    int parameter = -1; // for a parameter: its place among the equation's parameters
    QString name;       // as the legend and the slider name it: "y(x0)", "n"

    bool operator==(const Varied &other) const
    {
        return kind == other.kind && parameter == other.parameter;
    }

    // The main window's field that holds it; none for a formula's parameter.
    std::optional<fields::Field> field(const solver::Equation &eq) const;
    double valueIn(const solver::RunParameters &p) const;
    void setIn(solver::RunParameters &p, double value) const;
};

// What can vary in a run of `eq`: y(x0) and y'(x0), then the equation's parameters; with
// `abscissae`, x0 and the final abscissa as well.
QList<Varied> variedOf(const solver::Equation &eq, bool abscissae);
