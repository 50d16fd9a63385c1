// SPDX-License-Identifier: MIT

#include "solver/builtins.h"

#include "solver/solver.h"

namespace solver {

namespace builtin {

namespace {

// g at the point as a step's later evaluations take it, with the derivatives, each operation
// checked; a fault of either is the first one.
Partials partialsOf(const Equation &eq, const double *values, double x, double y, double z,
                    double byY, double bySlope, Checked &c)
{
    const double value = eq.g(eq, values, {x, eq.term ? eq.term(x) : 0.0}, y, z, c);
    return {value, byY, bySlope, c.fault()};
}

} // namespace

Partials nonePartials(const Equation &eq, const double *v, double x, double y, double z)
{
    Checked c;
    return partialsOf(eq, v, x, y, z, 0.0, 0.0, c);
}

// g = -y
Partials oscillatorPartials(const Equation &eq, const double *v, double x, double y, double z)
{
    Checked c;
    return partialsOf(eq, v, x, y, z, -1.0, 0.0, c);
}

// g = -2y + sin x
Partials sineForcedPartials(const Equation &eq, const double *v, double x, double y, double z)
{
    Checked c;
    return partialsOf(eq, v, x, y, z, -2.0, 0.0, c);
}

// g = -6y' - 5y
Partials dampedPartials(const Equation &eq, const double *v, double x, double y, double z)
{
    Checked c;
    return partialsOf(eq, v, x, y, z, -5.0, -6.0, c);
}

// g = (1 - y^2) y' - y: by y -2 y y' - 1, by y' 1 - y^2.
Partials vanDerPolPartials(const Equation &eq, const double *v, double x, double y, double z)
{
    Checked c;
    const double byY = c.sub(c.mul(c.mul(-2.0, y), z), 1.0);
    const double bySlope = c.sub(1.0, c.mul(y, y));
    return partialsOf(eq, v, x, y, z, byY, bySlope, c);
}

// g = -2y'/x - y^n: by y -n y^(n-1), by y' -2/x.
Partials emdenPartials(const Equation &eq, const double *v, double x, double y, double z)
{
    Checked c;
    const double byY = c.mul(-v[0], c.pow(y, c.sub(v[0], 1.0)));
    const double bySlope = c.div(-2.0, x);
    return partialsOf(eq, v, x, y, z, byY, bySlope, c);
}

// g = (lam y - 1/y^2)/3: by y (lam + 2/y^3)/3, by y' 0.
Partials cosmosPartials(const Equation &eq, const double *v, double x, double y, double z)
{
    Checked c;
    const double byY = c.div(c.add(v[0], c.div(2.0, c.mul(c.mul(y, y), y))), 3.0);
    return partialsOf(eq, v, x, y, z, byY, 0.0, c);
}

// x - x0 is exact while x and x0 are within a factor of two, x0 = 0 included.

ClosedForm::Constants startConstants(const double *, const Start &s)
{
    return {s.y0, s.z0};
}

double line(const ClosedForm::Constants &, const Start &s, double x)
{
    return s.y0 + s.z0 * (x - s.x0);
}

double cosine(const ClosedForm::Constants &, const Start &s, double x)
{
    const double d = x - s.x0;
    return s.y0 * std::cos(d) + s.z0 * std::sin(d);
}

namespace {
constexpr double kRoot2 = 1.4142135623730950488;
}

// y = sin x + A cos(w (x - x0)) + B sin(w (x - x0)), w = sqrt 2.
ClosedForm::Constants sineForcedConstants(const double *, const Start &s)
{
    return {s.y0 - std::sin(s.x0), (s.z0 - std::cos(s.x0)) / kRoot2};
}

double sineForcedValue(const ClosedForm::Constants &c, const Start &s, double x)
{
    const double d = x - s.x0;
    return std::sin(x) + c[0] * std::cos(kRoot2 * d) + c[1] * std::sin(kRoot2 * d);
}

// y = C1 e^-(x - x0) + C2 e^-5(x - x0); C1 + C2 = y0, -C1 - 5 C2 = z0.
ClosedForm::Constants dampedConstants(const double *, const Start &s)
{
    const double c2 = -(s.z0 + s.y0) / 4.0;
    return {s.y0 - c2, c2};
}

double dampedValue(const ClosedForm::Constants &c, const Start &s, double x)
{
    const double d = x - s.x0;
    return c[0] * std::exp(-d) + c[1] * std::exp(-5.0 * d);
}

} // namespace builtin

// The table lives as long as the program: its rows need no owner.
EquationRef::EquationRef(Builtin builtin) : m_eq(&builtinEquation(builtin)) {}

EquationRef::EquationRef() : EquationRef(Builtin::None) {}

EquationRef::EquationRef(std::shared_ptr<const Equation> made)
    : m_eq(made.get()), m_owner(std::move(made))
{
}

double g(const RunParameters &p, double x, double y, double z, Checked &c)
{
    const Equation &eq = *p.eq;
    return eq.g(eq, p.values.data(), {x, eq.term ? eq.term(x) : 0.0}, y, z, c);
}

double curveValue(const Curve &curve, const ParameterValues &values, double y)
{
    if (curve.power < 0)
        return y;
    const double value = values[static_cast<std::size_t>(curve.power)];
    return std::pow(y, curve.plus == 0.0 ? value : curve.plus + value);
}

std::optional<EquationRef> equationNumbered(int number)
{
    if (number < 1 || number >= static_cast<int>(kBuiltinCount))
        return std::nullopt;
    return EquationRef(static_cast<Builtin>(number));
}

} // namespace solver
