// SPDX-License-Identifier: MIT

#pragma once

#include "explore/viewrequest.h"
#include "plot/canvas.h"

#include <QList>
#include <QPalette>
#include <QRect>
#include <QString>

#include <functional>

class QFontMetrics;
class QPainter;

// What a zoomable view paints around and over its plot: the frame, the axes' numbers at
// 1-2-5 steps (powers of ten on the error's log scale), their titles, a caption in the
// plot's corner and the legend of a run's curves. The same on screen and in an exported
// image.

// A curve's name, and the colour and the style of the line beside it, as the legend shows
// them.
struct LegendEntry
{
    QString name;
    QRgb colour;
    Qt::PenStyle style = Qt::SolidLine;
    bool operator==(const LegendEntry &) const = default;
};

// The pen style a legend shows a curve drawn in `style` with.
inline Qt::PenStyle penStyle(LineStyle style)
{
    return style == LineStyle::Dashed   ? Qt::DashLine
           : style == LineStyle::Dotted ? Qt::DotLine
                                        : Qt::SolidLine;
}

// The ticks of a view, found again only when its world or its size changes.
class FrameTicks
{
public:
    const ViewTicks &of(ViewKind kind, const WorldRect &world, const QRect &bounds,
                        const QFontMetrics &fm);

private:
    ViewTicks m_ticks;
    WorldRect m_world{0, 0, 0, 0};
    QRect m_bounds;
};

struct ViewFrame
{
    ViewKind kind;
    QRect plot;      // the plot's rectangle in the view
    WorldRect world; // what it shows
    ViewTicks ticks; // of the settled world on the plot, for its numbers
    QString caption;
    QList<LegendEntry> legend; // none: no legend
    QString analysis;          // the phase plane's analysis in words; none: empty

    // Where the plot lies in a view of `bounds` whose ordinate has the ticks `up`: inside the
    // room its numbers and titles take.
    static QRect plotIn(const QRect &bounds, const std::vector<Tick> &up, const QFontMetrics &fm);
    // The plot's height in a view of `bounds`: the room its ordinate's ticks are found for.
    static int plotHeightIn(const QRect &bounds);

    void paint(QPainter &p, const QPalette &palette) const;
    // `image`, drawn for `imageWorld`, where that lies in the world shown now: moved and
    // scaled until a new one comes. One from far away is left out rather than blown up.
    void paintImage(QPainter &p, const QImage &image, const WorldRect &imageWorld) const;
    // The plot on a vector painter by `plot`, which paints it on a grid of `scale` cells a
    // pixel, clipped to the plot.
    void paintVector(QPainter &p, qreal scale, const std::function<void(QPainter &)> &plot) const;
    // The probe's marker at world (x, y); on the plot's edge, saying so, when it lies
    // beyond the world shown.
    void paintMarker(QPainter &p, double x, double y, const QString &tag) const;
    // The marker's tag, and that it lies outside the view when the world shown leaves it out.
    QString markTag(double x, double y, const QString &tag) const;
    // "x from -0.25 to 5.25, y from -12.4 to 13.1", as a screen reader says the view, and
    // the marked line.
    QString description(const QString &marked) const;

    // World to the view's pixels and back, for the world shown.
    WorldWindow window() const { return WorldWindow(world, plot.width(), plot.height()); }
    QPointF toWidget(double x, double y) const;
    WorldPoint toWorld(QPointF at) const;
};
