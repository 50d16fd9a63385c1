// SPDX-License-Identifier: MIT

#include "model/runmodel.h"

RunModel::RunModel(std::size_t capacity, QObject *parent)
    : QObject(parent), m_samples(new SampleList(capacity, this))
{
}

void RunModel::startRun(const solver::RunParameters &p)
{
    m_scene.startRun(p, m_samples->rowCount());
    m_running = true;
    emit runStarted();
}

void RunModel::publish()
{
    m_samples->commit();
    emit published();
}

void RunModel::endRun(const MarkList &partial)
{
    m_samples->commit();
    const int firstRow = m_scene.runs().back().firstRow;
    m_scene.endRun(m_samples->rowCount() - firstRow, partial);
    m_running = false;
    emit runEnded();
}

void RunModel::resetScene(PlotScene::Axes axes)
{
    m_scene.reset(axes);
}

void RunModel::clearSamples()
{
    m_samples->clear();
    ++m_generation;
    emit cleared();
}
