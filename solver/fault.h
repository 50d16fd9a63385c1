// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string_view>

namespace solver {

// An operation without a value. The run ends at the first one; the caller turns it
// into a message. Only arithmetic: why a sink stopped a run is the sink's own business.
enum class Fault : std::uint8_t {
    None,
    DivisionByZero,     // a divisor of zero, 0 / 0 included
    PowerUndefined,     // a negative base raised to a non-integral exponent
    PowerOfZero,        // zero raised to a negative exponent
    LogOfNonPositive,   // the logarithm of a number <= 0
    RootOfNegative,     // the square root of a number < 0
    ArcBeyondOne,       // the arc sine or cosine of a number beyond -1 to 1
    Overflow,           // a double result beyond the finite range
    SingleOverflow,     // a store into single precision beyond its range
    CoordinateOverflow, // a drawing coordinate beyond single precision's range
};

// Short lower-case description, e.g. "division by zero".
std::string_view faultText(Fault fault);

} // namespace solver
