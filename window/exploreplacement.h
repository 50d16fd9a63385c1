// SPDX-License-Identifier: MIT

#pragma once

// Where Explore opens: beside the main window, right or left, or below it, wherever the
// screen has the most room, and no larger than that room, so that the main window's
// fields, list and commands stay in view. On a screen with no room for both, as large as
// the screen allows at its right. Never above the screen, its title bar included.

#include <QRect>
#include <QSize>

// `room` is the screen's available geometry, `main` the main window's frame, `frame` what a
// title bar and borders add to a window's size; `wanted` and `least` are Explore's size and
// least size. Returns Explore's frame's top left and its size without the frame.
QRect explorePlacement(const QRect &room, const QRect &main, const QSize &frame,
                       const QSize &wanted, const QSize &least);
