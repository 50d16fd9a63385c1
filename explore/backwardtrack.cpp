// SPDX-License-Identifier: MIT

#include "explore/backwardtrack.h"

#include "plot/columnbatcher.h"

#include <algorithm>
#include <cmath>

namespace {

class BackSink final : public solver::StateSink
{
public:
    BackSink(BackwardTrack &track, ViewKind kind, const WorldRect &box, std::uint64_t stride,
             const std::atomic<bool> &abort)
        : m_track(track), m_kind(kind), m_box(box), m_stride(stride), m_abort(abort)
    {
    }

    bool state(const solver::GridState &s) override
    {
        const BackwardTrack::Point p{s.x, s.y, static_cast<double>(s.z)};
        m_track.reached = s.x;
        const bool inside =
            m_kind == ViewKind::Phase ? m_box.contains(p.y, p.z) : m_box.contains(p.x, p.y);
        // Every stride-th point, the first one out of the box, and now and then a look at
        // whether it is still wanted.
        const bool kept = static_cast<std::uint64_t>(s.i) % m_stride == 0 || !inside;
        if (kept)
            m_track.points.push_back(p);
        m_last = kept ? std::nullopt : std::optional(p);
        if ((s.i & 0xFFFF) == 0 && m_abort.load(std::memory_order_relaxed))
            return m_aborted = true, false;
        return inside;
    }
    bool aborted() const { return m_aborted; }
    // Where it ended, when that was not kept.
    void finish()
    {
        if (m_last)
            m_track.points.push_back(*m_last);
    }

private:
    BackwardTrack &m_track;
    ViewKind m_kind;
    WorldRect m_box;
    std::uint64_t m_stride;
    const std::atomic<bool> &m_abort;
    bool m_aborted = false;
    std::optional<BackwardTrack::Point> m_last;
};

} // namespace

std::optional<BackwardTrack> runBack(std::size_t run, const solver::RunParameters &forward,
                                     ViewKind kind, const WorldRect &box,
                                     const std::atomic<bool> &abort)
{
    BackwardTrack track;
    track.run = run;
    track.reached = forward.x0;
    // As far back as the run goes forward.
    solver::RunParameters p = forward;
    p.xf = forward.x0 - (forward.xf - forward.x0);
    const double steps = (forward.xf - forward.x0) / solver::h;
    if (!(steps >= 0) || !std::isfinite(steps))
        return track;
    const auto stride = static_cast<std::uint64_t>(
        std::max(1.0, std::ceil(std::min(steps, 1e18) / static_cast<double>(kBackwardPoints))));
    BackSink sink(track, kind, box, stride, abort);
    track.outcome = solver::runBackward(p, sink);
    if (sink.aborted())
        return std::nullopt;
    sink.finish();
    return track;
}

void drawBackward(Canvas &canvas, ViewKind kind, const WorldWindow &window,
                  const BackwardTrack &track, std::uint32_t colour)
{
    std::vector<PixelLine> lines;
    const auto at = [&](const BackwardTrack::Point &p) {
        return kind == ViewKind::Phase ? window.toDevice(p.y, p.z) : window.toDevice(p.x, p.y);
    };
    for (std::size_t k = 1; k < track.points.size(); ++k) {
        const DevicePoint a = at(track.points[k - 1]), b = at(track.points[k]);
        PixelLine line;
        if (segmentPixels(a.x, a.y, b.x, b.y, canvas.width(), canvas.height(), line))
            lines.push_back(line);
    }
    canvas.setLineStyle(LineStyle::Dashed);
    canvas.drawLines(colour, lines);
    canvas.setLineStyle(LineStyle::Solid);
}
