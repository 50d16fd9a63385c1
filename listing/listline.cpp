// SPDX-License-Identifier: MIT

#include "listing/listline.h"

#include <cstring>

char *writeListLine(char *out, double x, double y)
{
    out = writeGeneral(out, x);
    std::memcpy(out, "   ", 3);
    return writePicture(out + 3, y);
}

char *writeCsvLine(char *out, double x, double y)
{
    out = writeShortest(out, x);
    *out++ = ',';
    return writeShortest(out, y);
}

std::string listLine(double x, double y)
{
    char buf[kMaxListLineLength];
    return std::string(buf, writeListLine(buf, x, y));
}
