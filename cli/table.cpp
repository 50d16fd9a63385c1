// SPDX-License-Identifier: MIT

#include "cli/table.h"

#include "analysis/equilibria.h"
#include "analysis/readout.h"
#include "cli/sweep.h"
#include "listing/numbertext.h"
#include "plot/marks.h"
#include "reference/evaluator.h"
#include "reference/study.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>

using solver::Fault;
using solver::RunParameters;

bool OutputBuffer::flush()
{
    if (m_state != Open)
        return false;
    std::size_t done = 0;
    while (done < m_used) {
        const ssize_t n = ::write(m_fd, m_buffer + done, m_used - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_errno = errno;
            m_state = errno == EPIPE ? Closed : Failed;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    m_used = 0;
    return true;
}

namespace {

// The reference beside the run, read ahead in chunks: the run asks for one value per
// sample, in order.
class ReferenceColumn
{
public:
    explicit ReferenceColumn(const RunParameters &p) : m_evaluator(p, reference::gridPointCount(p))
    {
    }

    // The value at the next grid point, if the reference has one.
    std::optional<double> next()
    {
        if (m_used == m_count) {
            m_count = m_evaluator.next(m_values).count;
            m_used = 0;
            if (m_count == 0)
                return std::nullopt;
        }
        return m_values[m_used++];
    }

    const reference::Evaluator &evaluator() const { return m_evaluator; }

private:
    reference::Evaluator m_evaluator;
    std::array<double, 256> m_values;
    std::size_t m_count = 0;
    std::size_t m_used = 0;
};

// A sink that lists nothing: a sample passes only when the window could draw it. It ends
// the run at a mark without a value, as the window does, and keeps which and where.
class MarkCheck : public solver::SampleSink
{
public:
    explicit MarkCheck(const RunParameters &p) : m_p(p) {}

    bool start(double x0, double y0) override { return marked(startMarks(x0, y0).fault, x0); }
    bool sample(double x, double y) override { return marked(sampleMarks(m_p, x, y).fault, x); }

    Fault markFault = Fault::None;
    double markX = 0.0;

private:
    bool marked(Fault f, double x)
    {
        if (f == Fault::None)
            return true;
        markFault = f, markX = x;
        return false;
    }

    const RunParameters &m_p;
};

// The table's sink: a sample that passes the marks has its line go to the buffer, after
// the lead a family's CSV rows start with. It ends the run when the output fails too.
class TableSink : public MarkCheck
{
public:
    TableSink(const RunParameters &p, RowFormat format, std::string_view lead,
              ReferenceColumn *reference, OutputBuffer &out)
        : MarkCheck(p), m_format(format), m_lead(lead), m_reference(reference), m_out(out)
    {
    }

    bool sample(double x, double y) override
    {
        if (!MarkCheck::sample(x, y))
            return false;
        if (!m_out.reserve(m_lead.size() + kMaxRowLength))
            return false; // the buffer keeps why
        char *end = m_out.end();
        if (!m_lead.empty())
            end = std::copy(m_lead.begin(), m_lead.end(), end);
        // Where the reference has no value its columns stay empty.
        m_out.commit(
            writeRow(end, m_format, x, y, m_reference ? m_reference->next() : std::nullopt));
        return true;
    }

private:
    RowFormat m_format;
    std::string_view m_lead;
    ReferenceColumn *m_reference;
    OutputBuffer &m_out;
};

void tellFault(Fault fault, double x, std::FILE *err)
{
    std::fprintf(err, "redurivezi-table: %s at x = %s\n",
                 std::string(solver::faultText(fault)).c_str(), generalText(x).c_str());
}

// Tells on `err` how the run `p` ended, as the list run does: its fault (returns 1) or,
// where it ended early without one, a note (returns 0). A backward run's as a forward one's.
int tellEnding(const RunParameters &p, const solver::RunOutcome &outcome, const MarkCheck &marks,
               std::FILE *err, bool backward = false)
{
    if (outcome.failed() || marks.markFault != Fault::None) {
        tellFault(outcome.failed() ? outcome.fault : marks.markFault,
                  outcome.failed() ? outcome.faultX : marks.markX, err);
        return 1;
    }
    // The Emden stop after the last grid point ends nothing early. It comes after a sample,
    // the last listed one: the next would have been at or below zero. Backward the bound is
    // (xf - x0) / -h, the very double (x0 - xf) / h, as negation is exact.
    const auto samples = static_cast<double>(outcome.samples);
    const auto last = static_cast<std::int64_t>(outcome.samples) - 1;
    if (outcome.emdenStop && samples <= (backward ? p.x0 - p.xf : p.xf - p.x0) / solver::h)
        std::fprintf(err,
                     "redurivezi-table: the run ended at the first zero: y <= 0 after x = %s\n",
                     generalText(backward ? solver::backwardAbscissa(p.x0, last)
                                          : solver::gridAbscissa(p.x0, last))
                         .c_str());
    else if (outcome.samples == 0 && !outcome.sinkStop && !backward && p.xf < p.x0)
        std::fputs("redurivezi-table: no samples: the final abscissa is before x0\n", err);
    else if (outcome.samples == 0 && !outcome.sinkStop && backward && p.xf > p.x0)
        std::fputs("redurivezi-table: no samples: the final abscissa is after x0\n", err);
    return 0;
}

// The study of the samples the list run lists, and no more: the run is checked first as
// the list checks it, so that the study ends where the list ends and tells what the list
// tells. A study that cannot be made is a message, on `err`, like the run's own.
int runStudy(const TableOptions &options, int outFd, std::FILE *err)
{
    const RunParameters &p = options.params;
    MarkCheck marks(p);
    const solver::RunOutcome listed = solver::run(p, marks);
    const reference::Study study = reference::studyRun(p, listed.samples);
    if (study.studied) {
        OutputBuffer out(outFd);
        writeText(out, reference::studyText(study));
        if (!out.flush())
            return outputError(out, err);
    }
    const int status = tellEnding(p, listed, marks, err);
    // A run that fails has said why; that it cannot be studied as well would add nothing.
    if (study.studied || status != 0)
        return status;
    std::fprintf(err, "redurivezi-table: this run cannot be studied: %s\n", study.problem.c_str());
    return 1;
}

// The read-out of the samples the list run lists, and no more, checked first as the list
// checks them, as the study is; then what the list tells of its end.
int runReadout(const TableOptions &options, int outFd, std::FILE *err)
{
    const RunParameters &p = options.params;
    MarkCheck marks(p);
    const solver::RunOutcome listed = solver::run(p, marks);
    // A run of no sample has its note alone.
    if (listed.samples > 0) {
        OutputBuffer out(outFd);
        for (const std::string &line :
             analysis::readoutLines(analysis::readRun(p, listed.samples))) {
            writeText(out, line);
            writeText(out, "\n");
        }
        if (!out.flush())
            return outputError(out, err);
    }
    return tellEnding(p, listed, marks, err);
}

// The equilibria with y from options.from to options.to, a line each; where there are
// none to list, why, on `err`. Not a failure either way.
int runEquilibria(const TableOptions &options, int outFd, std::FILE *err)
{
    const analysis::EquilibriumSearch s =
        analysis::findEquilibria(options.params, options.from, options.to);
    OutputBuffer out(outFd);
    for (const analysis::Equilibrium &e : s.found) {
        writeText(out, analysis::equilibriumLine(e));
        writeText(out, "\n");
    }
    if (!out.flush())
        return outputError(out, err);
    const std::string range =
        "with y from " + shortestText(options.from) + " to " + shortestText(options.to);
    switch (s.answer) {
    case analysis::EquilibriumSearch::Answer::DependsOnX:
    case analysis::EquilibriumSearch::Answer::Everywhere:
        std::fprintf(err, "redurivezi-table: %s\n", s.note.c_str());
        break;
    case analysis::EquilibriumSearch::Answer::TooMany:
        std::fprintf(err, "redurivezi-table: more than %zu equilibria %s: narrow --from and --to\n",
                     analysis::kMaxEquilibria, range.c_str());
        break;
    case analysis::EquilibriumSearch::Answer::Found:
        if (s.found.empty())
            std::fprintf(err, "redurivezi-table: no equilibria %s\n", range.c_str());
        break;
    }
    return 0;
}

} // namespace

int outputError(const OutputBuffer &out, std::FILE *err)
{
    if (out.state() == OutputBuffer::Closed)
        return 0; // the reader has all it wanted
    std::fprintf(err, "redurivezi-table: write error: %s\n", std::strerror(out.error()));
    return 1;
}

void writeText(OutputBuffer &out, std::string_view text)
{
    while (!text.empty() && out.reserve(1)) {
        // Room for at least one character; fill what the buffer has.
        const std::size_t n = std::min(text.size(), out.room());
        std::memcpy(out.end(), text.data(), n);
        out.commit(out.end() + n);
        text.remove_prefix(n);
    }
}

RowFormat rowFormat(const TableOptions &options)
{
    return !options.csv        ? RowFormat::Lines
           : options.reference ? RowFormat::CsvWithReference
                               : RowFormat::Csv;
}

int runTable(const TableOptions &options, int outFd, std::FILE *err)
{
    if (options.study)
        return runStudy(options, outFd, err);
    if (options.readout)
        return runReadout(options, outFd, err);
    if (options.equilibria)
        return runEquilibria(options, outFd, err);
    if (options.sweep)
        return runSweep(options, outFd, err);

    const RowFormat format = rowFormat(options);
    OutputBuffer out(outFd);
    writeText(out, rowHeader(format));
    return listRun(options, options.params, {}, out, err);
}

int listRun(const TableOptions &options, const RunParameters &p, std::string_view lead,
            OutputBuffer &out, std::FILE *err)
{
    const RowFormat format = rowFormat(options);
    std::optional<ReferenceColumn> reference;
    if (options.reference)
        reference.emplace(p);
    TableSink sink(p, format, lead, reference ? &*reference : nullptr, out);
    const solver::RunOutcome outcome =
        options.backward ? solver::runBackward(p, sink) : solver::run(p, sink);

    // Every line before a failure is delivered before the failure is told.
    if (!out.flush())
        return outputError(out, err);
    // Said only when a listed line has the empty columns.
    if (reference && reference->evaluator().status() == reference::Evaluator::Status::Ended &&
        reference->evaluator().endIndex() < outcome.samples) {
        const double x = solver::gridAbscissa(
            p.x0, static_cast<std::int64_t>(reference->evaluator().endIndex()));
        std::fprintf(err, "redurivezi-table: %s; the reference columns are empty from x = %s on\n",
                     std::string(reference->evaluator().endReason()).c_str(),
                     generalText(x).c_str());
    }
    return tellEnding(p, outcome, sink, err, options.backward);
}
