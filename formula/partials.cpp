// SPDX-License-Identifier: MIT

// The partials of G by forward differentiation: the same program over dual numbers, each
// a value with its derivatives by y and by y', the derivatives by the rules of calculus.

#include "formula/ops.h"

#include <vector>

namespace formula {

namespace {

using solver::Checked;

struct Dual
{
    double v, dy, dz;
};

bool varies(const Dual &a)
{
    return a.dy != 0.0 || a.dz != 0.0;
}

// A function's value with the chain rule. The derivative of the function at a is taken
// only where a varies: a constant's derivative is 0 even where the function has none
// (sqrt(0) * y).
Dual function(Op op, const Dual &a, Checked &c)
{
    const double v = fn::unary(op, a.v, c);
    if (!varies(a))
        return {v, 0.0, 0.0};
    double s = 0.0;
    switch (op) {
    case Op::Neg:
        return {v, -a.dy, -a.dz};
    case Op::Sin:
        s = std::cos(a.v);
        break;
    case Op::Cos:
        s = -std::sin(a.v);
        break;
    case Op::Tan:
        s = c.add(1.0, c.mul(v, v));
        break;
    case Op::Asin:
    case Op::Acos:
        // Without a value at -1 and 1, where the root is 0.
        s = c.div(op == Op::Asin ? 1.0 : -1.0, fn::sqrt(c.sub(1.0, c.mul(a.v, a.v)), c));
        break;
    case Op::Atan:
        s = c.div(1.0, c.add(1.0, c.mul(a.v, a.v)));
        break;
    case Op::Sinh:
        s = fn::finite(std::cosh(a.v), c);
        break;
    case Op::Cosh:
        s = fn::finite(std::sinh(a.v), c);
        break;
    case Op::Tanh:
        s = c.sub(1.0, c.mul(v, v));
        break;
    case Op::Exp:
        s = v;
        break;
    case Op::Log:
        s = c.div(1.0, a.v);
        break;
    case Op::Sqrt:
        s = c.div(0.5, v);
        break;
    case Op::Abs:
        // abs has no derivative at 0: there it is taken as 0, between its one-sided ones.
        s = a.v > 0.0 ? 1.0 : a.v < 0.0 ? -1.0 : 0.0;
        break;
    default:
        break;
    }
    return {v, c.mul(a.dy, s), c.mul(a.dz, s)};
}

// d(a^b) = b a^(b-1) da + a^b log(a) db, each term only where its operand varies. Where
// a^b is 0 the second term is 0 as well: 0^b stays 0 as b varies.
Dual power(const Dual &a, const Dual &b, Checked &c)
{
    const double v = c.pow(a.v, b.v);
    Dual r{v, 0.0, 0.0};
    if (varies(a)) {
        const double s = c.mul(b.v, c.pow(a.v, c.sub(b.v, 1.0)));
        r.dy = c.mul(a.dy, s);
        r.dz = c.mul(a.dz, s);
    }
    if (varies(b) && v != 0.0) {
        const double t = c.mul(v, fn::log(a.v, c));
        r.dy = c.add(r.dy, c.mul(b.dy, t));
        r.dz = c.add(r.dz, c.mul(b.dz, t));
    }
    return r;
}

Dual binary(Op op, const Dual &a, const Dual &b, Checked &c)
{
    switch (op) {
    case Op::Add:
        return {c.add(a.v, b.v), c.add(a.dy, b.dy), c.add(a.dz, b.dz)};
    case Op::Sub:
        return {c.sub(a.v, b.v), c.sub(a.dy, b.dy), c.sub(a.dz, b.dz)};
    case Op::Mul:
        return {c.mul(a.v, b.v), c.add(c.mul(a.dy, b.v), c.mul(a.v, b.dy)),
                c.add(c.mul(a.dz, b.v), c.mul(a.v, b.dz))};
    case Op::Div: {
        const double v = c.div(a.v, b.v);
        return {v, c.div(c.sub(a.dy, c.mul(v, b.dy)), b.v),
                c.div(c.sub(a.dz, c.mul(v, b.dz)), b.v)};
    }
    default:
        return power(a, b, c);
    }
}

} // namespace

Partials Program::partials(double x, double y, double z, const double *values) const
{
    std::vector<Dual> frame(m_frameSize);
    frame[0] = {x, 0.0, 0.0};
    frame[1] = {y, 1.0, 0.0};
    frame[2] = {z, 0.0, 1.0};
    Checked c;
    Dual acc{};
    for (const Instruction &in : m_code) {
        // Constants and parameters do not vary.
        const auto operand = [&]() -> Dual {
            if (in.space == kFrame)
                return frame[in.index];
            return {in.space == kConstants ? m_constants[in.index] : values[in.index], 0.0, 0.0};
        };
        switch (in.op) {
        case Op::Load:
            acc = operand();
            break;
        case Op::Store:
            frame[in.index] = acc;
            break;
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::Pow:
            acc = binary(in.op, acc, operand(), c);
            break;
        case Op::SubFrom:
            acc = binary(Op::Sub, operand(), acc, c);
            break;
        case Op::DivInto:
            acc = binary(Op::Div, operand(), acc, c);
            break;
        case Op::PowOf:
            acc = binary(Op::Pow, operand(), acc, c);
            break;
        case Op::Square:
            acc = binary(Op::Mul, acc, acc, c);
            break;
        case Op::End:
            return {acc.v, acc.dy, acc.dz, c.fault()};
        default:
            acc = function(in.op, acc, c);
            break;
        }
    }
    return {};
}

} // namespace formula
