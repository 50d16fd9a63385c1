// SPDX-License-Identifier: MIT

#include "cli/table.h"

#include "listing/listline.h"
#include "plot/marks.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// The table's sink: a sample passes only when the window could draw it, then its line
// goes to the buffer. It ends the run at a mark without a value, as the window does, or
// when the output fails, and keeps which.
class TableSink : public solver::SampleSink
{
public:
    TableSink(const RunParameters &p, bool csv, OutputBuffer &out)
        : m_eq(p.eq), m_n(p.n), m_csv(csv), m_out(out)
    {
    }

    bool start(double x0, double y0) override { return marked(startMarks(x0, y0).fault, x0); }

    bool sample(double x, double y) override
    {
        if (!marked(sampleMarks(m_eq, m_n, x, y).fault, x))
            return false;
        if (!m_out.reserve(kMaxLineLength))
            return false; // the buffer keeps why
        char *p = m_out.end();
        p = m_csv ? writeCsvLine(p, x, y) : writeListLine(p, x, y);
        *p++ = '\n';
        m_out.commit(p);
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

    static constexpr std::size_t kMaxLineLength =
        std::max(kMaxListLineLength, kMaxCsvLineLength) + 1;
    solver::Equation m_eq;
    double m_n;
    bool m_csv;
    OutputBuffer &m_out;
};

int outputError(const OutputBuffer &out, std::FILE *err)
{
    if (out.state() == OutputBuffer::Closed)
        return 0; // the reader has all it wanted
    std::fprintf(err, "redurivezi-table: write error: %s\n", std::strerror(out.error()));
    return 1;
}

} // namespace

int runTable(const TableOptions &options, int outFd, std::FILE *err)
{
    OutputBuffer out(outFd);
    if (options.csv && out.reserve(4)) {
        std::memcpy(out.end(), "x,y\n", 4);
        out.commit(out.end() + 4);
    }

    TableSink sink(options.params, options.csv, out);
    const solver::RunOutcome outcome = solver::run(options.params, sink);

    // Every line before a failure is delivered before the failure is told.
    if (!out.flush())
        return outputError(out, err);
    const Fault fault = outcome.failed() ? outcome.fault : sink.markFault;
    if (fault != Fault::None) {
        std::fprintf(err, "redurivezi-table: %s at x = %s\n",
                     std::string(solver::faultText(fault)).c_str(),
                     generalText(outcome.failed() ? outcome.faultX : sink.markX).c_str());
        return 1;
    }
    return 0;
}
