// SPDX-License-Identifier: MIT

#include "explore/viewprobe.h"

#include <algorithm>
#include <cmath>

std::optional<ProbeHit> nearestSample(ViewKind kind, const WorldWindow &window,
                                      const Tracks &tracks, const SampleStore::Snapshot &samples,
                                      double px, double py)
{
    NearestSample search(window, px, py, NearestSample::Points::Curve);
    for (const RunTrack &t : tracks.runs()) {
        const solver::RunParameters &p = t.params();
        const auto row = [&](std::size_t i) { return static_cast<int>(t.firstRow() + i); };
        // The grid indices of a run of `rows` samples within reach of the pointer's abscissa.
        const auto within = [&](std::size_t rows, std::size_t &from, std::size_t &to) {
            if (rows == 0)
                return false;
            const double last = static_cast<double>(rows - 1);
            const double a = std::clamp(std::floor((search.fromX() - p.x0) / solver::h), 0.0, last);
            const double b = std::clamp(std::ceil((search.toX() - p.x0) / solver::h), 0.0, last);
            from = static_cast<std::size_t>(a), to = static_cast<std::size_t>(b);
            return a <= b;
        };
        std::size_t from = 0, to = 0;
        if (kind == ViewKind::Error) {
            const ReferenceTrack &ref = t.reference();
            if (!within(std::min(t.rows(), ref.rows()), from, to))
                continue;
            for (std::size_t i = from; i <= to; ++i) {
                const double e = std::fabs(static_cast<double>(ref.error(i)));
                if (!std::isnan(e))
                    search.consider(row(i), 0,
                                    solver::gridAbscissa(p.x0, static_cast<std::int64_t>(i)),
                                    e == 0 ? window.world().bottom : std::log10(e));
            }
        } else if (kind == ViewKind::Solution) {
            if (!within(t.rows(), from, to))
                continue;
            for (std::size_t i = from; i <= to; ++i) {
                const double x = solver::gridAbscissa(p.x0, static_cast<std::int64_t>(i));
                const double y = samples.y(t.firstRow() + i);
                int k = 0;
                for (const solver::Curve &curve : p.eq->curves) {
                    const double v = solver::curveValue(curve, p.values, y);
                    if (std::isfinite(v))
                        search.consider(row(i), k, x, v);
                    ++k;
                }
            }
        } else {
            // The slope blocks whose box comes within reach, then their samples.
            for (std::size_t b = 0; b * RunTrack::kPhaseBlock < t.slopeRows(); ++b) {
                const std::size_t begin = b * RunTrack::kPhaseBlock;
                const std::size_t end = std::min(t.slopeRows(), begin + RunTrack::kPhaseBlock);
                if (b < t.slopeBlocks()) {
                    const RunTrack::SlopeBlock &s = t.slopeBlock(b);
                    if (s.lo > search.toY() || s.lo + 255.0f * s.step < search.fromY())
                        continue;
                }
                for (std::size_t i = begin; i < end; ++i) {
                    const double y = samples.y(t.firstRow() + i);
                    if (y >= search.fromX() && y <= search.toX())
                        search.consider(row(i), 0, y, t.slope(i));
                }
            }
        }
    }
    return search.best();
}

std::optional<RowPoint> rowPoint(ViewKind kind, const Tracks &tracks,
                                 const SampleStore::Snapshot &samples, int row, double bottom)
{
    std::size_t i = 0;
    const RunTrack *t = tracks.trackOf(row, i);
    if (!t)
        return std::nullopt;
    const double y = samples.y(static_cast<std::size_t>(row));
    std::optional<float> slope, error;
    if (i < t->slopeRows())
        slope = t->exactSlope(i, samples);
    if (i < t->reference().rows() && !std::isnan(t->reference().error(i)))
        error = t->reference().error(i);
    const double x = solver::gridAbscissa(t->params().x0, static_cast<std::int64_t>(i));
    switch (kind) {
    case ViewKind::Solution:
        return RowPoint{{x, y}, slope, error};
    case ViewKind::Phase:
        if (!slope)
            return std::nullopt;
        return RowPoint{{y, *slope}, slope, error};
    case ViewKind::Error:
        if (!error)
            return std::nullopt;
        return RowPoint{
            {x, *error == 0 ? bottom : std::log10(std::fabs(static_cast<double>(*error)))},
            slope,
            error};
    }
    return std::nullopt;
}
