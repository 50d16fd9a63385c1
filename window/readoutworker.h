// SPDX-License-Identifier: MIT

#pragma once

// The read-out of a run for the Explore window's Read-out panel, on a thread of its own: it
// runs the run again from its parameters through the read-out (the views keep only
// quantised slopes), which takes some tens of milliseconds for a million samples.

#include "analysis/readout.h"
#include "solver/solver.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

class ReadoutWorker : public QObject
{
    Q_OBJECT

public:
    explicit ReadoutWorker(QObject *parent = nullptr);
    // Drops the read-out under way and waits for its thread.
    ~ReadoutWorker() override;

    // Reads out the first `samples` grid points of the run `p`, dropping a read-out of
    // another run under way; the same again is not read out twice.
    void read(const solver::RunParameters &p, std::uint64_t samples);
    // Drops the read-out under way or done: there is nothing to read out.
    void drop();
    // The read-out of the run asked for last, once it is done.
    std::optional<analysis::Readout> result() const;
    // How far the read-out under way has come, 0 to 1.
    double progress() const { return m_progress.load(); }

signals:
    // A read-out was done; delivered on the window's thread.
    void done();

private:
    struct Asked
    {
        solver::RunParameters p;
        std::uint64_t samples = 0;
        bool operator==(const Asked &) const = default;
    };

    void stop();

    std::optional<Asked> m_asked;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<double> m_progress{0.0};
    mutable std::mutex m_lock;
    std::optional<analysis::Readout> m_result;
};
