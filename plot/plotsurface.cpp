// SPDX-License-Identifier: MIT

#include "plot/plotsurface.h"

#include <QPen>

#include <array>
#include <cmath>

namespace {

// The palette as QColors, made once: building a QColor from an RGB value took a sixth of
// a long run's time when each segment did it.
const QColor &paletteColour(PaletteColour index)
{
    static const std::array<QColor, 16> colours = [] {
        std::array<QColor, 16> c;
        for (int i = 0; i < 16; ++i)
            c[static_cast<std::size_t>(i)] = QColor::fromRgb(paletteRgb(i));
        return c;
    }();
    return colours[static_cast<std::size_t>(index) & 15u];
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
              QImage::Format_RGB32),
      m_width(m_image.width()), m_height(m_image.height()), m_devicePixelRatio(devicePixelRatio)
{
    m_image.fill(kBackground);
}

PlotSurface::PlotSurface(QPainter &vector, int gridSize)
    : m_vector(&vector), m_dots(static_cast<std::size_t>(gridSize) * gridSize), m_width(gridSize),
      m_height(gridSize)
{
    m_vector->setRenderHint(QPainter::Antialiasing, false);
    m_vector->fillRect(QRect(0, 0, m_width, m_height), QColor::fromRgb(kBackground));
}

PlotSurface::~PlotSurface() = default;

void PlotSurface::setScale(float left, float top, float right, float bottom)
{
    m_left = left, m_top = top, m_right = right, m_bottom = bottom;
    m_cd = toDevice(m_cx, m_cy);
}

void PlotSurface::clear()
{
    m_lines.clear();
    m_columnOpen = false;
    if (m_vector) {
        std::fill(m_dots.begin(), m_dots.end(), Dot{});
        m_vector->fillRect(QRect(0, 0, m_width, m_height), QColor::fromRgb(kBackground));
    } else {
        m_painter.reset();
        m_image.fill(kBackground);
    }
    moveTo(0, 0);
}

void PlotSurface::moveTo(float x, float y)
{
    m_cx = x, m_cy = y;
    m_cd = toDevice(x, y);
}

QPointF PlotSurface::toDevice(float x, float y) const
{
    // The single-precision coordinates are widened, so the mapping itself cannot overflow.
    return {(static_cast<double>(x) - m_left) * m_width / (m_right - m_left),
            (static_cast<double>(y) - m_top) * m_height / (m_bottom - m_top)};
}

QPainter &PlotSurface::painter(QColor colour)
{
    if (m_vector) {
        if (colour != m_penColour) {
            // A line of one cell's width, its square ends covering the end cells.
            m_vector->setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            m_penColour = colour;
        }
        return *m_vector;
    }
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

void PlotSurface::segment(QPointF a, QPointF b, QColor colour)
{
    // The box is a little larger than the image, so the clipped end points fit in an int
    // and the painter's own clipping trims the last pixel.
    constexpr double lo = -2.0;
    const double hiX = m_width + 2.0, hiY = m_height + 2.0;
    double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    // Wholly beyond one edge: nothing of it shows. Most segments of a curve that has left
    // the plot end here, before any clipping arithmetic.
    if ((ax < lo && bx < lo) || (ax > hiX && bx > hiX) || (ay < lo && by < lo) ||
        (ay > hiY && by > hiY))
        return;
    const bool inside = ax >= lo && ax <= hiX && ay >= lo && ay <= hiY && bx >= lo && bx <= hiX &&
                        by >= lo && by <= hiY;
    if (!inside && !clipSegment(ax, ay, bx, by, lo, hiX, hiY))
        return;
    // A device pixel covers [i, i + 1): its index is the floor of the coordinate.
    addLine(QPoint(static_cast<int>(std::floor(ax)), static_cast<int>(std::floor(ay))),
            QPoint(static_cast<int>(std::floor(bx)), static_cast<int>(std::floor(by))), colour);
}

void PlotSurface::addLine(QPoint p1, QPoint p2, QColor colour)
{
    if (colour != m_batchColour) {
        closeColumn();
        flushLines();
        m_batchColour = colour;
    }
    if (m_columnOpen && p1.x() == m_column && p1.y() == m_columnExit) {
        // The polyline goes on from where it is.
        if (p2.x() == m_column) {
            // Still in the same column: the span only grows.
            m_columnTop = std::min(m_columnTop, p2.y());
            m_columnBottom = std::max(m_columnBottom, p2.y());
            m_columnExit = p2.y();
            return;
        }
        closeColumn();
    } else {
        closeColumn();
        if (p1.x() == p2.x()) {
            m_columnOpen = true;
            m_columnCovered = false;
            m_column = p1.x();
            m_columnTop = std::min(p1.y(), p2.y());
            m_columnBottom = std::max(p1.y(), p2.y());
            m_columnExit = p2.y();
            return;
        }
    }
    // Into another column: the segment itself, and a new span at its end pixel.
    m_lines.emplace_back(p1, p2);
    m_columnOpen = true;
    m_columnCovered = true;
    m_column = p2.x();
    m_columnTop = m_columnBottom = m_columnExit = p2.y();
    if (m_lines.size() >= 4096)
        flushLines();
}

void PlotSurface::queueColumn()
{
    if (m_columnOpen && !(m_columnCovered && m_columnTop == m_columnBottom))
        m_lines.emplace_back(m_column, m_columnTop, m_column, m_columnBottom);
}

void PlotSurface::closeColumn()
{
    queueColumn();
    m_columnOpen = false;
}

void PlotSurface::flushLines()
{
    if (m_lines.empty())
        return;
    QPainter &p = painter(m_batchColour);
    if (m_vector) {
        // Through the cells' centres; a zero-length line is the cell itself.
        std::vector<QLineF> lines;
        lines.reserve(m_lines.size());
        for (const QLine &l : m_lines) {
            if (l.p1() == l.p2())
                dot(l.x1(), l.y1(), m_batchColour);
            else
                lines.emplace_back(QPointF(l.p1()) + QPointF(0.5, 0.5),
                                   QPointF(l.p2()) + QPointF(0.5, 0.5));
        }
        if (!lines.empty()) {
            p.drawLines(lines.data(), static_cast<int>(lines.size()));
            ++m_batches;
        }
        m_lines.clear();
        return;
    }
    // Zero-length lines are drawn as the points they are; the rest in one call per run
    // of proper lines.
    std::size_t from = 0;
    for (std::size_t i = 0; i <= m_lines.size(); ++i) {
        if (i < m_lines.size() && m_lines[i].p1() != m_lines[i].p2())
            continue;
        if (i > from)
            p.drawLines(&m_lines[from], static_cast<int>(i - from));
        if (i < m_lines.size())
            p.drawPoint(m_lines[i].p1());
        from = i + 1;
    }
    m_lines.clear();
}

void PlotSurface::line(float x1, float y1, float x2, float y2)
{
    line(x1, y1, x2, y2, QColor::fromRgb(kForeground));
}

void PlotSurface::line(float x1, float y1, float x2, float y2, PaletteColour colour)
{
    line(x1, y1, x2, y2, paletteColour(colour));
}

void PlotSurface::line(float x1, float y1, float x2, float y2, QColor colour)
{
    const QPointF a = toDevice(x1, y1);
    moveTo(x2, y2);
    segment(a, m_cd, colour);
}

void PlotSurface::lineTo(float x2, float y2, PaletteColour colour)
{
    const QPointF a = m_cd;
    moveTo(x2, y2);
    segment(a, m_cd, paletteColour(colour));
}

void PlotSurface::point(float x, float y, PaletteColour colour)
{
    moveTo(x, y);
    const double dx = m_cd.x(), dy = m_cd.y();
    if (!(dx >= 0 && dx < m_width && dy >= 0 && dy < m_height))
        return;
    // Lines queued before the point are painted before it, so that whatever is drawn
    // later lies on top, as if each mark were painted at once.
    closeColumn();
    flushLines();
    if (m_vector) {
        dot(static_cast<int>(dx), static_cast<int>(dy), paletteColour(colour));
        return;
    }
    // A one-pixel aliased dot is exactly this pixel; writing it directly keeps a run of
    // dots in three alternating colours free of per-dot painter calls.
    auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(static_cast<int>(dy)));
    line[static_cast<int>(dx)] = paletteRgb(colour) | 0xFF000000u;
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

void PlotSurface::dot(int x, int y, QColor colour)
{
    // A dot over a dot of the same colour, with no line painted in between, adds nothing:
    // ten million Emden samples become as many squares as the cells they light.
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    Dot &last = m_dots[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                       static_cast<std::size_t>(x)];
    const Dot now{colour.rgb(), m_batches};
    if (last.colour == now.colour && last.batch == now.batch)
        return;
    last = now;
    m_vector->fillRect(QRect(x, y, 1, 1), colour);
}

void PlotSurface::finish()
{
    closeColumn();
    flushLines();
    m_painter.reset();
}

const QImage &PlotSurface::image()
{
    // The span under way is painted as far as it goes, and stays open for more.
    queueColumn();
    flushLines();
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
