// SPDX-License-Identifier: MIT

#pragma once

#include "model/plotscene.h"
#include "model/samplelist.h"

#include <QObject>

#include <cstdint>

// The runs since the last Ready: their samples, as the list shows them, and the scene that
// says what the plot shows of them. The plot, the list, the probe and every view of the
// runs read this one model; the window's run session and Ready write it.
//
// Its signals come synchronously, on the window's thread, also while a run holds that
// thread: a view follows a run at the rate the run shows its progress.
class RunModel : public QObject
{
    Q_OBJECT

public:
    explicit RunModel(std::size_t capacity, QObject *parent = nullptr);

    SampleList &samples() { return *m_samples; }
    const SampleList &samples() const { return *m_samples; }
    PlotScene &scene() { return m_scene; }
    const PlotScene &scene() const { return m_scene; }
    // The runs since the last Ready, the one under way last.
    const std::vector<RunRecord> &runs() const { return m_samples->store().runs(); }
    // The run that listed `row`, or none.
    const RunRecord *runOf(int row) const;
    // Whether a run is under way: the scene's last run is still listing samples.
    bool running() const { return m_running; }
    // A new number after each Ready, so that a view tells new runs from old ones.
    std::uint64_t generation() const { return m_generation; }

    // A run with these parameters starts; its samples follow in the list.
    void startRun(const solver::RunParameters &p);
    // Publishes the samples the run under way has stored so far.
    void publish();
    // The run has ended as `ending` says, having drawn the marks `partial` of a sample it
    // did not list; whatever it stored is published.
    void endRun(const MarkList &partial, const RunEnding &ending);
    // Ready: no run, and the plot shows `axes`. The list is emptied apart from this, in the
    // order Ready does its work.
    void resetScene(PlotScene::Axes axes);
    void clearSamples();

signals:
    void runStarted();
    // During a run, at each showing of its progress, and at its end.
    void published();
    void runEnded();
    void cleared();

private:
    SampleList *m_samples;
    PlotScene m_scene;
    bool m_running = false;
    std::uint64_t m_generation = 0;
};
