// SPDX-License-Identifier: MIT

#include "cli/table.h"

#include "cli/sweep.h"
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

// The table's sink: a sample passes only when the window could draw it, then its line
// goes to the buffer, after the lead a family's CSV rows start with. It ends the run at a
// mark without a value, as the window does, or when the output fails, and keeps which.
class TableSink : public solver::SampleSink
{
public:
    TableSink(const RunParameters &p, RowFormat format, std::string_view lead,
              ReferenceColumn *reference, OutputBuffer &out)
        : m_p(p), m_format(format), m_lead(lead), m_reference(reference), m_out(out)
    {
    }

    bool start(double x0, double y0) override { return marked(startMarks(x0, y0).fault, x0); }

    bool sample(double x, double y) override
    {
        if (!marked(sampleMarks(m_p, x, y).fault, x))
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

    // A mark without a value, and where.
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

int runStudy(const TableOptions &options, int outFd, std::FILE *err)
{
    const reference::Study study = reference::studyRun(options.params);
    OutputBuffer out(outFd);
    writeText(out, reference::studyText(study));
    if (!out.flush())
        return outputError(out, err);
    if (study.outcome.failed()) {
        tellFault(study.outcome.fault, study.outcome.faultX, err);
        return 1;
    }
    return study.studied ? 0 : 1;
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
    const solver::RunOutcome outcome = solver::run(p, sink);

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
    const Fault fault = outcome.failed() ? outcome.fault : sink.markFault;
    if (fault != Fault::None) {
        tellFault(fault, outcome.failed() ? outcome.faultX : sink.markX, err);
        return 1;
    }
    return 0;
}
