// SPDX-License-Identifier: MIT

#pragma once

// Numbers along the axes of a zoomable view, and the texts of values read off it. Plain
// C++; minus signs are U+2212, as a label and a screen reader want them.

#include <string>
#include <vector>

struct Tick
{
    double value;
    std::string label;
};

// The step of 1, 2 or 5 times a power of ten that puts at most `most` ticks on a span.
double tickStep(double span, int most);

// The ticks of [lo, hi] at that step, each labelled with as many digits as tell it from
// its neighbours.
std::vector<Tick> ticks(double lo, double hi, int most);

// `value` with as many digits as `resolution` (the smallest difference that matters)
// needs: fixed decimals for ordinary magnitudes, an exponent for very large or small ones.
std::string numberText(double value, double resolution);

// The ticks of a log axis from 10^lo to 10^hi, at most `most`, their values the exponents:
// whole decades (every one, or every 2nd, 5th, ... of them); zoomed in to a few decades,
// 1, 2 and 5 times each, then every digit; within a digit, 1-2-5 steps of the values
// themselves. Labelled "1e−8", "2e−8", "3.5e−12".
std::vector<Tick> logTicks(double lo, double hi, int most);

// 10 to the power `exponent`, as a log axis labels it: "1e−8" for a whole decade, three
// digits between decades ("3.16e−8").
std::string powerText(double exponent);

// The same with an ASCII hyphen-minus, as a field's text: it reads back by the fields'
// rule, and two values `resolution` apart read back differently.
std::string fieldText(double value, double resolution);
