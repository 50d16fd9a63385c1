// SPDX-License-Identifier: MIT

#include "analysis/nullcline.h"

#include "analysis/bracket.h"
#include "solver/checked.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace analysis {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// Halvings of an edge before the last bracket is cut where its line crosses 0: a crossing
// to a ten-thousandth of the cell, a hundredth of a pixel and far better once cut.
constexpr int kRefinements = 14;

class Grid
{
public:
    Grid(const solver::RunParameters &p, double x, const PhaseBox &box, int columns, int rows)
        : m_p(p), m_x(x), m_box(box), m_columns(columns), m_rows(rows)
    {
    }

    // The grid's point (i, j), each end exact; no overflow near the double range.
    PhasePoint point(int i, int j) const
    {
        return {along(m_box.left, m_box.right, i, m_columns),
                along(m_box.bottom, m_box.top, j, m_rows)};
    }

    double g(const PhasePoint &at) const
    {
        solver::Checked c;
        const double v = solver::g(m_p, m_x, at.y, at.z, c);
        return c.ok() ? v : kNoValue;
    }

    // Where g = 0 between a and b, whose values ga and gb differ in sign; none where the
    // edge crosses a pole instead.
    std::optional<PhasePoint> crossing(PhasePoint a, PhasePoint b, double ga, double gb) const
    {
        const double ga0 = ga, gb0 = gb;
        for (int k = 0; k < kRefinements; ++k) {
            const PhasePoint mid{a.y / 2.0 + b.y / 2.0, a.z / 2.0 + b.z / 2.0};
            const double gm = g(mid);
            if (std::isnan(gm))
                return std::nullopt;
            if (gm == 0.0)
                return mid;
            // Signs as the cells take them: a 0 of either sign counts as positive.
            if ((gm < 0.0) == (ga < 0.0))
                a = mid, ga = gm;
            else
                b = mid, gb = gm;
        }
        if (closesOnPole(ga0, gb0, ga, gb))
            return std::nullopt;
        // The last bracket, cut where the line through its ends crosses 0.
        const double t = ga / (ga - gb);
        return PhasePoint{a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
    }

private:
    static double along(double from, double to, int k, int n)
    {
        if (k == 0)
            return from;
        if (k == n)
            return to;
        const double t = static_cast<double>(k) / static_cast<double>(n);
        return from * (1.0 - t) + to * t;
    }

    const solver::RunParameters &m_p;
    double m_x;
    PhaseBox m_box;
    int m_columns, m_rows;
};

} // namespace

std::vector<PhaseSegment> slopeNullcline(const solver::RunParameters &p, double x,
                                         const PhaseBox &box, int columns, int rows,
                                         const std::atomic<bool> *abort)
{
    std::vector<PhaseSegment> segments;
    if (!(box.left < box.right) || !(box.bottom < box.top) || !std::isfinite(box.left) ||
        !std::isfinite(box.right) || !std::isfinite(box.bottom) || !std::isfinite(box.top))
        return segments;
    columns = std::clamp(columns, 1, 1024);
    rows = std::clamp(rows, 1, 1024);
    const Grid grid(p, x, box, columns, rows);
    // Two rows of values at a time, the one below the cells and the one above, and the
    // crossings of their edges, each edge's found once for the two cells that share it.
    const auto width = static_cast<std::size_t>(columns) + 1;
    std::vector<double> below(width), above(width);
    using Crossing = std::optional<PhasePoint>;
    std::vector<Crossing> bottom(width), top(width), side(width);
    const auto edge = [&](const PhasePoint &a, const PhasePoint &b, double ga, double gb) {
        // A 0 of either sign counts as positive, so that a branch through a corner is
        // traced once.
        if (std::isnan(ga) || std::isnan(gb) || (ga < 0.0) == (gb < 0.0))
            return Crossing{};
        return grid.crossing(a, b, ga, gb);
    };
    for (int i = 0; i <= columns; ++i)
        below[static_cast<std::size_t>(i)] = grid.g(grid.point(i, 0));
    for (int i = 0; i < columns; ++i) {
        const auto u = static_cast<std::size_t>(i);
        bottom[u] = edge(grid.point(i, 0), grid.point(i + 1, 0), below[u], below[u + 1]);
    }
    // Corners: 0 bottom left, 1 bottom right, 2 top right, 3 top left; edges: 0 bottom,
    // 1 right, 2 top, 3 left, edge k from corner k to corner k + 1.
    for (int j = 0; j < rows; ++j) {
        if (abort && abort->load(std::memory_order_relaxed))
            return {};
        for (int i = 0; i <= columns; ++i)
            above[static_cast<std::size_t>(i)] = grid.g(grid.point(i, j + 1));
        for (int i = 0; i <= columns; ++i) {
            const auto u = static_cast<std::size_t>(i);
            side[u] = edge(grid.point(i, j), grid.point(i, j + 1), below[u], above[u]);
            if (i < columns)
                top[u] =
                    edge(grid.point(i, j + 1), grid.point(i + 1, j + 1), above[u], above[u + 1]);
        }
        for (int i = 0; i < columns; ++i) {
            const auto u = static_cast<std::size_t>(i);
            const double v[4] = {below[u], below[u + 1], above[u + 1], above[u]};
            if (std::any_of(v, v + 4, [](double d) { return std::isnan(d); }))
                continue; // g has no value somewhere in the cell
            const auto negative = [&](int k) { return v[k] < 0.0; };
            const Crossing *at[4] = {&bottom[u], &side[u + 1], &top[u], &side[u]};
            int crossings = 0;
            for (int k = 0; k < 4; ++k)
                crossings += negative(k) != negative((k + 1) % 4) ? 1 : 0;
            const auto join = [&](int e, int f) {
                if (*at[e] && *at[f])
                    segments.push_back({**at[e], **at[f]});
            };
            if (crossings == 2) {
                int e = -1, f = -1;
                for (int k = 0; k < 4; ++k)
                    if (negative(k) != negative((k + 1) % 4))
                        (e < 0 ? e : f) = k;
                join(e, f);
            } else if (crossings == 4) {
                // A saddle of g within the cell: the value at its centre tells which
                // corners the branches go round.
                const PhasePoint a = grid.point(i, j), b = grid.point(i + 1, j + 1);
                const double c = grid.g({a.y / 2.0 + b.y / 2.0, a.z / 2.0 + b.z / 2.0});
                if (std::isnan(c))
                    continue;
                if ((c < 0.0) == negative(0))
                    join(0, 1), join(2, 3);
                else
                    join(3, 0), join(1, 2);
            }
        }
        std::swap(below, above);
        std::swap(bottom, top);
    }
    return segments;
}

} // namespace analysis
