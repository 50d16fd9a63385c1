// SPDX-License-Identifier: MIT

#pragma once

#include "explore/navigation.h"
#include "explore/viewframe.h"
#include "explore/viewgesture.h"
#include "explore/viewrequest.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

// One zoomable view of the runs: its plot with numbered axes, a light grid and the
// probe's marker. Its image comes from the worker; until a new one arrives, the last one
// is shown moved and scaled into the present world, blurred but at once.
//
// The wheel zooms about the pointer, a left drag pans, a right drag or a Shift+drag zooms
// to a rectangle, a double-click fits; Home, the arrow keys, + and -, Alt+Left and
// Alt+Right do the same from the keyboard. A click marks the nearest sample, a Ctrl+click
// starts a run there, a Ctrl+Shift+click one that is also drawn backward.
class ExploreView : public QWidget
{
    Q_OBJECT

public:
    ExploreView(ViewKind kind, QWidget *parent = nullptr);

    ViewKind kind() const { return m_kind; }
    // The world shown, or dragged to while a drag is under way.
    WorldRect world() const;
    // Shows `world` as a new step of the view's history.
    void showWorld(const WorldRect &world);
    // While nobody moved the view since it was last fitted, it fits the runs as they grow.
    bool fitting() const { return m_fitting; }
    void fit(const WorldRect &bounds, bool empty);

    // What the worker is to draw for the view as it is now.
    ViewRequest request() const;
    // An image drawn for `drawnFor` from version `version` of the runs.
    void setImage(const QImage &image, const WorldRect &drawnFor, std::uint64_t version);
    // The runs have changed: images from versions before `version` are out of date.
    void expect(std::uint64_t version) { m_expected = version; }
    // Whether the image shown was drawn for the world and size shown, from the runs as
    // they are.
    bool upToDate() const;
    // Whether the view changed since it was last painted. While a run holds the thread no
    // paint event comes: the window paints such views itself at each showing of progress.
    bool stale() const { return m_stale; }

    struct Marker
    {
        double x, y; // in the view's world
        QString tag;
        bool operator==(const Marker &) const = default;
    };
    void setMarker(const std::optional<Marker> &marker);
    const std::optional<Marker> &marker() const { return m_marker; }
    // A line over the plot, such as where the field is taken.
    void setCaption(const QString &caption);
    // What the phase plane's analysis found, in words, for its accessible description.
    void setAnalysisText(const QString &text);
    // The legend of a run's curves (Emden's y, y^n and y^(n+1)); none when empty.
    void setLegend(const QList<LegendEntry> &legend);

    // The plot's rectangle in the widget, inside the axes' numbers.
    QRect plotRect() const;
    // World to the widget's pixels and back, for the present world.
    QPointF toWidget(double x, double y) const;
    WorldPoint toWorld(QPointF widgetPoint) const;

    // The view as it looks, without the marker, with `plot` drawn for the world it shows,
    // at the plot's pixel ratio.
    QImage grabImage(const QImage &plot) const;
    // Paints the view as it looks, without the marker, on `painter` sized as the widget,
    // with `plot` drawn for `plotWorld`.
    void paintView(QPainter &painter, const QImage &plot, const WorldRect &plotWorld) const;
    // The same on a vector painter: the plot by `plot`, which paints it on a grid of
    // `scale` cells a pixel, clipped to the plot.
    void paintVectorView(QPainter &painter, qreal scale,
                         const std::function<void(QPainter &)> &plot) const;

signals:
    // The world or the size changed: a new image is wanted.
    void changed();
    // The user moved the view: it no longer follows the runs.
    void navigated();
    void fitWanted();
    // A click at a point of the plot, in the widget's pixels.
    void clicked(QPointF at);
    void ctrlClicked(QPointF at);
    // A run from there, and the way back to it drawn too.
    void ctrlShiftClicked(QPointF at);
    void escapePressed();
    void menuWanted(QPoint at);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // The ticks of `world` on the plot, found once for each world and size.
    const ViewTicks &ticksOf(const WorldRect &world) const;
    void navigate(const WorldRect &world);
    void describe();
    ViewFrame frame() const;
    void changedLook();

    ViewKind m_kind;
    Navigation m_navigation;
    bool m_fitting = true;
    QImage m_image;
    WorldRect m_imageWorld;
    std::optional<Marker> m_marker;
    QString m_caption;
    QString m_analysisText;
    QList<LegendEntry> m_legend;

    ViewGesture m_gesture;
    mutable FrameTicks m_ticks;
    bool m_stale = true;
    std::uint64_t m_imageVersion = 0, m_expected = 0;
};
