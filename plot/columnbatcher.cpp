// SPDX-License-Identifier: MIT

#include "plot/columnbatcher.h"

#include <cmath>

namespace {

// Liang-Barsky: cuts the segment down to the box [lo, hiX] x [lo, hiY]. False when
// nothing of it is inside. An end cut at an edge lies exactly on it: from far away,
// x1 + t dx would have lost the edge to the rounding of x1's magnitude.
bool clipSegment(double &x1, double &y1, double &x2, double &y2, double lo, double hiX, double hiY)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double t0 = 0.0;
    double t1 = 1.0;
    int e0 = -1, e1 = -1; // the edges that cut each end
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - lo, hiX - x1, y1 - lo, hiY - y1};
    const double edge[4] = {lo, hiX, lo, hiY};
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
                t0 = t, e0 = k;
        } else {
            if (t < t0)
                return false;
            if (t < t1)
                t1 = t, e1 = k;
        }
    }
    const auto at = [&](double t, int e, double &x, double &y) {
        if (e < 0)
            return;
        x = e < 2 ? edge[e] : x1 + t * dx;
        y = e < 2 ? y1 + t * dy : edge[e];
    };
    double nx1 = x1, ny1 = y1, nx2 = x2, ny2 = y2;
    at(t0, e0, nx1, ny1);
    at(t1, e1, nx2, ny2);
    x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    return true;
}

} // namespace

bool segmentPixels(double ax, double ay, double bx, double by, int width, int height,
                   PixelLine &out)
{
    constexpr double lo = -2.0;
    const double hiX = width + 2.0, hiY = height + 2.0;
    if (segmentBeyondOneSide(ax, ay, bx, by, hiX, hiY))
        return false;
    const auto near = [&](double x, double y) {
        return x >= lo && x <= hiX && y >= lo && y <= hiY;
    };
    if (!near(ax, ay) || !near(bx, by)) {
        // A view that zooms deep may hand over ends far beyond the range of an int, even
        // beyond what their difference can hold: whatever the clipping cannot place
        // exactly near the device, a NaN included, is not drawn.
        // The clipped ends may round a little beyond the box.
        const auto placed = [&](double x, double y) {
            return x >= lo - 1 && x <= hiX + 1 && y >= lo - 1 && y <= hiY + 1;
        };
        if (!clipSegment(ax, ay, bx, by, lo, hiX, hiY) || !placed(ax, ay) || !placed(bx, by))
            return false;
    }
    // A device pixel covers [i, i + 1): its index is the floor of the coordinate.
    out = {{static_cast<int>(std::floor(ax)), static_cast<int>(std::floor(ay))},
           {static_cast<int>(std::floor(bx)), static_cast<int>(std::floor(by))}};
    return true;
}
