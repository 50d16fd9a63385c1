// SPDX-License-Identifier: MIT

#include "platform/texttonumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of `s` that is a decimal number without sign, 0 if none.
std::size_t numberLength(std::string_view s)
{
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    // The exponent belongs to the number only when at least one digit follows.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// The decimal exponent of the leading nonzero digit of a number of numberLength() > 0
// that is not 0, e.g. 2 for "123.4", -3 for "0.00123", 5 for "1e5". Saturates far beyond
// the double range.
long decimalExponent(std::string_view s)
{
    long e = 0;
    long fractionDigits = 0;
    bool seenNonzero = false;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < s.size() && (isDigit(s[i]) || s[i] == '.'); ++i) {
        if (s[i] == '.') {
            afterPoint = true;
        } else if (!afterPoint) {
            if (seenNonzero)
                ++e;
            else if (s[i] != '0')
                seenNonzero = true;
        } else {
            ++fractionDigits;
            if (!seenNonzero && s[i] != '0') {
                seenNonzero = true;
                e = -fractionDigits;
            }
        }
    }
    long exponent = 0;
    if (i < s.size()) { // 'e' or 'E'
        ++i;
        const bool negative = s[i] == '-';
        if (s[i] == '+' || s[i] == '-')
            ++i;
        for (; i < s.size(); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1000000000L);
        if (negative)
            exponent = -exponent;
    }
    return e + exponent;
}

// Where the sign or the number starts: after the leading blanks.
std::size_t blanksLength(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return i;
}

} // namespace

std::size_t numberTextLength(std::string_view text)
{
    std::size_t i = blanksLength(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t len = numberLength(text.substr(i));
    return len == 0 ? 0 : i + len;
}

std::optional<double> textToNumber(std::string_view text)
{
    std::size_t i = blanksLength(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::string_view body = text.substr(i);
    const std::size_t len = numberLength(body);
    if (len == 0)
        return 0.0;

    // from_chars is locale-independent and correctly rounded. It reports overflow and
    // underflow alike as out of range and leaves the value alone; only overflow fails.
    double value = 0.0;
    const auto result =
        std::from_chars(body.data(), body.data() + len, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        if (decimalExponent(body.substr(0, len)) > 0)
            return std::nullopt;
        value = 0.0;
    }
    if (std::isinf(value))
        return std::nullopt;
    return negative ? -value : value;
}
