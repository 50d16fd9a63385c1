// SPDX-License-Identifier: MIT

// Any finite double through both number-to-text rules of the list.
// - The general text reads back to the double rounded to 15 significant digits (glibc's
//   printf rounds the exact binary value, ties to even, as the rule does).
// - The picture text has the shape of "####.0000" and reads back to within half a unit
//   of the fourth decimal.

#include "listing/numbertext.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool pictureShape(const std::string &s)
{
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-')
        ++i;
    const std::size_t integerStart = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    // No leading zero: an integer part of zero prints nothing.
    if (i > integerStart && s[integerStart] == '0')
        return false;
    if (i + 5 != s.size() || s[i] != '.')
        return false;
    for (std::size_t k = i + 1; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9')
            return false;
    // A value that rounds to zero carries no sign.
    return !(s[0] == '-' && s == "-.0000");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(double))
        return 0;
    double v;
    std::memcpy(&v, data, sizeof v);
    if (!std::isfinite(v))
        return 0; // a run never hands on anything else

    const std::string general = generalText(v);
    check(!general.empty() && general.size() <= kMaxGeneralLength);
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.14e", v);
    check(std::strtod(general.c_str(), nullptr) == std::strtod(rounded, nullptr));

    const std::string picture = pictureText(v);
    check(picture.size() <= kMaxPictureLength);
    check(pictureShape(picture));
    const double back = std::strtod(picture.c_str(), nullptr);
    // The text is v rounded to four decimals exactly; reading it back rounds once more.
    const double slack = 0.00005 + std::fabs(v) * 0x1p-52;
    check(std::fabs(back - v) <= slack);
    return 0;
}
