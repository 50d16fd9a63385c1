// SPDX-License-Identifier: MIT

#include "explore/curvepens.h"

#include "explore/viewstyle.h"

#include <algorithm>
#include <cmath>

using solver::Equation;

CurvePen::CurvePen(Canvas &canvas, QRgb colour)
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

// y, y^n or y^(n+1): the value curve k of a run draws for y.
double curveValue(int k, double y, double n)
{
    return k == 0 ? y : std::pow(y, k == 1 ? n : n + 1);
}

// The grid indices of a run that lie within the view's abscissae, with one more on each
// side so that the curve leaves the view's edges.
bool visibleIndices(const ViewRequest &r, const RunTrack &track, std::size_t &from, std::size_t &to)
{
    if (track.rows() == 0)
        return false;
    const double x0 = track.params().x0;
    const double last = static_cast<double>(track.rows() - 1);
    const double a = std::clamp(std::floor((r.world.left - x0) / solver::h) - 1, 0.0, last);
    const double b = std::clamp(std::ceil((r.world.right - x0) / solver::h) + 1, 0.0, last);
    if (!(a <= b))
        return false;
    from = static_cast<std::size_t>(a), to = static_cast<std::size_t>(b) + 1;
    return true;
}

} // namespace

bool drawSolution(Canvas &canvas, const ViewMapping &m, const ViewRequest &r, const RunTrack &track,
                  const SampleStore::Snapshot &samples, const std::atomic<bool> &abort)
{
    std::size_t from = 0, to = 0;
    if (!visibleIndices(r, track, from, to))
        return true;
    const solver::RunParameters &p = track.params();
    const int curves = viewstyle::curvesOf(p.eq);
    const double perPixel = 1.0 / (m.sx * solver::h); // samples a device column holds
    const std::size_t first = track.firstRow();

    if (perPixel < static_cast<double>(RunTrack::kLodBase)) {
        // Few samples a pixel: the polyline through each of them.
        for (int k = 0; k < curves; ++k) {
            CurvePen pen(canvas, viewstyle::curveColour(viewstyle::kCurveColours[k]));
            for (std::size_t i = from; i < to; ++i) {
                if ((i & 0xFFFF) == 0 && abort.load(std::memory_order_relaxed))
                    return false;
                const double x = solver::gridAbscissa(p.x0, static_cast<std::int64_t>(i));
                pen.to(m.dx(x), m.dy(curveValue(k, samples.y(first + i), p.n)));
            }
        }
        return true;
    }

    // Many: the coarsest blocks no wider than a pixel, each a span in its column.
    std::size_t level = 0;
    while (level + 1 < track.levels() &&
           static_cast<double>(RunTrack::kLodBase << (level + 1)) <= perPixel)
        ++level;
    for (int k = 0; k < curves; ++k) {
        SpanPen pen(canvas, viewstyle::curveColour(viewstyle::kCurveColours[k]));
        const auto span = [&](double centre, double lo, double hi) {
            const double x = p.x0 + solver::h * centre;
            double a = curveValue(k, lo, p.n), b = curveValue(k, hi, p.n);
            if (a > b)
                std::swap(a, b);
            const double column = std::floor(m.dx(x));
            if (column < -1 || column > canvas.width())
                return;
            pen.add(static_cast<int>(column), m.dy(b), m.dy(a));
        };
        std::size_t i = from - from % (RunTrack::kLodBase << level);
        std::size_t steps = 0;
        while (i < to) {
            if ((++steps & 0xFFF) == 0 && abort.load(std::memory_order_relaxed))
                return false;
            bool used = false;
            // The coarsest whole block that starts here; a run too short for any, sample by
            // sample.
            for (std::size_t l = std::min(level + 1, track.levels()); l-- > 0 && !used;) {
                const std::size_t size = RunTrack::kLodBase << l;
                const std::vector<double> &blocks = track.level(l);
                if (i % size == 0 && (i / size) * 2 + 1 < blocks.size()) {
                    span(static_cast<double>(i) + static_cast<double>(size - 1) / 2,
                         blocks[(i / size) * 2], blocks[(i / size) * 2 + 1]);
                    i += size;
                    used = true;
                }
            }
            if (!used) {
                const double y = samples.y(first + i);
                span(static_cast<double>(i), y, y);
                ++i;
            }
        }
    }
    return true;
}

bool drawPhase(QImage &image, const ViewMapping &m, const ViewRequest &r, const RunTrack &track,
               const SampleStore::Snapshot &samples, const std::atomic<bool> &abort,
               std::size_t fromBlock, std::size_t toBlock, bool withTail)
{
    const std::size_t rows = track.slopeRows();
    if (rows == 0)
        return true;
    const std::size_t first = track.firstRow();
    LinePen pen(image, viewstyle::curveColour(kLightRed));
    const double slopePerPixel = 1.0 / m.sy;
    const WorldRect &w = r.world;
    // A block beyond the view by more than a pixel is passed by.
    const double padX = 2.0 / m.sx, padY = 2.0 / m.sy;
    const auto point = [&](std::size_t i, double z) {
        pen.to(m.dx(samples.y(first + i)), m.dy(z));
    };
    // A block run again for its exact slopes, from its first sample to its last.
    struct Exact : solver::StateSink
    {
        decltype(point) &draw;
        std::size_t end;
        Exact(decltype(point) &d, std::size_t e) : draw(d), end(e) {}
        bool state(const solver::GridState &s) override
        {
            draw(static_cast<std::size_t>(s.i), s.z);
            return static_cast<std::size_t>(s.i) + 1 < end;
        }
    };

    const std::size_t blocks = track.slopeBlocks();
    const std::vector<double> *lod = track.levels() > 0 ? &track.level(0) : nullptr;
    bool joined = false; // the sample before this block was drawn
    for (std::size_t b = fromBlock; b < std::min(blocks, toBlock); ++b) {
        if ((b & 0x3FF) == 0 && abort.load(std::memory_order_relaxed))
            return false;
        const RunTrack::SlopeBlock &block = track.slopeBlock(b);
        const std::size_t begin = b * RunTrack::kPhaseBlock, end = begin + RunTrack::kPhaseBlock;
        // The block's box: its slopes' range, and its values' range from the first level
        // of detail where that block is whole, else from the samples.
        const double zLo = block.lo, zHi = block.lo + 255.0f * block.step;
        double yLo = 0, yHi = 0;
        if (const std::size_t l = begin / RunTrack::kLodBase; lod && l * 2 + 1 < lod->size()) {
            yLo = (*lod)[l * 2], yHi = (*lod)[l * 2 + 1];
        } else {
            yLo = yHi = samples.y(first + begin);
            for (std::size_t i = begin; i < end; ++i)
                yLo = std::min(yLo, samples.y(first + i)),
                yHi = std::max(yHi, samples.y(first + i));
        }
        if (zHi < w.bottom - padY || zLo > w.top + padY || yHi < w.left - padX ||
            yLo > w.right + padX) {
            pen.gap();
            joined = false;
            continue;
        }
        if (!joined && b > 0)
            point(begin - 1, track.slope(begin - 1)); // from the sample before the block
        if (block.step > slopePerPixel) {
            // Zoomed in until the byte's half step, its greatest error, passes half a pixel:
            // the block run again for its exact slopes.
            Exact exact(point, end);
            solver::resume(track.params(), track.blockStart(b, samples), exact);
        } else {
            for (std::size_t i = begin; i < end; ++i)
                point(i, track.slope(i));
        }
        joined = true;
    }
    // The block under way: its slopes exact.
    if (!withTail)
        return true;
    const std::size_t tail = blocks * RunTrack::kPhaseBlock;
    if (!joined && blocks > 0 && rows > tail)
        point(tail - 1, track.slope(tail - 1));
    for (std::size_t i = tail; i < rows; ++i)
        point(i, track.slope(i));
    return true;
}
