// SPDX-License-Identifier: MIT

#include "model/runmodel.h"

RunModel::RunModel(std::size_t capacity, QObject *parent)
    : QObject(parent), m_samples(new SampleList(capacity, this))
{
}

void RunModel::startRun(const solver::RunParameters &p)
{
    m_samples->store().startRun(p);
    m_running = true;
    emit runStarted();
}

void RunModel::publish()
{
    m_samples->commit();
    emit published();
}

void RunModel::endRun(const MarkList &partial, const RunEnding &ending)
{
    m_samples->commit();
    m_samples->store().endRun(partial, ending);
    m_running = false;
    emit runEnded();
}

void RunModel::resetScene(PlotScene::Axes axes)
{
    m_scene.reset(axes);
}

const RunRecord *RunModel::runOf(int row) const
{
    return row < 0 ? nullptr : ::runOf(runs(), static_cast<std::size_t>(row));
}

void RunModel::clearSamples()
{
    m_samples->clear();
    ++m_generation;
    emit cleared();
}
