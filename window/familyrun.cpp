// SPDX-License-Identifier: MIT

#include "window/familyrun.h"

#include "listing/numbertext.h"
#include "solver/family.h"

#include <QPointer>
#include <QTimer>

FamilyRun::FamilyRun(const FamilyPlan &plan, std::function<void(const QString &)> runOne,
                     QObject *parent)
    : QObject(parent), m_plan(plan), m_texts(texts(plan)), m_runOne(std::move(runOne))
{
}

QStringList FamilyRun::texts(const FamilyPlan &plan)
{
    QStringList all;
    for (int i = 0; i < plan.runs; ++i)
        all << QString::fromStdString(
            shortestText(solver::familyValue(plan.from, plan.to, i, plan.runs)));
    return all;
}

void FamilyRun::start()
{
    m_running = true;
    m_next = 0;
    QTimer::singleShot(0, this, &FamilyRun::step);
}

void FamilyRun::stop()
{
    if (!m_running)
        return;
    m_running = false;
    emit finished();
}

void FamilyRun::step()
{
    if (!m_running)
        return;
    if (m_next >= m_texts.size()) {
        stop();
        return;
    }
    const QString text = m_texts[m_next++];
    // A run's message is a dialog of its own, whose events may close the window that
    // holds the family meanwhile.
    const QPointer<FamilyRun> self(this);
    m_runOne(text);
    if (!self)
        return;
    emit progressed(m_next, total());
    // The next run after what the user did meanwhile: a Stop, a Ready, a closed window.
    if (m_running)
        QTimer::singleShot(0, this, &FamilyRun::step);
}
