// SPDX-License-Identifier: MIT

#pragma once

// Number-to-text rules of the sample list. Both are locale-independent: the point is
// always "." and the minus sign is a hyphen-minus. Ties in the rounding go to even, as in
// IEEE rounding, and all rounding is of the exact binary value.

#include <cstddef>
#include <string>

// Longest text either writer produces, with room to spare.
constexpr std::size_t kMaxGeneralLength = 24;
constexpr std::size_t kMaxPictureLength = 320;
constexpr std::size_t kMaxShortestLength = 32;

// General number text: at most 15 significant digits, trailing zeros and a bare point
// dropped, "0" before the point below 1. Magnitudes below 1E-5 or from 1E15 on are
// written in exponent form, "4.44089209850063E-16", "1E+15". Zero prints as "0".
// Writes at most kMaxGeneralLength characters at `out` and returns the end.
char *writeGeneral(char *out, double v);

// The picture "####.0000": rounded to four decimals, no integer digit for magnitudes
// below 1 (".0100", "-.2500"), all digits of a long integer part ("12345.6780").
// A value that rounds to zero has no sign. At most kMaxPictureLength characters.
char *writePicture(char *out, double v);

// The shortest text that reads back to the same double (for machine-readable output).
char *writeShortest(char *out, double v);

std::string generalText(double v);
std::string pictureText(double v);
std::string shortestText(double v);
