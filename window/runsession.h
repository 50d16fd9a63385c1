// SPDX-License-Identifier: MIT

#pragma once

// A run in the window: the sink that draws each sample, then lists it, and the progress a
// long run shows while it holds the thread.

#include "solver/solver.h"

#include <QElapsedTimer>

class PlotWidget;
class RunModel;
class SampleView;

// How a run in the window ended, as its message tells it.
struct RunEnd
{
    enum class Cause { Done, Fault, ListFull, OutOfMemory };
    Cause cause = Cause::Done;
    solver::Fault fault = solver::Fault::None; // the run's own, or of a sample's marks
    double x = 0.0;                            // where the run stopped

    bool operator==(const RunEnd &) const = default;
};

class RunSession
{
public:
    RunSession(PlotWidget &plot, RunModel &model, SampleView &view, int progressInterval);

    // Runs to the end, the Emden stop or the first fault, and records it in the model with
    // every row it listed.
    // Returns how the run ended; telling the user is the window's job.
    RunEnd execute(const solver::RunParameters &p);
    // Whether a run is under way: it draws on the plot's present surface.
    bool running() const { return m_running; }

private:
    // Publishes the new rows and paints plot and list, at most once per progress interval.
    void showProgress(qint64 now);
    // Publishes the run's new rows and shows the first of them.
    void showNewRows();

    PlotWidget &m_plot;
    RunModel &m_model;
    SampleView &m_view;
    int m_progressInterval;

    // The run under way.
    QElapsedTimer m_clock;
    qint64 m_lastProgress = 0;
    int m_firstRow = 0;
    bool m_running = false;
};
