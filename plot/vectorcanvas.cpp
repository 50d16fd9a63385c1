// SPDX-License-Identifier: MIT

#include "plot/vectorcanvas.h"

#include <QLineF>
#include <QPainter>
#include <QPen>

VectorCanvas::VectorCanvas(QPainter &painter, int gridSize)
    : m_painter(painter), m_size(gridSize), m_dots(static_cast<std::size_t>(gridSize) * gridSize)
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

void VectorCanvas::fill(QRgb colour)
{
    std::fill(m_dots.begin(), m_dots.end(), Dot{});
    m_painter.fillRect(QRect(0, 0, m_size, m_size), QColor::fromRgb(colour));
}

void VectorCanvas::drawLines(QRgb colour, std::span<const PixelLine> lines)
{
    if (colour != m_pen) {
        // A line of one cell's width, its square ends covering the end cells.
        m_painter.setPen(
            QPen(QColor::fromRgb(colour), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_pen = colour;
    }
    // Through the cells' centres; a line of no length is the cell itself.
    std::vector<QLineF> paths;
    paths.reserve(lines.size());
    for (const PixelLine &l : lines) {
        if (l.a == l.b)
            dot(l.a.x, l.a.y, colour);
        else
            paths.emplace_back(l.a.x + 0.5, l.a.y + 0.5, l.b.x + 0.5, l.b.y + 0.5);
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
    if (x < 0 || y < 0 || x >= m_size || y >= m_size)
        return;
    Dot &last = m_dots[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_size) +
                       static_cast<std::size_t>(x)];
    const Dot now{colour, m_batches};
    if (last.colour == now.colour && last.batch == now.batch)
        return;
    last = now;
    m_painter.fillRect(QRect(x, y, 1, 1), QColor::fromRgb(colour));
}
