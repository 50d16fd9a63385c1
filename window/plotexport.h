// SPDX-License-Identifier: MIT

#pragma once

// The plot as files and clipboard contents: PNG at the screen's resolution or at print
// size, SVG and PDF, each with the Emden legend when it is shown.

#include <QByteArray>
#include <QString>

#include <optional>

class PlotScene;
class QImage;
class QWidget;
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

// What is drawn: the scene and its samples, and the plot widget for its size and legend.
struct Source
{
    const PlotScene &scene;
    const SampleList &samples;
    QWidget &picture; // rendered for the legend labels
};

// The plot as an SVG document.
QByteArray svg(const Source &source);

// Writes the plot to `path` through a temporary file that replaces it only when all was
// written. `screen` is the image of a ScreenPng. Returns what failed, or nothing.
std::optional<QString> save(const Source &source, const QImage &screen, const QString &path,
                            Format format);

} // namespace plotexport
