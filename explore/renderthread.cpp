// SPDX-License-Identifier: MIT

#include "explore/renderthread.h"

#include "explore/liverun.h"
#include "explore/runpalette.h"

#include <QElapsedTimer>

#include <algorithm>
#include <utility>

namespace {

// Samples caught up between two looks at the requests: a millisecond of running again for
// their slopes, or a few of finding their reference.
constexpr std::size_t kSlopeSlice = 1 << 14;
// How often the phase plane is drawn again while its slopes are still coming in.
constexpr qint64 kSlopeRedrawMs = 250;

} // namespace

RenderThread::RenderThread(QObject *parent) : QThread(parent) {}

RenderThread::~RenderThread()
{
    {
        const QMutexLocker locked(&m_mutex);
        m_quit = true;
        m_quitting = true;
        m_abort = true;
        m_wake.wakeOne();
    }
    wait();
}

void RenderThread::follow(RunsSnapshot snapshot)
{
    const QMutexLocker locked(&m_mutex);
    m_nextSnapshot = std::move(snapshot);
    if (!isRunning())
        start(QThread::LowPriority);
    m_wake.wakeOne();
}

void RenderThread::request(int view, const ViewRequest &request)
{
    const QMutexLocker locked(&m_mutex);
    m_requests[static_cast<std::size_t>(view)] = request;
    if (m_drawing == view)
        m_abort = true; // the latest request wins
    if (!isRunning())
        start(QThread::LowPriority);
    m_wake.wakeOne();
}

void RenderThread::setLive(std::optional<solver::RunParameters> p, std::size_t room)
{
    const QMutexLocker locked(&m_mutex);
    if (p)
        m_nextLive = std::make_pair(std::move(*p), room);
    else
        m_nextLive = std::optional<std::pair<solver::RunParameters, std::size_t>>{};
    m_liveAbort = true; // the live run under way, if any, is no longer wanted
    if (!isRunning())
        start(QThread::LowPriority);
    m_wake.wakeOne();
}

void RenderThread::addBackward(std::size_t run, const solver::RunParameters &p, ViewKind kind,
                               const WorldRect &box)
{
    const QMutexLocker locked(&m_mutex);
    // Of the runs as the window last handed them over.
    const std::uint64_t generation =
        m_nextSnapshot ? m_nextSnapshot->generation : m_snapshot.generation;
    m_nextBackward.push_back({run, p, kind, box, generation});
    if (!isRunning())
        start(QThread::LowPriority);
    m_wake.wakeOne();
}

std::optional<RunRecord> RenderThread::liveRun() const
{
    const QMutexLocker locked(&m_mutex);
    return m_liveRecord;
}

bool RenderThread::runLiveRun(
    const std::optional<std::pair<solver::RunParameters, std::size_t>> &live)
{
    if (!live) {
        m_tracks.setLive(std::nullopt, {});
        const QMutexLocker locked(&m_mutex);
        m_liveRecord.reset();
        ++m_liveRuns;
        return true;
    }
    const auto &[p, room] = *live;
    std::optional<LiveRun> run = runLive(p, room, m_liveAbort);
    if (!run)
        return false;
    // Its slopes came with the run; its reference follows as the listed runs' do, and the
    // error view shows it then.
    run->track.setStyle({kLiveColour, true});
    m_tracks.setLive(std::move(run->track), std::move(run->samples));
    const QMutexLocker locked(&m_mutex);
    m_liveRecord = std::move(run->record);
    ++m_liveRuns;
    return true;
}

std::optional<std::pair<QImage, ViewRequest>> RenderThread::take(int view)
{
    const QMutexLocker locked(&m_mutex);
    return std::exchange(m_finished[static_cast<std::size_t>(view)], std::nullopt);
}

std::shared_ptr<const PhaseAnalysis> RenderThread::analysisFor(const ViewRequest &request)
{
    std::optional<std::pair<double, double>> runs;
    if (const std::optional<WorldRect> b = m_tracks.bounds(ViewKind::Phase))
        runs = std::make_pair(b->left, b->right);
    AnalysisKey key{request.field,  request.analysis, request.world, request.width,
                    request.height, request.ratio,    runs};
    if (m_analysisKey != key) {
        std::optional<PhaseAnalysis> found = analysePhase(request, runs, m_abort);
        if (!found)
            return nullptr;
        m_analysis = std::make_shared<const PhaseAnalysis>(std::move(*found));
        m_analysisKey = std::move(key);
    }
    return m_analysis;
}

bool RenderThread::draw(int v, const ViewRequest &asked)
{
    m_drawing = v;
    ViewRequest request = asked;
    if (request.kind == ViewKind::Phase && request.analysis.any()) {
        request.analysed = analysisFor(request);
        if (!request.analysed) {
            m_drawing = -1;
            const QMutexLocker locked(&m_mutex);
            m_abort = false;
            return false;
        }
    }
    const bool done = renderView(request, m_tracks, m_canvas, m_abort);
    m_drawing = -1;
    const QMutexLocker locked(&m_mutex);
    m_abort = false;
    if (!done || m_quit)
        return false;
    m_drawn[static_cast<std::size_t>(v)] = request;
    // A request that came while this one was drawn waits; this image is still the newest.
    ViewRequest drawn = request;
    drawn.version = m_snapshot.version;
    drawn.live = m_liveRuns;
    m_finished[static_cast<std::size_t>(v)] = std::make_pair(m_canvas.copy(), drawn);
    return true;
}

void RenderThread::run()
{
    QElapsedTimer sinceSlopes;
    sinceSlopes.start();
    bool slopesMissing = false;
    for (;;) {
        std::optional<RunsSnapshot> snapshot;
        std::optional<std::optional<std::pair<solver::RunParameters, std::size_t>>> live;
        std::array<std::optional<ViewRequest>, kViews> requests;
        std::vector<BackwardWanted> backward;
        {
            QMutexLocker locked(&m_mutex);
            while (!m_quit && !m_nextSnapshot && !m_nextLive && !slopesMissing &&
                   m_nextBackward.empty() &&
                   std::none_of(m_requests.begin(), m_requests.end(),
                                [](const auto &r) { return r.has_value(); }))
                m_wake.wait(&m_mutex);
            if (m_quit)
                return;
            snapshot = std::exchange(m_nextSnapshot, std::nullopt);
            live = std::exchange(m_nextLive, std::nullopt);
            if (live)
                m_liveAbort = false;
            requests = std::exchange(m_requests, {});
            backward = std::exchange(m_nextBackward, {});
        }
        if (snapshot) {
            // The runs grew or were cleared: every view drawn again for what it shows.
            m_snapshot = std::move(*snapshot);
            m_tracks.follow(m_snapshot);
            for (int v = 0; v < kViews; ++v)
                if (!requests[static_cast<std::size_t>(v)])
                    requests[static_cast<std::size_t>(v)] = m_drawn[static_cast<std::size_t>(v)];
            slopesMissing = true;
        }
        for (const BackwardWanted &b : backward) {
            // Of a run a Ready has cleared since: nothing to draw.
            if (b.generation != m_snapshot.generation)
                continue;
            if (std::optional<BackwardTrack> track = runBack(b.run, b.p, b.kind, b.box, m_quitting))
                m_tracks.addBackward(std::move(*track));
            for (int v = 0; v < kViews; ++v)
                if (!requests[static_cast<std::size_t>(v)])
                    requests[static_cast<std::size_t>(v)] = m_drawn[static_cast<std::size_t>(v)];
        }
        if (live && runLiveRun(*live)) {
            slopesMissing = true; // its reference
            // Every view shows the new live run.
            for (int v = 0; v < kViews; ++v)
                if (!requests[static_cast<std::size_t>(v)])
                    requests[static_cast<std::size_t>(v)] = m_drawn[static_cast<std::size_t>(v)];
        }
        bool drew = false;
        for (int v = 0; v < kViews; ++v)
            if (const auto &r = requests[static_cast<std::size_t>(v)]; r && draw(v, *r))
                drew = true;
        if (drew)
            emit rendered();

        if (slopesMissing) {
            const bool hadSlopes = m_tracks.slopesDone();
            slopesMissing = m_tracks.catchUp(m_snapshot.samples, kSlopeSlice);
            // The views show the slopes, the reference and the error as they come, a few
            // times a second, and at once when the last slope is known: the phase plane then
            // shows every run whole, and the references follow.
            const bool slopesNow = !hadSlopes && m_tracks.slopesDone();
            if (!slopesMissing || slopesNow || sinceSlopes.elapsed() > kSlopeRedrawMs) {
                sinceSlopes.restart();
                const QMutexLocker locked(&m_mutex);
                for (std::size_t v = 0; v < kViews; ++v)
                    if (m_drawn[v] && !m_requests[v])
                        m_requests[v] = m_drawn[v];
                if (!slopesMissing || slopesNow)
                    emit rendered(); // the window reads the tracks' progress
            }
        }
    }
}
