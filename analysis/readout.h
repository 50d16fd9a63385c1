// SPDX-License-Identifier: MIT

#pragma once

// The read-out of a run: where y is zero, where it has its maxima and minima, and what the
// run ends on, a periodic orbit, an equilibrium or neither. Fed the run's grid states in
// order as a state sink, it keeps counts, the first and the last few of each kind and the
// last cycles, so a run of any length takes bounded memory.
//
// Between two grid states y is the cubic Hermite interpolant through both values with both
// slopes, the slope as the run stores it (single precision, widened). A zero of y is a
// grid point where y is 0, or the root of that cubic in an interval where y changes sign;
// an extremum is where y' changes sign, at the root of the cubic's derivative, its value
// the cubic's there. Both roots are found by bisection to adjacent doubles.

#include "analysis/equilibria.h"
#include "solver/solver.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace analysis {

struct Extremum
{
    double x = 0.0;
    double y = 0.0;
    bool maximum = false;
    bool operator==(const Extremum &) const = default;
};

// Kept of a long list: how many there are, the first kKept and the last kKept of them.
template<typename T> struct Kept
{
    static constexpr std::size_t kKept = 10;
    std::uint64_t count = 0;
    std::vector<T> first; // at most kKept
    std::deque<T> last;   // at most kKept, after those in `first`

    void add(const T &v)
    {
        ++count;
        if (first.size() < kKept) {
            first.push_back(v);
            return;
        }
        last.push_back(v);
        if (last.size() > kKept)
            last.pop_front();
    }
    // How many lie between `first` and `last`, and so are counted but not kept.
    std::uint64_t skipped() const { return count - first.size() - last.size(); }
};

// One cycle of the orbit: from one maximum of y to the next.
struct Cycle
{
    double period = 0.0; // from the maximum before to this one
    double top = 0.0;    // the maximum that ends it
    double bottom = 0.0; // the minimum between the two
};

// The periodic orbit a run ends on: its last complete cycles agree, in period, in their
// maxima and in their minima, to at least kOrbitDigits significant digits.
struct PeriodicOrbit
{
    double period = 0.0;        // of the last cycle
    double amplitude = 0.0;     // half the last cycle's height, top to bottom
    double middle = 0.0;        // halfway between its top and its bottom
    std::uint64_t agreeing = 0; // how many of the last cycles agree
    std::uint64_t cycles = 0;   // complete cycles in all
    bool allCompared = false;   // `agreeing` is every cycle kept for the comparison
    int digits = 0;             // to how many significant digits they agree
};

// The equilibrium a run settles on, and how near the run's last state is to it.
struct Settling
{
    Equilibrium at;
    double x = 0.0;        // the last state's abscissa
    double distance = 0.0; // max(|y - y*|, |y'|) there
};

struct Readout
{
    std::uint64_t samples = 0;
    double firstX = 0.0, lastX = 0.0;
    Kept<double> zeros;
    // Where the last zero lies after the last sample: before the state the Emden stop kept
    // back, or on the last interval's cubic continued into a step that had no value.
    enum class After : std::uint8_t { None, KeptBack, Continued };
    After zeroAfterLast = After::None;
    std::uint64_t maxima = 0, minima = 0;
    Kept<Extremum> extrema;
    std::optional<PeriodicOrbit> orbit;
    std::optional<Settling> settles; // only where there is no orbit
};

// How many of the last cycles are kept to be compared.
constexpr std::size_t kComparedCycles = 1000;
// An orbit needs this many agreeing complete cycles, to this many digits.
constexpr std::size_t kOrbitCycles = 3;
constexpr int kOrbitDigits = 4;

// The read-out of a run of increasing x, fed its grid states.
class ReadoutBuilder : public solver::StateSink
{
public:
    explicit ReadoutBuilder(const solver::RunParameters &p) : m_p(p) {}

    bool state(const solver::GridState &s) override;
    // The state after the last at the Emden stop: the zero between the two is a zero of y.
    void keptBack(const solver::GridState &s) override;
    // The run's step from the state at x had no value (a fault). Where that state is the
    // last one, y on the last interval's cubic continued for one more step may reach 0: at
    // the zero of an Emden solution of fractional index, whose next stage takes a power of
    // a negative y, that is the zero.
    void stepFailed(double x);

    // What the states so far tell; the orbit and the equilibrium are looked for here.
    Readout readout() const;

private:
    void zeroAfter(double x, Readout::After how);
    void extremum(const Extremum &e);
    std::optional<PeriodicOrbit> orbit() const;
    std::optional<Settling> settling() const;

    solver::RunParameters m_p;
    Readout m_r;
    std::optional<solver::GridState> m_last, m_beforeLast;
    int m_slopeSign = 0; // of the last nonzero slope; 0: none yet
    // The first state of a stretch of slopes exactly 0 after a nonzero one.
    std::optional<solver::GridState> m_flat;
    std::optional<Extremum> m_lastMaximum;
    std::optional<double> m_bottom; // the minimum since the last maximum
    std::uint64_t m_cycleCount = 0;
    std::deque<Cycle> m_cycles; // the last kComparedCycles
};

// Runs the run `p` into a read-out, at most its first `samples` grid points (a caller that
// ends the run earlier than the run itself, where a mark of a sample has no value, say).
// `progress`, where given, is called now and then with the fraction done; false abandons
// the run, and the read-out is of what came before.
Readout readRun(const solver::RunParameters &p,
                std::uint64_t samples = std::numeric_limits<std::uint64_t>::max(),
                const std::function<bool(double)> &progress = {});

// The read-out as the table tool prints it and the Explore panel shows it, a line each.
std::vector<std::string> readoutLines(const Readout &r);

} // namespace analysis
