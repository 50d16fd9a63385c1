// SPDX-License-Identifier: MIT

#include "plot/probesearch.h"

#include <cmath>

NearestSample::NearestSample(const WorldWindow &window, double px, double py, Points points,
                             double reach)
    : m_window(window), m_px(px), m_py(py), m_points(points), m_bestDistance(reach * reach),
      m_atX(window.worldX(px)), m_atY(window.worldY(py)),
      m_rx((reach + 1) * window.unitsPerPixelX()), m_ry((reach + 1) * window.unitsPerPixelY())
{
}

void NearestSample::consider(int row, int mark, double x, double y)
{
    DevicePoint d = m_window.toDevice(x, y);
    if (m_points == Points::Marks) {
        // The pixel the mark sets, by its centre.
        d = {std::floor(d.x) + 0.5, std::floor(d.y) + 0.5};
        if (!m_window.onDevice(d))
            return;
    }
    const double dd = (d.x - m_px) * (d.x - m_px) + (d.y - m_py) * (d.y - m_py);
    // Of points equally near, as the marks in one pixel are, the earliest row's.
    if (dd < m_bestDistance || (dd == m_bestDistance && (!m_best || row < m_best->row))) {
        m_bestDistance = dd;
        m_best = ProbeHit{row, mark, {x, y}};
    }
}

Placement placeOnDevice(const WorldWindow &window, double x, double y)
{
    const DevicePoint d = window.toDevice(x, y);
    const bool inside = window.onDevice(d);
    const double right = window.deviceWidth() - 1, bottom = window.deviceHeight() - 1;
    return {std::floor(std::fmin(std::fmax(d.x, 0.0), right)),
            std::floor(std::fmin(std::fmax(d.y, 0.0), bottom)), inside};
}
