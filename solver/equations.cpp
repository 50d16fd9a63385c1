// SPDX-License-Identifier: MIT

#include "solver/equations.h"

namespace solver {

namespace {

template<Equation Eq> double gOf(const RunParameters &p, double x, double y, double z, Checked &c)
{
    return equations::g<Eq>(p, equations::at<Eq>(x), y, z, c);
}

} // namespace

double g(const RunParameters &p, double x, double y, double z, Checked &c)
{
    switch (p.eq) {
    case Equation::Oscillator:
        return gOf<Equation::Oscillator>(p, x, y, z, c);
    case Equation::SineForced:
        return gOf<Equation::SineForced>(p, x, y, z, c);
    case Equation::Damped:
        return gOf<Equation::Damped>(p, x, y, z, c);
    case Equation::VanDerPol:
        return gOf<Equation::VanDerPol>(p, x, y, z, c);
    case Equation::Emden:
        return gOf<Equation::Emden>(p, x, y, z, c);
    case Equation::Cosmos:
        return gOf<Equation::Cosmos>(p, x, y, z, c);
    case Equation::Unset:
        break;
    }
    return 0.0;
}

} // namespace solver
