// SPDX-License-Identifier: MIT

#include "reference/study.h"

#include "reference/evaluator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace reference {

using solver::RunParameters;
using solver::Slope;

namespace {

constexpr int kRows = solver::kMaxHalvings + 1;

// Counts samples and asks the caller every 65536 of them whether to go on.
class Progress
{
public:
    Progress(const std::function<bool(double)> &report, double total)
        : m_report(report), m_total(std::max(total, 1.0))
    {
    }

    bool add(std::uint64_t samples)
    {
        const std::uint64_t before = m_done;
        m_done += samples;
        if (m_report && (before >> 16) != (m_done >> 16) &&
            !m_report(std::min(1.0, static_cast<double>(m_done) / m_total)))
            m_abandoned = true;
        return !m_abandoned;
    }
    bool abandoned() const { return m_abandoned; }
    void setTotal(double total) { m_total = std::max(total, 1.0); }

private:
    const std::function<bool(double)> &m_report;
    double m_total;
    std::uint64_t m_done = 0;
    bool m_abandoned = false;
};

// Keeps y at grid index `target` and ends the run there; with no target, keeps the last.
class TargetSink final : public solver::SampleSink
{
public:
    TargetSink(std::uint64_t target, Progress &progress) : m_target(target), m_progress(progress) {}

    bool start(double, double) override { return true; }
    bool sample(double, double y) override
    {
        if (!m_progress.add(1))
            return false;
        last = y;
        if (m_index == m_target) {
            reached = true;
            return false;
        }
        ++m_index;
        return true;
    }

    double last = 0.0;
    bool reached = false;

private:
    std::uint64_t m_target;
    std::uint64_t m_index = 0;
    Progress &m_progress;
};

std::optional<double> ratio(const std::optional<double> &above, const std::optional<double> &e)
{
    if (!above || !e || *e == 0.0)
        return std::nullopt;
    return std::fabs(*above) / std::fabs(*e);
}

Study problem(Study s, std::string why)
{
    s.studied = false;
    s.problem = std::move(why);
    return s;
}

// ---- Texts, the same in every locale -------------------------------------------------

std::string number(double v, std::chars_format format, int precision)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, format, precision);
    return std::string(buffer, r.ptr);
}

std::string shortest(double v)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::string orNone(const std::optional<double> &v, std::chars_format format, int precision)
{
    return v ? number(*v, format, precision) : std::string("-");
}

void pad(std::string &line, std::string_view cell, std::size_t width)
{
    line.append(width > cell.size() ? width - cell.size() : 1, ' ');
    line += cell;
}

// ---- Which of the two limits the error -----------------------------------------------

// The slope's rounding limits a row when the error with a single slope is more than twice
// the error with a double one, which is the step's alone.
bool slopeLimits(const StudyRow &row)
{
    return row.errorSingle && row.errorDouble &&
           std::fabs(*row.errorSingle) > 2.0 * std::fabs(*row.errorDouble);
}

std::string verdictOf(const Study &s)
{
    const StudyRow &own = s.rows[0];
    if (!own.errorSingle || !own.errorDouble)
        return "Here the error cannot be split: a run with a double slope ends before x = " +
               shortest(s.lastX) + ".";
    if (slopeLimits(own)) {
        const double times = std::fabs(*own.errorSingle / *own.errorDouble);
        return "Here the single-precision slope limits the error: it is " +
               (times < 1000 ? number(times, std::chars_format::fixed, 0) + " times"
                             : std::string("over a thousand times")) +
               " the step's own error, and halving h no longer helps below h = " +
               shortest(solver::h) + ".";
    }

    // The double slope's error is the step's: at the level of rounding the scheme is exact.
    if (std::fabs(*own.errorDouble) <= 1e-13 * std::max(1.0, std::fabs(s.reference)))
        return "Here neither limits the error: the scheme is exact for this solution, up to "
               "rounding.";
    std::string sentence = "Here the step limits the error";
    if (const auto r = s.rows[1].ratioDouble) {
        const double order = std::log2(*r);
        sentence +=
            ": it falls about " + number(*r, std::chars_format::fixed, 0) + "-fold per halving, " +
            (order > 3.5 && order < 4.5 ? std::string("fourth order")
                                        : "order " + number(order, std::chars_format::fixed, 1));
    }
    // Where the slope's rounding takes over at a smaller step, say so.
    for (const StudyRow &row : s.rows) {
        if (slopeLimits(row)) {
            sentence += ", but with the single-precision slope halving h no longer helps below "
                        "h = " +
                        shortest(row.step);
            break;
        }
    }
    return sentence + ".";
}

} // namespace

namespace {

Study studyUpTo(const RunParameters &p, std::uint64_t samples,
                const std::function<bool(double)> &progress)
{
    Study s;
    for (int k = 0; k < kRows; ++k)
        s.rows[static_cast<std::size_t>(k)].step = solver::stepOf(k);

    // The run itself first: where its last sample lies. Until it is known the work is
    // guessed from the bound.
    Progress counter(progress, 32.0 * static_cast<double>(gridPointCount(p)));
    if (samples == 0)
        return problem(s, "the run has no sample");
    TargetSink own(samples - 1, counter);
    s.outcome = solver::run(p, own);
    if (own.reached)
        s.outcome.samples = samples; // the last one ended the run but was taken
    if (counter.abandoned())
        return problem(s, "abandoned");
    if (s.outcome.samples == 0)
        return problem(s, "the run has no sample");
    if (s.outcome.samples == 1)
        return problem(s, "the run has only its start, where y is exact");
    s.lastIndex = s.outcome.samples - 1;
    s.lastX = solver::gridAbscissa(p.x0, static_cast<std::int64_t>(s.lastIndex));
    counter.setTotal(32.0 * static_cast<double>(s.outcome.samples));

    // The reference at the last sample.
    Evaluator reference(p, s.outcome.samples);
    std::array<double, 1024> chunk;
    for (;;) {
        const Evaluator::Chunk got = reference.next(chunk);
        if (got.count > 0)
            s.reference = chunk[got.count - 1];
        if (!counter.add(got.count))
            return problem(s, "abandoned");
        if (got.status == Evaluator::Status::Complete)
            break;
        if (got.status == Evaluator::Status::Ended)
            return problem(s, std::string(reference.endReason()) +
                                  ", before the run's last sample at x = " + shortest(s.lastX));
    }

    s.rows[0].errorSingle = own.last - s.reference;
    for (int k = 0; k < kRows; ++k) {
        StudyRow &row = s.rows[static_cast<std::size_t>(k)];
        for (const Slope slope : {Slope::Single, Slope::Double}) {
            if (k == 0 && slope == Slope::Single)
                continue; // the run itself
            TargetSink sink(s.lastIndex << k, counter);
            solver::run(p, sink, k, slope);
            if (counter.abandoned())
                return problem(s, "abandoned");
            // A run that ends earlier (an Emden stop or a fault before the last sample's
            // abscissa) has no error there.
            if (sink.reached)
                (slope == Slope::Single ? row.errorSingle : row.errorDouble) =
                    sink.last - s.reference;
        }
        if (k > 0) {
            const StudyRow &above = s.rows[static_cast<std::size_t>(k - 1)];
            row.ratioSingle = ratio(above.errorSingle, row.errorSingle);
            row.ratioDouble = ratio(above.errorDouble, row.errorDouble);
        }
    }
    s.studied = true;
    s.verdict = verdictOf(s);
    return s;
}

} // namespace

Study studyRun(const RunParameters &p, const std::function<bool(double)> &progress)
{
    return studyUpTo(p, std::uint64_t(-1), progress);
}

Study studyRun(const RunParameters &p, std::uint64_t samples)
{
    return studyUpTo(p, samples, {});
}

std::string studyText(const Study &s)
{
    if (!s.studied)
        return "This run cannot be studied: " + s.problem + ".\n";

    std::string text = "Error y - reference at the run's last sample, x = " + shortest(s.lastX) +
                       " (reference " + shortest(s.reference) + "):\n\n";
    static constexpr std::size_t kWidths[] = {9, 22, 8, 22, 8};
    static constexpr std::string_view kHeads[] = {"h", "error, single slope", "ratio",
                                                  "error, double slope", "ratio"};
    std::string line;
    for (std::size_t c = 0; c < 5; ++c)
        pad(line, kHeads[c], kWidths[c]);
    text += line + '\n';
    for (const StudyRow &row : s.rows) {
        line.clear();
        pad(line, shortest(row.step), kWidths[0]);
        pad(line, orNone(row.errorSingle, std::chars_format::scientific, 5), kWidths[1]);
        pad(line, row.step == solver::h ? "" : orNone(row.ratioSingle, std::chars_format::fixed, 2),
            kWidths[2]);
        pad(line, orNone(row.errorDouble, std::chars_format::scientific, 5), kWidths[3]);
        pad(line, row.step == solver::h ? "" : orNone(row.ratioDouble, std::chars_format::fixed, 2),
            kWidths[4]);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + '\n';
    }
    text += '\n' + s.verdict + '\n';
    return text;
}

} // namespace reference
