// SPDX-License-Identifier: MIT

#pragma once

// The probe in a zoomable view: which listed sample lies nearest a point, and where a
// listed sample lies. The caller holds the tracks' lock.

#include "explore/tracks.h"
#include "explore/viewkind.h"
#include "plot/probesearch.h"
#include "plot/worldwindow.h"

#include <optional>

// The sample whose point lies nearest (px, py) on `window` (world to the plot's pixels),
// within the probe's reach; of equally near ones, the first listed.
std::optional<ProbeHit> nearestSample(ViewKind kind, const WorldWindow &window,
                                      const Tracks &tracks, const SampleStore::Snapshot &samples,
                                      double px, double py);

// Where the listed sample `row` lies in a view, its exact slope and its error where known:
// (x, y) in the solution, (y, y') in the phase plane, which knows nothing until the slope
// is found, (x, log10 |error|) in the error view, at `bottom` for an error of 0.
struct RowPoint
{
    WorldPoint at;
    std::optional<float> slope;
    std::optional<float> error; // y - reference, where known
};
std::optional<RowPoint> rowPoint(ViewKind kind, const Tracks &tracks,
                                 const SampleStore::Snapshot &samples, int row, double bottom = 0);
