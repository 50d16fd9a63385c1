// SPDX-License-Identifier: MIT

#include "explore/phasecurve.h"

#include "explore/pixelcanvas.h"
#include "explore/viewstyle.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

// From this many slopes on, the phase plane is drawn by two threads.
constexpr std::size_t kSplitRows = 1 << 20;

// The phase curve of the slope blocks fromBlock .. toBlock - 1 of a run, and of the
// samples after its last whole block when `withTail`, with `pen`.
template<typename Pen>
bool drawPhase(Pen &pen, const WorldScale &m, const ViewRequest &r, const RunTrack &track,
               const SampleStore::Snapshot &samples, const std::atomic<bool> &abort,
               std::size_t fromBlock, std::size_t toBlock, bool withTail)
{
    const std::size_t rows = track.slopeRows();
    if (rows == 0)
        return true;
    const std::size_t first = track.firstRow();
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

} // namespace

// Every run's phase curve. Millions of samples are drawn by two threads, each into an
// image of its own over half the blocks of each run, and the second image's curve is laid
// over the first: the curve has one colour, so the order does not matter.
bool drawPhases(const PixelBuffer &image, const WorldScale &m, const ViewRequest &r,
                const Tracks &tracks, const SampleStore::Snapshot &samples,
                const std::atomic<bool> &abort)
{
    const std::uint32_t curve = viewstyle::curveColour(kLightRed);
    // A long run whose coverage map is as fine as the view's pixels: from its cells.
    const auto mapped = [&](const RunTrack &track) {
        return track.coverage() && track.coverage()->servesPixels(1 / m.sx, 1 / m.sy);
    };
    std::size_t rows = 0;
    for (const RunTrack &track : tracks.runs()) {
        if (!mapped(track)) {
            rows += track.slopeRows();
            continue;
        }
        const int w = image.width, h = image.height;
        track.coverage()->forEachCell([&](double x, double y) {
            const double px = m.dx(x), py = m.dy(y);
            if (px >= 0 && px < w && py >= 0 && py < h)
                image.at(static_cast<int>(px), static_cast<int>(py)) = curve;
        });
    }
    const auto half = [&](const PixelBuffer &into, bool second) {
        bool done = true;
        for (const RunTrack &track : tracks.runs()) {
            if (mapped(track))
                continue;
            const std::size_t middle = rows >= kSplitRows ? track.slopeBlocks() / 2 : 0;
            LinePen pen(into, curve);
            done = done && (second ? drawPhase(pen, m, r, track, samples, abort, middle,
                                               track.slopeBlocks(), true)
                                   : drawPhase(pen, m, r, track, samples, abort, 0, middle, false));
        }
        return done;
    };
    if (rows < kSplitRows)
        return half(image, true);
    std::vector<std::uint32_t> pixels(
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 0);
    const PixelBuffer other{pixels.data(), image.width, image.height,
                            static_cast<std::size_t>(image.width)};
    bool secondDone = true;
    std::thread helper([&] { secondDone = half(other, true); });
    const bool firstDone = half(image, false);
    helper.join();
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (other.at(x, y) == curve)
                image.at(x, y) = curve;
    return firstDone && secondDone;
}

CoveredPen::CoveredPen(Canvas &canvas, std::uint32_t colour, std::size_t most)
    : m_canvas(canvas), m_colour(colour), m_most(most),
      m_drawn(static_cast<std::size_t>(canvas.width()) * static_cast<std::size_t>(canvas.height()))
{
}

void CoveredPen::to(double x, double y)
{
    if (std::isnan(x) || std::isnan(y)) {
        gap();
        return;
    }
    PixelLine line;
    if (m_has && segmentPixels(m_x, m_y, x, y, m_canvas.width(), m_canvas.height(), line)) {
        // Kept when it sets a pixel of the canvas that no kept line set before.
        bool fresh = false;
        walkLine(line.a.x, line.a.y, line.b.x, line.b.y, [&](int px, int py) {
            if (px < 0 || py < 0 || px >= m_canvas.width() || py >= m_canvas.height())
                return;
            const std::size_t k =
                static_cast<std::size_t>(py) * static_cast<std::size_t>(m_canvas.width()) +
                static_cast<std::size_t>(px);
            if (!m_drawn[k])
                m_drawn[k] = true, fresh = true;
        });
        if (fresh && !m_tooMany) {
            m_lines.push_back(line);
            if (m_lines.size() > m_most)
                m_tooMany = true, m_lines = {};
        }
    }
    m_has = true;
    m_x = x, m_y = y;
}

void CoveredPen::finish()
{
    if (m_tooMany) {
        // Each row's runs of set pixels, as lines one pixel high.
        const int w = m_canvas.width();
        for (int y = 0; y < m_canvas.height(); ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
            for (int x = 0; x < w; ++x) {
                if (!m_drawn[row + static_cast<std::size_t>(x)])
                    continue;
                int end = x;
                while (end + 1 < w && m_drawn[row + static_cast<std::size_t>(end) + 1])
                    ++end;
                m_lines.push_back({{x, y}, {end, y}});
                x = end;
            }
        }
        m_tooMany = false;
    }
    for (std::size_t k = 0; k < m_lines.size(); k += 4096)
        m_canvas.drawLines(m_colour, std::span(m_lines).subspan(
                                         k, std::min<std::size_t>(4096, m_lines.size() - k)));
    m_lines.clear();
}

bool drawPhases(Canvas &canvas, const WorldScale &m, const ViewRequest &r, const Tracks &tracks,
                const SampleStore::Snapshot &samples, const std::atomic<bool> &abort)
{
    // One pen for every run: they share one colour, and a cycle another run has drawn
    // already adds nothing.
    CoveredPen pen(canvas, viewstyle::curveColour(kLightRed));
    for (const RunTrack &track : tracks.runs()) {
        pen.gap();
        if (!drawPhase(pen, m, r, track, samples, abort, 0, track.slopeBlocks(), true))
            return false;
    }
    pen.finish();
    return true;
}
