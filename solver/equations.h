// SPDX-License-Identifier: MIT

#pragma once

// The equation catalogue: y' = f(x, y, z) and z' = g(x, y, z), with z = y'.
//
// Each formula is evaluated exactly in the order written, one rounded double operation
// at a time. f and g come in two forms: the first evaluation of a step receives the
// stored single-precision z, the other three a double.

#include "solver/checked.h"
#include "solver/solver.h"

#include <cmath>
#include <type_traits>

namespace solver {

namespace equations {

// An abscissa with what g takes from it alone, computed once per distinct abscissa: the
// second and third stage of a step share theirs, and the end of a step is usually the next
// grid point. Equation 2 then takes about two sines per step instead of four.
struct Abscissa
{
    double x;
    double sinx; // sin(x) for equation 2, else unused
};

template<Equation Eq> inline Abscissa at(double x)
{
    if constexpr (Eq == Equation::SineForced)
        return {x, std::sin(x)};
    else
        return {x, 0.0};
}

// g for one equation number, inlined into the run's loop.
template<Equation Eq, typename Z>
inline double g(const RunParameters &p, const Abscissa &a, double y, Z z, Checked &c)
{
    const double x = a.x;
    if constexpr (Eq == Equation::Oscillator) {
        return -y;
    } else if constexpr (Eq == Equation::SineForced) {
        return c.add(c.mul(-2.0, y), a.sinx);
    } else if constexpr (Eq == Equation::Damped) {
        if constexpr (std::is_same_v<Z, float>) {
            // A small integer constant times a single is a single: this one product is
            // rounded to single precision before it is widened for the subtraction.
            const double p6 = c.mulSingle(-6.0f, z);
            return c.sub(p6, c.mul(5.0, y));
        } else {
            return c.sub(c.mul(-6.0, z), c.mul(5.0, y));
        }
    } else if constexpr (Eq == Equation::VanDerPol) {
        return c.sub(c.mul(c.sub(1.0, c.mul(y, y)), static_cast<double>(z)), y);
    } else if constexpr (Eq == Equation::Emden) {
        // (-2) * z is exact in either precision.
        return c.sub(c.div(c.mul(-2.0, static_cast<double>(z)), x), c.pow(y, p.n));
    } else if constexpr (Eq == Equation::Cosmos) {
        return c.div(c.add(c.div(-1.0, c.pow(y, 2.0)), c.mul(p.lam, y)), 3.0);
    } else {
        (void)p, (void)x, (void)y, (void)z, (void)c;
        return 0.0;
    }
}

} // namespace equations

// f returns its third argument; the single-precision form widens it to double.
inline double f(double, double, float z)
{
    return static_cast<double>(z);
}
inline double f(double, double, double z)
{
    return z;
}

// g of the equation p.eq at a point of the phase space, as the later evaluations of a step
// take it (z a double); any other number, unset included, gives 0. Faults are noted in `c`.
double g(const RunParameters &p, double x, double y, double z, Checked &c);

} // namespace solver
