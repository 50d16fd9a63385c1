// SPDX-License-Identifier: MIT

#pragma once

// What the plot shows, as data: the axes drawn, and every run since then with all its
// parameters and the rows it listed. The samples themselves stay in the list; the scene
// only says which rows belong to which run. From it the plot renders at any size and
// pixel ratio, and as vector graphics, and a view can run any of them again.

#include "plot/marks.h"
#include "solver/solver.h"

#include <QImage>

#include <vector>

class PlotSurface;
class QPainter;
class SampleList;

class PlotScene
{
public:
    enum class Axes { Startup, Reset };

    struct Run
    {
        solver::RunParameters params; // as captured when it started
        int firstRow; // its listed samples are the rows firstRow .. firstRow + rows - 1
        int rows = 0;
        MarkList partial; // the marks of a sample that failed partway, drawn but not listed
    };

    // Start-up, or Ready: the axes, and no run.
    void reset(Axes axes);
    void startRun(const solver::RunParameters &p, int firstRow);
    void endRun(int rows, const MarkList &partial);

    Axes axes() const { return m_axes; }
    const std::vector<Run> &runs() const { return m_runs; }
    // The run that listed `row`, or none.
    const Run *runOf(int row) const;
    // The marks of a run's sample i, as drawn.
    static MarkList marksOf(const Run &run, int i, const SampleList &samples);

    // Draws the axes and every run on `surface`, in the order they were drawn.
    void replay(PlotSurface &surface, const SampleList &samples) const;
    // The plot alone, without the legend, `logicalSize` pixels a side at `ratio`.
    QImage render(const SampleList &samples, int logicalSize, qreal devicePixelRatio) const;
    // The plot as vector graphics on `painter`, on a grid of `gridSize` cells a side.
    void renderVector(QPainter &painter, int gridSize, const SampleList &samples) const;

private:
    Axes m_axes = Axes::Startup;
    std::vector<Run> m_runs;
};
