// SPDX-License-Identifier: MIT

#pragma once

#include "plot/plotsurface.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

// The probe's marker: a ring with a crosshair on the pixel `at`, and a tag of text beside
// it, kept within `bounds`. Dark orange, a colour no drawing uses.
void paintProbeMarker(QPainter &painter, QPointF at, const QString &tag, const QRectF &bounds);

// A plot's accessible description with the line its probe marks, as a screen reader says it.
QString markedLine(const QString &description, const QString &tag);

// Shows a PlotSurface. The surface is the backing store: paintEvent only copies it to the
// screen, so the drawing survives the window being covered, minimised or restored. When
// the window moves to a screen of another pixel ratio, the plot is drawn anew at that
// ratio instead of scaling the old pixels.
//
// Over the image it may show a marker, a ring with a crosshair and a tag of text, which
// is never part of the image.
class PlotWidget : public QWidget
{
    Q_OBJECT

public:
    // Draws everything the plot shows on a new surface; false when it cannot now (while a
    // run draws on the present one).
    using Redraw = std::function<bool(PlotSurface &)>;

    struct Marker
    {
        QPointF at;  // in the widget's pixels; on the edge for a mark outside the plot
        QString tag; // the text beside it
    };
    // Dark orange, a colour the drawing never uses.
    static constexpr QRgb kMarkerColour = 0xFFFF8C00;

    explicit PlotWidget(int size, QWidget *parent = nullptr);

    PlotSurface &surface() { return *m_surface; }
    void setRedraw(Redraw redraw) { m_redraw = std::move(redraw); }
    // A new surface at `devicePixelRatio`, drawn by the redraw function.
    void redrawAt(qreal devicePixelRatio);

    // A line painted over the plot's top-left corner, as the equation of one's own; never
    // part of the plot's image. Empty: none.
    void setCaption(const QString &caption);
    const QString &caption() const { return m_caption; }

    void setMarker(const Marker &marker);
    void clearMarker();
    const std::optional<Marker> &marker() const { return m_marker; }
    // The widget as it looks, the legend included, without the marker and the caption.
    QImage grabWithoutMarker();

signals:
    // The left button pressed or dragged at `pos`, in the widget's pixels.
    void probed(QPoint pos);
    void escapePressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<PlotSurface> m_surface;
    Redraw m_redraw;
    std::optional<Marker> m_marker;
    QString m_caption;
    bool m_overlaysHidden = false;
};
