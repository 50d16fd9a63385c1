// SPDX-License-Identifier: MIT

#pragma once

// The solver: a classical fixed-step Runge-Kutta run of y'' = g(x, y, y') that reports
// every grid point to a SampleSink.

#include "solver/equation.h"
#include "solver/fault.h"

#include <cstdint>

namespace solver {

// The step, the double nearest to 0.01.
constexpr double h = 0.01;

// The abscissa of grid point i of a run from x0: (h * i) + x0, two rounded double
// operations in this order. It is recomputed from i, never accumulated, so whoever knows
// x0 and i gets the very double the run handed out.
constexpr double gridAbscissa(double x0, std::int64_t i)
{
    return h * static_cast<double>(i) + x0;
}

// The steps of the runs that study the error of the run: h / 2^k for k up to kMaxHalvings.
// Each is exact, as halving a double only lowers its exponent; so is the product of
// stepOf(k) and 2^k * i, which makes grid point 2^k * i of such a run the very double
// gridAbscissa(x0, i).
constexpr int kMaxHalvings = 3;
constexpr double stepOf(int halvings)
{
    return h / static_cast<double>(std::int64_t{1} << halvings);
}

// What a run uses: its equation with the values of that equation's parameters, and the
// start and end of the run. A value that was never captured counts as 0.
struct RunParameters
{
    EquationRef eq{};         // none chosen: y'' = 0
    double x0 = 0.0;          // start abscissa, Enter in Text1
    double y0 = 0.0;          // y(x0), Enter in Text3
    double z0 = 0.0;          // y'(x0), Enter in Text4
    double xf = 0.0;          // final abscissa, Enter in Text2
    ParameterValues values{}; // of eq's parameters, read from their fields at a run's start

    bool operator==(const RunParameters &) const = default;
};

// The receiver of a run's output. Each call says whether the run goes on; a sink that
// ends a run keeps why itself (a mark without a value, a full list, an output that
// failed).
class SampleSink
{
public:
    virtual ~SampleSink() = default;
    // Called once, before the first sample.
    virtual bool start(double x0, double y0) = 0;
    // Called once per grid point, in increasing order of the grid index.
    virtual bool sample(double x, double y) = 0;
};

// A grid point with the whole state of the run there: its index, abscissa, value and the
// slope as it is stored between steps. A run can go on from any of them.
struct GridState
{
    std::int64_t i = 0;
    double x = 0.0;
    double y = 0.0;
    float z = 0.0f;

    bool operator==(const GridState &) const = default;
};

// The receiver of a run that hands out whole states, for those who need y' too. There is
// no start call.
class StateSink
{
public:
    virtual ~StateSink() = default;
    // Called once per grid point, in increasing order of the grid index; false ends the run.
    virtual bool state(const GridState &s) = 0;
    // Called at the Emden stop, after the last state, with the state the stop keeps back:
    // the next grid point, whose y <= 0 is neither drawn nor listed. The first zero of y lies
    // between the two. Nothing by default.
    virtual void keptBack(const GridState &) {}
};

// How a run ended.
struct RunOutcome
{
    std::uint64_t samples = 0; // samples the sink accepted
    Fault fault = Fault::None; // the first operation without a value, if any
    double faultX = 0.0;       // the abscissa at which it arose
    bool emdenStop = false;    // ended because the Emden solution reached y <= 0
    bool sinkStop = false;     // the sink ended it

    bool failed() const { return fault != Fault::None; }
};

// Integrates from x0 to xf with the step h and returns when the run has ended: after the
// last grid point, at the Emden stop, at the first failing operation, or when the sink
// ends it. Nothing computed after a failing operation reaches the sink.
RunOutcome run(const RunParameters &p, SampleSink &sink);

// The same run backward, with the step -h: grid point i lies at backwardAbscissa(x0, i),
// from x0 down to the final abscissa xf, which lies before x0 (after it: no samples). Every
// operation is the forward run's with -h for h, so its faults, the Emden stop and the
// single-precision slope are the same.
RunOutcome runBackward(const RunParameters &p, SampleSink &sink);
RunOutcome runBackward(const RunParameters &p, StateSink &sink);

// (-h * i) + x0, as the backward run computes it: x0 - h * i, bit for bit.
constexpr double backwardAbscissa(double x0, std::int64_t i)
{
    return -h * static_cast<double>(i) + x0;
}

// How the slope is held between steps: the run rounds it to single precision; a study of
// the error also runs with it held in double.
enum class Slope { Single, Double };

// The same run with the step stepOf(halvings) (0 to kMaxHalvings) and the slope held as
// `slope`, every operation otherwise in the same order. Its grid point i lies at
// stepOf(halvings) * i + x0, and the bound is (xf - x0) / stepOf(halvings). Halvings 0
// with Slope::Single is run(p, sink) itself.
RunOutcome run(const RunParameters &p, SampleSink &sink, int halvings, Slope slope);

// The same run, handing out each grid point's state.
RunOutcome run(const RunParameters &p, StateSink &sink);

// The same run again from the state `from` that a run of `p` handed out, to its end: every
// state it hands out is bit for bit the one the whole run hands out at that index.
RunOutcome resume(const RunParameters &p, const GridState &from, StateSink &sink);

// y' = f(x, y, z) = z for every equation; the first evaluation's stored single is widened
// to double.
inline double f(double, double, float z)
{
    return static_cast<double>(z);
}
inline double f(double, double, double z)
{
    return z;
}

// g of the run's equation at a point of the phase space, as the later evaluations of a
// step take it (z a double). Faults are noted in `c`.
double g(const RunParameters &p, double x, double y, double z, Checked &c);

// Curve `curve` of a sample whose value is y: y, or y raised to its exponent. Without
// checks, as a view draws it; a power without a value is not a number.
double curveValue(const Curve &curve, const ParameterValues &values, double y);

} // namespace solver
