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

// A mark's pixel in the plot widget: the pixel the surface sets for it, as its top-left
// corner.
QPointF pixelOf(const Mark &m, const WorldWindow &window)
{
    const DevicePoint d = window.toDevice(m.x, m.y);
    return {std::floor(d.x), std::floor(d.y)};
}

bool inside(QPointF p, int size)
{
    return p.x() >= 0 && p.x() < size && p.y() >= 0 && p.y() < size;
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

std::optional<Probe::Hit> Probe::nearest(QPointF pos) const
{
    const int size = m_plot.width();
    const WorldWindow window = plotWindow(size);
    const QPointF centre = pos - QPointF(0.5, 0.5);
    // The world abscissae within reach of the pointer.
    const double perPixel = window.unitsPerPixelX();
    const double worldX = window.worldX(pos.x());
    const double from = worldX - (kReach + 1) * perPixel, to = worldX + (kReach + 1) * perPixel;

    std::optional<Hit> best;
    double bestDistance = kReach * kReach;
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
            if (markX(mid) < from)
                lo = mid + 1;
            else
                hi = mid;
        }
        for (std::size_t i = lo; i < run.rows; ++i) {
            const MarkList m = marks(i);
            if (static_cast<double>(m.marks[0].x) > to)
                break;
            for (int k = 0; k < m.count; ++k) {
                const QPointF p = pixelOf(m.marks[static_cast<std::size_t>(k)], window);
                if (!inside(p, size))
                    continue;
                const QPointF d = p - centre;
                // Of marks equally near, as those in one pixel are, the earliest row's.
                if (const double dd = d.x() * d.x() + d.y() * d.y();
                    dd < bestDistance || (!best && dd == bestDistance)) {
                    bestDistance = dd;
                    best = Hit{static_cast<int>(run.firstRow + i), k};
                }
            }
        }
    }
    return best;
}

std::optional<QPointF> Probe::markOf(int row, int mark) const
{
    const RunRecord *run = m_model.runOf(row);
    if (!run)
        return std::nullopt;
    const MarkList m =
        PlotScene::marksOf(*run, static_cast<std::size_t>(row) - run->firstRow, m_samples);
    if (m.count == 0)
        return std::nullopt;
    return pixelOf(m.marks[static_cast<std::size_t>(std::clamp(mark, 0, m.count - 1))],
                   plotWindow(m_plot.width()));
}

void Probe::probeAt(QPoint pos)
{
    const std::optional<Hit> hit = nearest(pos);
    if (!hit)
        return;
    m_pressed = *hit;
    const QModelIndex index = m_samples.index(hit->row);
    const bool wasCurrent = m_list.currentIndex() == index;
    // A new current line moves the marker through showRow().
    m_list.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    m_list.scrollTo(index);
    if (wasCurrent)
        showRow(hit->row);
}

void Probe::showRow(int row)
{
    const int mark = m_pressed.row == row ? m_pressed.mark : 0;
    m_pressed = {-1, 0};
    const std::optional<QPointF> at = markOf(row, mark);
    if (!at) {
        clear();
        return;
    }
    const int size = m_plot.width();
    PlotWidget::Marker marker{*at, m_samples.line(row)};
    if (!inside(*at, size)) {
        // On the edge nearest the mark, saying where it is.
        marker.at = QPointF(std::clamp<qreal>(at->x(), 0, size - 1),
                            std::clamp<qreal>(at->y(), 0, size - 1));
        marker.tag += tr("  (outside the plot)");
    }
    m_plot.setMarker(marker);
    describe();
}

void Probe::clear()
{
    m_plot.clearMarker();
    describe();
    emit cleared();
}

void Probe::describe()
{
    // A screen reader that moves through the list hears the line; the plot says which
    // line it marks.
    const auto &marker = m_plot.marker();
    m_plot.setAccessibleDescription(
        marker ? m_description + tr(". Marked line: %1").arg(marker->tag) : m_description);
}
