// SPDX-License-Identifier: MIT

#pragma once

// Where a rectangle of the world lies on a device. Plain C++, shared by the main plot, its
// probe and the views that zoom.

// A rectangle in world units: x grows to the right, y upward, so top > bottom on a plot.
struct WorldRect
{
    double left = 0.0;
    double top = 1.0;
    double right = 1.0;
    double bottom = 0.0;

    double width() const { return right - left; }
    double height() const { return top - bottom; }
    bool contains(double x, double y) const
    {
        return x >= left && x <= right && y >= bottom && y <= top;
    }
    bool operator==(const WorldRect &) const = default;
};

// The main plot's world, fixed for the life of the program: x and y from -5 to 15.
inline constexpr WorldRect kPlotWorld{-5.0, 15.0, 15.0, -5.0};

struct DevicePoint
{
    double x;
    double y;
    bool operator==(const DevicePoint &) const = default;
};

struct WorldPoint
{
    double x;
    double y;
    bool operator==(const WorldPoint &) const = default;
};

// The world rectangle mapped onto a device of width x height pixels (or cells), its
// top-left corner at device (0, 0). Device pixel i covers [i, i + 1). All in double: a
// coordinate the plot receives in single precision is widened first, so the mapping
// itself cannot overflow, and a deep zoom keeps what precision a double has.
class WorldWindow
{
public:
    WorldWindow() = default;
    WorldWindow(const WorldRect &world, double deviceWidth, double deviceHeight)
        : m_world(world), m_width(deviceWidth), m_height(deviceHeight)
    {
    }

    const WorldRect &world() const { return m_world; }
    double deviceWidth() const { return m_width; }
    double deviceHeight() const { return m_height; }

    // ((x - left) * width) / (right - left), in this order: the pixels of the main plot
    // depend on the rounding of each operation.
    double deviceX(double x) const
    {
        return (x - m_world.left) * m_width / (m_world.right - m_world.left);
    }
    double deviceY(double y) const
    {
        return (y - m_world.top) * m_height / (m_world.bottom - m_world.top);
    }
    DevicePoint toDevice(double x, double y) const { return {deviceX(x), deviceY(y)}; }

    double worldX(double dx) const
    {
        return m_world.left + dx * (m_world.right - m_world.left) / m_width;
    }
    double worldY(double dy) const
    {
        return m_world.top + dy * (m_world.bottom - m_world.top) / m_height;
    }
    WorldPoint toWorld(double dx, double dy) const { return {worldX(dx), worldY(dy)}; }

    // World units per device pixel along each axis, both positive.
    double unitsPerPixelX() const { return m_world.width() / m_width; }
    double unitsPerPixelY() const { return m_world.height() / m_height; }

    // Whether a device point lies on the device.
    bool onDevice(const DevicePoint &p) const
    {
        return p.x >= 0 && p.x < m_width && p.y >= 0 && p.y < m_height;
    }
    // A distance of `dx` device units across, and `dy` down, in world units.
    double worldDX(double dx) const { return dx * (m_world.right - m_world.left) / m_width; }
    double worldDY(double dy) const { return dy * (m_world.bottom - m_world.top) / m_height; }

private:
    WorldRect m_world;
    double m_width = 1.0;
    double m_height = 1.0;
};

// A world window with each axis's scale taken once, for whoever maps millions of points:
// (x - left) * sx with sx = width / (right - left), one product instead of a product and a
// quotient, and never a NaN from finite values (only an infinity the clipping drops).
// Its roundings differ from WorldWindow's now and then; the main plot keeps those.
struct WorldScale
{
    explicit WorldScale(const WorldWindow &w)
        : left(w.world().left), top(w.world().top), sx(w.deviceWidth() / w.world().width()),
          sy(w.deviceHeight() / w.world().height()), ux(w.world().width() / w.deviceWidth()),
          uy(w.world().height() / w.deviceHeight())
    {
    }
    double dx(double x) const { return (x - left) * sx; }
    double dy(double y) const { return (top - y) * sy; }
    // Device to world: left + dx * (world units per device unit).
    double wx(double dx) const { return left + dx * ux; }
    double wy(double dy) const { return top - dy * uy; }

    double left, top, sx, sy, ux, uy;
};
