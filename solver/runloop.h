// SPDX-License-Identifier: MIT

#pragma once

// The run's loop: solver.cpp compiles the run itself from it, studyruns.cpp the runs with
// other steps and a double slope, and the window's run session the run with its own sink
// (runDirect). Each keeps its own internal copy, so the run's code does not depend on what
// else is instantiated.

#include "solver/builtins.h"
#include "solver/solver.h"

#include <bit>
#include <limits>
#include <type_traits>
#include <utility>

namespace solver {

namespace {

RunOutcome failure(RunOutcome out, Fault fault, double x)
{
    out.fault = fault;
    out.faultX = x;
    return out;
}

RunOutcome stopped(RunOutcome out)
{
    out.sinkStop = true;
    return out;
}

// Stores the slope between steps. The run holds it in single precision, so every store
// rounds to single; a study of the error holds it in double as well.
template<typename Z> Z hold(double v, Checked &c)
{
    if constexpr (std::is_same_v<Z, float>)
        return c.single(v);
    else
        return (void)c, v;
}

// One run for one row of the equations' table, one kind of sink, one step and one
// precision of the held slope, so that all of them are settled at compile time: the row's
// g is inlined into the loop. Row kBuiltinCount stands for any other equation, whose g is
// called through its description. The run itself is the instantiation with the step h and
// a single slope; the others exist for studying its error and share every operation and
// its order. A run from the start has no `from`.
// Whether two slopes as the run stores them are the same bits.
inline bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}
inline bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

template<std::size_t Row, typename Sink, int Halvings = 0, typename Z = float,
         bool Backward = false>
RunOutcome runEquation(const RunParameters &p, const GridState *from, Sink &sink)
{
    constexpr bool kStates = std::is_same_v<Sink, StateSink>;
    static_assert(!kStates || std::is_same_v<Z, float>, "a grid state holds a single slope");
    constexpr bool kCompiled = Row < kBuiltinCount;
    // With no halving this is h itself; a backward run steps by -h, every operation
    // otherwise the same.
    constexpr double step = Backward ? -stepOf(Halvings) : stepOf(Halvings);
    constexpr double halfStep = step / 2.0;
    RunOutcome out;
    Checked c;

    const Equation &eq = kCompiled ? kBuiltins[kCompiled ? Row : 0] : *p.eq;
    // Kept on the stack, where the loop reads them without going through p.
    const ParameterValues values = p.values;
    const auto at = [&eq](double x) -> Abscissa {
        if constexpr (kCompiled) {
            // A constant the compiler folds (not `if constexpr`: under the sanitizers a
            // function's address is no constant expression).
            constexpr auto term = kBuiltins[kCompiled ? Row : 0].term;
            return {x, term != nullptr ? term(x) : 0.0};
        } else {
            return {x, eq.term ? eq.term(x) : 0.0};
        }
    };
    const auto gOf = [&](const Abscissa &a, double y, auto z) -> double {
        if constexpr (kCompiled) {
            constexpr const Equation &row = kBuiltins[kCompiled ? Row : 0];
            if constexpr (std::is_same_v<decltype(z), float>)
                return row.gFirst(row, values.data(), a, y, z, c);
            else
                return row.g(row, values.data(), a, y, z, c);
        } else {
            if constexpr (std::is_same_v<decltype(z), float>)
                return eq.gFirst(eq, values.data(), a, y, z, c);
            else
                return eq.g(eq, values.data(), a, y, z, c);
        }
    };
    const bool stopsAtZero = eq.stopsAtZero;
    const bool dependsOnX = eq.dependsOnX;

    double y = p.y0;
    Z z = 0;
    std::int64_t first = 0;
    if (from) {
        y = from->y, z = from->z, first = from->i;
    } else {
        z = hold<Z>(p.z0, c);
        if (!c.ok())
            return failure(out, c.fault(), p.x0);
    }

    if constexpr (!kStates) {
        if (!sink.start(p.x0, p.y0))
            return stopped(out);
    }

    // The bound stays a double, neither rounded nor truncated: with xf = 0.29 it is just
    // below 29, so the last grid point is 0.28.
    const double nsteps = c.div(c.sub(p.xf, p.x0), step);
    if (!c.ok())
        return failure(out, c.fault(), p.x0);

    // Grid point i at x, with the state as it is now, to the sink; whether the run goes on.
    const auto handOut = [&](std::int64_t i, double x) {
        bool on = false;
        if constexpr (kStates)
            on = sink.state(GridState{i, x, y, z});
        else
            on = sink.sample(x, y);
        out.samples += on ? 1 : 0;
        return on;
    };

    // The end abscissa of the last step, x + h, is usually the very double h * (i + 1) + x0
    // of the next grid point; then what g takes from it is taken over, not computed again.
    Abscissa last{std::numeric_limits<double>::quiet_NaN(), 0.0};

    // i is exact up to 2^53 both as an integer and as a double.
    for (std::int64_t i = first; static_cast<double>(i) <= nsteps; ++i) {
        // The abscissa is recomputed from i, never accumulated.
        const double x = c.add(c.mul(step, static_cast<double>(i)), p.x0);

        const double k1 = f(x, y, z);
        // Compared bit for bit, so that -0 and +0 keep sines of their own sign.
        const Abscissa xs =
            std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(last.x) ? last : at(x);
        const double l1 = gOf(xs, y, z);
        if (!c.ok())
            return failure(out, c.fault(), x);

        // The sample leaves before the step away from it.
        if (!handOut(i, x))
            return stopped(out);

        const double zs = static_cast<double>(z);
        const Abscissa xm = at(c.add(x, halfStep));

        const double y2 = c.add(y, c.mul(halfStep, k1));
        const double z2 = c.add(zs, c.mul(halfStep, l1));
        const double k2 = f(xm.x, y2, z2);
        const double l2 = gOf(xm, y2, z2);

        const double y3 = c.add(y, c.mul(halfStep, k2));
        const double z3 = c.add(zs, c.mul(halfStep, l2));
        const double k3 = f(xm.x, y3, z3);
        const double l3 = gOf(xm, y3, z3);

        const Abscissa xe = at(c.add(x, step));
        const double yBefore = y;
        const Z zBefore = z;
        const double y4 = c.add(y, c.mul(step, k3));
        const double z4 = c.add(zs, c.mul(step, l3));
        const double k4 = f(xe.x, y4, z4);
        const double l4 = gOf(xe, y4, z4);
        last = xe;

        y = c.add(y, c.div(c.mul(step, c.add(c.add(k1, k4), c.mul(2.0, c.add(k2, k3)))), 6.0));
        // The increment is summed in double from the widened z; only the result is
        // rounded to single.
        z = hold<Z>(
            c.add(zs, c.div(c.mul(step, c.add(c.add(l1, l4), c.mul(2.0, c.add(l2, l3)))), 6.0)), c);
        if (!c.ok())
            return failure(out, c.fault(), x);

        // The new y is neither drawn nor listed; a state sink is told it, for the zero
        // between it and the last state. Its abscissa is the one the next pass would compute.
        if (stopsAtZero && y <= 0.0) {
            out.emdenStop = true;
            if constexpr (kStates)
                sink.keptBack(GridState{i + 1, step * static_cast<double>(i + 1) + p.x0, y, z});
            return out;
        }

        // A step that left y and the stored slope bit for bit as they were, of an equation
        // that takes nothing from x: every later step would too, with the same operations
        // on the same values and no fault. The rest of the run hands out this state without
        // stepping, which on a processor slow at subnormal numbers (a damped solution that
        // has decayed below the normal range) saves nearly all its time.
        if (!dependsOnX &&
            std::bit_cast<std::uint64_t>(y) == std::bit_cast<std::uint64_t>(yBefore) &&
            sameBits(z, zBefore)) [[unlikely]] {
            for (++i; static_cast<double>(i) <= nsteps; ++i) {
                const double xi = c.add(c.mul(step, static_cast<double>(i)), p.x0);
                if (!c.ok())
                    return failure(out, c.fault(), xi);
                if (!handOut(i, xi))
                    return stopped(out);
            }
            return out;
        }
    }
    return out;
}

// Calls f.template operator()<Row>() with the table's row of `eq`, or kBuiltinCount for an
// equation that is not in the table.
template<typename F, std::size_t... Rows>
decltype(auto) withRow(const Equation *eq, F &&f, std::index_sequence<Rows...>)
{
    using Result = decltype(f.template operator()<0>());
    Result result{};
    const bool found =
        ((eq == &kBuiltins[Rows] ? (result = f.template operator()<Rows>(), true) : false) || ...);
    if (!found)
        result = f.template operator()<kBuiltinCount>();
    return result;
}

template<int Halvings = 0, typename Z = float, typename Sink, bool Backward = false>
RunOutcome runAny(const RunParameters &p, const GridState *from, Sink &sink)
{
    return withRow(
        p.eq.get(),
        [&]<std::size_t Row>() {
            return runEquation<Row, Sink, Halvings, Z, Backward>(p, from, sink);
        },
        std::make_index_sequence<kBuiltinCount>());
}

// run(p, sink) for a sink whose type is known here, so that its start and sample are
// direct calls the compiler may inline into the loop: a receiver that does little per
// sample (the window's) saves the call and keeps the loop's values in registers. The
// same loop, so the same operations in the same order; like every source of the project,
// whoever includes this is compiled without contraction.
template<typename Sink> RunOutcome runDirect(const RunParameters &p, Sink &sink)
{
    static_assert(!std::is_base_of_v<StateSink, Sink>, "a state sink has run(p, sink)");
    return runAny(p, nullptr, sink);
}

} // namespace

} // namespace solver
