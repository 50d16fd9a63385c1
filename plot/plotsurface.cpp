// SPDX-License-Identifier: MIT

#include "plot/plotsurface.h"

#include "plot/rastercanvas.h"
#include "plot/vectorcanvas.h"

PlotSurface::PlotSurface(int logicalSize, qreal devicePixelRatio)
    : PlotSurface(
          [&] {
              const int side = qRound(logicalSize * devicePixelRatio);
              return std::make_unique<RasterCanvas>(QSize(side, side));
          }(),
          devicePixelRatio)
{
}

PlotSurface::PlotSurface(QPainter &vector, int gridSize)
    : PlotSurface(std::make_unique<VectorCanvas>(vector, gridSize, gridSize), 1.0)
{
}

PlotSurface::PlotSurface(std::unique_ptr<Canvas> canvas, qreal ratio)
    : m_canvas(std::move(canvas)), m_raster(dynamic_cast<RasterCanvas *>(m_canvas.get())),
      m_batcher([this](std::uint32_t colour, std::span<const PixelLine> lines) {
          m_canvas->drawLines(colour, lines);
      }),
      m_devicePixelRatio(ratio), m_width(m_canvas->width()), m_height(m_canvas->height()),
      m_hiX(m_width + 2.0), m_hiY(m_height + 2.0), m_window({0, 1, 1, 0}, m_width, m_height)
{
    m_canvas->fill(kBackground);
}

PlotSurface::~PlotSurface() = default;

void PlotSurface::setScale(float left, float top, float right, float bottom)
{
    m_window = WorldWindow({left, top, right, bottom}, m_width, m_height);
    m_cd = m_window.toDevice(m_cx, m_cy);
}

void PlotSurface::clear()
{
    m_batcher.discard();
    m_canvas->fill(kBackground);
    moveTo(0, 0);
}

void PlotSurface::segment(DevicePoint a, DevicePoint b, QRgb colour)
{
    PixelLine pixels;
    if (segmentPixels(a.x, a.y, b.x, b.y, m_width, m_height, pixels))
        m_batcher.add(pixels, colour);
}

void PlotSurface::line(float x1, float y1, float x2, float y2)
{
    const DevicePoint a = m_window.toDevice(x1, y1);
    moveTo(x2, y2);
    segment(a, m_cd, kForeground);
}

void PlotSurface::line(float x1, float y1, float x2, float y2, PaletteColour colour)
{
    const DevicePoint a = m_window.toDevice(x1, y1);
    moveTo(x2, y2);
    segment(a, m_cd, opaque(colour));
}

void PlotSurface::lineTo(float x2, float y2, PaletteColour colour)
{
    lineToRgb(x2, y2, opaque(colour));
}

void PlotSurface::point(float x, float y, PaletteColour colour)
{
    pointRgb(x, y, opaque(colour));
}

void PlotSurface::dot(QRgb colour)
{
    // Lines queued before the point are painted before it, so that whatever is drawn
    // later lies on top, as if each mark were painted at once.
    m_batcher.close();
    m_batcher.flush();
    m_canvas->dot(static_cast<int>(m_cd.x), static_cast<int>(m_cd.y), colour);
}

void PlotSurface::draw(const MarkList &marks)
{
    for (int i = 0; i < marks.count; ++i) {
        const Mark &m = marks.marks[static_cast<std::size_t>(i)];
        if (m.kind == Mark::Point)
            point(m.x, m.y, m.colour);
        else
            lineTo(m.x, m.y, m.colour);
    }
}

void PlotSurface::finish()
{
    m_batcher.close();
    m_batcher.flush();
    m_canvas->finish();
}

const QImage &PlotSurface::image()
{
    Q_ASSERT(m_raster);
    m_batcher.queueOpenSpan();
    m_batcher.flush();
    return m_raster->image();
}
