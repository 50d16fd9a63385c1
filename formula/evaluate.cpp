// SPDX-License-Identifier: MIT

// The evaluation: one switch in a loop over the program, each case one rounded double
// operation, so nothing can fuse two of them or change their order.

#include "formula/ops.h"

namespace formula {

template<bool kTrace>
double Program::execute(double *frame, const double *values, solver::Checked &c,
                        std::size_t *column) const
{
    const double *const spaces[] = {frame, m_constants.data(), values};
    const Instruction *const code = m_code.data();
    // Every program starts by loading its first operand, which needs no dispatch.
    double acc = spaces[code->space][code->index];
    for (const Instruction *in = code + 1;; ++in) {
        // An operand's address depends on the code alone, so it never waits for a value.
        const auto operand = [&spaces, in] { return spaces[in->space][in->index]; };
        switch (in->op) {
        case Op::Load:
            acc = operand();
            break;
        case Op::Store:
            frame[in->index] = acc;
            break;
        case Op::Add:
            acc = c.add(acc, operand());
            break;
        case Op::Sub:
            acc = c.sub(acc, operand());
            break;
        case Op::SubFrom:
            acc = c.sub(operand(), acc);
            break;
        case Op::Mul:
            acc = c.mul(acc, operand());
            break;
        case Op::Div:
            acc = c.div(acc, operand());
            break;
        case Op::DivInto:
            acc = c.div(operand(), acc);
            break;
        case Op::Pow:
            acc = c.pow(acc, operand());
            break;
        case Op::PowOf:
            acc = c.pow(operand(), acc);
            break;
        case Op::Square:
            acc = c.mul(acc, acc);
            break;
        case Op::Neg:
            acc = -acc;
            break;
        case Op::Sin:
            acc = fn::finite(std::sin(acc), c);
            break;
        case Op::Cos:
            acc = fn::finite(std::cos(acc), c);
            break;
        case Op::Tan:
            acc = fn::finite(std::tan(acc), c);
            break;
        case Op::Asin:
            acc = fn::asin(acc, c);
            break;
        case Op::Acos:
            acc = fn::acos(acc, c);
            break;
        case Op::Atan:
            acc = fn::finite(std::atan(acc), c);
            break;
        case Op::Sinh:
            acc = fn::finite(std::sinh(acc), c);
            break;
        case Op::Cosh:
            acc = fn::finite(std::cosh(acc), c);
            break;
        case Op::Tanh:
            acc = fn::finite(std::tanh(acc), c);
            break;
        case Op::Exp:
            acc = fn::finite(std::exp(acc), c);
            break;
        case Op::Log:
            acc = fn::log(acc, c);
            break;
        case Op::Sqrt:
            acc = fn::sqrt(acc, c);
            break;
        case Op::Abs:
            acc = std::fabs(acc);
            break;
        case Op::End:
            return acc;
        default:
            // Every operation is one of the above: no range check before the jump.
            __builtin_unreachable();
        }
        if constexpr (kTrace) {
            if (!c.ok()) {
                *column = m_columns[static_cast<std::size_t>(in - code)];
                return acc;
            }
        }
    }
}

template<bool kTrace>
double Program::run(double x, double y, double z, const double *values, solver::Checked &c,
                    std::size_t *column) const
{
    // Any program's frame fits: a few kilobytes of stack, never the heap.
    double r[kMaxFrame];
    r[0] = x, r[1] = y, r[2] = z;
    return execute<kTrace>(r, values, c, column);
}

double Program::evaluate(double x, double y, double z, const double *values,
                         solver::Checked &c) const
{
    return run<false>(x, y, z, values, c, nullptr);
}

double Program::evaluate(double x, double y, float z, const double *values,
                         solver::Checked &c) const
{
    return run<false>(x, y, static_cast<double>(z), values, c, nullptr);
}

std::size_t Program::faultColumn(double x, double y, double z, const double *values) const
{
    solver::Checked c;
    std::size_t column = 0;
    run<true>(x, y, z, values, c, &column);
    return column;
}

std::size_t Program::faultColumn(double x, double y, float z, const double *values) const
{
    return faultColumn(x, y, static_cast<double>(z), values);
}

} // namespace formula
