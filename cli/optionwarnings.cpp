// SPDX-License-Identifier: MIT

#include "cli/optionwarnings.h"

#include "listing/numbertext.h"
#include "platform/texttonumber.h"

bool wholeNumber(std::string_view text)
{
    const std::size_t length = numberTextLength(text);
    return length > 0 && text.find_first_not_of(" \t", length) == std::string_view::npos;
}

std::optional<std::string> readingWarning(std::string_view option, std::string_view text,
                                          double value)
{
    if (wholeNumber(text))
        return std::nullopt;
    std::string warning = std::string(option) + " '" + std::string(text) + "' ";
    if (numberTextLength(text) == 0)
        warning += "holds no number: ";
    return warning + "read as " + shortestText(value);
}
