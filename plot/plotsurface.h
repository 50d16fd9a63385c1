// SPDX-License-Identifier: MIT

#pragma once

#include "platform/palette.h"
#include "plot/marks.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>

#include <memory>
#include <vector>

// A square drawing surface with a world coordinate system and a current point, kept in a
// QImage at device resolution. Lines are solid and one device pixel wide, points single
// device pixels, nothing is antialiased, and whatever lies outside the world window is
// clipped away. Every coordinate arrives in single precision.
//
// A run hands over millions of tiny segments, most of them inside one device pixel
// column. They are drawn as the pixels they set, not one painter call each: the
// segments of a polyline that stay in one column are merged into the vertical span they
// cover, segments wholly outside the image are dropped, and the rest go to the painter
// in batches of one colour. Points are written straight into the image, in order.
class PlotSurface
{
public:
    // `logicalSize` pixels on each side, drawn at `devicePixelRatio` device pixels each.
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

    // Maps the world window (left, top)-(right, bottom) onto the whole image.
    void setScale(float left, float top, float right, float bottom);
    // Fills the image with the background colour; the current point becomes (0, 0).
    void clear();
    void line(float x1, float y1, float x2, float y2); // in the foreground colour
    void line(float x1, float y1, float x2, float y2, PaletteColour colour);
    void lineTo(float x2, float y2, PaletteColour colour);
    void point(float x, float y, PaletteColour colour);
    // Whether a point at world abscissa x would fall on a column of the surface.
    bool showsColumn(float x) const
    {
        // As toDevice() maps it, without the ordinate.
        const double d = (static_cast<double>(x) - m_left) * m_width / (m_right - m_left);
        return d >= 0 && d < m_width;
    }
    // Draws the valid marks of a list, in order.
    void draw(const MarkList &marks);

    QPointF currentPoint() const { return {m_cx, m_cy}; }

    // The finished image; ends any drawing still under way.
    const QImage &image();
    // Paints what is still queued; for a vector surface, before its painter ends.
    void finish();
    int deviceWidth() const { return m_width; }
    qreal devicePixelRatio() const { return m_devicePixelRatio; }
    // The device pixel a world point falls on (may lie outside the image).
    QPointF toDevice(float x, float y) const;

private:
    // The open painter, its pen set to `colour`.
    QPainter &painter(QColor colour);
    void line(float x1, float y1, float x2, float y2, QColor colour);
    // From device point a to device point b.
    void segment(QPointF a, QPointF b, QColor colour);
    // A segment between two device pixels, both within two pixels of the image.
    void addLine(QPoint p1, QPoint p2, QColor colour);
    // Queues the column span under way, which stays open for the polyline to extend it.
    void queueColumn();
    void closeColumn();
    // Hands the queued lines to the painter.
    void flushLines();
    void moveTo(float x, float y);

    void dot(int x, int y, QColor colour);

    QImage m_image;
    std::unique_ptr<QPainter> m_painter; // kept open across calls: one per run, not per mark
    QPainter *m_vector = nullptr;        // or the painter of a vector device
    // A vector surface's last dot per cell: its colour, and how many batches of lines had
    // been painted before it. A dot is painted again only when either changed.
    struct Dot
    {
        QRgb colour = 0;
        std::uint32_t batch = 0;
    };
    std::vector<Dot> m_dots;
    std::uint32_t m_batches = 0;
    int m_width = 0, m_height = 0; // in device pixels, or grid cells
    qreal m_devicePixelRatio = 1.0;
    QColor m_penColour; // of m_painter: the pen changes only with the colour
    // The world window.
    double m_left = 0, m_top = 0, m_right = 1, m_bottom = 1;
    float m_cx = 0, m_cy = 0;
    QPointF m_cd; // the current point in device coordinates, mapped once

    // Lines of m_batchColour not yet painted; a zero-length one is a point.
    std::vector<QLine> m_lines;
    QColor m_batchColour;
    // The polyline's span in its current device column: it runs from the pixel where the
    // polyline entered the column through rows m_columnTop..m_columnBottom and is at
    // m_columnExit now. m_columnCovered: its one pixel is already the end of a queued line.
    bool m_columnOpen = false;
    bool m_columnCovered = false;
    int m_column = 0, m_columnTop = 0, m_columnBottom = 0, m_columnExit = 0;
};

// The axes drawn when the window opens: magenta x axis, blue y axis running past the
// bottom edge, 19 pairs of ticks.
void drawStartupAxes(PlotSurface &surface);
// The axes Ready draws after clearing: both blue, the y axis ending at the bottom edge.
void drawResetAxes(PlotSurface &surface);
