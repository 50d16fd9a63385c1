// SPDX-License-Identifier: MIT

#pragma once

// The worker of the zoomable views: it takes in the runs as the window's thread hands
// them over, finds their slopes by running them again, and draws each view's image for
// the latest request of that view. A new request for the view it is drawing stops that
// drawing; finished images wait to be taken, and rendered() says so.

#include "explore/tracks.h"
#include "explore/viewrender.h"

#include <QImage>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <optional>

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

    QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_quit = false;
    std::optional<RunsSnapshot> m_nextSnapshot;
    std::array<std::optional<ViewRequest>, kViews> m_requests; // waiting to be drawn
    std::array<std::optional<ViewRequest>, kViews>
        m_drawn; // drawn last, drawn again when the runs grow
    std::array<std::optional<std::pair<QImage, ViewRequest>>, kViews> m_finished;
    std::atomic<int> m_drawing{-1};
    std::atomic<bool> m_abort{false};

    // The worker's own.
    RunsSnapshot m_snapshot;
    Tracks m_tracks;
    QImage m_canvas;
};
