// SPDX-License-Identifier: MIT

#pragma once

#include "platform/mappedmemory.h"
#include "plot/canvas.h"

#include <QColor>

#include <cstdint>
#include <vector>

class QPainter;

// A canvas of width x height cells on a vector device's painter (SVG or PDF), one cell a
// device unit: lines become paths through the cells' centres, dots squares. Dashed or dotted
// lines that join are one path each, so that their dashes run on along the curve. A bold
// line is two cells wide, over its cells and those below and right of them, as the raster
// views draw it.
class VectorCanvas final : public Canvas
{
public:
    VectorCanvas(QPainter &painter, int width, int height);

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    void fill(QRgb colour) override;
    void drawLines(QRgb colour, std::span<const PixelLine> lines) override;
    void dot(int x, int y, QRgb colour) override;
    void finish() override {}
    void setLineStyle(LineStyle style) override;
    void setBold(bool bold) override;

private:
    void setPen(QRgb colour);

    QPainter &m_painter;
    int m_width;
    int m_height;
    QRgb m_pen = 0;
    LineStyle m_style = LineStyle::Solid;
    bool m_bold = false;
    // A cell's last dot: its colour, and how many batches of lines had been painted before
    // it. A dot is painted again only when either changed.
    struct Dot
    {
        QRgb colour = 0;
        std::uint32_t batch = 0;
    };
    // A print-size grid has millions of cells: their table goes back to the system after
    // the export, not into the heap.
    std::vector<Dot, mapped::Allocator<Dot>> m_dots;
    std::uint32_t m_batches = 0;
};
