// SPDX-License-Identifier: MIT

#include "model/plotscene.h"

#include "model/samplelist.h"
#include "plot/axes.h"
#include "plot/plotsurface.h"

#include <algorithm>

void PlotScene::reset(Axes axes)
{
    m_axes = axes;
    m_runs.clear();
}

void PlotScene::startRun(const solver::RunParameters &p, int firstRow)
{
    m_runs.push_back(Run{p, firstRow, 0, MarkList{}});
}

void PlotScene::endRun(int rows, const MarkList &partial)
{
    m_runs.back().rows = rows;
    m_runs.back().partial = partial;
}

const PlotScene::Run *PlotScene::runOf(int row) const
{
    // The last run that starts at or before the row; runs that listed nothing share
    // their first row with the next.
    auto after = std::upper_bound(m_runs.begin(), m_runs.end(), row,
                                  [](int r, const Run &run) { return r < run.firstRow; });
    while (after != m_runs.begin() && (after - 1)->rows == 0)
        --after;
    if (after == m_runs.begin() || row >= (after - 1)->firstRow + (after - 1)->rows)
        return nullptr;
    return &*(after - 1);
}

MarkList PlotScene::marksOf(const Run &run, int i, const SampleList &samples)
{
    return sampleMarks(run.params, solver::gridAbscissa(run.params.x0, i),
                       samples.y(run.firstRow + i));
}

void PlotScene::replay(PlotSurface &surface, const SampleList &samples) const
{
    // The world window is set by the start-up axes, whichever axes are shown now.
    if (m_axes == Axes::Startup) {
        drawStartupAxes(surface);
    } else {
        surface.setScale(kPlotWorld);
        drawResetAxes(surface);
    }
    // The very marks the run drew, recomputed from the listed samples.
    for (const Run &run : m_runs) {
        surface.draw(startMarks(run.params.x0, run.params.y0));
        for (int i = 0; i < run.rows; ++i)
            surface.draw(marksOf(run, i, samples));
        surface.draw(run.partial);
    }
}

QImage PlotScene::render(const SampleList &samples, int logicalSize, qreal devicePixelRatio) const
{
    PlotSurface surface(logicalSize, devicePixelRatio);
    replay(surface, samples);
    QImage image = surface.image();
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

void PlotScene::renderVector(QPainter &painter, int gridSize, const SampleList &samples) const
{
    PlotSurface surface(painter, gridSize);
    replay(surface, samples);
    surface.finish();
}
