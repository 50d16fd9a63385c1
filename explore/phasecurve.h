// SPDX-License-Identifier: MIT

#pragma once

// The phase plane's curves: every run's y' over y, from the slopes found by running it
// again, each segment walked pixel by pixel into the image; a long run from its coverage
// map wherever that is as fine as the view's pixels. Plain C++.

#include "explore/pixelcanvas.h"
#include "explore/tracks.h"
#include "explore/viewrequest.h"

#include <atomic>

bool drawPhases(const PixelBuffer &image, const WorldScale &m, const ViewRequest &r,
                const Tracks &tracks, const SampleStore::Snapshot &samples,
                const std::atomic<bool> &abort);
