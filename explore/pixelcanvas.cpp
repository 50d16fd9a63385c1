// SPDX-License-Identifier: MIT

#include "explore/pixelcanvas.h"

#include <cstdlib>

void PixelCanvas::drawLines(QRgb colour, std::span<const PixelLine> lines)
{
    const auto w = static_cast<unsigned>(width()), h = static_cast<unsigned>(height());
    auto *bits = reinterpret_cast<QRgb *>(m_image.bits());
    const auto stride = static_cast<std::size_t>(m_image.bytesPerLine()) / sizeof(QRgb);
    for (const PixelLine &l : lines) {
        int x = l.a.x, y = l.a.y;
        const int x1 = l.b.x, y1 = l.b.y;
        const int dx = std::abs(x1 - x), sx = x < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y), sy = y < y1 ? 1 : -1;
        int err = dx + dy;
        // The ends lie within two pixels of the image (the batcher clips them there), so
        // each pixel is checked and the walk stays short.
        for (;;) {
            if (static_cast<unsigned>(x) < w && static_cast<unsigned>(y) < h)
                bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = colour;
            if (x == x1 && y == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy)
                err += dy, x += sx;
            if (e2 <= dx)
                err += dx, y += sy;
        }
    }
}
