// SPDX-License-Identifier: MIT

#pragma once

// The reference solution beside a run's samples, and the run's error against it, found on
// the views' worker in order of the grid, with levels of detail of its own: the reference
// for the solution view's dashed curve, |error| for the error view's log scale. The error
// is kept in single precision, 4 bytes a sample: a view and a tag need no more digits.
// Plain C++.

#include "explore/pyramid.h"
#include "model/samplestore.h"
#include "solver/solver.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace reference {
class Evaluator;
}

class ReferenceTrack
{
public:
    explicit ReferenceTrack(const solver::RunParameters &p);
    ~ReferenceTrack();
    ReferenceTrack(ReferenceTrack &&) noexcept;
    ReferenceTrack &operator=(ReferenceTrack &&) noexcept;

    // The reference of at most `budget` more of the first `rows` samples of the run that
    // starts at `firstRow`; returns how many it handled. With `lock`, the track changes only
    // while it is held: the reference is found without it, a few thousand samples at a time,
    // so that whoever reads the track waits no longer than their taking in.
    std::size_t extend(const SampleStore::Snapshot &samples, std::size_t firstRow, std::size_t rows,
                       std::size_t budget, std::mutex *lock = nullptr);
    // Samples handled: with a reference, or past where it ended.
    std::size_t rows() const { return m_error.size(); }

    // y - reference of sample i < rows(), rounded to single; not a number past where the
    // reference ended.
    float error(std::size_t i) const { return m_error[i]; }
    const Pyramid<double> &referenceDetail() const { return m_reference; }
    const Pyramid<float> &errorDetail() const { return m_absError; } // of |error|

    // Whether the reference ended before the run did, at which sample, and why.
    bool ended() const { return !m_endReason.empty(); }
    std::size_t endIndex() const { return m_endIndex; }
    const std::string &endReason() const { return m_endReason; }

    // The least and greatest |error| other than 0, and whether some error is 0.
    double smallestError() const { return m_smallest; }
    double largestError() const { return m_largest; }
    bool someZero() const { return m_zero; }

    // Room for `rows` samples in all, once the run has ended.
    void reserve(std::size_t rows) { m_error.reserve(rows); }
    void shrink();
    std::size_t memoryBytes() const;

private:
    std::unique_ptr<reference::Evaluator> m_evaluator;
    std::vector<float> m_error;
    Pyramid<double> m_reference;
    Pyramid<float> m_absError;
    std::size_t m_endIndex = 0;
    std::string m_endReason;
    double m_smallest = 0.0, m_largest = 0.0;
    bool m_zero = false;
};
