// SPDX-License-Identifier: MIT

#pragma once

// A formula for y'' = G(x, y, y'), compiled once into a small program that any number of
// threads evaluate at the same time.
//
// The language: x, y and y' are the abscissa, the value and the slope; pi and e are the
// nearest doubles; any other name (a letter, then letters, digits or '_') is a parameter,
// at most solver::kMaxParameters of them, numbered in the order they first appear.
// Numbers are read as the fields read them. The operators are + - * / ^ and parentheses:
// ^ is the power, right-associative and binding tighter than a unary minus (-y^2 is
// -(y^2), 2^-1 is 0.5); * and / bind tighter than + and -, and all four are
// left-associative. There is no implicit multiplication. The functions are sin cos tan asin
// acos atan sinh cosh tanh exp log (natural) sqrt abs, each called as name(expression).
//
// The program performs one rounded double operation per operator or function, in the
// order of the formula's tree, through solver::Checked: it gives the very doubles of the
// same formula written out in C++ with Checked, so -2*y' / x - y^n is the built-in Emden g
// bit for bit. a^2 with the number 2 is a*a, as the C++ compiler makes of pow(a, 2.0).
// Where several operations have no value, the first in the order of the tree is noted.

#include "solver/checked.h"
#include "solver/partials.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace formula {

// Why a text is not a formula: the 1-based column, in bytes of the text, and a message that
// names what was expected there, e.g. "')' expected at column 9".
struct ParseError
{
    std::size_t column;
    std::string message;

    bool operator==(const ParseError &) const = default;
};

// G with its partial derivatives by y and by y' at one point (solver/partials.h).
using Partials = solver::Partials;

class Program
{
public:
    // The parameters' names in the order they first appear; values[i] is the value of the
    // i-th wherever a program takes `values`.
    const std::vector<std::string> &parameters() const { return m_parameters; }
    bool usesX() const { return m_usesX; }
    bool usesSlope() const { return m_usesSlope; }
    // The text it was compiled from.
    const std::string &text() const { return m_text; }

    // G at (x, y, z = y'), every operation through `c`, which notes the first fault. The
    // first evaluation of a step takes the stored single-precision slope, widened where used.
    double evaluate(double x, double y, double z, const double *values, solver::Checked &c) const;
    double evaluate(double x, double y, float z, const double *values, solver::Checked &c) const;

    // G and its exact partials at (x, y, z), computed with dual numbers over the same
    // operations; G's value is the one evaluate() gives.
    Partials partials(double x, double y, double z, const double *values) const;

    // The column of the operator or function whose operation is the first without a value
    // at (x, y, z), found by evaluating once more; 0 when every operation has one.
    std::size_t faultColumn(double x, double y, double z, const double *values) const;
    std::size_t faultColumn(double x, double y, float z, const double *values) const;

    // An operator or a function (formula/ops.h).
    enum class Op : std::uint8_t;

private:
    friend class Compiler;
    Program() = default;

    // Where an operand is: the frame [x, y, z, temporaries], the constants or the
    // parameters' values.
    enum Space : std::uint8_t { kFrame, kConstants, kValues };
    struct Operand
    {
        Space space = kFrame;
        std::uint32_t index = 0;
    };
    // The code works on one accumulator, which the compiler keeps in a register: acc = acc
    // op operand, acc = operand op acc, acc = f(acc), or a load or store of it.
    struct Instruction
    {
        Op op;
        Space space;
        std::uint32_t index;
    };

    template<bool kTrace>
    double run(double x, double y, double z, const double *values, solver::Checked &c,
               std::size_t *column) const;
    template<bool kTrace>
    [[gnu::always_inline]] inline double execute(double *frame, const double *values,
                                                 solver::Checked &c, std::size_t *column) const;

    std::string m_text;
    std::vector<std::string> m_parameters;
    std::vector<double> m_constants;
    std::vector<Instruction> m_code;
    std::vector<std::uint32_t> m_columns; // of each instruction's operator or function
    std::uint32_t m_frameSize = 3;
    bool m_usesX = false;
    bool m_usesSlope = false;
};

// The program of `text`, or why it is not a formula. Changes nothing else.
std::variant<std::shared_ptr<const Program>, ParseError> compile(std::string_view text);

} // namespace formula
