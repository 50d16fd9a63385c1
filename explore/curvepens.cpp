// SPDX-License-Identifier: MIT

#include "explore/curvepens.h"

#include "explore/viewstyle.h"

#include <algorithm>
#include <cmath>

CurvePen::CurvePen(Canvas &canvas, std::uint32_t colour)
    : m_canvas(canvas), m_colour(colour),
      m_batcher([this](std::uint32_t c, std::span<const PixelLine> lines) {
          m_canvas.drawLines(c, lines);
      })
{
}

void CurvePen::to(double x, double y)
{
    if (std::isnan(x) || std::isnan(y)) {
        m_has = false;
        return;
    }
    PixelLine pixels;
    const auto inside = [this](double px, double py) {
        return px >= 0 && px < m_canvas.width() && py >= 0 && py < m_canvas.height();
    };
    if (m_has && inside(m_x, m_y) && inside(x, y)) {
        // Both ends on the canvas, where the floor is the conversion itself.
        m_batcher.add({{static_cast<int>(m_x), static_cast<int>(m_y)},
                       {static_cast<int>(x), static_cast<int>(y)}},
                      m_colour);
    } else if (m_has &&
               segmentPixels(m_x, m_y, x, y, m_canvas.width(), m_canvas.height(), pixels)) {
        m_batcher.add(pixels, m_colour);
    }
    m_has = true;
    m_x = x, m_y = y;
}

void CurvePen::finish()
{
    m_batcher.close();
    m_batcher.flush();
}

void SpanPen::add(int column, double top, double bottom)
{
    if (std::isnan(top) || std::isnan(bottom)) {
        gap();
        return;
    }
    if (m_open && column == m_column) {
        m_top = std::min(m_top, top);
        m_bottom = std::max(m_bottom, bottom);
        return;
    }
    close();
    m_open = true;
    m_column = column, m_top = top, m_bottom = bottom;
}

void SpanPen::close()
{
    if (!m_open)
        return;
    double top = m_top, bottom = m_bottom;
    // Joined to the column before: the curve passed between their nearest ends.
    if (m_joined) {
        top = std::min(top, m_lastBottom);
        bottom = std::max(bottom, m_lastTop);
    }
    m_lastTop = m_top, m_lastBottom = m_bottom;
    m_joined = true;
    m_open = false;
    const double h = m_canvas.height();
    if (bottom < 0 || top >= h || m_column < 0 || m_column >= m_canvas.width())
        return;
    const int a = static_cast<int>(std::floor(std::max(top, -1.0)));
    const int b = static_cast<int>(std::floor(std::min(bottom, h)));
    m_lines.push_back({{m_column, a}, {m_column, b}});
    if (m_lines.size() >= 4096) {
        m_canvas.drawLines(m_colour, m_lines);
        m_lines.clear();
    }
}

void SpanPen::gap()
{
    close();
    m_joined = false;
}

void SpanPen::finish()
{
    close();
    if (!m_lines.empty())
        m_canvas.drawLines(m_colour, m_lines);
    m_lines.clear();
}

namespace {

// The grid indices of a run of `rows` samples from x0 that lie within the view's
// abscissae, with one more on each side so that the curve leaves the view's edges.
bool visibleIndices(const ViewRequest &r, double x0, std::size_t rows, std::size_t &from,
                    std::size_t &to)
{
    if (rows == 0)
        return false;
    const double last = static_cast<double>(rows - 1);
    const double a = std::clamp(std::floor((r.world.left - x0) / solver::h) - 1, 0.0, last);
    const double b = std::clamp(std::ceil((r.world.right - x0) / solver::h) + 1, 0.0, last);
    if (!(a <= b))
        return false;
    from = static_cast<std::size_t>(a), to = static_cast<std::size_t>(b) + 1;
    return true;
}

// A series over the grid of a run from x0: value(i) is the ordinate of sample i (not a
// number: a gap), range(lo, hi) the ordinates a block of `detail` with that least and
// greatest value reaches, as a pair (lowest, highest). Where a pixel holds few samples,
// the polyline through them; where it holds many, the coarsest blocks no wider than a
// pixel, each a span in its column.
template<typename T, typename Value, typename BlockRange>
bool drawSeries(Canvas &canvas, const WorldScale &m, const ViewRequest &r, double x0,
                std::size_t rows, const Pyramid<T> &detail, std::uint32_t colour, Value value,
                BlockRange range, const std::atomic<bool> &abort)
{
    std::size_t from = 0, to = 0;
    if (!visibleIndices(r, x0, rows, from, to))
        return true;
    const double perPixel = 1.0 / (m.sx * solver::h); // samples a device column holds
    if (perPixel < static_cast<double>(Pyramid<T>::kBase)) {
        CurvePen pen(canvas, colour);
        for (std::size_t i = from; i < to; ++i) {
            if ((i & 0xFFFF) == 0 && abort.load(std::memory_order_relaxed))
                return false;
            pen.to(m.dx(solver::gridAbscissa(x0, static_cast<std::int64_t>(i))), m.dy(value(i)));
        }
        return true;
    }
    std::size_t level = 0;
    while (level + 1 < detail.levels() &&
           static_cast<double>(Pyramid<T>::kBase << (level + 1)) <= perPixel)
        ++level;
    SpanPen pen(canvas, colour);
    const auto span = [&](double centre, double lo, double hi) {
        const double column = std::floor(m.dx(x0 + solver::h * centre));
        if (column < -1 || column > canvas.width())
            return;
        const auto [a, b] = range(lo, hi);
        pen.add(static_cast<int>(column), m.dy(b), m.dy(a));
    };
    std::size_t i = from - from % (Pyramid<T>::kBase << level);
    std::size_t steps = 0;
    while (i < to) {
        if ((++steps & 0xFFF) == 0 && abort.load(std::memory_order_relaxed))
            return false;
        bool used = false;
        // The coarsest whole block that starts here; a run too short for any, sample by
        // sample.
        for (std::size_t l = std::min(level + 1, detail.levels()); l-- > 0 && !used;) {
            const std::size_t size = Pyramid<T>::kBase << l, b = i / size;
            if (i % size == 0 && detail.has(l, b)) {
                const T lo = detail.level(l)[2 * b], hi = detail.level(l)[2 * b + 1];
                if (lo <= hi)
                    span(static_cast<double>(i) + static_cast<double>(size - 1) / 2, lo, hi);
                else
                    pen.gap(); // nothing but gaps in the block
                i += size;
                used = true;
            }
        }
        if (!used) {
            // A run that ends before the view (or starts after it) still hands in its last
            // (or first) sample, which can lie further away than an int counts columns.
            const double v = value(i);
            const double column =
                std::floor(m.dx(solver::gridAbscissa(x0, static_cast<std::int64_t>(i))));
            if (std::isnan(v))
                pen.gap();
            else if (column >= -1 && column <= canvas.width())
                pen.add(static_cast<int>(column), m.dy(v), m.dy(v));
            ++i;
        }
    }
    return true;
}

} // namespace

bool drawSolution(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
                  const SampleStore::Snapshot &samples, const std::atomic<bool> &abort)
{
    const solver::RunParameters &p = track.params();
    const std::size_t first = track.firstRow();
    const auto curves = p.eq->curves;
    canvas.setBold(track.style().live);
    bool done = true;
    for (std::size_t k = 0; k < curves.size() && done; ++k) {
        const solver::Curve &curve = curves[k];
        // A power of y is monotonic in y where it has a value: a block's range is its ends'.
        const auto value = [&](std::size_t i) {
            return solver::curveValue(curve, p.values, samples.y(first + i));
        };
        const auto range = [&](double lo, double hi) {
            const double a = solver::curveValue(curve, p.values, lo),
                         b = solver::curveValue(curve, p.values, hi);
            return a <= b ? std::pair(a, b) : std::pair(b, a);
        };
        canvas.setLineStyle(viewstyle::curveStyle(k));
        done = drawSeries(canvas, m, r, p.x0, track.rows(), track.detail(), track.style().colour,
                          value, range, abort);
    }
    canvas.setLineStyle(LineStyle::Solid);
    canvas.setBold(false);
    return done;
}

bool drawReference(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
                   const SampleStore::Snapshot &samples, const std::atomic<bool> &abort)
{
    const ReferenceTrack &ref = track.reference();
    const std::size_t first = track.firstRow();
    const auto value = [&](std::size_t i) {
        return samples.y(first + i) - static_cast<double>(ref.error(i));
    };
    const auto range = [](double lo, double hi) { return std::pair(lo, hi); };
    return drawSeries(canvas, m, r, track.params().x0, std::min(track.rows(), ref.rows()),
                      ref.referenceDetail(), viewstyle::kReference, value, range, abort);
}

bool drawError(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
               const std::atomic<bool> &abort)
{
    const ReferenceTrack &ref = track.reference();
    // The ordinate is log10 |error|; an error of 0 lies at the bottom of the view, never at
    // minus infinity.
    const double bottom = r.world.bottom;
    const auto log = [bottom](double e) { return e == 0 ? bottom : std::log10(e); };
    const auto value = [&](std::size_t i) {
        return log(std::fabs(static_cast<double>(ref.error(i))));
    };
    const auto range = [&](double lo, double hi) { return std::pair(log(lo), log(hi)); };
    canvas.setBold(track.style().live);
    const bool done =
        drawSeries(canvas, m, r, track.params().x0, std::min(track.rows(), ref.rows()),
                   ref.errorDetail(), track.style().colour, value, range, abort);
    canvas.setBold(false);
    return done;
}
