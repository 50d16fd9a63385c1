// SPDX-License-Identifier: MIT

// Any run parameters: finite doubles and an equation number 0..6, the span capped to a
// few thousand grid points. The run and the window's marks must never crash, trip a
// sanitizer, or hand a NaN or an infinity on; the sink sees start once, then at most
// floor(nsteps) + 1 samples in grid order.

#include "model/fieldtable.h"
#include "plot/marks.h"
#include "solver/builtins.h"
#include "solver/solver.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace solver;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

class CheckingSink : public SampleSink
{
public:
    explicit CheckingSink(const RunParameters &p) : m_p(p) {}

    bool start(double x0, double y0) override
    {
        check(m_starts++ == 0 && m_samples == 0);
        check(x0 == m_p.x0 && y0 == m_p.y0);
        const MarkList marks = startMarks(x0, y0);
        checkMarks(marks);
        return marks.ok();
    }

    bool sample(double x, double y) override
    {
        check(m_starts == 1);
        check(std::isfinite(x) && std::isfinite(y));
        check(x == gridAbscissa(m_p.x0, static_cast<std::int64_t>(m_samples)));
        const MarkList marks = sampleMarks(m_p, x, y);
        checkMarks(marks);
        // A sample whose marks have no value is refused, as the window refuses it.
        if (marks.ok())
            ++m_samples;
        return marks.ok();
    }

    // The samples accepted.
    std::uint64_t samples() const { return m_samples; }

private:
    static void checkMarks(const MarkList &marks)
    {
        check(marks.count >= 0 && marks.count <= 3);
        for (int i = 0; i < marks.count; ++i)
            check(std::isfinite(marks.marks[i].x) && std::isfinite(marks.marks[i].y));
    }

    RunParameters m_p;
    int m_starts = 0;
    std::uint64_t m_samples = 0;
};

double finiteOrZero(const std::uint8_t *data)
{
    double v;
    std::memcpy(&v, data, sizeof v);
    return std::isfinite(v) ? v : 0.0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    constexpr std::size_t kNeeded = 1 + 6 * sizeof(double);
    if (size < kNeeded)
        return 0;
    // As the fields would capture them: x0, y0, z0, xf, n and lam.
    fields::Captured captured;
    captured.eq = static_cast<Builtin>(data[0] % kBuiltinCount);
    using fields::Field;
    const Field order[] = {Field::X0, Field::Y0, Field::Z0, Field::Xf, Field::N, Field::Lam};
    for (std::size_t k = 0; k < std::size(order); ++k)
        captured[order[k]] = finiteOrZero(data + 1 + 8 * k);
    RunParameters p = captured.run();
    // At most 3000 steps: beyond that a run only repeats what it did.
    constexpr double kMaxSpan = 30.0;
    if (!(p.xf - p.x0 <= kMaxSpan))
        p.xf = p.x0 + kMaxSpan;

    CheckingSink sink(p);
    const RunOutcome outcome = run(p, sink);
    check(outcome.samples == sink.samples());
    const double nsteps = (p.xf - p.x0) / h;
    if (std::isfinite(nsteps))
        check(nsteps < 0 ? sink.samples() == 0
                         : static_cast<double>(sink.samples()) <= std::floor(nsteps) + 1);
    if (outcome.failed())
        check(std::isfinite(outcome.faultX));
    return 0;
}
