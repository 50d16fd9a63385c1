// SPDX-License-Identifier: MIT

#pragma once

// A zoomable view's image, drawn on the view's worker thread: the grid, the direction
// field of the phase plane and every run's curves, into a QImage.

#include "explore/tracks.h"
#include "explore/viewrequest.h"

#include <QImage>

#include <atomic>

// Draws `request` into `image` (made to its size) from the tracks and the samples they took
// in. False, with the image half drawn, when `abort` was raised meanwhile.
bool renderView(const ViewRequest &request, const Tracks &tracks, QImage &image,
                const std::atomic<bool> &abort);

// The direction field's arrows on `painter`, whose units are the request's device pixels.
void paintFieldArrows(QPainter &painter, const ViewRequest &request);

// What `request` shows, as vector graphics on `painter` (an SVG or PDF one), one device pixel
// of the request a unit: the background, the grid, the field's arrows and the curves as
// paths, no image.
void paintVectorPlot(QPainter &painter, const ViewRequest &request, const Tracks &tracks);
