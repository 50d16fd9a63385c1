// SPDX-License-Identifier: MIT

#include "listing/rowwriter.h"

std::string_view rowHeader(RowFormat format)
{
    switch (format) {
    case RowFormat::Lines:
        break;
    case RowFormat::Csv:
        return "x,y\n";
    case RowFormat::CsvWithReference:
        return "x,y,reference,error\n";
    }
    return {};
}

char *writeRow(char *out, RowFormat format, double x, double y, std::optional<double> reference)
{
    if (format == RowFormat::Lines) {
        out = writeListLine(out, x, y);
    } else {
        out = writeCsvLine(out, x, y);
        if (format == RowFormat::CsvWithReference) {
            *out++ = ',';
            if (reference)
                out = writeShortest(out, *reference);
            *out++ = ',';
            if (reference)
                out = writeShortest(out, y - *reference);
        }
    }
    *out++ = '\n';
    return out;
}
