// SPDX-License-Identifier: MIT

#include "explore/liverun.h"

#include "plot/marks.h"

namespace {

// Stores each sample as the list would take it, its marks checked as the plot draws them;
// looks at `abort` every few thousand samples.
class LiveSink final : public solver::SampleSink
{
public:
    LiveSink(SampleStore &store, const solver::RunParameters &p, std::size_t room,
             const std::atomic<bool> &abort)
        : m_store(store), m_p(p), m_room(room), m_abort(abort)
    {
    }

    bool start(double x0, double y0) override
    {
        return marked(startMarks(x0, y0).fault, x0);
    }
    bool sample(double x, double y) override
    {
        if ((m_store.size() & 0xFFF) == 0 && m_abort.load(std::memory_order_relaxed)) {
            aborted = true;
            return false;
        }
        if (m_store.size() >= m_room) {
            ending = {RunEnding::Cause::ListFull, solver::Fault::None, x};
            return false;
        }
        if (!marked(sampleMarks(m_p, x, y).fault, x))
            return false;
        if (!m_store.tryAppend(y)) {
            ending = {RunEnding::Cause::OutOfMemory, solver::Fault::None, x};
            return false;
        }
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
    const solver::RunParameters &m_p;
    std::size_t m_room;
    const std::atomic<bool> &m_abort;
};

} // namespace

std::optional<LiveRun> runLive(const solver::RunParameters &p, std::size_t room,
                               const std::atomic<bool> &abort)
{
    SampleStore store(room);
    store.startRun(p);
    LiveSink sink(store, p, room, abort);
    const solver::RunOutcome outcome = solver::run(p, sink);
    if (sink.aborted || sink.ending.cause == RunEnding::Cause::OutOfMemory)
        return std::nullopt;
    RunEnding ending = sink.ending;
    if (outcome.failed())
        ending = {RunEnding::Cause::Fault, outcome.fault, outcome.faultX};
    else if (outcome.emdenStop)
        ending = {RunEnding::Cause::FirstZero};
    store.endRun({}, ending);
    return LiveRun{store.runs().back(), store.snapshot()};
}
