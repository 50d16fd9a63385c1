#pragma once

#include "listing/numbertext.h"

#include <string>

// The list line of a sample: the general text of x, three blanks, y in "####.0000".
constexpr std::size_t kMaxListLineLength = kMaxGeneralLength + 3 + kMaxPictureLength;

// Writes at most kMaxListLineLength characters, no terminator, and returns the end.
char *writeListLine(char *out, double x, double y);

std::string listLine(double x, double y);
