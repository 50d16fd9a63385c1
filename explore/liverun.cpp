// SPDX-License-Identifier: MIT

#include "explore/liverun.h"

#include "plot/marks.h"

namespace {

// Stores each sample as the list would take it, its marks checked as the plot draws them,
// and hands its slope to the track; looks at `abort` every few thousand samples.
class LiveSink final : public solver::StateSink
{
public:
    LiveSink(SampleStore &store, RunTrack &track, const solver::RunParameters &p, std::size_t room,
             const std::atomic<bool> &abort)
        : m_store(store), m_track(track), m_p(p), m_room(room), m_abort(abort),
          m_line(p.eq->drawing.mark == solver::Drawing::Mark::Line)
    {
    }

    bool start(double x0, double y0) { return marked(startMarks(x0, y0).fault, x0); }
    bool state(const solver::GridState &s) override
    {
        const double x = s.x, y = s.y;
        if ((m_store.size() & 0xFFF) == 0 && m_abort.load(std::memory_order_relaxed)) {
            aborted = true;
            return false;
        }
        if (m_store.size() >= m_room) {
            ending = {RunEnding::Cause::ListFull, solver::Fault::None, x};
            return false;
        }
        // A line's end has one position to check; dots have one per curve.
        if (m_line) {
            if (!marked(firstPosition(m_p.eq->drawing, x, y).fault, x))
                return false;
        } else if (!marked(sampleMarks(m_p, x, y).fault, x)) {
            return false;
        }
        if (!m_store.tryAppend(y)) {
            ending = {RunEnding::Cause::OutOfMemory, solver::Fault::None, x};
            return false;
        }
        m_track.takeSlope(s);
        return true;
    }

    RunEnding ending{RunEnding::Cause::Done};
    bool aborted = false;

private:
    bool marked(solver::Fault fault, double x)
    {
        if (fault == solver::Fault::None)
            return true;
        ending = {RunEnding::Cause::Fault, fault, x};
        return false;
    }

    SampleStore &m_store;
    RunTrack &m_track;
    const solver::RunParameters &m_p;
    std::size_t m_room;
    const std::atomic<bool> &m_abort;
    bool m_line;
};

} // namespace

std::optional<LiveRun> runLive(const solver::RunParameters &p, std::size_t room,
                               const std::atomic<bool> &abort)
{
    SampleStore store(room);
    store.startRun(p);
    RunTrack track(p, 0);
    LiveSink sink(store, track, p, room, abort);
    // The run that hands out states starts with its first sample: the start's marks first.
    solver::RunOutcome outcome;
    if (sink.start(p.x0, p.y0))
        outcome = solver::run(p, sink);
    if (sink.aborted || sink.ending.cause == RunEnding::Cause::OutOfMemory)
        return std::nullopt;
    RunEnding ending = sink.ending;
    if (outcome.failed())
        ending = {RunEnding::Cause::Fault, outcome.fault, outcome.faultX};
    else if (outcome.emdenStop)
        ending = {RunEnding::Cause::FirstZero};
    store.endRun({}, ending);
    LiveRun live{store.runs().back(), store.snapshot(), std::move(track)};
    live.track.extend(live.samples, live.record.rows);
    live.track.finish();
    return live;
}
