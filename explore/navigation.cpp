// SPDX-License-Identifier: MIT

#include "explore/navigation.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// [lo, hi] made sound along one axis.
void soundAxis(double &lo, double &hi)
{
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = std::isfinite(lo) ? lo : -Navigation::kLimit;
        hi = std::isfinite(hi) ? hi : Navigation::kLimit;
    }
    if (lo > hi)
        std::swap(lo, hi);
    lo = std::clamp(lo, -Navigation::kLimit, Navigation::kLimit);
    hi = std::clamp(hi, -Navigation::kLimit, Navigation::kLimit);
    // At least 2^12 doubles across, so that a thousand pixels map to distinct values.
    const double magnitude = std::max(std::fabs(lo), std::fabs(hi));
    const double narrowest = std::max(Navigation::kTinySpan, 4096 * DBL_EPSILON * magnitude);
    if (hi - lo < narrowest) {
        const double centre = lo / 2 + hi / 2;
        lo = centre - narrowest / 2;
        hi = centre + narrowest / 2;
        if (hi > Navigation::kLimit)
            hi = Navigation::kLimit, lo = hi - narrowest;
        if (lo < -Navigation::kLimit)
            lo = -Navigation::kLimit, hi = lo + narrowest;
    }
}

} // namespace

Navigation::Navigation(const WorldRect &start) : m_history{sound(start)} {}

WorldRect Navigation::sound(const WorldRect &world)
{
    WorldRect r = world;
    soundAxis(r.left, r.right);
    soundAxis(r.bottom, r.top);
    return r;
}

WorldRect Navigation::fit(const WorldRect &bounds, double margin)
{
    const auto around = [margin](double lo, double hi, double &outLo, double &outHi) {
        if (hi > lo) {
            const double room = (hi - lo) * margin; // may overflow: sound() takes it in
            outLo = lo - room, outHi = hi + room;
        } else {
            // A single value: shown with room about it.
            const double half = std::max(1.0, std::fabs(lo)) / 2;
            outLo = lo - half, outHi = hi + half;
        }
    };
    WorldRect r;
    around(bounds.left, bounds.right, r.left, r.right);
    around(bounds.bottom, bounds.top, r.bottom, r.top);
    return sound(r);
}

void Navigation::show(const WorldRect &world)
{
    const WorldRect r = sound(world);
    if (r == current())
        return;
    m_history.resize(m_at + 1);
    m_history.push_back(r);
    if (m_history.size() > kMaxSteps)
        m_history.erase(m_history.begin());
    m_at = m_history.size() - 1;
}

void Navigation::zoomAbout(double x, double y, double factor)
{
    const WorldRect &w = current();
    // The point keeps its place: its distances to the edges scale by the factor.
    show({x - (x - w.left) * factor, y + (w.top - y) * factor, x + (w.right - x) * factor,
          y - (y - w.bottom) * factor});
}

void Navigation::pan(double fx, double fy)
{
    const WorldRect &w = current();
    const double dx = w.width() * fx, dy = w.height() * fy;
    // Against an edge of the limits, the rectangle stops there rather than shrinking.
    WorldRect r{w.left + dx, w.top + dy, w.right + dx, w.bottom + dy};
    if (r.right > kLimit)
        r.left -= r.right - kLimit, r.right = kLimit;
    if (r.left < -kLimit)
        r.right += -kLimit - r.left, r.left = -kLimit;
    if (r.top > kLimit)
        r.bottom -= r.top - kLimit, r.top = kLimit;
    if (r.bottom < -kLimit)
        r.top += -kLimit - r.bottom, r.bottom = -kLimit;
    show(r);
}

bool Navigation::back()
{
    if (m_at == 0)
        return false;
    --m_at;
    return true;
}

bool Navigation::forward()
{
    if (m_at + 1 >= m_history.size())
        return false;
    ++m_at;
    return true;
}
