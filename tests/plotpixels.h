// SPDX-License-Identifier: MIT

#pragma once

#include <QRgb>

// What the 449-pixel plot looks like: 20 world units across, so world (x, y) falls on
// pixel floor((x + 5) * 22.45), floor((15 - y) * 22.45). The x axis is row 336, the y
// axis column 112.
namespace plotpixels {

constexpr QRgb kBackground = 0xFF80FFFF;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kMagentaRgb = 0xFF800080;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlackRgb = 0xFF000000;
constexpr QRgb kGreenRgb = 0xFF008000;

constexpr int kSize = 449;
constexpr int kAxisRow = 336;
constexpr int kAxisColumn = 112;

} // namespace plotpixels
