// SPDX-License-Identifier: MIT

#include "analysis/readout.h"

#include "listing/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace analysis {

namespace {

using solver::GridState;

// y between two grid states a and b: the cubic in t = (x - a.x) / (b.x - a.x) with the
// values and the slopes of both, c0 + c1 t + c2 t^2 + c3 t^3 in Horner's order.
class Hermite
{
public:
    Hermite(const GridState &a, const GridState &b) : m_x0(a.x), m_width(b.x - a.x)
    {
        // The slopes scaled to the interval, dy/dt.
        const double ma = m_width * static_cast<double>(a.z);
        const double mb = m_width * static_cast<double>(b.z);
        const double rise = b.y - a.y;
        m_c0 = a.y;
        m_c1 = ma;
        m_c2 = 3.0 * rise - (2.0 * ma + mb);
        m_c3 = (ma + mb) - 2.0 * rise;
    }

    double value(double x) const
    {
        const double t = (x - m_x0) / m_width;
        return m_c0 + t * (m_c1 + t * (m_c2 + t * m_c3));
    }
    // dy/dt, which has the sign of dy/dx in a run of increasing x.
    double slope(double x) const
    {
        const double t = (x - m_x0) / m_width;
        return m_c1 + t * (2.0 * m_c2 + t * (3.0 * m_c3));
    }

private:
    double m_x0, m_width;
    double m_c0, m_c1, m_c2, m_c3;
};

// The root of f in [lo, hi], where f is fLo at lo and fHi at hi, of opposite signs and
// neither 0, to adjacent doubles: of the two, the one where |f| is smaller. The ends'
// values are the grid's own, not the cubic's at them, which may round to the other sign.
template<typename F> double bisect(double lo, double hi, double fLo, double fHi, const F &f)
{
    const bool loNegative = fLo < 0.0;
    // Each halving at least halves the width in doubles: about 2100 at most even from
    // the widest interval down to adjacent subnormals.
    for (int k = 0; k < 2200; ++k) {
        const double mid = lo / 2.0 + hi / 2.0;
        if (!(mid > lo && mid < hi))
            break;
        const double fm = f(mid);
        if (fm == 0.0)
            return mid;
        if ((fm < 0.0) == loNegative)
            lo = mid, fLo = fm;
        else
            hi = mid, fHi = fm;
    }
    return std::fabs(fLo) <= std::fabs(fHi) ? lo : hi;
}

double zeroBetween(const GridState &a, const GridState &b)
{
    const Hermite cubic(a, b);
    return bisect(a.x, b.x, a.y, b.y, [&](double x) { return cubic.value(x); });
}

Extremum extremumBetween(const GridState &a, const GridState &b, bool maximum)
{
    const Hermite cubic(a, b);
    const double x = bisect(a.x, b.x, static_cast<double>(a.z), static_cast<double>(b.z),
                            [&](double v) { return cubic.slope(v); });
    return {x, cubic.value(x), maximum};
}

// 10^-d for d = 0 to 15, each the double nearest.
constexpr double kTenths[] = {1,    1e-1, 1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                              1e-8, 1e-9, 1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15};
constexpr int kMostDigits = 15;

// A run at rest within this much of an equilibrium, relative to max(1, |y|), is there.
constexpr double kSettled = 1e-6;

std::string digitsText(double v, int digits)
{
    char buffer[40];
    v += 0.0; // no "-0"
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, digits);
    return std::string(buffer, r.ptr);
}

std::string counted(std::uint64_t n, const char *one, const char *many)
{
    return n == 0 ? std::string("no ") + one : std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

bool ReadoutBuilder::state(const GridState &s)
{
    if (m_r.samples == 0)
        m_r.firstX = s.x;
    ++m_r.samples;
    m_r.lastX = s.x;

    // A zero at the grid point itself, or one between it and the last where the sign
    // changes; a y of exactly 0 is counted at its grid point alone.
    if (s.y == 0.0)
        m_r.zeros.add(s.x);
    else if (m_last && m_last->y != 0.0 && (m_last->y < 0.0) != (s.y < 0.0))
        m_r.zeros.add(zeroBetween(*m_last, s));

    // An extremum where the slope changes sign. A stretch of slopes exactly 0 between the
    // two signs (a slope stored as 0) holds it at its first state; one between slopes of
    // the same sign, or before any nonzero slope (a start at rest), holds none.
    if (s.z == 0.0f) {
        if (!m_flat && m_slopeSign != 0)
            m_flat = s;
    } else {
        const int sign = s.z < 0.0f ? -1 : 1;
        if (m_slopeSign != 0 && sign != m_slopeSign)
            extremum(m_flat ? Extremum{m_flat->x, m_flat->y, m_slopeSign > 0}
                            : extremumBetween(*m_last, s, m_slopeSign > 0));
        m_slopeSign = sign;
        m_flat.reset();
    }
    m_beforeLast = m_last;
    m_last = s;
    return true;
}

void ReadoutBuilder::zeroAfter(double x, Readout::After how)
{
    // Within the run, up to its final abscissa.
    if (x <= m_p.xf) {
        m_r.zeros.add(x);
        m_r.zeroAfterLast = how;
    }
}

void ReadoutBuilder::keptBack(const GridState &s)
{
    // The Emden stop: y > 0 at the last state, y <= 0 at this one.
    if (m_last && m_last->y > 0.0)
        zeroAfter(s.y == 0.0 ? s.x : zeroBetween(*m_last, s), Readout::After::KeptBack);
}

void ReadoutBuilder::stepFailed(double x)
{
    if (!m_beforeLast || !m_last || m_last->x != x || m_last->y == 0.0)
        return;
    // The cubic of the last interval, one interval further on. Its error there is of the
    // same fourth order in the step as within the interval.
    const Hermite cubic(*m_beforeLast, *m_last);
    const double end = m_last->x + (m_last->x - m_beforeLast->x);
    const double atEnd = cubic.value(end);
    if (atEnd == 0.0)
        zeroAfter(end, Readout::After::Continued);
    else if ((atEnd < 0.0) != (m_last->y < 0.0))
        zeroAfter(
            bisect(m_last->x, end, m_last->y, atEnd, [&](double v) { return cubic.value(v); }),
            Readout::After::Continued);
}

void ReadoutBuilder::extremum(const Extremum &e)
{
    m_r.extrema.add(e);
    if (!e.maximum) {
        ++m_r.minima;
        m_bottom = m_bottom ? std::min(*m_bottom, e.y) : e.y;
        return;
    }
    ++m_r.maxima;
    // Maxima and minima alternate: a cycle from each maximum to the next has one minimum.
    if (m_lastMaximum && m_bottom) {
        ++m_cycleCount;
        m_cycles.push_back({e.x - m_lastMaximum->x, e.y, *m_bottom});
        if (m_cycles.size() > kComparedCycles)
            m_cycles.pop_front();
    }
    m_lastMaximum = e;
    m_bottom.reset();
}

// A run ends on a periodic orbit when its last kOrbitCycles complete cycles, maximum to
// maximum, agree to kOrbitDigits significant digits: their periods relative to the last
// one, and their maxima and their minima relative to the last cycle's height. All three:
// a spiral keeps its period (a linear damped oscillator) while its amplitude falls, by more
// than those digits over three cycles unless it is all but periodic; a quasi-periodic run's
// cycles differ in both. The agreeing cycles go back as far as they stay within those
// digits, and the digits told are those to which all of them agree.
std::optional<PeriodicOrbit> ReadoutBuilder::orbit() const
{
    if (m_cycles.size() < kOrbitCycles)
        return std::nullopt;
    const Cycle &last = m_cycles.back();
    const double height = last.top - last.bottom;
    if (!(height > 0.0) || !(last.period > 0.0))
        return std::nullopt;
    double periodLo = last.period, periodHi = last.period;
    double topLo = last.top, topHi = last.top, bottomLo = last.bottom, bottomHi = last.bottom;
    double spread = 0.0;
    std::uint64_t agreeing = 0;
    for (auto c = m_cycles.rbegin(); c != m_cycles.rend(); ++c) {
        periodLo = std::min(periodLo, c->period), periodHi = std::max(periodHi, c->period);
        topLo = std::min(topLo, c->top), topHi = std::max(topHi, c->top);
        bottomLo = std::min(bottomLo, c->bottom), bottomHi = std::max(bottomHi, c->bottom);
        const double s = std::max({(periodHi - periodLo) / last.period, (topHi - topLo) / height,
                                   (bottomHi - bottomLo) / height});
        if (!(s <= kTenths[kOrbitDigits]))
            break;
        spread = s;
        ++agreeing;
    }
    if (agreeing < kOrbitCycles)
        return std::nullopt;
    PeriodicOrbit o;
    o.period = last.period;
    o.amplitude = height / 2.0;
    o.middle = last.top / 2.0 + last.bottom / 2.0;
    o.agreeing = agreeing;
    o.cycles = m_cycleCount;
    o.allCompared = agreeing == m_cycles.size() && m_cycleCount > m_cycles.size();
    o.digits = kOrbitDigits;
    while (o.digits < kMostDigits && spread <= kTenths[o.digits + 1])
        ++o.digits;
    return o;
}

// A run settles on an equilibrium when its last state lies within kSettled of one, in y and
// in y', relative to max(1, |y|): at rest there to that precision. Only an equation that
// takes nothing from x has equilibria.
std::optional<Settling> ReadoutBuilder::settling() const
{
    if (!m_last || m_p.eq->dependsOnX)
        return std::nullopt;
    const GridState &f = *m_last;
    const double near = kSettled * std::max(1.0, std::fabs(f.y));
    const double slope = std::fabs(static_cast<double>(f.z));
    if (!(slope <= near))
        return std::nullopt;
    const EquilibriumSearch search = findEquilibria(m_p, f.y - 2.0 * near, f.y + 2.0 * near);
    std::optional<Equilibrium> at;
    if (search.answer == EquilibriumSearch::Answer::Everywhere) {
        at = equilibriumAt(m_p, f.y);
    } else {
        for (const Equilibrium &e : search.found)
            if (!at || std::fabs(e.y - f.y) < std::fabs(at->y - f.y))
                at = e;
    }
    if (!at || !(std::fabs(at->y - f.y) <= near))
        return std::nullopt;
    return Settling{*at, f.x, std::max(std::fabs(at->y - f.y), slope)};
}

Readout ReadoutBuilder::readout() const
{
    Readout r = m_r;
    r.orbit = orbit();
    if (!r.orbit)
        r.settles = settling();
    return r;
}

Readout readRun(const solver::RunParameters &p, std::uint64_t samples,
                const std::function<bool(double)> &progress)
{
    // The states of the run up to the limit, and the one the Emden stop keeps back.
    struct Feed : solver::StateSink
    {
        Feed(const solver::RunParameters &p, std::uint64_t left,
             const std::function<bool(double)> &progress)
            : builder(p), left(left), progress(progress)
        {
            const double steps = (p.xf - p.x0) / solver::h;
            total =
                steps >= 0.0 ? std::min(std::floor(steps) + 1.0, static_cast<double>(left)) : 0.0;
        }
        bool state(const GridState &s) override
        {
            if (left == 0)
                return false;
            --left;
            if (progress && (++done & 0xFFFF) == 0 && !progress(static_cast<double>(done) / total))
                return false;
            return builder.state(s);
        }
        void keptBack(const GridState &s) override { builder.keptBack(s); }

        ReadoutBuilder builder;
        std::uint64_t left;
        const std::function<bool(double)> &progress;
        double total = 0.0;
        std::uint64_t done = 0;
    } feed(p, samples, progress);
    const solver::RunOutcome out = solver::run(p, feed);
    if (out.failed())
        feed.builder.stepFailed(out.faultX);
    return feed.builder.readout();
}

std::vector<std::string> readoutLines(const Readout &r)
{
    std::vector<std::string> lines;
    if (r.samples == 0)
        return {"The run has no samples."};
    lines.push_back(counted(r.samples, "sample", "samples") + ", x from " + generalText(r.firstX) +
                    " to " + generalText(r.lastX) + ".");
    // What the run ends on first, then the zeros and the extrema it passes.
    if (const auto &o = r.orbit) {
        const std::string cycles = o->agreeing == o->cycles
                                       ? "all " + std::to_string(o->cycles) + " cycles"
                                       : "the last " + std::to_string(o->agreeing) + " of its " +
                                             std::to_string(o->cycles) + " cycles";
        std::string line = "Ends on a periodic orbit: period " + digitsText(o->period, o->digits) +
                           " (" + cycles + " agree to " + std::to_string(o->digits) + " digits" +
                           (o->allCompared ? "; no more are compared" : "") + "), amplitude " +
                           digitsText(o->amplitude, o->digits);
        // About a middle of its own only where the digits tell it from 0.
        if (std::fabs(o->middle) > o->amplitude * kTenths[o->digits])
            line += " about y = " + digitsText(o->middle, o->digits);
        lines.push_back(line + ".");
    } else if (const auto &s = r.settles) {
        lines.push_back("Settles on the equilibrium " + equilibriumLine(s->at) + " (at x = " +
                        generalText(s->x) + " it is " + digitsText(s->distance, 3) + " from it).");
    } else {
        lines.push_back("No periodic orbit found.");
    }

    // The first and the last of a long list, with how many lie between.
    const auto heading = [](std::string what, const auto &kept) {
        if (kept.count == 0)
            return what + ".";
        if (kept.skipped() == 0)
            return what + ":";
        return what + ", the first " + std::to_string(kept.first.size()) + " and the last " +
               std::to_string(kept.last.size()) + ":";
    };
    const auto list = [&lines](const auto &kept, const auto &line) {
        for (const auto &v : kept.first)
            lines.push_back("  " + line(v));
        if (kept.skipped() > 0)
            lines.push_back("  (" + std::to_string(kept.skipped()) + " more)");
        for (const auto &v : kept.last)
            lines.push_back("  " + line(v));
    };

    std::string zeros = counted(r.zeros.count, "zero", "zeros") + " of y";
    zeros[0] = zeros[0] == 'n' ? 'N' : zeros[0];
    lines.push_back(heading(zeros, r.zeros));
    list(r.zeros, [](double x) { return "x = " + shortestText(x); });
    if (r.zeroAfterLast == Readout::After::KeptBack)
        lines.back() += " (after the last sample: the run stopped here, at y <= 0)";
    else if (r.zeroAfterLast == Readout::After::Continued)
        lines.back() += " (after the last sample, on its interval's cubic continued: the "
                        "run's next step has no value)";

    std::string extrema = counted(r.maxima, "maximum", "maxima") + " and " +
                          counted(r.minima, "minimum", "minima") + " of y";
    extrema[0] = extrema[0] == 'n' ? 'N' : extrema[0];
    lines.push_back(heading(extrema, r.extrema));
    list(r.extrema, [](const Extremum &e) {
        return std::string(e.maximum ? "maximum" : "minimum") + " at x = " + shortestText(e.x) +
               ", y = " + shortestText(e.y);
    });

    return lines;
}

} // namespace analysis
