#pragma once

// The solver: a classical fixed-step Runge-Kutta run of y'' = g(x, y, y') that reports
// every grid point to a SampleSink.

#include "solver/fault.h"

#include <cstdint>

// The equation numbers of the option buttons. 0 means no option has been chosen yet;
// it selects no equation, so g is 0 everywhere.
constexpr int kEquationUnset = 0;
constexpr int kEquationEmden = 5;
constexpr int kEquationCosmos = 6;

// The step, the double nearest to 0.01.
constexpr double h = 0.01;

// The abscissa of grid point i of a run from x0: (h * i) + x0, two rounded double
// operations in this order. It is recomputed from i, never accumulated, so whoever knows
// x0 and i gets the very double the run handed out.
constexpr double gridAbscissa(double x0, std::int64_t i)
{
    return h * static_cast<double>(i) + x0;
}

// What a run uses. A value that was never captured counts as 0.
struct RunParameters
{
    int eq = kEquationUnset;
    double x0 = 0.0;  // start abscissa
    double y0 = 0.0;  // y(x0)
    double z0 = 0.0;  // y'(x0)
    double xf = 0.0;  // final abscissa
    double n = 0.0;   // index of the Emden equation
    double lam = 0.0; // coefficient of the Cosmos equation
};

// The receiver of a run's output. A returned fault other than Fault::None ends the run
// at once; the run reports it at the abscissa of the call.
class SampleSink
{
public:
    virtual ~SampleSink() = default;
    // Called once, before the first sample.
    virtual Fault start(double x0, double y0) = 0;
    // Called once per grid point, in increasing order of the grid index.
    virtual Fault sample(double x, double y) = 0;
};

// How a run ended.
struct RunOutcome
{
    std::uint64_t samples = 0; // samples the sink accepted
    Fault fault = Fault::None; // the first operation without a value, if any
    double faultX = 0.0;       // the abscissa at which it arose
    bool emdenStop = false;    // ended because the Emden solution reached y <= 0

    bool failed() const { return fault != Fault::None; }
};

// Integrates from x0 to xf with the step h and returns when the run has ended: after the
// last grid point, at the Emden stop, or at the first failing operation. Nothing computed
// after a failing operation reaches the sink.
RunOutcome run(const RunParameters &p, SampleSink &sink);
