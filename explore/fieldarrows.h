// SPDX-License-Identifier: MIT

#pragma once

#include "explore/viewrender.h"

#include <QImage>

// The direction field of the phase plane: on a grid of about 20 x 20 cells, a short arrow
// at each cell's centre along (y', g(x, y, y')), as the view's axes scale it, each as long
// as its cell allows. Where g has no value there is no arrow.
void drawFieldArrows(QImage &image, const ViewRequest &request, const ViewMapping &m);
