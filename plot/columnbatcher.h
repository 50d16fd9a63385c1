// SPDX-License-Identifier: MIT

#pragma once

// A run hands over millions of tiny segments, most of them inside one device pixel column.
// They are drawn as the pixels they set, not one painter call each: the segments of a
// polyline that stay in one column are merged into the vertical span they cover, segments
// wholly outside the device are dropped, and the rest go out in batches of one colour.
// Plain C++: what reaches the painter can be checked without one.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

struct PixelPoint
{
    int x;
    int y;
    bool operator==(const PixelPoint &) const = default;
};

// Between the centres of two device pixels, both end pixels included; a line of no
// length is its one pixel.
struct PixelLine
{
    PixelPoint a;
    PixelPoint b;
    bool operator==(const PixelLine &) const = default;
};

// Whether a segment lies wholly beyond one side of the box [-2, hiX] x [-2, hiY] (the
// device, two pixels larger on every side): then it sets no pixel. Most segments of a
// curve that has left the device end here, before any clipping arithmetic.
inline bool segmentBeyondOneSide(double ax, double ay, double bx, double by, double hiX, double hiY)
{
    constexpr double lo = -2.0;
    return (ax < lo && bx < lo) || (ax > hiX && bx > hiX) || (ay < lo && by < lo) ||
           (ay > hiY && by > hiY);
}

// The pixels a segment between two device points sets on a width x height device: cut
// down to a box two pixels larger than the device on every side (so its ends fit in an
// int; the painter's own clipping trims the rest) and floored to pixel indices. None
// when nothing of it comes near the device.
bool segmentPixels(double ax, double ay, double bx, double by, int width, int height,
                   PixelLine &out);

class ColumnBatcher
{
public:
    // Receives each batch: lines of one colour, in drawing order.
    using Flush = std::function<void(std::uint32_t colour, std::span<const PixelLine> lines)>;

    explicit ColumnBatcher(Flush flush) : m_flush(std::move(flush)) { m_lines.reserve(kBatch); }

    // A segment of a polyline in `colour`, as its pixels.
    void add(const PixelLine &line, std::uint32_t colour)
    {
        if (colour != m_colour || !m_hasColour) {
            close();
            flush();
            m_colour = colour;
            m_hasColour = true;
        }
        if (m_columnOpen && line.a.x == m_column && line.a.y == m_columnExit) {
            // The polyline goes on from where it is.
            if (line.b.x == m_column) {
                // Still in the same column: the span only grows.
                m_columnTop = std::min(m_columnTop, line.b.y);
                m_columnBottom = std::max(m_columnBottom, line.b.y);
                m_columnExit = line.b.y;
                return;
            }
            close();
        } else {
            close();
            if (line.a.x == line.b.x) {
                m_columnOpen = true;
                m_columnCovered = false;
                m_column = line.a.x;
                m_columnTop = std::min(line.a.y, line.b.y);
                m_columnBottom = std::max(line.a.y, line.b.y);
                m_columnExit = line.b.y;
                return;
            }
        }
        // Into another column: the segment itself, and a new span at its end pixel.
        m_lines.push_back(line);
        m_columnOpen = true;
        m_columnCovered = true;
        m_column = line.b.x;
        m_columnTop = m_columnBottom = m_columnExit = line.b.y;
        if (m_lines.size() >= kBatch)
            flush();
    }

    // Queues the span under way, which stays open for the polyline to extend it.
    void queueOpenSpan()
    {
        if (m_columnOpen && !(m_columnCovered && m_columnTop == m_columnBottom))
            m_lines.push_back({{m_column, m_columnTop}, {m_column, m_columnBottom}});
    }
    // Queues the span under way and ends it: the next segment starts a new one.
    void close()
    {
        queueOpenSpan();
        m_columnOpen = false;
    }
    // Hands what is queued to the receiver.
    void flush()
    {
        if (m_lines.empty())
            return;
        m_flush(m_colour, m_lines);
        m_lines.clear();
    }
    // Forgets everything queued and under way, as a cleared device needs.
    void discard()
    {
        m_lines.clear();
        m_columnOpen = false;
    }

private:
    static constexpr std::size_t kBatch = 4096;

    Flush m_flush;
    std::vector<PixelLine> m_lines; // of m_colour, not yet handed out
    std::uint32_t m_colour = 0;
    bool m_hasColour = false;
    // The polyline's span in its current device column: it runs from the pixel where the
    // polyline entered the column through rows m_columnTop..m_columnBottom and is at
    // m_columnExit now. m_columnCovered: its one pixel is already the end of a queued line.
    bool m_columnOpen = false;
    bool m_columnCovered = false;
    int m_column = 0, m_columnTop = 0, m_columnBottom = 0, m_columnExit = 0;
};
