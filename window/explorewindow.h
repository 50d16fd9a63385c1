// SPDX-License-Identifier: MIT

#pragma once

// The Explore window: the runs of the main window at any zoom, as y over x and as the
// phase plane y' over y with its direction field, linked to the list as the main plot is.

#include "explore/renderthread.h"
#include "explore/viewframe.h"
#include "model/fieldtable.h"
#include "solver/solver.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class AccuracyPanel;
class EquationBar;
class EquationChoice;
class ExploreProbe;
class ExploreView;
class QLabel;
class ReadoutPanel;
class RunModel;
class RunVariation;
class SampleView;
class SliderPanel;

class ExploreWindow : public QWidget
{
    Q_OBJECT

public:
    // What the window takes from the main window.
    struct Links
    {
        const RunModel &model;
        SampleView &list; // its current line is the marked sample
        // The equation the next run takes, which the equation bar shows and chooses.
        EquationChoice &choice;
        // Clicks the main window's option n.
        std::function<void(int)> clickOption;
        // The equation, n and lam the next run would take, for the direction field.
        std::function<solver::RunParameters()> nextRun;
        // Types each text into its field and presses Enter there, along the Enter chain,
        // then Enter in the final field.
        std::function<void(const std::vector<std::pair<fields::Field, QString>> &)> typeAndRun;
        // Removes the main plot's marker.
        std::function<void()> clearProbe;
        // Runs a command's work; reports what failed and keeps the windows as they are.
        std::function<void(const QString &, const std::function<void()> &)> guard;
        std::function<void(const QString &)> warn;
    };

    explicit ExploreWindow(Links links, QWidget *parent = nullptr);
    ~ExploreWindow() override;

    ExploreView &view(ViewKind kind) const;
    // The option or n and lam changed: the field follows.
    void nextRunChanged();
    // The marked line changed, or none is marked.
    void markRow(int row);
    // Puts the focus in the equation bar's formula field.
    void focusFormula();
    SliderPanel &sliders() const { return *m_sliders; }
    RunVariation &variation() const { return *m_variation; }

protected:
    // A family under way stops with the window.
    void hideEvent(QHideEvent *event) override;

private:
    // The runs as they are now, to the worker; the views that fit follow them.
    void follow();
    // Shows the images the worker finished, and fits the views that follow the runs.
    void collect();
    void requestImage(ExploreView &view);
    void fitView(ExploreView &view);
    void runFrom(ExploreView &view, QPointF at);
    // The run from there as runFrom() makes it, and its way back drawn dashed.
    void runBothWaysFrom(ExploreView &view, QPointF at);
    QList<LegendEntry> withBackward(QList<LegendEntry> legend) const;
    void updateField();
    // The error view's line: how far the reference has come, or where it ended.
    void updateReferenceCaption();
    void showMenu(ExploreView &view, QPoint at);
    // The read-out of the marked sample's run, or with nothing marked of the last run.
    void updateReadout();

    // The phase plane's analysis as the image shown was drawn with: to the probe and in the
    // view's description.
    void showAnalysis(std::shared_ptr<const PhaseAnalysis> analysis);
    void toggleAnalysis(bool AnalysisSpec::*shown);

    Links m_links;
    RenderThread m_worker;
    FieldSpec m_fieldSpec;
    AnalysisSpec m_analysisSpec;
    std::shared_ptr<const PhaseAnalysis> m_analysis;
    std::string m_fieldWhere;    // where an equation with x takes its field and nullcline
    std::uint64_t m_version = 0; // of the last snapshot of the runs handed to the worker
    bool m_showReference = true;
    AccuracyPanel *m_accuracy = nullptr;
    ReadoutPanel *m_readout = nullptr;
    QElapsedTimer m_referenceLag; // since when the reference falls behind the runs
    QElapsedTimer m_runClock;     // since the run under way started
    ExploreView *m_views[RenderThread::kViews] = {};
    ExploreProbe *m_probe = nullptr;
    EquationBar *m_bar = nullptr;
    SliderPanel *m_sliders = nullptr;
    RunVariation *m_variation = nullptr;
};
