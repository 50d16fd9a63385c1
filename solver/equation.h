// SPDX-License-Identifier: MIT

#pragma once

// What the program knows of an equation y'' = g(x, y, y'), said once: its caption and
// spoken name, its parameters, its g, and how a run of it is drawn and checked. The window,
// the views, the probe, the reference and the table tool ask the description, never the
// equation's number. The built-in ones are rows of one table (solver/builtins.h).

#include "platform/palette.h"
#include "solver/partials.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace solver {

class Checked;

// The most parameters an equation can have.
constexpr std::size_t kMaxParameters = 8;

// The values of an equation's parameters, in the order its description lists them.
using ParameterValues = std::array<double, kMaxParameters>;

// An abscissa with what g takes from it alone (the sine of y'' + 2y = sin x), computed once
// per distinct abscissa: the second and third stage of a step share theirs, and the end of
// a step is usually the next grid point.
struct Abscissa
{
    double x;
    double term; // 0 for an equation that takes nothing from x alone
};

struct Equation;

// g of the equation `eq` with every operation through `c`: the first evaluation of a step
// takes the stored single-precision slope, the other three a double. A g of its own (one of
// the table's) needs no more than the parameters' values; one made from a description
// (a typed formula) finds what it is in `eq`.
using FirstG = double (*)(const Equation &eq, const double *values, const Abscissa &a, double y,
                          float z, Checked &c);
using LaterG = double (*)(const Equation &eq, const double *values, const Abscissa &a, double y,
                          double z, Checked &c);

// A parameter, and the field and option that give its value.
struct Parameter
{
    std::string_view name;        // as a formula writes it: "n"
    std::string_view holds;       // as a message names it: "Emden index n"
    std::string_view defaultText; // its field's text when the window opens
    std::string_view option;      // the table tool's option, "--n"
    std::string_view control;     // the main window's field that holds it, "Text5"
};

// A curve of a run in the views, and a dot of each sample where the main plot draws dots:
// y itself, or y raised to the value of a parameter plus a constant.
struct Curve
{
    std::string_view name; // as a legend names it: "y", "yⁿ", "yⁿ⁺¹"
    PaletteColour colour;
    int power = -1;    // the parameter the exponent is taken from; -1: y itself
    double plus = 0.0; // plus + value is the exponent, one rounded sum; 0: the value itself
};

// How the main plot draws a sample: the end of a polyline at (xScale x, yScale y) in the
// first curve's colour, or one dot per curve at (xScale x, yScale curve). A scale of 1 is
// the value itself, with no product.
struct Drawing
{
    enum class Mark : std::uint8_t { Line, Dots };
    Mark mark = Mark::Line;
    double xScale = 1.0;
    double yScale = 1.0;
    bool legend = false; // the plot's legend labels name the dots
};

// Where a run starts: x0, y(x0) and y'(x0) as captured (the slope not yet rounded).
struct Start
{
    double x0;
    double y0;
    double z0;
};

// The solution through a run's start in closed form: its constants, found once per run,
// then y at any abscissa.
struct ClosedForm
{
    using Constants = std::array<double, 2>;
    Constants (*constants)(const double *values, const Start &s);
    double (*value)(const Constants &c, const Start &s, double x);
};

struct Equation
{
    int number = 0;               // its option's number, 1 to 6; 0 for none
    std::string_view caption{};   // as its option shows it
    std::string_view spoken{};    // in words, as a screen reader says it well
    std::string_view written{};   // written out, as a textbook writes it (UTF-8)
    std::string_view usageName{}; // as the table tool's usage lists it
    std::span<const Parameter> parameters{};
    FirstG gFirst = nullptr;
    LaterG g = nullptr;
    // What g takes from x alone, once per distinct abscissa; none: 0.
    double (*term)(double x) = nullptr;
    // g with its exact partial derivatives at (x, y, y' = z), for the phase plane's analysis;
    // g's value is the one the later evaluations of a step give.
    Partials (*partials)(const Equation &eq, const double *values, double x, double y,
                         double z) = nullptr;
    bool dependsOnX = false;
    // g has no value at x = 0, and no solution goes through it (2/x).
    bool poleAtZero = false;
    // The run ends as soon as y <= 0, the new y neither drawn nor listed.
    bool stopsAtZero = false;
    Drawing drawing{};
    // The first is always y itself.
    std::span<const Curve> curves{};
    const ClosedForm *closedForm = nullptr;
};

enum class Builtin : int;

// An equation as a run holds it, never none. A built-in one lives as long as the program;
// one made while it runs, as long as whoever holds it. Equal when it is the same equation.
class EquationRef
{
public:
    // No equation chosen: y'' = 0.
    EquationRef();
    EquationRef(Builtin builtin);
    explicit EquationRef(std::shared_ptr<const Equation> made);

    const Equation &operator*() const { return *m_eq; }
    const Equation *operator->() const { return m_eq; }
    const Equation *get() const { return m_eq; }
    bool operator==(const EquationRef &other) const { return m_eq == other.m_eq; }

private:
    const Equation *m_eq;
    std::shared_ptr<const Equation> m_owner; // none for one of the table's
};

} // namespace solver
