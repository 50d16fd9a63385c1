// SPDX-License-Identifier: MIT

#include "listing/numbertext.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// The fast paths below round the exact binary value with integer arithmetic: a double is
// m * 2^e with a 53-bit m, so m times a power of ten fits in 128 bits and the bits shifted
// out decide the rounding exactly. Values outside their ranges go through std::to_chars,
// which rounds the exact value as well, so both paths agree digit for digit.

namespace {

__extension__ typedef unsigned __int128 U128;

constexpr std::array<std::uint64_t, 20> kPow10 = [] {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();

constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[2 * i] = static_cast<char>('0' + i / 10);
        t[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

struct Decomposed
{
    std::uint64_t m; // |v| = m * 2^e
    int e;
};

Decomposed decompose(double a)
{
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    if (biased == 0)
        return {fraction, -1074};
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

// p * 2^-s rounded to the nearest integer, ties to even; 1 <= s < 128.
U128 roundShift(U128 p, int s)
{
    const U128 q = p >> s;
    const U128 rest = p & ((U128{1} << s) - 1);
    const U128 half = U128{1} << (s - 1);
    return (rest > half || (rest == half && (q & 1) != 0)) ? q + 1 : q;
}

// Writes exactly `count` digits of v, leading zeros included, ending at `end`.
void writeDigitsBackwards(char *end, std::uint64_t v, int count)
{
    while (count >= 2) {
        const auto pair = static_cast<std::size_t>(v % 100) * 2;
        v /= 100;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
        count -= 2;
    }
    if (count == 1)
        *--end = static_cast<char>('0' + v % 10);
}

int decimalDigits(std::uint64_t v)
{
    int n = 1;
    while (n < 20 && v >= kPow10[static_cast<std::size_t>(n)])
        ++n;
    return n;
}

// Lays out 15 significant digits with decimal exponent d (the exponent of the first
// digit) as general number text.
char *emitGeneral(char *out, bool negative, const char *digits, int d)
{
    int len = 15;
    while (len > 1 && digits[len - 1] == '0')
        --len;
    if (negative)
        *out++ = '-';
    if (d < -5 || d >= 15) {
        *out++ = digits[0];
        if (len > 1) {
            *out++ = '.';
            std::memcpy(out, digits + 1, static_cast<std::size_t>(len - 1));
            out += len - 1;
        }
        *out++ = 'E';
        *out++ = d < 0 ? '-' : '+';
        const int ad = std::abs(d);
        if (ad >= 100)
            *out++ = static_cast<char>('0' + ad / 100);
        *out++ = static_cast<char>('0' + ad / 10 % 10);
        *out++ = static_cast<char>('0' + ad % 10);
    } else if (d >= 0) {
        const int whole = d + 1;
        if (len <= whole) {
            std::memcpy(out, digits, static_cast<std::size_t>(len));
            std::memset(out + len, '0', static_cast<std::size_t>(whole - len));
            out += whole;
        } else {
            std::memcpy(out, digits, static_cast<std::size_t>(whole));
            out += whole;
            *out++ = '.';
            std::memcpy(out, digits + whole, static_cast<std::size_t>(len - whole));
            out += len - whole;
        }
    } else {
        *out++ = '0';
        *out++ = '.';
        std::memset(out, '0', static_cast<std::size_t>(-d - 1));
        out += -d - 1;
        std::memcpy(out, digits, static_cast<std::size_t>(len));
        out += len;
    }
    return out;
}

} // namespace

char *writeGeneral(char *out, double v)
{
    if (v == 0.0) {
        *out = '0';
        return out + 1;
    }
    if (!std::isfinite(v))
        return std::to_chars(out, out + kMaxGeneralLength, v).ptr;

    const bool negative = std::signbit(v);
    const double a = std::fabs(v);
    char digits[15];
    int d;
    if (a >= 2e-5 && a < 1e14) {
        // Here e < 0 and floor(log2 a) lies in -16 .. 46.
        const auto [m, e] = decompose(a);
        const int s = -e;
        const int log2a = 63 - std::countl_zero(m) + e;
        // floor(log2a * log10(2)): the decimal exponent of a, or one less.
        d = (log2a * 78913) >> 18;
        U128 p = U128{m} * kPow10[static_cast<std::size_t>(14 - d)];
        if (p >= (U128{kPow10[15]} << s)) {
            ++d;
            p = U128{m} * kPow10[static_cast<std::size_t>(14 - d)];
        }
        auto q = static_cast<std::uint64_t>(roundShift(p, s));
        if (q == kPow10[15]) { // rounded up to the next power of ten
            q = kPow10[14];
            ++d;
        }
        writeDigitsBackwards(digits + 15, q, 15);
    } else {
        // "d.dddddddddddddde+XX"
        char buf[32];
        const auto end =
            std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14).ptr;
        digits[0] = buf[0];
        std::memcpy(digits + 1, buf + 2, 14);
        d = 0;
        std::from_chars(buf + 17 + (buf[17] == '+'), end, d);
    }
    return emitGeneral(out, negative, digits, d);
}

char *writePicture(char *out, double v)
{
    const double a = std::fabs(v);
    if (!(a < 0x1p63)) { // huge or not finite
        if (std::signbit(v))
            *out++ = '-';
        return std::to_chars(out, out + kMaxPictureLength - 1, a, std::chars_format::fixed, 4).ptr;
    }

    const auto [m, e] = decompose(a);
    U128 q; // |v| * 10^4, rounded
    if (e >= 0)
        q = (U128{m} << e) * 10000;
    else if (-e >= 68) // m * 10^4 < 2^67: less than half a unit
        q = 0;
    else
        q = roundShift(U128{m} * 10000, -e);

    if (q != 0 && std::signbit(v))
        *out++ = '-';
    std::uint64_t whole;
    std::uint64_t fraction;
    if (q <= UINT64_MAX) {
        const auto q64 = static_cast<std::uint64_t>(q);
        whole = q64 / 10000;
        fraction = q64 % 10000;
    } else {
        whole = static_cast<std::uint64_t>(q / 10000);
        fraction = static_cast<std::uint64_t>(q % 10000);
    }
    if (whole != 0) {
        const int n = decimalDigits(whole);
        writeDigitsBackwards(out + n, whole, n);
        out += n;
    }
    *out++ = '.';
    writeDigitsBackwards(out + 4, fraction, 4);
    return out + 4;
}

char *writeShortest(char *out, double v)
{
    return std::to_chars(out, out + kMaxShortestLength, v).ptr;
}

std::string generalText(double v)
{
    char buf[kMaxGeneralLength];
    return std::string(buf, writeGeneral(buf, v));
}

std::string pictureText(double v)
{
    char buf[kMaxPictureLength];
    return std::string(buf, writePicture(buf, v));
}

std::string shortestText(double v)
{
    char buf[kMaxShortestLength];
    return std::string(buf, writeShortest(buf, v));
}
