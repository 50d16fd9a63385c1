// SPDX-License-Identifier: MIT

#include "window/probe.h"

#include "model/runmodel.h"
#include "plot/plotwidget.h"
#include "plot/worldwindow.h"
#include "window/sampleview.h"

#include <QItemSelectionModel>

#include <algorithm>
#include <cmath>

namespace {

// The plot widget's world window, `size` logical pixels a side.
WorldWindow plotWindow(int size)
{
    return WorldWindow(kPlotWorld, size, size);
}

} // namespace

Probe::Probe(PlotWidget &plot, SampleView &list, const RunModel &model, QObject *parent)
    : QObject(parent), m_plot(plot), m_list(list), m_samples(model.samples()), m_model(model),
      m_description(plot.accessibleDescription())
{
    connect(&m_plot, &PlotWidget::probed, this, &Probe::probeAt);
    connect(&m_plot, &PlotWidget::escapePressed, this, &Probe::clear);
    connect(&m_list, &SampleView::escapePressed, this, &Probe::clear);
    connect(m_list.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    showRow(current.row());
            });
}

std::optional<ProbeHit> Probe::nearest(QPointF pos) const
{
    NearestSample search(plotWindow(m_plot.width()), pos.x(), pos.y(),
                         NearestSample::Points::Marks);
    // Runs drawn later lie on top, but a press means the sample, not the layer: the
    // nearest mark wins, and of equally near ones the one listed first.
    for (const RunRecord &run : m_model.runs()) {
        if (run.rows == 0)
            continue;
        // A run's marks move right as its rows go on (x = h i + x0, doubled for Emden,
        // stretched for Cosmos), so the rows within reach are found by bisection.
        const auto marks = [&](std::size_t i) { return PlotScene::marksOf(run, i, m_samples); };
        const auto markX = [&](std::size_t i) { return static_cast<double>(marks(i).marks[0].x); };
        std::size_t lo = 0, hi = run.rows;
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (markX(mid) < search.fromX())
                lo = mid + 1;
            else
                hi = mid;
        }
        for (std::size_t i = lo; i < run.rows; ++i) {
            const MarkList m = marks(i);
            if (static_cast<double>(m.marks[0].x) > search.toX())
                break;
            for (int k = 0; k < m.count; ++k) {
                const Mark &mark = m.marks[static_cast<std::size_t>(k)];
                search.consider(static_cast<int>(run.firstRow + i), k, mark.x, mark.y);
            }
        }
    }
    return search.best();
}

std::optional<Mark> Probe::markAt(int row, int mark) const
{
    const RunRecord *run = m_model.runOf(row);
    if (!run)
        return std::nullopt;
    const MarkList m =
        PlotScene::marksOf(*run, static_cast<std::size_t>(row) - run->firstRow, m_samples);
    if (m.count == 0)
        return std::nullopt;
    return m.marks[static_cast<std::size_t>(std::clamp(mark, 0, m.count - 1))];
}

std::optional<QPointF> Probe::markOf(int row, int mark) const
{
    const std::optional<Mark> m = markAt(row, mark);
    if (!m)
        return std::nullopt;
    const DevicePoint d = plotWindow(m_plot.width()).toDevice(m->x, m->y);
    return QPointF(std::floor(d.x), std::floor(d.y));
}

void Probe::probeAt(QPoint pos)
{
    const std::optional<ProbeHit> hit = nearest(pos);
    if (!hit)
        return;
    m_pressed = *hit;
    // The current line moves the marker through showRow().
    m_list.makeCurrent(hit->row);
}

void Probe::showRow(int row)
{
    const int mark = m_pressed && m_pressed->row == row ? m_pressed->mark : 0;
    m_pressed.reset();
    const std::optional<Mark> m = markAt(row, mark);
    if (!m) {
        clear();
        return;
    }
    const std::optional<Placement> at = placeOnDevice(plotWindow(m_plot.width()), m->x, m->y);
    // A mark beyond the plot waits on its edge, saying where it is.
    PlotWidget::Marker marker{QPointF(at->x, at->y), m_samples.line(row)};
    if (!at->inside)
        marker.tag += tr("  (outside the plot)");
    m_plot.setMarker(marker);
    describe();
}

void Probe::clear()
{
    m_plot.clearMarker();
    describe();
    emit cleared();
}

void Probe::setEquation(const QString &equation)
{
    m_equation = equation;
    describe();
}

void Probe::describe()
{
    // A screen reader that moves through the list hears the line; the plot says which
    // line it marks.
    const auto &marker = m_plot.marker();
    const QString description =
        m_equation.isEmpty() ? m_description : m_description + QStringLiteral(". ") + m_equation;
    m_plot.setAccessibleDescription(marker ? markedLine(description, marker->tag) : description);
}
