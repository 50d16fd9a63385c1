// SPDX-License-Identifier: MIT

#pragma once

#include "plot/columnbatcher.h"

#include <QRgb>

#include <span>

// What a plot is drawn on: a grid of width x height device pixels or cells, lines one
// pixel wide and aliased, dots one pixel. The raster canvas keeps an image; the vector
// canvas paints paths and squares on an SVG or PDF painter.
class Canvas
{
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    // Fills everything with `colour`.
    virtual void fill(QRgb colour) = 0;
    // Lines between pixel centres, their end pixels included; a line of no length is its
    // one pixel. In order: a later line lies over an earlier one.
    virtual void drawLines(QRgb colour, std::span<const PixelLine> lines) = 0;
    // The single pixel (x, y), which lies on the canvas, over whatever was drawn before.
    virtual void dot(int x, int y, QRgb colour) = 0;
    // Ends the painting under way; drawing may start again afterwards.
    virtual void finish() = 0;
};
