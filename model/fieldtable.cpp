// SPDX-License-Identifier: MIT

#include "model/fieldtable.h"

namespace fields {

std::optional<Field> fieldOf(const solver::Parameter &p)
{
    for (std::size_t k = 0; k < kFields.size(); ++k)
        if (kFields[k].control == p.control)
            return static_cast<Field>(k);
    return std::nullopt;
}

solver::RunParameters Captured::run() const
{
    solver::RunParameters p;
    p.eq = eq;
    p.x0 = (*this)[Field::X0];
    p.y0 = (*this)[Field::Y0];
    p.z0 = (*this)[Field::Z0];
    p.xf = (*this)[Field::Xf];
    const auto parameters = eq->parameters;
    for (std::size_t k = 0; k < parameters.size() && k < p.values.size(); ++k) {
        const auto field = fieldOf(parameters[k]);
        p.values[k] = field ? (*this)[*field] : own[k];
    }
    return p;
}

} // namespace fields
