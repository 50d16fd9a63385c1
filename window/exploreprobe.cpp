// SPDX-License-Identifier: MIT

#include "window/exploreprobe.h"

#include "explore/exploreview.h"
#include "explore/phaseanalysis.h"
#include "explore/runlegend.h"
#include "explore/tracks.h"
#include "explore/viewprobe.h"
#include "listing/numbertext.h"
#include "model/runmodel.h"
#include "window/sampleview.h"

#include <QItemSelectionModel>

#include <vector>

ExploreProbe::ExploreProbe(std::span<ExploreView *const> views, const Tracks &tracks,
                           const RunModel &model, SampleView &list, QObject *parent)
    : QObject(parent), m_views(views), m_tracks(tracks), m_model(model), m_list(list)
{
}

void ExploreProbe::clearEquilibrium()
{
    if (!m_equilibrium)
        return;
    m_equilibrium.reset();
    markRow(m_row);
}

void ExploreProbe::setAnalysis(std::shared_ptr<const PhaseAnalysis> analysis)
{
    if (analysis == m_analysis)
        return;
    m_analysis = std::move(analysis);
    if (m_equilibrium || m_row >= 0)
        markRow(m_row);
}

void ExploreProbe::markRow(int row)
{
    if (row != m_row)
        m_equilibrium.reset();
    m_row = row;
    if (m_equilibrium) {
        // The equilibrium stays marked, as the analysis last drawn has it.
        const analysis::Equilibrium *marked = nullptr;
        if (m_analysis)
            for (const analysis::Equilibrium &e : m_analysis->equilibria.found)
                if (e.y == *m_equilibrium)
                    marked = &e;
        for (ExploreView *view : m_views)
            view->setMarker(
                marked && view->kind() == ViewKind::Phase
                    ? std::optional<ExploreView::Marker>(ExploreView::Marker{
                          marked->y, 0.0, QString::fromStdString(equilibriumTag(*marked))})
                    : std::nullopt);
        if (marked)
            return;
        m_equilibrium.reset();
    }
    const SampleList &samples = m_model.samples();
    const bool listed = row >= 0 && row < samples.rowCount();
    std::vector<std::optional<RowPoint>> points(m_views.size());
    if (listed) {
        const std::lock_guard<std::mutex> locked(m_tracks.lock());
        // Tracks of the runs before a Ready know nothing of this row.
        if (m_tracks.generation() == m_model.generation())
            for (std::size_t v = 0; v < m_views.size(); ++v)
                points[v] = rowPoint(m_views[v]->kind(), m_tracks, m_tracks.samples(), row,
                                     m_views[v]->world().bottom);
    }
    // The line as listed, its slope and its error where they are known.
    QString tag = listed ? samples.line(row) : QString();
    for (const std::optional<RowPoint> &p : points) {
        if (!p)
            continue;
        if (p->slope)
            tag += QStringLiteral("   y' ") +
                   QString::fromStdString(pictureText(static_cast<double>(*p->slope)));
        if (p->error)
            tag += QStringLiteral("   error ") +
                   QString::number(static_cast<double>(*p->error), 'g', 4);
        break;
    }
    // The last sample of a run that ended early says how it ended.
    if (const RunRecord *run = listed ? m_model.runOf(row) : nullptr;
        run && static_cast<std::size_t>(row) + 1 == run->firstRow + run->rows)
        if (const std::string ending = endingText(*run); !ending.empty())
            tag += QStringLiteral(" – ") + QString::fromStdString(ending);
    // A sample on an equilibrium's mark in the phase plane says which it is on.
    for (std::size_t v = 0; v < m_views.size(); ++v) {
        if (!points[v] || m_views[v]->kind() != ViewKind::Phase || !m_analysis)
            continue;
        const QRect r = m_views[v]->plotRect();
        const WorldWindow window(m_views[v]->world(), r.width(), r.height());
        const DevicePoint d = window.toDevice(points[v]->at.x, points[v]->at.y);
        if (const analysis::Equilibrium *e = equilibriumNear(*m_analysis, window, d.x, d.y, 3.0))
            tag += QStringLiteral("   at the ") + QString::fromStdString(equilibriumTag(*e));
    }
    for (std::size_t v = 0; v < m_views.size(); ++v)
        m_views[v]->setMarker(points[v] ? std::optional<ExploreView::Marker>(ExploreView::Marker{
                                              points[v]->at.x, points[v]->at.y, tag})
                                        : std::nullopt);
}

void ExploreProbe::probeAt(ExploreView &view, QPointF at)
{
    const QRect r = view.plotRect();
    const WorldWindow window(view.world(), r.width(), r.height());
    if (view.kind() == ViewKind::Phase && m_analysis && m_analysis->equilibria.found.size() > 0) {
        // A mark is a few pixels across: a click on it takes the equilibrium.
        constexpr double kReach = 7.0;
        if (const analysis::Equilibrium *e =
                equilibriumNear(*m_analysis, window, at.x() - r.left(), at.y() - r.top(), kReach)) {
            m_equilibrium = e->y;
            markRow(m_row);
            return;
        }
    }
    std::optional<ProbeHit> hit;
    {
        const std::lock_guard<std::mutex> locked(m_tracks.lock());
        if (m_tracks.generation() == m_model.generation())
            hit = nearestSample(view.kind(), window, m_tracks, m_tracks.samples(),
                                at.x() - r.left(), at.y() - r.top());
    }
    if (!hit || hit->row >= m_model.samples().rowCount())
        return;
    if (m_equilibrium) {
        m_equilibrium.reset();
        if (hit->row == m_row)
            markRow(m_row); // the list's line is current already
    }
    // The sample becomes the list's current line, exactly as a press on the main plot
    // makes it: the main plot's marker and these views' follow the list.
    m_list.makeCurrent(hit->row);
}
