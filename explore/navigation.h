// SPDX-License-Identifier: MIT

#pragma once

// The world rectangle a zoomable view shows, and the rectangles it showed before. Plain
// C++, all in double: every rectangle is kept within +-1e300 and at least a little wider
// than the spacing of doubles where it lies, so that mapping it to pixels stays finite
// and tells the pixels apart, however far the user zooms.

#include "plot/worldwindow.h"

#include <cstddef>
#include <vector>

class Navigation
{
public:
    // No coordinate beyond this; so a span and its product with a device size stay finite.
    static constexpr double kLimit = 1e300;
    // The narrowest span at the origin.
    static constexpr double kTinySpan = 1e-300;

    explicit Navigation(const WorldRect &start = {-1, 1, 1, -1});

    const WorldRect &current() const { return m_history[m_at]; }

    // Shows `world`, made sound, as a new step: the steps after the present one are
    // forgotten, as a browser forgets them.
    void show(const WorldRect &world);
    // Scales both spans by `factor` (below 1 zooms in) about the world point (x, y), which
    // stays where it is.
    void zoomAbout(double x, double y, double factor);
    // Moves by the fractions fx and fy of the spans (fx = 0.1: a tenth to the right).
    void pan(double fx, double fy);
    // Back and forward through the steps shown; false where there is none.
    bool back();
    bool forward();

    // `world` as a view can show it: ordered, finite, within the limits, not too narrow.
    static WorldRect sound(const WorldRect &world);
    // The rectangle that shows `bounds` with a margin of `margin` of each span around it;
    // a bounds of no width or height gets a span of its own.
    static WorldRect fit(const WorldRect &bounds, double margin = 0.05);

private:
    static constexpr std::size_t kMaxSteps = 200;
    std::vector<WorldRect> m_history;
    std::size_t m_at = 0;
};
