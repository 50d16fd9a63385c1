// SPDX-License-Identifier: MIT

#pragma once

// The study of where a run's error comes from, for the Explore window's Accuracy panel, on
// a thread of its own: it runs the run again at four steps, with the slope in single and
// in double precision, which takes seconds for a long run.

#include "reference/study.h"
#include "solver/solver.h"

#include <QObject>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

class StudyWorker : public QObject
{
    Q_OBJECT

public:
    explicit StudyWorker(QObject *parent = nullptr);
    // Drops the study under way and waits for its thread.
    ~StudyWorker() override;

    // Studies the run `p`, dropping a study of other parameters under way.
    void study(const solver::RunParameters &p);
    // The study of the parameters asked for last, once it is done.
    std::optional<reference::Study> result() const;
    // How far the study under way has come, 0 to 1.
    double progress() const { return m_progress.load(); }

signals:
    // A study was done; delivered on the window's thread.
    void done();

private:
    void stop();

    std::optional<solver::RunParameters> m_asked; // the same again is not studied twice
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<double> m_progress{0.0};
    mutable std::mutex m_lock;
    std::optional<reference::Study> m_result;
};
