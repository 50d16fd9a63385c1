// SPDX-License-Identifier: MIT

#include "plot/rastercanvas.h"

#include "platform/upperregisters.h"

#include <QPen>

RasterCanvas::RasterCanvas(QSize size) : m_image(size, QImage::Format_RGB32) {}

void RasterCanvas::fill(QRgb colour)
{
    m_painter.reset();
    m_image.fill(colour);
    clearUpperRegisters();
}

void RasterCanvas::drawLines(QRgb colour, std::span<const PixelLine> lines)
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_pen = 0; // no colour a curve is drawn in: they are all opaque
    }
    if (colour != m_pen) {
        // Solid, one device pixel wide, with the end points drawn.
        QPen pen(QColor::fromRgb(colour), 1.0, Qt::SolidLine, Qt::SquareCap);
        pen.setCosmetic(true);
        m_painter->setPen(pen);
        m_pen = colour;
    }
    // Lines of no length are drawn as the points they are; the rest in one call per run of
    // proper lines.
    for (const PixelLine &l : lines) {
        if (l.a == l.b) {
            if (!m_lines.empty()) {
                m_painter->drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
                m_lines.clear();
            }
            m_painter->drawPoint(l.a.x, l.a.y);
        } else {
            m_lines.emplace_back(l.a.x, l.a.y, l.b.x, l.b.y);
        }
    }
    if (!m_lines.empty()) {
        m_painter->drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
        m_lines.clear();
    }
    clearUpperRegisters();
}
