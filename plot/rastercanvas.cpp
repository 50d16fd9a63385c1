// SPDX-License-Identifier: MIT

#include "plot/rastercanvas.h"

#include "platform/mappedmemory.h"
#include "platform/upperregisters.h"

#include <QPen>

namespace {

struct MappedPixels
{
    void *memory;
    std::size_t bytes;
};

// An image whose pixels are mapped from the system and faulted in with one call. A fresh
// image of the plot's size takes a trap per page when it is first filled, which on a
// virtual machine costs twice the call (some 2 ms of the window's start-up); the
// canvas fills it at once anyway. Where the memory cannot be had so, Qt allocates it.
QImage mappedImage(QSize size)
{
    const std::size_t page = mapped::pageSize();
    const auto bytesPerLine = static_cast<std::size_t>(size.width()) * sizeof(QRgb);
    const std::size_t bytes =
        (bytesPerLine * static_cast<std::size_t>(size.height()) + page - 1) / page * page;
    void *memory = bytes > 0 ? mapped::map(bytes, page) : nullptr;
    if (memory && !mapped::populate(memory, bytes)) {
        mapped::unmap(memory, bytes);
        memory = nullptr;
    }
    if (!memory)
        return QImage(size, QImage::Format_RGB32);
    auto *pixels = new MappedPixels{memory, bytes};
    return QImage(
        static_cast<uchar *>(memory), size.width(), size.height(),
        static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32,
        [](void *info) {
            const auto *p = static_cast<MappedPixels *>(info);
            mapped::unmap(p->memory, p->bytes);
            delete p;
        },
        pixels);
}

} // namespace

RasterCanvas::RasterCanvas(QSize size) : m_image(mappedImage(size)) {}

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
