// SPDX-License-Identifier: MIT

// The phase plane as lines on a vector canvas, each run's once where it goes round again.

#include "explore/phasecurve.h"

#include "explore/linewalk.h"
#include "explore/phasewalk.h"
#include "explore/runmarks.h"

#include <algorithm>
#include <cmath>

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
                const std::atomic<bool> &abort)
{
    // A pen for each run, each in its colour and over the runs before: a cycle the run has
    // drawn already adds nothing, one another run drew is drawn again on top.
    const auto draw = [&](const RunTrack &track, const SampleStore::Snapshot &samples) {
        const RunStyle &style = track.style();
        canvas.setBold(style.live);
        CoveredPen covered(canvas, style.colour);
        ArrowTrail trail(canvas.width(), canvas.height());
        TrailPen pen(covered, trail);
        if (!walkPhase(pen, m, r, track, samples, abort, 0, track.slopeBlocks(), true)) {
            canvas.setBold(false);
            return false;
        }
        covered.finish();
        drawArrowheads(canvas, trail.heads(), style.colour);
        canvas.setBold(false);
        if (track.rows() > 0) {
            const DevicePoint start = phaseStart(m, track);
            drawStartMark(canvas, start.x, start.y, style.colour);
        }
        return true;
    };
    for (const RunTrack &track : tracks.runs())
        if (!draw(track, tracks.samples()))
            return false;
    return !tracks.live() || draw(*tracks.live(), tracks.liveSamples());
}
