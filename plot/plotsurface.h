// SPDX-License-Identifier: MIT

#pragma once

#include "platform/palette.h"
#include "plot/canvas.h"
#include "plot/columnbatcher.h"
#include "plot/marks.h"
#include "plot/worldwindow.h"

#include <QImage>
#include <QPointF>

#include <memory>

class QPainter;
class RasterCanvas;

// A drawing surface with a world coordinate system and a current point, on a canvas:
// lines solid and one device pixel wide, points single device pixels, nothing
// antialiased, and whatever lies outside the world window clipped away. Every coordinate
// arrives in single precision. The curve reaches the canvas merged by device columns.
class PlotSurface
{
public:
    // `logicalSize` pixels on each side, drawn at `devicePixelRatio` device pixels each,
    // kept in an image.
    explicit PlotSurface(int logicalSize, qreal devicePixelRatio = 1.0);
    // The same drawing as paths and squares on a vector device (an SVG or PDF painter's),
    // on a grid of `gridSize` cells a side: the curve is merged by the grid's columns as
    // it is by the image's, and each cell gets a dot once per colour change.
    PlotSurface(QPainter &vector, int gridSize);
    ~PlotSurface();
    PlotSurface(const PlotSurface &) = delete;
    PlotSurface &operator=(const PlotSurface &) = delete;

    static constexpr QRgb kBackground = 0xFF80FFFF; // RGB(128, 255, 255)
    static constexpr QRgb kForeground = 0xFF0000FF; // RGB(0, 0, 255)

    // Maps the world window (left, top)-(right, bottom) onto the whole canvas.
    void setScale(float left, float top, float right, float bottom);
    void setScale(const WorldRect &world)
    {
        setScale(static_cast<float>(world.left), static_cast<float>(world.top),
                 static_cast<float>(world.right), static_cast<float>(world.bottom));
    }
    // Fills the canvas with the background colour; the current point becomes (0, 0).
    void clear();
    void line(float x1, float y1, float x2, float y2); // in the foreground colour
    void line(float x1, float y1, float x2, float y2, PaletteColour colour);
    void lineTo(float x2, float y2, PaletteColour colour);
    void point(float x, float y, PaletteColour colour);
    // The same two for a colour made opaque once (opaque()), inline: a run draws each
    // sample as it comes, and a mark far off the device costs only its mapping.
    void lineToRgb(float x2, float y2, QRgb opaqueColour)
    {
        const DevicePoint a = m_cd;
        moveTo(x2, y2);
        if (!segmentBeyondOneSide(a.x, a.y, m_cd.x, m_cd.y, m_hiX, m_hiY))
            segment(a, m_cd, opaqueColour);
    }
    void pointRgb(float x, float y, QRgb opaqueColour)
    {
        moveTo(x, y);
        if (m_window.onDevice(m_cd))
            dot(opaqueColour);
    }
    static QRgb opaque(PaletteColour colour) { return paletteRgb(colour) | 0xFF000000u; }
    // Whether the current point falls on a column of the surface.
    bool showsCurrentColumn() const { return m_cd.x >= 0 && m_cd.x < m_window.deviceWidth(); }
    // Draws the valid marks of a list, in order.
    void draw(const MarkList &marks);

    QPointF currentPoint() const { return {m_cx, m_cy}; }
    const WorldWindow &window() const { return m_window; }

    // The finished image of a raster surface; the span under way is painted as far as it
    // goes and stays open for more.
    const QImage &image();
    // Paints what is still queued; for a vector surface, before its painter ends.
    void finish();
    qreal devicePixelRatio() const { return m_devicePixelRatio; }
    // The device point a world point falls on (may lie outside the canvas).
    QPointF toDevice(float x, float y) const
    {
        const DevicePoint d = m_window.toDevice(x, y);
        return {d.x, d.y};
    }

private:
    PlotSurface(std::unique_ptr<Canvas> canvas, qreal ratio);
    void segment(DevicePoint a, DevicePoint b, QRgb colour);
    // The current point, which lies on the device, as one pixel.
    void dot(QRgb colour);
    void moveTo(float x, float y)
    {
        m_cx = x, m_cy = y;
        m_cd = m_window.toDevice(x, y);
    }

    std::unique_ptr<Canvas> m_canvas;
    RasterCanvas *m_raster; // the canvas when it keeps an image
    ColumnBatcher m_batcher;
    qreal m_devicePixelRatio;
    // The canvas's size, asked once: its own functions are virtual.
    int m_width;
    int m_height;
    double m_hiX; // the right and bottom sides of the box near the device (segmentPixels)
    double m_hiY;
    WorldWindow m_window;
    float m_cx = 0, m_cy = 0;
    DevicePoint m_cd{0, 0}; // the current point in device coordinates, mapped once
};
