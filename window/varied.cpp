// SPDX-License-Identifier: MIT

#include "window/varied.h"

std::optional<fields::Field> Varied::field(const solver::Equation &eq) const
{
    switch (kind) {
    case Kind::X0:
        return fields::Field::X0;
    case Kind::Xf:
        return fields::Field::Xf;
    case Kind::Y0:
        return fields::Field::Y0;
    case Kind::Z0:
        return fields::Field::Z0;
    case Kind::Parameter:
        break;
    }
    if (parameter < 0 || static_cast<std::size_t>(parameter) >= eq.parameters.size())
        return std::nullopt;
    return fields::fieldOf(eq.parameters[static_cast<std::size_t>(parameter)]);
}

double Varied::valueIn(const solver::RunParameters &p) const
{
    switch (kind) {
    case Kind::X0:
        return p.x0;
    case Kind::Xf:
        return p.xf;
    case Kind::Y0:
        return p.y0;
    case Kind::Z0:
        return p.z0;
    case Kind::Parameter:
        break;
    }
    return p.values[static_cast<std::size_t>(parameter)];
}

void Varied::setIn(solver::RunParameters &p, double value) const
{
    switch (kind) {
    case Kind::X0:
        p.x0 = value;
        return;
    case Kind::Xf:
        p.xf = value;
        return;
    case Kind::Y0:
        p.y0 = value;
        return;
    case Kind::Z0:
        p.z0 = value;
        return;
    case Kind::Parameter:
        p.values[static_cast<std::size_t>(parameter)] = value;
        return;
    }
}

QList<Varied> variedOf(const solver::Equation &eq, bool abscissae)
{
    QList<Varied> all{{Varied::Kind::Y0, -1, QStringLiteral("y(x0)")},
                      {Varied::Kind::Z0, -1, QStringLiteral("y'(x0)")}};
    for (std::size_t k = 0; k < eq.parameters.size(); ++k) {
        const std::string_view name = eq.parameters[k].name;
        all.append({Varied::Kind::Parameter, static_cast<int>(k),
                    QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))});
    }
    if (abscissae) {
        all.append({Varied::Kind::X0, -1, QStringLiteral("x0")});
        all.append({Varied::Kind::Xf, -1, QStringLiteral("final x")});
    }
    return all;
}
