// SPDX-License-Identifier: MIT

#include "plot/vectorcanvas.h"

#include <QLineF>
#include <QPainterPath>

#include <QPainter>
#include <QPen>
#include <optional>

VectorCanvas::VectorCanvas(QPainter &painter, int width, int height)
    : m_painter(painter), m_width(width), m_height(height),
      m_dots(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

void VectorCanvas::fill(QRgb colour)
{
    std::fill(m_dots.begin(), m_dots.end(), Dot{});
    m_painter.fillRect(QRect(0, 0, m_width, m_height), QColor::fromRgb(colour));
}

void VectorCanvas::setPen(QRgb colour)
{
    if (colour == m_pen)
        return;
    // A line of one cell's width (two when bold), its square ends covering the end cells.
    const qreal width = m_bold ? 2.0 : 1.0;
    QPen pen(QColor::fromRgb(colour), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    // The patterns in cells, whatever the width; the pen counts them in its widths. Their
    // dashes end flat, or square ends would lengthen each by a width and shorten each gap.
    if (m_style != LineStyle::Solid)
        pen.setCapStyle(Qt::FlatCap);
    if (m_style == LineStyle::Dashed)
        pen.setDashPattern({4 / width, 4 / width}); // four cells on, four off
    else if (m_style == LineStyle::Dotted)
        pen.setDashPattern({1 / width, 2 / width}); // one cell on, two off
    m_painter.setPen(pen);
    m_pen = colour;
}

void VectorCanvas::setLineStyle(LineStyle style)
{
    m_style = style;
    m_pen = 0; // the pen is made anew
}

void VectorCanvas::setBold(bool bold)
{
    m_bold = bold;
    m_pen = 0;
}

void VectorCanvas::drawLines(QRgb colour, std::span<const PixelLine> lines)
{
    setPen(colour);
    // Through the cells' centres; a bold line between them and their neighbours below and
    // right.
    const double at = m_bold ? 1.0 : 0.5;
    if (m_style != LineStyle::Solid) {
        // The lines that go on from where the last one ended are one path.
        QPainterPath path;
        std::optional<PixelPoint> end;
        for (const PixelLine &l : lines) {
            if (end != l.a)
                path.moveTo(l.a.x + at, l.a.y + at);
            path.lineTo(l.b.x + at, l.b.y + at);
            end = l.b;
        }
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawPath(path);
        ++m_batches;
        return;
    }
    // A line of no length is the cell itself.
    std::vector<QLineF> paths;
    paths.reserve(lines.size());
    for (const PixelLine &l : lines) {
        if (l.a == l.b)
            dot(l.a.x, l.a.y, colour);
        else
            paths.emplace_back(l.a.x + at, l.a.y + at, l.b.x + at, l.b.y + at);
    }
    if (!paths.empty()) {
        m_painter.drawLines(paths.data(), static_cast<int>(paths.size()));
        ++m_batches;
    }
}

void VectorCanvas::dot(int x, int y, QRgb colour)
{
    // A dot over a dot of the same colour, with no line painted in between, adds nothing:
    // ten million Emden samples become as many squares as the cells they light.
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    Dot &last = m_dots[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                       static_cast<std::size_t>(x)];
    const Dot now{colour, m_batches};
    if (last.colour == now.colour && last.batch == now.batch)
        return;
    last = now;
    const int side = m_bold ? 2 : 1;
    m_painter.fillRect(QRect(x, y, side, side), QColor::fromRgb(colour));
}
