#include "plot/plotsurface.h"

#include <QPen>

#include <cmath>

namespace {

QColor paletteColour(PaletteColour index)
{
    return QColor::fromRgb(paletteRgb(index));
}

// Liang-Barsky: cuts the segment down to the box [lo, hiX] x [lo, hiY]. False when
// nothing of it is inside. The box is a little larger than the image, so the clipped
// end points fit in an int and the painter's own clipping trims the last pixel.
bool clipSegment(double &x1, double &y1, double &x2, double &y2, double lo, double hiX, double hiY)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - lo, hiX - x1, y1 - lo, hiY - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0)
                return false; // parallel to this edge and outside it
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0.0) {
            if (t > t1)
                return false;
            if (t > t0)
                t0 = t;
        } else {
            if (t < t0)
                return false;
            if (t < t1)
                t1 = t;
        }
    }
    const double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy;
    const double nx2 = x1 + t1 * dx, ny2 = y1 + t1 * dy;
    x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    return true;
}

} // namespace

PlotSurface::PlotSurface(int logicalSize, qreal devicePixelRatio)
    : m_image(QSize(qRound(logicalSize * devicePixelRatio), qRound(logicalSize * devicePixelRatio)),
              QImage::Format_RGB32)
{
    m_image.fill(kBackground);
}

PlotSurface::~PlotSurface() = default;

void PlotSurface::setScale(float left, float top, float right, float bottom)
{
    m_left = left, m_top = top, m_right = right, m_bottom = bottom;
}

void PlotSurface::clear()
{
    m_painter.reset();
    m_image.fill(kBackground);
    m_cx = 0, m_cy = 0;
}

QPointF PlotSurface::toDevice(float x, float y) const
{
    // The single-precision coordinates are widened, so the mapping itself cannot overflow.
    return {(static_cast<double>(x) - m_left) * m_image.width() / (m_right - m_left),
            (static_cast<double>(y) - m_top) * m_image.height() / (m_bottom - m_top)};
}

QPainter &PlotSurface::painter(QColor colour)
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_penColour = QColor();
    }
    if (colour != m_penColour) {
        // Solid, one device pixel wide, with the end points drawn.
        QPen pen(colour, 1.0, Qt::SolidLine, Qt::SquareCap);
        pen.setCosmetic(true);
        m_painter->setPen(pen);
        m_penColour = colour;
    }
    return *m_painter;
}

void PlotSurface::segment(float x1, float y1, float x2, float y2, QColor colour)
{
    m_cx = x2, m_cy = y2;
    const QPointF a = toDevice(x1, y1);
    const QPointF b = toDevice(x2, y2);
    double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    if (!clipSegment(ax, ay, bx, by, -2.0, m_image.width() + 2.0, m_image.height() + 2.0))
        return;
    // A device pixel covers [i, i + 1): its index is the floor of the coordinate.
    const QPoint p1(static_cast<int>(std::floor(ax)), static_cast<int>(std::floor(ay)));
    const QPoint p2(static_cast<int>(std::floor(bx)), static_cast<int>(std::floor(by)));
    QPainter &p = painter(colour);
    if (p1 == p2)
        p.drawPoint(p1);
    else
        p.drawLine(p1, p2);
}

void PlotSurface::line(float x1, float y1, float x2, float y2)
{
    segment(x1, y1, x2, y2, QColor::fromRgb(kForeground));
}

void PlotSurface::line(float x1, float y1, float x2, float y2, PaletteColour colour)
{
    segment(x1, y1, x2, y2, paletteColour(colour));
}

void PlotSurface::lineTo(float x2, float y2, PaletteColour colour)
{
    segment(m_cx, m_cy, x2, y2, paletteColour(colour));
}

void PlotSurface::point(float x, float y, PaletteColour colour)
{
    m_cx = x, m_cy = y;
    const QPointF d = toDevice(x, y);
    if (!(d.x() >= 0 && d.x() < m_image.width() && d.y() >= 0 && d.y() < m_image.height()))
        return;
    painter(paletteColour(colour))
        .drawPoint(QPoint(static_cast<int>(d.x()), static_cast<int>(d.y())));
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

const QImage &PlotSurface::image()
{
    m_painter.reset();
    return m_image;
}

namespace {

// The 19 pairs of ticks at -4 .. 14, reaching 0.1 to either side of each axis.
void drawTicks(PlotSurface &s)
{
    constexpr float kTick = 0.1f;
    for (int i = -4; i <= 14; ++i) {
        const auto t = static_cast<float>(i);
        s.line(t, -kTick, t, kTick);
        s.line(-kTick, t, kTick, t);
    }
}

} // namespace

void drawStartupAxes(PlotSurface &s)
{
    s.setScale(-5, 15, 15, -5);
    s.line(-5, 0, 15, 0, kMagenta);
    s.line(0, 15, 0, -50); // runs past the bottom edge at -5
    drawTicks(s);
}

void drawResetAxes(PlotSurface &s)
{
    s.clear();
    s.line(-5, 0, 15, 0);
    s.line(0, 15, 0, -5);
    drawTicks(s);
}
