// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The number a field's text stands for: leading blanks are skipped, then the longest
// leading decimal number is read (sign, digits with at most one ".", an optional
// exponent "E" or "e" with sign and digits) and the rest is ignored. "1,5" is 1, "2x" is
// 2, "1e" is 1, and text without a leading number is 0. The point is "." whatever the
// locale. A magnitude too small for a double becomes 0 or the nearest subnormal.
//
// Returns no value only for a magnitude beyond the largest double.
std::optional<double> textToNumber(std::string_view text);

// How many characters of `text` that rule reads: the leading blanks, the sign and the
// number; 0 for a text without a leading number, which reads as 0.
std::size_t numberTextLength(std::string_view text);
