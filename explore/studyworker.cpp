// SPDX-License-Identifier: MIT

#include "explore/studyworker.h"

#include <QMetaObject>

StudyWorker::StudyWorker(QObject *parent) : QObject(parent) {}

StudyWorker::~StudyWorker()
{
    stop();
}

void StudyWorker::stop()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
    m_cancel = false;
}

void StudyWorker::study(const solver::RunParameters &p)
{
    if (m_asked == p)
        return;
    stop();
    m_asked = p;
    m_progress = 0.0;
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        m_result.reset();
    }
    m_thread = std::thread([this, p] {
        reference::Study s = reference::studyRun(p, [this](double fraction) {
            m_progress = fraction;
            return !m_cancel.load();
        });
        if (m_cancel)
            return;
        {
            const std::lock_guard<std::mutex> locked(m_lock);
            m_result = std::move(s);
        }
        m_progress = 1.0;
        QMetaObject::invokeMethod(this, &StudyWorker::done, Qt::QueuedConnection);
    });
}

std::optional<reference::Study> StudyWorker::result() const
{
    const std::lock_guard<std::mutex> locked(m_lock);
    return m_result;
}
