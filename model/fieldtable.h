// SPDX-License-Identifier: MIT

#pragma once

// The six text fields of the window, described once: the window takes their names,
// default texts and descriptions from here, and the table tool its options, defaults and
// usage. Text5 and Text6 hold the built-in equations' parameters, as their descriptions
// say.

#include "solver/builtins.h"
#include "solver/solver.h"

#include <array>
#include <optional>
#include <string_view>

namespace fields {

// By what the field holds; the value is the index of its control, Text1 to Text6.
enum class Field : int { X0, Xf, Y0, Z0, N, Lam };

constexpr int kFieldCount = 6;

struct FieldInfo
{
    std::string_view control;     // the control's name
    std::string_view defaultText; // its text when the window opens
    std::string_view holds;       // what it holds, as a message names it
    std::string_view option;      // the table tool's option
};

constexpr FieldInfo parameterField(const solver::Parameter &p)
{
    return {p.control, p.defaultText, p.holds, p.option};
}

inline constexpr std::array<FieldInfo, kFieldCount> kFields = {{
    {"Text1", "0", "start abscissa x0", "--x0"},
    {"Text2", "5", "final abscissa", "--xf"},
    {"Text3", "0.01", "start value y(x0)", "--y0"},
    {"Text4", "16.947", "start slope y'(x0)", "--z0"},
    parameterField(solver::kBuiltinParameters[0]),
    parameterField(solver::kBuiltinParameters[1]),
}};

constexpr const FieldInfo &info(Field f)
{
    return kFields[static_cast<std::size_t>(f)];
}

// Enter in each start field captures it and moves the focus on along this chain,
// whatever the tab order; Enter in the last one runs.
inline constexpr std::array<Field, 4> kEnterChain = {Field::X0, Field::Y0, Field::Z0, Field::Xf};

// What a run start reads, in this order: a number beyond range ends the reading there.
inline constexpr std::array<Field, 3> kRunStartOrder = {Field::N, Field::Lam, Field::Xf};

// Every field in the order the window captures them: the Enter chain's start fields,
// then a run's start.
inline constexpr std::array<Field, kFieldCount> kCaptureOrder = {Field::X0, Field::Y0,  Field::Z0,
                                                                 Field::N,  Field::Lam, Field::Xf};

// The order in which the table tool's usage lists them.
inline constexpr std::array<Field, kFieldCount> kUsageOrder = {Field::X0, Field::Y0, Field::Z0,
                                                               Field::Xf, Field::N,  Field::Lam};

// The field after `f` on the Enter chain; Xf, the last, has none and returns itself.
constexpr Field nextOnEnter(Field f)
{
    for (std::size_t i = 0; i + 1 < kEnterChain.size(); ++i)
        if (kEnterChain[i] == f)
            return kEnterChain[i + 1];
    return f;
}

// The field that holds a parameter of an equation; none for a parameter no field holds.
std::optional<Field> fieldOf(const solver::Parameter &p);

// What the window remembers between events, and what the table tool reads from its
// options: the chosen equation, and each field's value as it was last captured (0 for one
// never captured).
struct Captured
{
    solver::EquationRef eq;
    std::array<double, kFieldCount> values{};
    // The values of the parameters that no field holds (a formula's), by their place among
    // the equation's parameters, as last read.
    solver::ParameterValues own{};

    double &operator[](Field f) { return values[static_cast<std::size_t>(f)]; }
    double operator[](Field f) const { return values[static_cast<std::size_t>(f)]; }
    bool operator==(const Captured &) const = default;

    // The run these make: its start and end from their fields, and the values of the
    // equation's parameters from the fields that hold them.
    solver::RunParameters run() const;
};

} // namespace fields
