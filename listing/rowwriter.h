// SPDX-License-Identifier: MIT

#pragma once

// The rows of a listing as they are saved, copied and printed: the list lines as shown,
// or CSV, alone or with the reference beside each sample. The window and the table tool
// both write them here.

#include "listing/listline.h"

#include <algorithm>
#include <optional>
#include <string_view>

enum class RowFormat {
    Lines,            // the list lines as shown
    Csv,              // "x,y", then each sample as the shortest decimals that read back exactly
    CsvWithReference, // "x,y,reference,error", the error being y - reference
};

// The line before the rows, ended by "\n"; the list lines have none.
std::string_view rowHeader(RowFormat format);

// The most characters writeRow writes, "\n" included, in any format.
constexpr std::size_t kMaxRowLength =
    std::max(kMaxListLineLength, kMaxCsvLineLength + 2 * (kMaxShortestLength + 1)) + 1;

// Writes the row of sample (x, y) in `format`, ended by "\n", and returns the end.
// `reference` counts only for CsvWithReference: without it both its columns stay empty.
char *writeRow(char *out, RowFormat format, double x, double y,
               std::optional<double> reference = std::nullopt);
