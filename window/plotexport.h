// SPDX-License-Identifier: MIT

#pragma once

// The plot as files and clipboard contents: PNG at the screen's resolution or at print
// size, SVG and PDF, each with the Emden legend when it is shown.

#include <QByteArray>
#include <QString>

#include <span>

class PlotScene;
class QImage;
class QIODevice;
class QLabel;
class SampleList;

namespace plotexport {

enum class Format {
    ScreenPng, // the pixels on screen
    PrintPng,  // rendered at four times the side
    Svg,
    Pdf,
};

// Four times the plot's side: print size for a PNG, and the grid the vector forms merge
// the curve on.
constexpr int kPrintScale = 4;

// The format a name asks for by its suffix: .svg, .pdf, otherwise a PNG as on screen.
Format formatFor(const QString &path);

// What is drawn: the scene and its samples, on a plot `side` logical pixels a side, with
// the legend labels that lie on it (painted where they are shown).
struct Source
{
    const PlotScene &scene;
    const SampleList &samples;
    int side;
    std::span<QLabel *const> legend;
};

// The plot as an SVG document.
QByteArray svg(const Source &source);

// `image` as PNG on `device`. Encoded in memory first: libpng leaves a failed write by a
// jump that skips Qt's clean-up, and the device's refusal is told by the device.
bool writePng(const QImage &image, QIODevice &device);

// Writes the plot to `device` in `format`; `screen` is the image of a ScreenPng. False,
// with the reason, when the image could not be made.
bool write(const Source &source, const QImage &screen, Format format, QIODevice &device,
           QString &why);

} // namespace plotexport
