// SPDX-License-Identifier: MIT

#pragma once

// The six built-in equations and "none", as rows of one table. The run's loop is compiled
// for each row on its own, reading the row at compile time, so that g is inlined into it;
// any other equation runs through the same loop, calling its g.
//
// Each g is evaluated exactly in the order written, one rounded double operation at a time.

#include "solver/checked.h"
#include "solver/equation.h"

#include <cmath>
#include <optional>
#include <type_traits>

namespace solver {

// The rows of the table, numbered as the option buttons are. None, before any option was
// chosen, selects no equation: g is 0 everywhere.
enum class Builtin : int { None, Oscillator, SineForced, Damped, VanDerPol, Emden, Cosmos };

constexpr std::size_t kBuiltinCount = 7;

namespace builtin {

// Each g is inlined into the run's loop compiled for its row (always_inline: the table
// also takes its address, which would make the compiler keep it as a call).

template<typename Z>
[[gnu::always_inline]] inline double none(const Equation &, const double *, const Abscissa &,
                                          double, Z, Checked &)
{
    return 0.0;
}

// y'' + y = 0
template<typename Z>
[[gnu::always_inline]] inline double oscillator(const Equation &, const double *, const Abscissa &,
                                                double y, Z, Checked &)
{
    return -y;
}

// y'' + 2y = sin x
template<typename Z>
[[gnu::always_inline]] inline double sineForced(const Equation &, const double *, const Abscissa &a,
                                                double y, Z, Checked &c)
{
    return c.add(c.mul(-2.0, y), a.term);
}

[[gnu::always_inline]] inline double sine(double x)
{
    return std::sin(x);
}

// y'' + 6y' + 5y = 0
template<typename Z>
[[gnu::always_inline]] inline double damped(const Equation &, const double *, const Abscissa &,
                                            double y, Z z, Checked &c)
{
    if constexpr (std::is_same_v<Z, float>) {
        // A small integer constant times a single is a single: this one product is rounded
        // to single precision before it is widened for the subtraction.
        const double p6 = c.mulSingle(-6.0f, z);
        return c.sub(p6, c.mul(5.0, y));
    } else {
        return c.sub(c.mul(-6.0, z), c.mul(5.0, y));
    }
}

// y'' - (1 - y^2) y' + y = 0
template<typename Z>
[[gnu::always_inline]] inline double vanDerPol(const Equation &, const double *, const Abscissa &,
                                               double y, Z z, Checked &c)
{
    return c.sub(c.mul(c.sub(1.0, c.mul(y, y)), static_cast<double>(z)), y);
}

// y'' + (2/x) y' + y^n = 0; (-2) * z is exact in either precision.
template<typename Z>
[[gnu::always_inline]] inline double emden(const Equation &, const double *v, const Abscissa &a,
                                           double y, Z z, Checked &c)
{
    return c.sub(c.div(c.mul(-2.0, static_cast<double>(z)), a.x), c.pow(y, v[0]));
}

// y'' = (lam y - 1/y^2) / 3
template<typename Z>
[[gnu::always_inline]] inline double cosmos(const Equation &, const double *v, const Abscissa &,
                                            double y, Z, Checked &c)
{
    return c.div(c.add(c.div(-1.0, c.pow(y, 2.0)), c.mul(v[0], y)), 3.0);
}

// g with its exact partial derivatives, written out for each row.
Partials nonePartials(const Equation &, const double *, double, double, double);
Partials oscillatorPartials(const Equation &, const double *, double, double y, double);
Partials sineForcedPartials(const Equation &, const double *, double x, double y, double);
Partials dampedPartials(const Equation &, const double *, double, double y, double z);
Partials vanDerPolPartials(const Equation &, const double *, double, double y, double z);
Partials emdenPartials(const Equation &, const double *v, double x, double y, double z);
Partials cosmosPartials(const Equation &, const double *v, double, double y, double);

// The closed forms through the run's start.
ClosedForm::Constants startConstants(const double *, const Start &s);
double line(const ClosedForm::Constants &, const Start &s, double x);
double cosine(const ClosedForm::Constants &, const Start &s, double x);
ClosedForm::Constants sineForcedConstants(const double *, const Start &s);
double sineForcedValue(const ClosedForm::Constants &c, const Start &s, double x);
ClosedForm::Constants dampedConstants(const double *, const Start &s);
double dampedValue(const ClosedForm::Constants &c, const Start &s, double x);

inline constexpr ClosedForm kLine{&startConstants, &line};
inline constexpr ClosedForm kCosine{&startConstants, &cosine};
inline constexpr ClosedForm kSineForced{&sineForcedConstants, &sineForcedValue};
inline constexpr ClosedForm kDamped{&dampedConstants, &dampedValue};

inline constexpr Curve kY[] = {{"y", kLightRed}};
// Emden's: y, y^n and y^(n+1), drawn as three dots.
inline constexpr Curve kEmdenCurves[] = {
    {"y", kLightRed}, {"yⁿ", kBlack, 0}, {"yⁿ⁺¹", kGreen, 0, 1.0}};

} // namespace builtin

// The main window's parameter fields hold these, in this order.
inline constexpr Parameter kBuiltinParameters[] = {
    {"n", "Emden index n", "2", "--n", "Text5"},
    {"lam", "Cosmos coefficient lam", "1", "--lam", "Text6"},
};

inline constexpr Equation kBuiltins[kBuiltinCount] = {
    {
        .number = 0,
        .caption = "",
        .spoken = "no equation",
        .usageName = "",
        .gFirst = &builtin::none<float>,
        .g = &builtin::none<double>,
        .partials = &builtin::nonePartials,
        .curves = builtin::kY,
        .closedForm = &builtin::kLine,
    },
    {
        .number = 1,
        .caption = "y'' + y = 0",
        .spoken = "y double prime plus y equals zero",
        .written = "y'' + y = 0 (the harmonic oscillator)",
        .usageName = "y''+y=0",
        .gFirst = &builtin::oscillator<float>,
        .g = &builtin::oscillator<double>,
        .partials = &builtin::oscillatorPartials,
        .curves = builtin::kY,
        .closedForm = &builtin::kCosine,
    },
    {
        .number = 2,
        .caption = "y'' + 2y = sin x",
        .spoken = "y double prime plus 2 y equals sine of x",
        .written = "y'' + 2y = sin x (a forced oscillator)",
        .usageName = "y''+2y=sin x",
        .gFirst = &builtin::sineForced<float>,
        .g = &builtin::sineForced<double>,
        .term = &builtin::sine,
        .partials = &builtin::sineForcedPartials,
        .dependsOnX = true,
        .curves = builtin::kY,
        .closedForm = &builtin::kSineForced,
    },
    {
        .number = 3,
        .caption = "y''+ 6y'+ 5y= 0",
        .spoken = "y double prime plus 6 y prime plus 5 y equals zero",
        .written = "y'' + 6y' + 5y = 0 (a damped oscillator)",
        .usageName = "y''+6y'+5y=0",
        .gFirst = &builtin::damped<float>,
        .g = &builtin::damped<double>,
        .partials = &builtin::dampedPartials,
        .curves = builtin::kY,
        .closedForm = &builtin::kDamped,
    },
    {
        .number = 4,
        .caption = "y''-(1-yy)y'+y=0",
        .spoken = "van der Pol: y double prime minus, 1 minus y squared, times y prime, plus y "
                  "equals zero",
        .written = "y'' − (1 − y²) y' + y = 0 (van der Pol)",
        .usageName = "van der Pol",
        .gFirst = &builtin::vanDerPol<float>,
        .g = &builtin::vanDerPol<double>,
        .partials = &builtin::vanDerPolPartials,
        .curves = builtin::kY,
    },
    {
        .number = 5,
        .caption = "Emden",
        .spoken = "Lane-Emden: y double prime plus 2 over x times y prime plus y to the power n "
                  "equals zero",
        .written = "y'' + (2/x) y' + yⁿ = 0 (Lane–Emden, index n)",
        .usageName = "Emden (index n)",
        .parameters = std::span(kBuiltinParameters, 1),
        .gFirst = &builtin::emden<float>,
        .g = &builtin::emden<double>,
        .partials = &builtin::emdenPartials,
        .dependsOnX = true,
        .poleAtZero = true,
        .stopsAtZero = true,
        .drawing = {Drawing::Mark::Dots, 2.0, 2.0, true},
        .curves = builtin::kEmdenCurves,
    },
    {
        .number = 6,
        .caption = "Cosmos",
        .spoken = "y double prime equals, lam times y minus 1 over y squared, over 3",
        .written = "y'' = (lam·y − 1/y²)/3",
        .usageName = "Cosmos (coefficient lam)",
        .parameters = std::span(kBuiltinParameters + 1, 1),
        .gFirst = &builtin::cosmos<float>,
        .g = &builtin::cosmos<double>,
        .partials = &builtin::cosmosPartials,
        .drawing = {Drawing::Mark::Line, 4.0, 1.0, false},
        .curves = builtin::kY,
    },
};

constexpr const Equation &builtinEquation(Builtin b)
{
    return kBuiltins[static_cast<std::size_t>(b)];
}

// The equation of option `number`, 1 to 6; none for any other number.
std::optional<EquationRef> equationNumbered(int number);

} // namespace solver
