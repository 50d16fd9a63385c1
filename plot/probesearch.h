// SPDX-License-Identifier: MIT

#pragma once

// The probe, for the main plot and every view alike: which listed sample's point lies
// nearest a point of the device, within reach; and where a listed sample's point lies, on
// the device or at its edge. Plain C++.

#include "plot/worldwindow.h"

#include <optional>

// How far from a point, in pixels, a press still finds it.
inline constexpr double kProbeReach = 10.0;

struct ProbeHit
{
    int row;       // the listed sample
    int mark;      // which of its points: an Emden sample has three
    WorldPoint at; // the point found, in the world
};

// Of the points considered, the one nearest a device point, within reach; of equally near
// ones, the first listed. A mark is a pixel: it counts only on the device, and from its
// pixel's centre. A point of a curve counts where it lies.
class NearestSample
{
public:
    enum class Points { Marks, Curve };

    NearestSample(const WorldWindow &window, double px, double py, Points points,
                  double reach = kProbeReach);

    void consider(int row, int mark, double x, double y);
    const std::optional<ProbeHit> &best() const { return m_best; }

    // The world abscissae and ordinates within reach, with a pixel to spare, for callers
    // that find their candidates by where they lie.
    double fromX() const { return m_atX - m_rx; }
    double toX() const { return m_atX + m_rx; }
    double fromY() const { return m_atY - m_ry; }
    double toY() const { return m_atY + m_ry; }

private:
    WorldWindow m_window;
    double m_px, m_py;
    Points m_points;
    double m_bestDistance;
    double m_atX, m_atY, m_rx, m_ry;
    std::optional<ProbeHit> m_best;
};

// Where a point is shown: the pixel it falls in, or for one beyond the device the pixel of
// the device's edge nearest it, which `inside` then says. Clamped in floating point before
// the pixel is taken: deep in a zoom a point may lie further away than an int counts.
struct Placement
{
    double x; // the pixel's top-left corner
    double y;
    bool inside;
};
Placement placeOnDevice(const WorldWindow &window, double x, double y);
