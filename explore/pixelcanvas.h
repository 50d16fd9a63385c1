// SPDX-License-Identifier: MIT

#pragma once

#include "explore/linewalk.h"
#include "plot/canvas.h"

#include <QImage>

#include <cmath>
#include <cstddef>

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

// A polyline in one colour drawn straight into an image's pixels, for a curve whose
// segments mostly cross columns, as the phase plane's do: a segment with both ends on the
// image walks its pixels with no check, one that is not is clipped first.
class LinePen
{
public:
    LinePen(QImage &image, QRgb colour)
        : m_bits(reinterpret_cast<QRgb *>(image.bits())),
          m_stride(static_cast<std::size_t>(image.bytesPerLine()) / sizeof(QRgb)),
          m_w(image.width()), m_h(image.height()), m_colour(colour)
    {
    }

    void to(double x, double y)
    {
        if (x >= 0 && x < m_w && y >= 0 && y < m_h) {
            const int ix = static_cast<int>(x), iy = static_cast<int>(y);
            if (m_has && m_inside) {
                if (ix != m_ix || iy != m_iy)
                    walk(m_ix, m_iy, ix, iy, false);
            } else if (m_has) {
                clipped(x, y);
            } else {
                set(ix, iy);
            }
            m_ix = ix, m_iy = iy, m_inside = true;
        } else if (std::isnan(x) || std::isnan(y)) {
            m_has = false;
            return;
        } else {
            if (m_has)
                clipped(x, y);
            m_inside = false;
        }
        m_has = true;
        m_x = x, m_y = y;
    }
    void gap() { m_has = false; }

private:
    void set(int x, int y)
    {
        m_bits[static_cast<std::size_t>(y) * m_stride + static_cast<std::size_t>(x)] = m_colour;
    }
    void clipped(double x, double y)
    {
        PixelLine l;
        if (segmentPixels(m_x, m_y, x, y, m_w, m_h, l))
            walk(l.a.x, l.a.y, l.b.x, l.b.y, true);
    }
    void walk(int x, int y, int x1, int y1, bool check)
    {
        walkLine(x, y, x1, y1, [&](int px, int py) {
            if (!check || (static_cast<unsigned>(px) < static_cast<unsigned>(m_w) &&
                           static_cast<unsigned>(py) < static_cast<unsigned>(m_h)))
                set(px, py);
        });
    }

    QRgb *m_bits;
    std::size_t m_stride;
    int m_w, m_h;
    QRgb m_colour;
    bool m_has = false, m_inside = false;
    int m_ix = 0, m_iy = 0;
    double m_x = 0, m_y = 0;
};
