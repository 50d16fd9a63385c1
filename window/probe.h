// SPDX-License-Identifier: MIT

#pragma once

// The probe links the plot and the list: pressing on the plot selects the listed sample
// whose mark is nearest, and the list's current line shows a marker on its mark.

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
    // How far from a mark, in pixels, a press still finds it.
    static constexpr double kReach = 10.0;

    Probe(PlotWidget &plot, SampleView &list, const RunModel &model, QObject *parent);

    struct Hit
    {
        int row;  // the listed sample
        int mark; // which of its marks: an Emden sample has three
    };
    // The listed sample with a mark inside the plot nearest `pos`, within reach.
    std::optional<Hit> nearest(QPointF pos) const;
    // Where a row's mark lies on the plot, in the widget's pixels; none for a row that is
    // not listed.
    std::optional<QPointF> markOf(int row, int mark = 0) const;

    // Removes the marker; the list keeps its line.
    void clear();

signals:
    // The marker was removed: Escape, Ready or a new run.
    void cleared();

private:
    void probeAt(QPoint pos);
    void showRow(int row);
    void describe();

    PlotWidget &m_plot;
    SampleView &m_list;
    const SampleList &m_samples;
    const RunModel &m_model;
    QString m_description; // the plot's own accessible description
    Hit m_pressed{-1, 0};  // the mark a press found, shown when its row becomes current
};
