// SPDX-License-Identifier: MIT

#include "explore/phasecurve.h"

#include "explore/phasewalk.h"
#include "explore/runmarks.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

// A run of this many slopes is drawn by two threads, each over half its blocks; two shorter
// runs one after the other with this many between them, each by a thread of its own.
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

// A run's curve over its slope blocks from .. to - 1, and its samples after its last whole
// block when `tail`.
struct Stretch
{
    const RunTrack *track;
    const SampleStore::Snapshot *samples;
    std::size_t from, to;
    bool tail;
};

// The runs in their order, each over the ones before it, its arrowheads and its start over
// its own curve. Millions of samples are drawn by two threads: the later stretch (the second
// half of a long run, or the later of two runs) into an image of its own, laid over the
// image before anything after it is drawn, so that the order holds.
class RasterPhases
{
public:
    RasterPhases(const PixelBuffer &image, const WorldScale &m, const ViewRequest &r,
                 const std::atomic<bool> &abort)
        : m_image(image), m_m(m), m_r(r), m_abort(abort)
    {
    }
    bool draw(const std::vector<Stretch> &runs);

private:
    bool mapped(const RunTrack &track) const
    {
        return track.coverage() && track.coverage()->servesPixels(1 / m_m.sx, 1 / m_m.sy);
    }
    bool drawMapped(const Stretch &run, ArrowTrail &trail);
    bool walk(const PixelBuffer &into, const Stretch &stretch, ArrowTrail &trail) const
    {
        LinePen line(into, stretch.track->style().colour, stretch.track->style().live,
                     lineScale(m_r));
        TrailPen pen(line, trail);
        return walkPhase(pen, m_m, m_r, *stretch.track, *stretch.samples, m_abort, stretch.from,
                         stretch.to, stretch.tail);
    }
    // `first` into the image, `second` by a helper over it; the first's marks between the
    // two unless both are of one run.
    bool pair(const Stretch &first, const Stretch &second);
    void marks(const RunTrack &track, const std::vector<Arrowhead> &heads) const;

    const PixelBuffer &m_image;
    const WorldScale &m_m;
    const ViewRequest &m_r;
    const std::atomic<bool> &m_abort;
    std::vector<std::uint32_t> m_layer; // the helper's image, clear between pairs
};

bool RasterPhases::draw(const std::vector<Stretch> &runs)
{
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const Stretch &run = runs[k];
        const RunTrack &track = *run.track;
        const std::size_t rows = track.slopeRows();
        const Stretch *next = k + 1 < runs.size() ? &runs[k + 1] : nullptr;
        bool done = true;
        if (mapped(track)) {
            ArrowTrail trail(m_image.width, m_image.height);
            done = drawMapped(run, trail);
            marks(track, trail.heads());
        } else if (rows >= kSplitRows) {
            const std::size_t middle = track.slopeBlocks() / 2;
            done = pair({run.track, run.samples, 0, middle, false},
                        {run.track, run.samples, middle, run.to, true});
        } else if (next && !mapped(*next->track) && next->track->slopeRows() < kSplitRows &&
                   rows + next->track->slopeRows() >= kSplitRows) {
            done = pair(run, *next);
            ++k;
        } else {
            ArrowTrail trail(m_image.width, m_image.height);
            done = walk(m_image, run, trail);
            marks(track, trail.heads());
        }
        if (!done)
            return false;
    }
    return true;
}

bool RasterPhases::drawMapped(const Stretch &run, ArrowTrail &trail)
{
    // A long run whose coverage map is as fine as the view's pixels: from its cells, and
    // its arrowheads from a walk along its first samples alone.
    const RunTrack &track = *run.track;
    const std::uint32_t colour = track.style().colour;
    const bool bold = track.style().live;
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
    return walkPhase(pen, m_m, m_r, track, *run.samples, m_abort, 0, kArrowBlocks,
                     track.slopeBlocks() <= kArrowBlocks);
}

bool RasterPhases::pair(const Stretch &first, const Stretch &second)
{
    const bool oneRun = first.track == second.track;
    const std::size_t pixels =
        static_cast<std::size_t>(m_image.width) * static_cast<std::size_t>(m_image.height);
    if (m_layer.size() != pixels)
        m_layer.assign(pixels, 0); // transparent where nothing is drawn
    const PixelBuffer other{m_layer.data(), m_image.width, m_image.height,
                            static_cast<std::size_t>(m_image.width)};
    // The halves of one run find half its arrowheads each, along their own ways.
    const std::size_t most = oneRun ? ArrowTrail::kMost / 2 : ArrowTrail::kMost;
    ArrowTrail firstTrail(m_image.width, m_image.height, most);
    ArrowTrail secondTrail(m_image.width, m_image.height, most);
    bool secondDone = true;
    std::thread helper([&] { secondDone = walk(other, second, secondTrail); });
    const bool firstDone = walk(m_image, first, firstTrail);
    if (!oneRun)
        marks(*first.track, firstTrail.heads());
    helper.join();
    for (int y = 0; y < m_image.height; ++y)
        for (int x = 0; x < m_image.width; ++x)
            if (std::uint32_t &p = other.at(x, y); p != 0)
                m_image.at(x, y) = p, p = 0;
    std::vector<Arrowhead> heads = secondTrail.heads();
    if (oneRun)
        heads.insert(heads.end(), firstTrail.heads().begin(), firstTrail.heads().end());
    marks(*second.track, heads);
    return firstDone && secondDone;
}

void RasterPhases::marks(const RunTrack &track, const std::vector<Arrowhead> &heads) const
{
    PixelCanvas canvas(m_image, lineScale(m_r));
    canvas.setBold(track.style().live);
    drawArrowheads(canvas, heads, track.style().colour);
    canvas.setBold(false);
    if (track.rows() > 0) {
        const DevicePoint start = phaseStart(m_m, track);
        drawStartMark(canvas, start.x, start.y, track.style().colour);
    }
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
    std::vector<Stretch> runs;
    for (const RunTrack &track : tracks.runs())
        runs.push_back({&track, &tracks.samples(), 0, track.slopeBlocks(), true});
    if (const RunTrack *live = tracks.live())
        runs.push_back({live, &tracks.liveSamples(), 0, live->slopeBlocks(), true});
    RasterPhases phases(image, m, r, abort);
    return phases.draw(runs);
}
