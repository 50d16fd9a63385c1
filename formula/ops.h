// SPDX-License-Identifier: MIT

#pragma once

// The operations of a program, and each function as one rounded double operation whose
// fault is noted as Checked notes its own.

#include "formula/formula.h"

#include <cfloat>
#include <cmath>
#include <string_view>

namespace formula {

// The accumulator's operations. A reversed one takes the operand on its left: SubFrom is
// acc = operand - acc; addition and multiplication need none, as they commute bit for bit.
enum class Program::Op : std::uint8_t {
    Load,
    Store,
    Add,
    Sub,
    SubFrom,
    Mul,
    Div,
    DivInto,
    Pow,
    PowOf,
    Square, // acc * acc: the power of a constant 2
    Neg,
    Sin,
    Cos,
    Tan,
    Asin,
    Acos,
    Atan,
    Sinh,
    Cosh,
    Tanh,
    Exp,
    Log,
    Sqrt,
    Abs,
    End,
};

using Op = Program::Op;

// How deeply a formula's operations may nest: deep enough for any formula a person writes,
// shallow enough for any thread's stack.
constexpr int kMaxDepth = 256;

// Each value waiting in a temporary is the left operand of an operator whose right one is
// being read, one per level of nesting: so a frame holds x, y, z and at most kMaxDepth more.
constexpr std::size_t kMaxFrame = 3 + kMaxDepth;

struct Function
{
    std::string_view name;
    Op op;
};

inline constexpr Function kFunctions[] = {
    {"sin", Op::Sin},   {"cos", Op::Cos},   {"tan", Op::Tan},   {"asin", Op::Asin},
    {"acos", Op::Acos}, {"atan", Op::Atan}, {"sinh", Op::Sinh}, {"cosh", Op::Cosh},
    {"tanh", Op::Tanh}, {"exp", Op::Exp},   {"log", Op::Log},   {"sqrt", Op::Sqrt},
    {"abs", Op::Abs},
};

namespace fn {

using solver::Checked;
using solver::Fault;

// A result beyond the double range, a NaN included, is an overflow, as in Checked.
inline double finite(double r, Checked &c)
{
    if (!(std::fabs(r) <= DBL_MAX)) [[unlikely]]
        c.note(Fault::Overflow);
    return r;
}

inline double log(double a, Checked &c)
{
    if (a <= 0.0) [[unlikely]]
        c.note(Fault::LogOfNonPositive);
    return finite(std::log(a), c);
}

inline double sqrt(double a, Checked &c)
{
    if (a < 0.0) [[unlikely]]
        c.note(Fault::RootOfNegative);
    return finite(std::sqrt(a), c);
}

inline double asin(double a, Checked &c)
{
    if (std::fabs(a) > 1.0) [[unlikely]]
        c.note(Fault::ArcBeyondOne);
    return finite(std::asin(a), c);
}

inline double acos(double a, Checked &c)
{
    if (std::fabs(a) > 1.0) [[unlikely]]
        c.note(Fault::ArcBeyondOne);
    return finite(std::acos(a), c);
}

// Any operation of one operand; the evaluation's own loop spells these out.
inline double unary(Op op, double a, Checked &c)
{
    switch (op) {
    case Op::Neg:
        return -a;
    case Op::Sin:
        return finite(std::sin(a), c);
    case Op::Cos:
        return finite(std::cos(a), c);
    case Op::Tan:
        return finite(std::tan(a), c);
    case Op::Asin:
        return asin(a, c);
    case Op::Acos:
        return acos(a, c);
    case Op::Atan:
        return finite(std::atan(a), c);
    case Op::Sinh:
        return finite(std::sinh(a), c);
    case Op::Cosh:
        return finite(std::cosh(a), c);
    case Op::Tanh:
        return finite(std::tanh(a), c);
    case Op::Exp:
        return finite(std::exp(a), c);
    case Op::Log:
        return log(a, c);
    case Op::Sqrt:
        return sqrt(a, c);
    case Op::Abs:
        return std::fabs(a);
    default:
        return a;
    }
}

} // namespace fn

} // namespace formula
