// SPDX-License-Identifier: MIT

#pragma once

#include "solver/fault.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace solver {

// Double arithmetic that notes the first operation without a value.
//
// Every helper performs exactly one IEEE operation, rounded on its own, and returns its
// result even after a fault, so the order and rounding of the computation never depend
// on the checks. Only the first fault is kept: a division by zero that also yields an
// infinity is reported as the division by zero. The caller looks at fault() before it
// hands anything on, so no infinity or NaN ever leaves a run.
class Checked
{
public:
    Fault fault() const { return m_fault; }
    bool ok() const { return m_fault == Fault::None; }

    double add(double a, double b) { return finite(a + b); }
    double sub(double a, double b) { return finite(a - b); }
    double mul(double a, double b) { return finite(a * b); }

    double div(double a, double b)
    {
        if (b == 0.0) [[unlikely]]
            note(Fault::DivisionByZero);
        return finite(a / b);
    }

    double pow(double base, double exponent)
    {
        if (base < 0.0 && std::trunc(exponent) != exponent) [[unlikely]]
            note(Fault::PowerUndefined);
        else if (base == 0.0 && exponent < 0.0) [[unlikely]]
            note(Fault::PowerOfZero);
        return finite(std::pow(base, exponent));
    }

    // Rounds to single precision. A value beyond its range becomes infinite there,
    // which is the fault `kind`.
    float single(double v, Fault kind = Fault::SingleOverflow)
    {
        // Below half the smallest single, rounding to nearest gives a zero of v's sign.
        // Said here, because converting a subnormal double, or even comparing one, costs
        // the processor a microcode assist of a hundred cycles, and a decaying solution
        // lives on them. The magnitude is compared as bits: for doubles of one sign the
        // order of the bits is the order of the values.
        const auto bits = std::bit_cast<std::uint64_t>(v);
        if ((bits & ~kSignBit) < std::bit_cast<std::uint64_t>(0x1p-150)) [[unlikely]]
            return (bits & kSignBit) != 0 ? -0.0f : 0.0f;
        const float s = static_cast<float>(v);
        if (std::isinf(s)) [[unlikely]]
            note(kind);
        return s;
    }

    // A product formed in single precision (a small integer constant times a single).
    float mulSingle(float a, float b)
    {
        const float p = a * b;
        if (std::isinf(p)) [[unlikely]]
            note(Fault::SingleOverflow);
        return p;
    }

    void note(Fault fault)
    {
        if (m_fault == Fault::None)
            m_fault = fault;
    }

private:
    static constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;

    double finite(double r)
    {
        // Written as a negated comparison so that a NaN is caught as well.
        if (!(std::fabs(r) <= DBL_MAX)) [[unlikely]]
            note(Fault::Overflow);
        return r;
    }

    Fault m_fault = Fault::None;
};

} // namespace solver
