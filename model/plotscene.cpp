// SPDX-License-Identifier: MIT

#include "model/plotscene.h"

#include "model/samplelist.h"
#include "plot/axes.h"
#include "plot/plotsurface.h"

MarkList PlotScene::marksOf(const RunRecord &run, std::size_t i, const SampleList &samples)
{
    return sampleMarks(run.params,
                       solver::gridAbscissa(run.params.x0, static_cast<std::int64_t>(i)),
                       samples.store().y(run.firstRow + i));
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
    for (const RunRecord &run : samples.store().runs()) {
        surface.draw(startMarks(run.params.x0, run.params.y0));
        for (std::size_t i = 0; i < run.rows; ++i)
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
