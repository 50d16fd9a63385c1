// SPDX-License-Identifier: MIT

#pragma once

#include "plot/plotsurface.h"

#include <QWidget>

// Shows a PlotSurface. The surface is the backing store: paintEvent only copies it to the
// screen, so the drawing survives the window being covered, minimised or restored.
class PlotWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PlotWidget(int size, QWidget *parent = nullptr);

    PlotSurface &surface() { return m_surface; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PlotSurface m_surface;
};
