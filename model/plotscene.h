// SPDX-License-Identifier: MIT

#pragma once

// What the plot shows, as data: the axes drawn, and every run the list's store keeps,
// with its samples. From it the plot renders at any size and pixel ratio, and as vector
// graphics.

#include "model/runrecord.h"
#include "plot/marks.h"

#include <QImage>

class PlotSurface;
class QPainter;
class SampleList;

class PlotScene
{
public:
    enum class Axes { Startup, Reset };

    // Start-up, or Ready: the axes.
    void reset(Axes axes) { m_axes = axes; }
    Axes axes() const { return m_axes; }
    // The marks of a run's sample i, as drawn.
    static MarkList marksOf(const RunRecord &run, std::size_t i, const SampleList &samples);

    // Draws the axes and every run on `surface`, in the order they were drawn.
    void replay(PlotSurface &surface, const SampleList &samples) const;
    // The plot alone, without the legend, `logicalSize` pixels a side at `ratio`.
    QImage render(const SampleList &samples, int logicalSize, qreal devicePixelRatio) const;
    // The plot as vector graphics on `painter`, on a grid of `gridSize` cells a side.
    void renderVector(QPainter &painter, int gridSize, const SampleList &samples) const;

private:
    Axes m_axes = Axes::Startup;
};
