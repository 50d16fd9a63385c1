// SPDX-License-Identifier: MIT

#include "window/readoutworker.h"

#include <QMetaObject>

ReadoutWorker::ReadoutWorker(QObject *parent) : QObject(parent) {}

ReadoutWorker::~ReadoutWorker()
{
    stop();
}

void ReadoutWorker::stop()
{
    // The run looks at the flag every 65536 samples: a few milliseconds at most.
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
    m_cancel = false;
}

void ReadoutWorker::drop()
{
    stop();
    m_asked.reset();
    const std::lock_guard<std::mutex> locked(m_lock);
    m_result.reset();
}

void ReadoutWorker::read(const solver::RunParameters &p, std::uint64_t samples)
{
    const Asked asked{p, samples};
    if (m_asked == asked)
        return;
    drop();
    m_asked = asked;
    m_progress = 0.0;
    m_thread = std::thread([this, asked] {
        analysis::Readout r = analysis::readRun(asked.p, asked.samples, [this](double fraction) {
            m_progress = fraction;
            return !m_cancel.load();
        });
        // Dropped: a newer run or mark has made it stale.
        if (m_cancel)
            return;
        {
            const std::lock_guard<std::mutex> locked(m_lock);
            m_result = std::move(r);
        }
        m_progress = 1.0;
        QMetaObject::invokeMethod(this, &ReadoutWorker::done, Qt::QueuedConnection);
    });
}

std::optional<analysis::Readout> ReadoutWorker::result() const
{
    const std::lock_guard<std::mutex> locked(m_lock);
    return m_result;
}
