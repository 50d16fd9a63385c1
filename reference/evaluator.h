// SPDX-License-Identifier: MIT

#pragma once

// The reference solution of a run: y at the run's grid points, computed in double
// precision and independently of the run's own stepping, to show how far the run is off.
//
// An equation whose description has a closed form evaluates it through the run's start
// (x0, y0, y'(x0) = z0, the captured double, not the single-rounded slope the run holds).
// Any other is integrated by an error-controlled Dormand-Prince 5(4) scheme at tolerances
// of 1e-14, whose dense output gives the values at the grid points.
//
// An Evaluator is made per run and hands out the values in order of the grid index,
// i = 0, 1, ..., sampleCount() - 1, at x_i = solver::gridAbscissa(x0, i), in chunks of
// any size. It keeps a constant amount of state, whatever the count. A table streams it;
// a worker thread asks for a chunk, checks whether to go on, reports position() /
// sampleCount() as its progress, and so on:
//
//     reference::Evaluator ev(params, samples);
//     std::array<double, 4096> chunk;
//     for (;;) {
//         const auto got = ev.next(chunk);            // got.count values at the front
//         use(ev.position() - got.count, std::span(chunk).first(got.count));
//         if (got.status != reference::Evaluator::Status::Going || abandoned())
//             break;
//     }
//     if (ev.status() == reference::Evaluator::Status::Ended)
//         tell(ev.endIndex(), ev.endReason());       // no value from endIndex() on
//
// The values depend only on the run's parameters and the index, never on how the
// requests are cut into chunks, and are the same on every run of the program. Where
// the reference itself has no value (Emden at x = 0, a pole or blow-up, a power of a
// negative number with a fractional exponent, a value beyond the double range, a step
// size that collapses) it ends there and says why. Its work is bounded, so it never
// hangs: where a solution would take the integration more than about a thousand
// evaluations of g per sample (a stiff one, such as van der Pol far from its cycle) the
// reference ends with "too many steps". next() never throws.
//
// An evaluator may be made on one thread and used on another, one thread at a time;
// evaluators share nothing.

#include "solver/solver.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace reference {

class Engine;

class Evaluator
{
public:
    // Best: the closed form where there is one, else the integration. Integrated: the
    // integration for every equation (to check one against the other).
    enum class Method { Best, Integrated };

    // Going: more values to come. Complete: all sampleCount() values were handed out.
    // Ended: the reference has no value from endIndex() on; endReason() says why.
    enum class Status { Going, Complete, Ended };

    struct Chunk
    {
        std::size_t count = 0; // values written to the front of the span
        Status status = Status::Going;
    };

    // The reference for grid points 0 to samples - 1 of the run `p`. Allocates a few
    // hundred bytes; std::bad_alloc is the only exception it can throw.
    Evaluator(const solver::RunParameters &p, std::uint64_t samples, Method method = Method::Best);
    ~Evaluator();
    Evaluator(Evaluator &&) noexcept;
    Evaluator &operator=(Evaluator &&) noexcept;

    // Writes the values of the next grid points to `out`, as many as fit and remain.
    // Fewer than out.size() only when the status is no longer Going.
    Chunk next(std::span<double> out) noexcept;

    std::uint64_t sampleCount() const { return m_samples; }
    // The grid index of the next value.
    std::uint64_t position() const { return m_position; }
    Status status() const { return m_status; }
    // Whether the values come from a closed form rather than the integration.
    bool closedForm() const { return m_closedForm; }

    // Once Ended: the first grid index without a value, and why, e.g. "the reference
    // has no value at x = 0".
    std::uint64_t endIndex() const { return m_position; }
    std::string_view endReason() const { return {m_reason, m_reasonLength}; }

private:
    std::unique_ptr<Engine> m_engine;
    std::uint64_t m_samples = 0;
    std::uint64_t m_position = 0;
    Status m_status = Status::Going;
    bool m_closedForm = false;
    // Kept without allocating, so that next() cannot fail to say why it ended.
    char m_reason[160] = {};
    std::size_t m_reasonLength = 0;
};

// The number of grid points of a run of `p` from x0 to xf: floor((xf - x0) / h) + 1, with
// the bound computed as the run computes it; 0 when it is below 0 or has no value. The
// run itself may end earlier (a fault, the Emden stop).
std::uint64_t gridPointCount(const solver::RunParameters &p);

} // namespace reference
