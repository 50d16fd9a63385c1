// SPDX-License-Identifier: MIT

#pragma once

// The plot as a picture to export: the scene and its samples, drawn afresh at print size
// or on a vector device, each with the Emden legend when it is shown.

#include "window/imageexport.h"

#include <functional>
#include <span>

class PlotScene;
class QLabel;
class SampleList;

namespace plotexport {

// What is drawn: the scene and its samples, on a plot `side` logical pixels a side, with
// the legend labels that lie on it (painted where they are shown).
struct Source
{
    const PlotScene &scene;
    const SampleList &samples;
    int side;
    std::span<QLabel *const> legend;
};

// `screen` gives the plot as it is on screen.
class PlotImage final : public imageexport::ImageSource
{
public:
    PlotImage(const Source &source, std::function<QImage()> screen)
        : m_source(source), m_screen(std::move(screen))
    {
    }

    QImage screenImage() const override { return m_screen(); }
    QImage imageAt(int scale) const override;
    // A square page titled "RedurIvezi", whose grid is kPrintScale times the side.
    imageexport::VectorPage page() const override;
    void paintVector(QPainter &painter) const override;

private:
    Source m_source;
    std::function<QImage()> m_screen;
};

} // namespace plotexport
