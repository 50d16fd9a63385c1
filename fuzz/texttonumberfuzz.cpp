// SPDX-License-Identifier: MIT

// Any bytes as a field's text. The reading must agree with a small independent reference:
// blanks skipped, the longest run of characters a decimal number can be made of, read by
// strtod (the C locale's, so the point is "."), which stops where the number ends. Both
// give the same double, sign of zero included, or both fail by overflow.

#include "platform/texttonumber.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

std::optional<double> reference(const std::string &text)
{
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return 0.0;
    // Only these characters can belong to the number; cutting there keeps strtod from
    // hexadecimal, "inf", "nan" and its own idea of white space.
    const std::size_t end = text.find_first_not_of("0123456789.eE+-", i);
    const std::string candidate = text.substr(i, end == std::string::npos ? end : end - i);
    if (candidate.empty())
        return 0.0;
    errno = 0;
    char *stop = nullptr;
    const double v = std::strtod(candidate.c_str(), &stop);
    if (stop == candidate.c_str())
        return 0.0; // no number at all
    if (errno == ERANGE && std::isinf(v))
        return std::nullopt;
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::optional<double> got = textToNumber(text);
    const std::optional<double> want = reference(text);
    if (got.has_value() != want.has_value())
        std::abort();
    if (got && std::memcmp(&*got, &*want, sizeof(double)) != 0)
        std::abort();
    return 0;
}
