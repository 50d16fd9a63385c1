// SPDX-License-Identifier: MIT

#include "explore/pixelcanvas.h"

#include "explore/linewalk.h"

void PixelCanvas::drawLines(QRgb colour, std::span<const PixelLine> lines)
{
    const auto w = static_cast<unsigned>(width()), h = static_cast<unsigned>(height());
    auto *bits = reinterpret_cast<QRgb *>(m_image.bits());
    const auto stride = static_cast<std::size_t>(m_image.bytesPerLine()) / sizeof(QRgb);
    // The ends lie within two pixels of the image (the batcher clips them there), so each
    // pixel is checked and the walk stays short.
    for (const PixelLine &l : lines)
        walkLine(l.a.x, l.a.y, l.b.x, l.b.y, [&](int x, int y) {
            if (static_cast<unsigned>(x) < w && static_cast<unsigned>(y) < h)
                bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = colour;
        });
}
