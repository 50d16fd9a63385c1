// SPDX-License-Identifier: MIT

#pragma once

// The probe links the plot and the list: pressing on the plot selects the listed sample
// whose mark is nearest, and the list's current line shows a marker on its mark.

#include "plot/marks.h"
#include "plot/probesearch.h"

#include <QObject>
#include <QPointF>
#include <QString>

#include <optional>

class PlotScene;
class PlotWidget;
class RunModel;
class SampleList;
class SampleView;

class Probe : public QObject
{
    Q_OBJECT

public:
    Probe(PlotWidget &plot, SampleView &list, const RunModel &model, QObject *parent);

    // The listed sample with a mark inside the plot nearest `pos`, within reach.
    std::optional<ProbeHit> nearest(QPointF pos) const;
    // Where a row's mark lies on the plot, the top-left corner of its pixel in the widget's
    // pixels (beyond the plot for a mark outside it); none for a row that is not listed.
    std::optional<QPointF> markOf(int row, int mark = 0) const;

    // Removes the marker; the list keeps its line.
    void clear();
    // The plot's description says the equation of one's own it runs, or none when empty.
    void setEquation(const QString &equation);

signals:
    // The marker was removed: Escape, Ready or a new run.
    void cleared();

private:
    // Mark `mark` of a listed row's sample (its last for a larger number).
    std::optional<Mark> markAt(int row, int mark) const;
    void probeAt(QPoint pos);
    void showRow(int row);
    void describe();

    PlotWidget &m_plot;
    SampleView &m_list;
    const SampleList &m_samples;
    const RunModel &m_model;
    QString m_description; // the plot's own accessible description
    QString m_equation;
    // The mark a press found, shown when its row becomes current.
    std::optional<ProbeHit> m_pressed;
};
