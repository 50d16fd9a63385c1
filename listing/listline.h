// SPDX-License-Identifier: MIT

#pragma once

#include "listing/numbertext.h"

#include <string>

// The list line of a sample: the general text of x, three blanks, y in "####.0000".
constexpr std::size_t kMaxListLineLength = kMaxGeneralLength + 3 + kMaxPictureLength;

// Writes at most kMaxListLineLength characters, no terminator, and returns the end.
char *writeListLine(char *out, double x, double y);

std::string listLine(double x, double y);

// The CSV row of a sample: x and y as the shortest texts that read back to the same
// doubles, joined by a comma. At most kMaxCsvLineLength characters, no terminator.
constexpr std::size_t kMaxCsvLineLength = 2 * kMaxShortestLength + 1;
char *writeCsvLine(char *out, double x, double y);
