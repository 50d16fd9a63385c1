// SPDX-License-Identifier: MIT

#include "explore/referencetrack.h"

#include "reference/evaluator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

ReferenceTrack::ReferenceTrack(const solver::RunParameters &p)
    : m_evaluator(std::make_unique<reference::Evaluator>(p, reference::gridPointCount(p)))
{
}

ReferenceTrack::~ReferenceTrack() = default;
ReferenceTrack::ReferenceTrack(ReferenceTrack &&) noexcept = default;
ReferenceTrack &ReferenceTrack::operator=(ReferenceTrack &&) noexcept = default;

std::size_t ReferenceTrack::extend(const SampleStore::Snapshot &samples, std::size_t firstRow,
                                   std::size_t rows, std::size_t budget, std::mutex *lock)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const std::size_t before = m_error.size();
    std::array<double, 4096> chunk;
    while (m_error.size() < rows && m_error.size() - before < budget) {
        const std::size_t want =
            std::min({chunk.size(), rows - m_error.size(), budget - (m_error.size() - before)});
        std::size_t got = 0;
        reference::Evaluator::Status status = reference::Evaluator::Status::Complete;
        if (m_evaluator) {
            // Only this thread uses the evaluator: it works without the lock.
            got = m_evaluator->next(std::span(chunk).first(want)).count;
            status = m_evaluator->status();
        }
        std::unique_lock<std::mutex> held;
        if (lock)
            held = std::unique_lock<std::mutex>(*lock);
        if (m_evaluator) {
            if (status == reference::Evaluator::Status::Ended) {
                m_endIndex = m_evaluator->endIndex();
                m_endReason = m_evaluator->endReason();
                m_evaluator.reset();
            } else if (status == reference::Evaluator::Status::Complete) {
                m_evaluator.reset();
            }
        }
        // Past the reference's end, or past the count it was made for: no value.
        std::fill(chunk.begin() + static_cast<std::ptrdiff_t>(got),
                  chunk.begin() + static_cast<std::ptrdiff_t>(want), kNaN);
        for (std::size_t k = 0; k < want; ++k) {
            const double y = samples.y(firstRow + m_error.size());
            const double error = y - chunk[k];
            m_error.push_back(static_cast<float>(error));
            m_reference.add(chunk[k]);
            const double size = std::fabs(error);
            m_absError.add(static_cast<float>(size));
            if (size == 0)
                m_zero = true;
            else if (std::isfinite(size))
                m_smallest = m_smallest == 0 ? size : std::min(m_smallest, size),
                m_largest = std::max(m_largest, size);
        }
    }
    return m_error.size() - before;
}

void ReferenceTrack::shrink()
{
    m_error.shrink_to_fit();
    m_reference.shrink();
    m_absError.shrink();
}

std::size_t ReferenceTrack::memoryBytes() const
{
    return m_error.capacity() * sizeof(float) + m_reference.memoryBytes() +
           m_absError.memoryBytes();
}
