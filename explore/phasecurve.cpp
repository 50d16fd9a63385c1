// SPDX-License-Identifier: MIT

#include "explore/phasecurve.h"

#include "explore/phasewalk.h"
#include "explore/runmarks.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

// A run of this many slopes is drawn by two threads, each over half its blocks.
constexpr std::size_t kSplitRows = 1 << 19;
// A run drawn from its coverage map has its arrowheads where its first million samples go.
constexpr std::size_t kArrowBlocks = (std::size_t{1} << 20) / RunTrack::kPhaseBlock;

// A pen that draws nothing and only finds the arrowheads, until they are all found.
struct TrailOnly
{
    ArrowTrail &trail;
    void to(double x, double y) { trail.to(x, y); }
    void gap() { trail.gap(); }
    bool full() const { return trail.full(); }
};

class RasterPhases
{
public:
    RasterPhases(const PixelBuffer &image, const WorldScale &m, const ViewRequest &r,
                 const std::atomic<bool> &abort)
        : m_image(image), m_m(m), m_r(r), m_abort(abort)
    {
    }
    // A run's curve, over what the image holds, then its arrowheads and its start.
    bool draw(const RunTrack &track, const SampleStore::Snapshot &samples);

private:
    bool curve(const RunTrack &track, const SampleStore::Snapshot &samples,
               std::vector<Arrowhead> &heads);
    bool split(const RunTrack &track, const SampleStore::Snapshot &samples,
               std::vector<Arrowhead> &heads);

    const PixelBuffer &m_image;
    const WorldScale &m_m;
    const ViewRequest &m_r;
    const std::atomic<bool> &m_abort;
    std::vector<std::uint32_t> m_layer; // the second thread's image, clear between runs
};

bool RasterPhases::draw(const RunTrack &track, const SampleStore::Snapshot &samples)
{
    std::vector<Arrowhead> heads;
    if (!curve(track, samples, heads))
        return false;
    PixelCanvas canvas(m_image);
    canvas.setBold(track.style().live);
    drawArrowheads(canvas, heads, track.style().colour);
    canvas.setBold(false);
    if (track.rows() > 0) {
        const DevicePoint start = phaseStart(m_m, track);
        drawStartMark(canvas, start.x, start.y, track.style().colour);
    }
    return true;
}

bool RasterPhases::curve(const RunTrack &track, const SampleStore::Snapshot &samples,
                         std::vector<Arrowhead> &heads)
{
    const std::uint32_t colour = track.style().colour;
    const bool bold = track.style().live;
    const std::size_t blocks = track.slopeBlocks();
    ArrowTrail trail(m_image.width, m_image.height);
    bool done = true;
    if (track.coverage() && track.coverage()->servesPixels(1 / m_m.sx, 1 / m_m.sy)) {
        // A long run whose coverage map is as fine as the view's pixels: from its cells, and
        // its arrowheads from a walk along its first samples alone.
        const int w = m_image.width, h = m_image.height;
        track.coverage()->forEachCell([&](double x, double y) {
            const double px = m_m.dx(x), py = m_m.dy(y);
            if (px >= 0 && px < w && py >= 0 && py < h) {
                const int ix = static_cast<int>(px), iy = static_cast<int>(py);
                m_image.at(ix, iy) = colour;
                if (bold && iy + 1 < h)
                    m_image.at(ix, iy + 1) = colour;
            }
        });
        TrailOnly pen{trail};
        done = walkPhase(pen, m_m, m_r, track, samples, m_abort, 0, kArrowBlocks,
                         blocks <= kArrowBlocks);
    } else if (track.slopeRows() >= kSplitRows) {
        return split(track, samples, heads);
    } else {
        LinePen line(m_image, colour, bold);
        TrailPen pen(line, trail);
        done = walkPhase(pen, m_m, m_r, track, samples, m_abort, 0, blocks, true);
    }
    heads = trail.heads();
    return done;
}

// Millions of samples: the second half of the run's blocks drawn by a helper into an image
// of its own, laid over the first half before the next run comes, so that the runs keep
// their order. Within one run the order does not matter: it has one colour.
bool RasterPhases::split(const RunTrack &track, const SampleStore::Snapshot &samples,
                         std::vector<Arrowhead> &heads)
{
    const std::uint32_t colour = track.style().colour;
    const bool bold = track.style().live;
    const std::size_t blocks = track.slopeBlocks(), middle = blocks / 2;
    const std::size_t pixels =
        static_cast<std::size_t>(m_image.width) * static_cast<std::size_t>(m_image.height);
    if (m_layer.size() != pixels)
        m_layer.assign(pixels, 0); // transparent where nothing is drawn
    const PixelBuffer other{m_layer.data(), m_image.width, m_image.height,
                            static_cast<std::size_t>(m_image.width)};
    // Each half finds half the arrowheads along its own way.
    ArrowTrail firstTrail(m_image.width, m_image.height, ArrowTrail::kMost / 2);
    ArrowTrail secondTrail(m_image.width, m_image.height, ArrowTrail::kMost / 2);
    bool secondDone = true;
    std::thread helper([&] {
        LinePen line(other, colour, bold);
        TrailPen pen(line, secondTrail);
        secondDone = walkPhase(pen, m_m, m_r, track, samples, m_abort, middle, blocks, true);
    });
    LinePen line(m_image, colour, bold);
    TrailPen pen(line, firstTrail);
    const bool firstDone = walkPhase(pen, m_m, m_r, track, samples, m_abort, 0, middle, false);
    helper.join();
    for (int y = 0; y < m_image.height; ++y)
        for (int x = 0; x < m_image.width; ++x)
            if (std::uint32_t &p = other.at(x, y); p != 0)
                m_image.at(x, y) = p, p = 0;
    heads = firstTrail.heads();
    heads.insert(heads.end(), secondTrail.heads().begin(), secondTrail.heads().end());
    return firstDone && secondDone;
}

} // namespace

DevicePoint phaseStart(const WorldScale &m, const RunTrack &track)
{
    const solver::RunParameters &p = track.params();
    return {m.dx(p.y0), m.dy(static_cast<double>(static_cast<float>(p.z0)))};
}

bool drawPhases(const PixelBuffer &image, const WorldScale &m, const ViewRequest &r,
                const Tracks &tracks, const std::atomic<bool> &abort)
{
    RasterPhases phases(image, m, r, abort);
    for (const RunTrack &track : tracks.runs())
        if (!phases.draw(track, tracks.samples()))
            return false;
    return !tracks.live() || phases.draw(*tracks.live(), tracks.liveSamples());
}
