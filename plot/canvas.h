// SPDX-License-Identifier: MIT

#pragma once

#include "plot/columnbatcher.h"

#include <cstdint>
#include <span>

// What a plot is drawn on: a grid of width x height device pixels or cells, lines one
// pixel wide and aliased, dots one pixel, colours as 0xAARRGGBB. The raster canvases keep
// an image; the vector canvas paints paths and squares on an SVG or PDF painter. Plain
// C++: what is drawn can be worked out without a painter.

// How lines are stroked: whole, in dashes, or in dots.
enum class LineStyle {
    Solid,
    Dashed,
    Dotted,
};

class Canvas
{
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    // Fills everything with `colour`.
    virtual void fill(std::uint32_t colour) = 0;
    // Lines between pixel centres, their end pixels included; a line of no length is its
    // one pixel. In order: a later line lies over an earlier one.
    virtual void drawLines(std::uint32_t colour, std::span<const PixelLine> lines) = 0;
    // The single pixel (x, y), which lies on the canvas, over whatever was drawn before.
    virtual void dot(int x, int y, std::uint32_t colour) = 0;
    // Lines from now on in `style`, and when `bold` twice as wide, where the canvas does that
    // itself (the zoomable views' canvases). The main plot's lines are all solid and thin:
    // its canvases draw them so whatever they are asked.
    virtual void setLineStyle(LineStyle) {}
    virtual void setBold(bool) {}
    // Ends the painting under way; drawing may start again afterwards.
    virtual void finish() = 0;
};
