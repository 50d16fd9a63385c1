// SPDX-License-Identifier: MIT

#include "window/runsession.h"

#include "model/runmodel.h"
#include "platform/upperregisters.h"
#include "plot/marks.h"
#include "plot/plotwidget.h"
#include "solver/runloop.h"
#include "window/sampleview.h"
#include "window/waitcursor.h"

#include <algorithm>

using solver::Fault;
using Cause = RunEnd::Cause;

namespace {

// The window's receiver of a run: each sample is drawn first, then listed. A sample
// whose marks have no value is neither finished on the plot nor listed. Every so many
// samples it lets the session show how far the run has come.
//
// The run calls it directly (solver::runDirect), with sample() inlined into its loop. The
// common samples, a line's end and a dotted sample's first dot, take a short way inline;
// anything else (a fault, a full list, the later dots) takes the general way, right for
// every sample. Both end in the same marks, pixels and rows.
template<typename Progress> class RunSink final
{
public:
    RunSink(PlotSurface &surface, SampleStore &list, const solver::RunParameters &p,
            Progress progress)
        : m_surface(surface), m_list(list), m_p(p), m_drawing(p.eq->drawing), m_progress(progress),
          m_room(list.capacity() - list.size()),
          m_dots(m_drawing.mark == solver::Drawing::Mark::Dots),
          m_unscaled(m_drawing.xScale == 1.0 && m_drawing.yScale == 1.0),
          m_laterDotsSafe(laterDotsCannotFailBelowOne(p)),
          m_colour(PlotSurface::opaque(p.eq->curves[0].colour))
    {
        nextCheckpoint();
    }

    bool start(double x0, double y0)
    {
        const MarkList marks = startMarks(x0, y0);
        m_surface.draw(marks);
        return marks.ok() || stop(Cause::Fault, x0, marks.fault);
    }

    // The drawn marks of a sample that failed partway.
    MarkList partial;
    // Why the sink stopped the run, if it did.
    RunEnd end;

    // Inlined into the run's loop; what is neither a line's end nor a first dot leaves it
    // through a call.
    Q_ALWAYS_INLINE bool sample(double x, double y)
    {
        // One count for both the list's room and the progress.
        if (m_untilCheckpoint == 0) [[unlikely]] {
            if (!checkpoint(x))
                return false;
        }
        --m_untilCheckpoint;
        // The list recomputes x from the run's x0 and the grid index.
        Q_ASSERT(x == m_list.nextAbscissa());
        if (m_dots)
            return dotSample(x, y);
        // Most lines are drawn at their values: no scale is asked.
        solver::Checked c;
        const MarkPosition at = m_unscaled ? markPosition(c, x, y) : firstPosition(m_drawing, x, y);
        if (!at.ok()) [[unlikely]]
            return anySample(x, y);
        // The row is taken before the mark is painted, which nothing can see before the
        // next repaint, so that a list that cannot grow leaves it off the plot too.
        if (!m_list.tryAppend(y)) [[unlikely]]
            return stop(Cause::OutOfMemory, x);
        m_surface.lineToRgb(at.x, at.y, m_colour);
        return true;
    }

private:
    bool stop(Cause cause, double x, Fault fault = Fault::None)
    {
        end = RunEnd{cause, fault, x};
        return false;
    }

    // A dotted sample whose later dots cannot fail: its first dot, and the others, at the
    // same abscissa, only where that column is shown; its dots beyond the plot's sides
    // cost no power.
    Q_ALWAYS_INLINE bool dotSample(double x, double y)
    {
        if (m_laterDotsSafe && y > 0.0 && y <= 1.0) {
            const MarkPosition first = firstPosition(m_drawing, x, y);
            if (first.ok()) {
                if (!m_list.tryAppend(y)) [[unlikely]]
                    return stop(Cause::OutOfMemory, x);
                m_surface.pointRgb(first.x, first.y, m_colour);
                return !m_surface.showsCurrentColumn() || otherDots(x, y);
            }
        }
        return anySample(x, y);
    }

    // Whatever the sample and the list are: its marks, all of them drawn up to a fault.
    Q_DECL_COLD_FUNCTION bool anySample(double x, double y)
    {
        const MarkList marks = sampleMarks(m_p, x, y);
        if (marks.ok() && !m_list.tryAppend(y))
            return stop(Cause::OutOfMemory, x);
        m_surface.draw(marks);
        if (!marks.ok()) {
            partial = marks;
            return stop(Cause::Fault, x, marks.fault);
        }
        return true;
    }

    // The later dots of a listed sample whose first is drawn.
    Q_NEVER_INLINE bool otherDots(double x, double y)
    {
        const MarkList marks = sampleMarks(m_p, x, y);
        Q_ASSERT(marks.count >= 1 && marks.marks[0].kind == Mark::Point);
        MarkList rest = marks;
        std::copy(marks.marks.begin() + 1, marks.marks.end(), rest.marks.begin());
        --rest.count;
        m_surface.draw(rest);
        if (!marks.ok()) {
            partial = marks;
            return stop(Cause::Fault, x, marks.fault);
        }
        return true;
    }

    // Every so many samples: the list's room, and the progress shown.
    Q_NEVER_INLINE bool checkpoint(double x)
    {
        m_room -= m_checkpointSpan;
        m_untilProgress -= static_cast<int>(m_checkpointSpan);
        if (m_untilProgress == 0) {
            m_untilProgress = kProgressEvery;
            m_progress();
        }
        // A sample that cannot be listed is not drawn either.
        if (m_room == 0)
            return stop(Cause::ListFull, x);
        nextCheckpoint();
        return true;
    }
    void nextCheckpoint()
    {
        m_checkpointSpan = std::min<std::size_t>(m_room, static_cast<std::size_t>(m_untilProgress));
        m_untilCheckpoint = m_checkpointSpan;
    }

    // Often enough for a tenth of a second at any speed, rare enough to cost nothing.
    static constexpr int kProgressEvery = 1024;

    PlotSurface &m_surface;
    SampleStore &m_list;
    const solver::RunParameters &m_p;
    solver::Drawing m_drawing;
    Progress m_progress;
    std::size_t m_room; // lines the list could take at the last checkpoint
    bool m_dots;
    bool m_unscaled;
    bool m_laterDotsSafe;
    QRgb m_colour; // of the line, or of the first dots
    int m_untilProgress = kProgressEvery;
    std::size_t m_checkpointSpan = 0;  // samples from the last checkpoint to the next
    std::size_t m_untilCheckpoint = 0; // of which still to come
};

// The run with the sink inlined, in a function of its own as solver::run is: inlined
// into execute() with the rest of it, the loop kept fewer of its values in registers.
template<typename Sink>
Q_NEVER_INLINE solver::RunOutcome runWith(const solver::RunParameters &p, Sink &sink)
{
    return solver::runDirect(p, sink);
}

// How a run ended, for the views: its own fault first, then why its sink stopped it.
RunEnding endingOf(const solver::RunOutcome &outcome, const RunEnd &sinkEnd)
{
    using Ending = RunEnding::Cause;
    if (outcome.failed())
        return {Ending::Fault, outcome.fault, outcome.faultX};
    if (outcome.emdenStop)
        return {Ending::FirstZero};
    if (!outcome.sinkStop)
        return {Ending::Done};
    switch (sinkEnd.cause) {
    case Cause::Done:
        break;
    case Cause::Fault:
        return {Ending::Fault, sinkEnd.fault, sinkEnd.x};
    case Cause::ListFull:
        return {Ending::ListFull, Fault::None, sinkEnd.x};
    case Cause::OutOfMemory:
        return {Ending::OutOfMemory, Fault::None, sinkEnd.x};
    }
    return {Ending::Done};
}

} // namespace

RunSession::RunSession(PlotWidget &plot, RunModel &model, SampleView &view, int progressInterval)
    : m_plot(plot), m_model(model), m_view(view), m_progressInterval(progressInterval)
{
}

RunEnd RunSession::execute(const solver::RunParameters &p)
{
    m_firstRow = m_model.samples().rowCount();
    m_clock.start();
    m_lastProgress = 0;
    WaitCursor cursor(WaitCursor::Later);
    auto progress = [this, &cursor] {
        const qint64 now = m_clock.elapsed();
        if (now - m_lastProgress < m_progressInterval)
            return;
        // Only a run that lasts longer than a moment shows it.
        cursor.show();
        showProgress(now);
    };
    RunSink sink(m_plot.surface(), m_model.samples().store(), p, progress);
    m_model.startRun(p);
    m_running = true;
    // However the run ends, the model holds what it listed and drew, and how it ended (an
    // exception leaves the outcome as it was before the run: done).
    struct EndRun
    {
        RunSession &session;
        const MarkList &partial;
        const solver::RunOutcome &outcome;
        const RunEnd &sinkEnd;
        ~EndRun()
        {
            session.m_running = false;
            session.showNewRows();
            session.m_model.endRun(partial, endingOf(outcome, sinkEnd));
        }
    };
    // Whatever Qt's vector code did before the run (the key press that starts it, the
    // repaints before it) leaves the run's arithmetic alone.
    clearUpperRegisters();

    // The run holds the only thread until it ends. Progress is painted directly, so no
    // input event is dispatched meanwhile: what is typed or clicked waits in the queue and
    // is handled afterwards, in order.
    solver::RunOutcome outcome;
    {
        const EndRun end{*this, sink.partial, outcome, sink.end};
        // An exception leaves through here too: what was listed stays listed, and is shown.
        outcome = runWith(p, sink);
    }
    m_plot.update();
    if (outcome.failed())
        return RunEnd{Cause::Fault, outcome.fault, outcome.faultX};
    return outcome.sinkStop ? sink.end : RunEnd{};
}

void RunSession::showProgress(qint64 now)
{
    m_lastProgress = now;
    showNewRows();
    // repaint(), not update(): painted and flushed now, with no trip through the event
    // queue, which holds the user's input until the run is over.
    m_view.refresh();
    m_plot.repaint();
    // The repaint blends with Qt's vector code; the run goes on with clean registers.
    clearUpperRegisters();
}

void RunSession::showNewRows()
{
    const int before = m_model.samples().rowCount();
    m_model.publish();
    // The list shows the newest run from its first line.
    if (before == m_firstRow && m_firstRow < m_model.samples().rowCount())
        m_view.showAtTop(m_firstRow);
}
