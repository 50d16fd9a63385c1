// SPDX-License-Identifier: MIT

#pragma once

#include "plot/plotsurface.h"

#include <QWidget>

#include <functional>
#include <memory>

// Shows a PlotSurface. The surface is the backing store: paintEvent only copies it to the
// screen, so the drawing survives the window being covered, minimised or restored. When
// the window moves to a screen of another pixel ratio, the plot is drawn anew at that
// ratio instead of scaling the old pixels.
class PlotWidget : public QWidget
{
    Q_OBJECT

public:
    // Draws everything the plot shows on a new surface; false when it cannot now (while a
    // run draws on the present one).
    using Redraw = std::function<bool(PlotSurface &)>;

    explicit PlotWidget(int size, QWidget *parent = nullptr);

    PlotSurface &surface() { return *m_surface; }
    void setRedraw(Redraw redraw) { m_redraw = std::move(redraw); }
    // A new surface at `devicePixelRatio`, drawn by the redraw function.
    void redrawAt(qreal devicePixelRatio);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<PlotSurface> m_surface;
    Redraw m_redraw;
};
