// SPDX-License-Identifier: MIT

#pragma once

// What the table tool says of an option's text that is not wholly a number. The text is
// read as a field reads it, its leading number and the rest ignored, which is what the
// window does; but a "1,5" typed for 1.5 would then run with 1 unseen, so the tool says
// what it read.

#include <optional>
#include <string>
#include <string_view>

// Whether `text` is a number and nothing else: after the leading blanks the field's rule
// skips, an optional sign and a whole decimal number ("1e5", "-0", ".5", "1."), then at
// most trailing blanks, which change the value no more than the leading ones. "" and a
// text of blanks hold no number; "1e", "1,5" and "2x" have more than their number.
bool wholeNumber(std::string_view text);

// The warning for the text `text` of the option `option` ("--xf", "--param k") that reads
// as `value`, without the program's name: "--xf 'abc' holds no number: read as 0",
// "--x0 '1,5' read as 1", the value as the shortest text that reads back to it. None for
// a text that is wholly a number.
std::optional<std::string> readingWarning(std::string_view option, std::string_view text,
                                          double value);
