// SPDX-License-Identifier: MIT

#pragma once

#include "plot/canvas.h"

#include <QImage>
#include <QLine>
#include <QPainter>

#include <memory>
#include <vector>

// A canvas kept in a QImage at device resolution.
class RasterCanvas final : public Canvas
{
public:
    explicit RasterCanvas(QSize size);

    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    void fill(QRgb colour) override;
    void drawLines(QRgb colour, std::span<const PixelLine> lines) override;
    void dot(int x, int y, QRgb colour) override
    {
        // A one-pixel aliased dot is exactly this pixel: written straight into the image, a
        // run of dots in three alternating colours makes no painter calls.
        reinterpret_cast<QRgb *>(m_image.scanLine(y))[x] = colour;
    }
    void finish() override { m_painter.reset(); }

    // The image as drawn so far.
    const QImage &image()
    {
        finish();
        return m_image;
    }

private:
    QImage m_image;
    std::unique_ptr<QPainter> m_painter; // kept open across batches: one per run, not per line
    QRgb m_pen = 0;                      // the painter's pen colour, changed only with it
    std::vector<QLine> m_lines;          // a batch's proper lines, as the painter takes them
};
