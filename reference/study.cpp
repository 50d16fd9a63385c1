// SPDX-License-Identifier: MIT

#include "reference/study.h"

#include "reference/evaluator.h"

#include "listing/numbertext.h"

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

// An error to two digits, as a sentence gives it: "2.0e-06".
std::string roughly(double e)
{
    return number(std::fabs(e), std::chars_format::scientific, 1);
}

std::string verdictOf(const Study &s)
{
    const StudyRow &own = s.rows[0];
    if (!own.errorSingle || !own.errorDouble)
        return "The error cannot be split: a run with y' kept to 16 digits ends before x = " +
               generalText(s.lastX) + ".";
    const std::string off = "The run is off by " + roughly(*own.errorSingle);
    if (slopeLimits(own)) {
        const double times = std::fabs(*own.errorSingle / *own.errorDouble);
        return "What limits the accuracy: y' is kept to about 7 digits between steps. " + off +
               ", " +
               (times < 1000 ? number(times, std::chars_format::fixed, 0) + " times"
                             : std::string("over a thousand times")) +
               " the " + roughly(*own.errorDouble) + " of the step h = " + shortest(solver::h) +
               " itself, and a smaller h does not help.";
    }

    // With y' kept to 16 digits the error is the step's: at the level of rounding the scheme
    // is exact.
    if (std::fabs(*own.errorDouble) <= 1e-13 * std::max(1.0, std::fabs(s.reference)))
        return "Nothing limits the accuracy but rounding: the scheme is exact for this "
               "solution. " +
               off + ".";
    std::string sentence =
        "What limits the accuracy: the step h = " + shortest(solver::h) + ". " + off;
    if (const auto r = s.rows[1].ratioDouble; r && *r > 1.0) {
        const double order = std::log2(*r);
        sentence +=
            "; it falls about " + number(*r, std::chars_format::fixed, 0) +
            "-fold per halving of h (" +
            (order > 3.5 && order < 4.5 ? std::string("fourth order")
                                        : "order " + number(order, std::chars_format::fixed, 1)) +
            "), so h = " + shortest(solver::stepOf(1)) + " would give about " +
            roughly(*own.errorSingle / *r);
    }
    // Where keeping y' to 7 digits takes over at a smaller step, say so.
    for (const StudyRow &row : s.rows) {
        if (slopeLimits(row)) {
            sentence += ", but with y' kept to 7 digits the error stops falling at h = " +
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

namespace {

// The sentence in lines of at most `width` characters, broken between words.
std::string wrapped(const std::string &sentence, std::size_t width)
{
    std::string out, line;
    std::size_t at = 0;
    while (at < sentence.size()) {
        std::size_t next = sentence.find(' ', at);
        if (next == std::string::npos)
            next = sentence.size();
        const std::string word = sentence.substr(at, next - at);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + '\n';
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = next + 1;
    }
    return out + line + '\n';
}

// y to the digits that tell the run's error: two beyond its first, the run's value and the
// reference's alike, trailing zeros kept.
std::string toTheError(double y, double scale, double error)
{
    int digits = 17;
    if (error != 0.0 && scale != 0.0)
        digits = std::clamp(static_cast<int>(std::floor(std::log10(std::fabs(scale))) -
                                             std::floor(std::log10(std::fabs(error)))) +
                                2,
                            2, 17);
    const double magnitude = std::fabs(scale);
    if (magnitude >= 1e-4 && magnitude < 1e6) {
        const int decimals =
            std::max(0, digits - 1 - static_cast<int>(std::floor(std::log10(magnitude))));
        return number(y, std::chars_format::fixed, std::min(decimals, 20));
    }
    return number(y, std::chars_format::scientific, digits - 1);
}

std::string ratioText(const StudyRow &row, const std::optional<double> &ratio,
                      const std::optional<double> &error)
{
    if (row.step == solver::h || !error)
        return "";
    if (!ratio)
        return "-";
    // A ratio below 1: the smaller step made it worse.
    return *ratio < 1.0 ? std::string("grew") : "÷ " + number(*ratio, std::chars_format::fixed, 1);
}

void padLeft(std::string &line, std::string_view cell, std::size_t width)
{
    line += cell;
    // "÷" is two bytes and one character wide.
    const std::size_t shown = cell.size() - (cell.find("÷") != std::string_view::npos ? 1 : 0);
    line.append(width > shown ? width - shown : 0, ' ');
}

} // namespace

std::string studyText(const Study &s, std::size_t width)
{
    if (!s.studied)
        return "This run cannot be studied: " + s.problem + ".\n";

    const double runY = *s.rows[0].errorSingle + s.reference;
    std::string text =
        "Error y - reference at the run's last sample, x = " + generalText(s.lastX) +
        ":\nthe run gives y = " + toTheError(runY, s.reference, *s.rows[0].errorSingle) +
        ", the reference " + toTheError(s.reference, s.reference, *s.rows[0].errorSingle) + ".\n\n";
    text += "        h   y' kept to 7 digits  y' kept to 16 digits\n";
    text += "            (as the run does)\n";
    for (const StudyRow &row : s.rows) {
        std::string line;
        pad(line, shortest(row.step), 9);
        pad(line, orNone(row.errorSingle, std::chars_format::scientific, 3), 13);
        line += "  ";
        padLeft(line, ratioText(row, row.ratioSingle, row.errorSingle), 8);
        pad(line, orNone(row.errorDouble, std::chars_format::scientific, 3), 11);
        line += "  ";
        line += ratioText(row, row.ratioDouble, row.errorDouble);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + '\n';
    }
    text += '\n' + (width > 0 ? wrapped(s.verdict, width) : s.verdict + '\n');
    return text;
}

} // namespace reference
