// SPDX-License-Identifier: MIT

#pragma once

// Draws what a zoomable view shows into an image, on the view's worker thread: the grid
// at the axes' ticks, the direction field of the phase plane, and every run's curves in
// the main plot's colours, at true scale.

#include "explore/tracks.h"
#include "explore/viewkind.h"
#include "plot/worldwindow.h"
#include "solver/solver.h"

#include <QImage>
#include <QSize>

#include <atomic>
#include <cstdint>

// The direction field: the equation, n and lam a next run would take, and the abscissa
// g is taken at for an equation that depends on x.
struct FieldSpec
{
    bool shown = false;
    solver::RunParameters p;
    double x = 0.0;
    bool operator==(const FieldSpec &) const = default;
};

// What one image of a view is drawn for.
struct ViewRequest
{
    ViewKind kind = ViewKind::Solution;
    WorldRect world;
    QSize size;                // in device pixels
    qreal ratio = 1.0;         // device pixels per logical pixel
    FieldSpec field;           // the phase plane's
    bool reference = false;    // the solution view: the reference as a dashed curve
    std::uint64_t version = 0; // of the runs' snapshot the image was drawn from
};

// World to device of a request, with the scale taken once: (x - left) * scale never makes
// a NaN from finite values, only an infinity the clipping drops.
struct ViewMapping
{
    explicit ViewMapping(const ViewRequest &r)
        : left(r.world.left), top(r.world.top), sx(r.size.width() / r.world.width()),
          sy(r.size.height() / r.world.height())
    {
    }
    double dx(double x) const { return (x - left) * sx; }
    double dy(double y) const { return (top - y) * sy; }
    double left, top, sx, sy;
};

// Draws `request` into `image` (made to its size) from the tracks and the samples they took
// in. False, with the image half drawn, when `abort` was raised meanwhile.
bool renderView(const ViewRequest &request, const Tracks &tracks, QImage &image,
                const std::atomic<bool> &abort);

// The world box a run's curves take in a view: for the solution x against y (and y^n,
// y^(n+1) for Emden), for the phase plane y against y', for the error x against
// log10 |error|. Empty while nothing is known.
WorldRect curveBounds(ViewKind kind, const RunTrack &track, bool &empty);
