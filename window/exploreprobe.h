// SPDX-License-Identifier: MIT

#pragma once

// The probe of the Explore window: a click in a view makes the nearest listed sample the
// list's current line, as a press on the main plot does, and the list's current line is
// marked in every view, its tag the line with its slope and error where they are known.

#include <QObject>
#include <QPointF>

#include <memory>
#include <optional>
#include <span>

class ExploreView;
struct PhaseAnalysis;
namespace analysis {
struct Equilibrium;
}
class RunModel;
class SampleView;
class Tracks;

class ExploreProbe : public QObject
{
    Q_OBJECT

public:
    ExploreProbe(std::span<ExploreView *const> views, const Tracks &tracks, const RunModel &model,
                 SampleView &list, QObject *parent);

    int markedRow() const { return m_row; }
    // Marks `row` in every view, or nothing for -1; again for the same row once more of
    // it is known.
    void markRow(int row);
    // A click in `view` at `at`, in its pixels: on an equilibrium's mark in the phase plane,
    // that equilibrium is marked with its class, eigenvalues and eigenvectors; elsewhere the
    // nearest sample.
    void probeAt(ExploreView &view, QPointF at);
    // Escape: the equilibrium marked is marked no longer.
    void clearEquilibrium();
    // The phase plane's analysis as last drawn, whose equilibria a click can mark.
    void setAnalysis(std::shared_ptr<const PhaseAnalysis> analysis);

private:
    std::span<ExploreView *const> m_views;
    const Tracks &m_tracks;
    const RunModel &m_model;
    SampleView &m_list;
    int m_row = -1;
    std::shared_ptr<const PhaseAnalysis> m_analysis;
    // The equilibrium marked, its y, while the list's current line stays m_row.
    std::optional<double> m_equilibrium;
};
