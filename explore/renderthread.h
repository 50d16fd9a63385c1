// SPDX-License-Identifier: MIT

#pragma once

// The worker of the zoomable views: it takes in the runs as the window's thread hands
// them over, finds their slopes by running them again, and draws each view's image for
// the latest request of that view. A new request for the view it is drawing stops that
// drawing; finished images wait to be taken, and rendered() says so. It also runs the live
// run a slider drags, the newest one only, and draws it in every view.

#include "explore/tracks.h"
#include "explore/viewrender.h"

#include <QImage>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <optional>
#include <vector>

class RenderThread : public QThread
{
    Q_OBJECT

public:
    static constexpr int kViews = 3;

    explicit RenderThread(QObject *parent = nullptr);
    // Stops the drawing under way and waits for the thread to end.
    ~RenderThread() override;

    // The runs as they are now.
    void follow(RunsSnapshot snapshot);
    // An image of `view` as `request` asks; an earlier request of that view is dropped.
    void request(int view, const ViewRequest &request);
    // The live run of `p`, for at most `room` samples, or none: run and drawn in every view.
    // A newer one stops the one under way; the drawing under way finishes first.
    void setLive(std::optional<solver::RunParameters> p, std::size_t room);
    // The way back of run `run`, `p` its parameters, drawn to the edge of `box` of a view
    // of `kind`; it goes until the next Ready.
    void addBackward(std::size_t run, const solver::RunParameters &p, ViewKind kind,
                     const WorldRect &box);
    // The live run drawn last, with how it ended; none while there is none. An image's
    // request says in `live` how many live runs had been run when it was drawn.
    std::optional<RunRecord> liveRun() const;
    // The newest image of `view` finished since the last call, and what it was drawn for.
    std::optional<std::pair<QImage, ViewRequest>> take(int view);

    // The tracks, for reading on the window's thread under their lock.
    const Tracks &tracks() const { return m_tracks; }

signals:
    void rendered();

protected:
    void run() override;

private:
    // Draws view `v` for its latest request; false when stopped by a newer one.
    bool draw(int v, const ViewRequest &request);
    // The phase plane's analysis for `request`, found again only where what it depends on
    // changed; none when stopped by a newer request.
    std::shared_ptr<const PhaseAnalysis> analysisFor(const ViewRequest &request);
    // Runs the live run asked for and hands it to the tracks; false when a newer one came.
    bool runLiveRun(const std::optional<std::pair<solver::RunParameters, std::size_t>> &live);

    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_quit = false;
    std::optional<RunsSnapshot> m_nextSnapshot;
    struct BackwardWanted
    {
        std::size_t run;
        solver::RunParameters p;
        ViewKind kind;
        WorldRect box;
        std::uint64_t generation;
    };
    std::vector<BackwardWanted> m_nextBackward;
    // The live run asked for and not yet run: none asked, or the run and its room, or none.
    std::optional<std::optional<std::pair<solver::RunParameters, std::size_t>>> m_nextLive;
    std::optional<RunRecord> m_liveRecord;
    std::uint64_t m_liveRuns = 0; // live runs handed to the tracks, or taken away
    std::atomic<bool> m_liveAbort{false};
    std::array<std::optional<ViewRequest>, kViews> m_requests; // waiting to be drawn
    std::array<std::optional<ViewRequest>, kViews>
        m_drawn; // drawn last, drawn again when the runs grow
    std::array<std::optional<std::pair<QImage, ViewRequest>>, kViews> m_finished;
    std::atomic<int> m_drawing{-1};
    std::atomic<bool> m_abort{false};
    std::atomic<bool> m_quitting{false}; // ends a way back under way with the thread

    // The worker's own.
    RunsSnapshot m_snapshot;
    Tracks m_tracks;
    QImage m_canvas;
    struct AnalysisKey
    {
        FieldSpec field;
        AnalysisSpec shown;
        WorldRect world;
        int width = 0, height = 0;
        double ratio = 1.0;
        std::optional<std::pair<double, double>> runs;
        bool operator==(const AnalysisKey &) const = default;
    };
    std::optional<AnalysisKey> m_analysisKey;
    std::shared_ptr<const PhaseAnalysis> m_analysis;
};
