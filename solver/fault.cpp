// SPDX-License-Identifier: MIT

#include "solver/fault.h"

namespace solver {

std::string_view faultText(Fault fault)
{
    switch (fault) {
    case Fault::None:
        return "no failure";
    case Fault::DivisionByZero:
        return "division by zero";
    case Fault::PowerUndefined:
        return "power of a negative number with a fractional exponent";
    case Fault::PowerOfZero:
        return "power of zero with a negative exponent";
    case Fault::LogOfNonPositive:
        return "logarithm of a number that is not positive";
    case Fault::RootOfNegative:
        return "square root of a negative number";
    case Fault::ArcBeyondOne:
        return "arc sine or cosine of a number beyond -1 to 1";
    case Fault::Overflow:
        return "overflow";
    case Fault::SingleOverflow:
        return "overflow of the single-precision slope";
    case Fault::CoordinateOverflow:
        return "drawing coordinate out of range";
    }
    return "unknown failure";
}

} // namespace solver
