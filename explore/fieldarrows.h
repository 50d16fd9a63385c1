// SPDX-License-Identifier: MIT

#pragma once

// The direction field of the phase plane: on a grid of 20 x 20 cells, a short arrow at each
// cell's centre along (y', g(x, y, y')), as the view's axes scale it, each as long as its
// cell allows. Where g has no value there is no arrow. Plain C++: the strokes in device
// pixels, which a raster or a vector painter draws alike.

#include "explore/viewrequest.h"

#include <vector>

struct FieldArrow
{
    DevicePoint tail;
    DevicePoint tip;
    DevicePoint heads[2]; // the ends of the head's two strokes back from the tip
};

std::vector<FieldArrow> fieldArrows(const ViewRequest &request);

// The arrows' pen, in device pixels.
double fieldArrowWidth(const ViewRequest &request);
