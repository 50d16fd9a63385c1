// SPDX-License-Identifier: MIT

#pragma once

#include "plot/canvas.h"

#include <QImage>

// A canvas that sets the pixels of an image itself: a line is the pixels a Bresenham walk
// visits, with no painter call. The zoomable views draw millions of short segments a
// frame with it; the main plot keeps QPainter's own lines.
class PixelCanvas final : public Canvas
{
public:
    explicit PixelCanvas(QImage &image) : m_image(image) {}

    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    void fill(QRgb colour) override { m_image.fill(colour); }
    void drawLines(QRgb colour, std::span<const PixelLine> lines) override;
    void dot(int x, int y, QRgb colour) override
    {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(width()) &&
            static_cast<unsigned>(y) < static_cast<unsigned>(height()))
            reinterpret_cast<QRgb *>(m_image.scanLine(y))[x] = colour;
    }
    void finish() override {}

private:
    QImage &m_image;
};
