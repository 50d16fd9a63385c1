// SPDX-License-Identifier: MIT

#include "window/runsession.h"

#include "model/runmodel.h"
#include "platform/upperregisters.h"
#include "plot/marks.h"
#include "plot/plotwidget.h"
#include "window/sampleview.h"
#include "window/waitcursor.h"

using solver::Fault;
using Cause = RunEnd::Cause;

namespace {

// The window's receiver of a run: each sample is drawn first, then listed. A sample
// whose marks have no value is neither finished on the plot nor listed. Every so many
// samples it lets the session show how far the run has come.
template<typename Progress> class RunSink : public solver::SampleSink
{
public:
    RunSink(PlotSurface &surface, SampleStore &list, const solver::RunParameters &p,
            Progress progress)
        : m_surface(surface), m_list(list), m_eq(p.eq), m_n(p.n), m_progress(progress),
          m_room(list.capacity() - list.size())
    {
    }

    bool start(double x0, double y0) override
    {
        m_list.startRun(x0);
        const MarkList marks = startMarks(x0, y0);
        m_surface.draw(marks);
        return marks.ok() || stop(Cause::Fault, x0, marks.fault);
    }

    // The drawn marks of a sample that failed partway.
    MarkList partial;
    // Why the sink stopped the run, if it did.
    RunEnd end;

    bool sample(double x, double y) override
    {
        // A sample that cannot be listed is not drawn either.
        if (m_room == 0)
            return stop(Cause::ListFull, x);
        const MarkList marks = marksOf(x, y);
        // The list recomputes x from the run's x0 and the grid index.
        Q_ASSERT(!marks.ok() || x == m_list.nextAbscissa());
        // The row is taken before the marks are painted, which nothing can see before the
        // next repaint, so that a list that cannot grow leaves this sample off the plot too.
        if (marks.ok()) {
            if (!m_list.tryAppend(y))
                return stop(Cause::OutOfMemory, x);
            --m_room;
        }
        m_surface.draw(marks);
        if (!marks.ok()) {
            partial = marks;
            return stop(Cause::Fault, x, marks.fault);
        }
        if (--m_untilProgress == 0) {
            m_untilProgress = kProgressEvery;
            m_progress();
        }
        return true;
    }

private:
    bool stop(Cause cause, double x, Fault fault = Fault::None)
    {
        end = RunEnd{cause, fault, x};
        return false;
    }

    MarkList marksOf(double x, double y) const
    {
        // An Emden sample beyond the plot's sides shows none of its dots; where its powers
        // cannot fail either, its first dot alone gives the same pixels and faults.
        if (m_eq == solver::Equation::Emden && emdenPowersCannotFail(m_n, y)) {
            const MarkList first = emdenFirstDot(x, y);
            if (!first.ok() || !m_surface.showsColumn(first.marks[0].x))
                return first;
        }
        return sampleMarks(m_eq, m_n, x, y);
    }

    // Often enough for a tenth of a second at any speed, rare enough to cost nothing.
    static constexpr int kProgressEvery = 1024;

    PlotSurface &m_surface;
    SampleStore &m_list;
    solver::Equation m_eq;
    double m_n;
    Progress m_progress;
    int m_untilProgress = kProgressEvery;
    std::size_t m_room; // lines the list can still take
};

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
    // However the run ends, the model holds what it listed and drew.
    struct EndRun
    {
        RunSession &session;
        const MarkList &partial;
        ~EndRun()
        {
            session.m_running = false;
            session.showNewRows();
            session.m_model.endRun(partial);
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
        const EndRun end{*this, sink.partial};
        // An exception leaves through here too: what was listed stays listed, and is shown.
        outcome = solver::run(p, sink);
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
