// SPDX-License-Identifier: MIT

#include "explore/viewprobe.h"


#include <algorithm>
#include <cmath>

std::optional<ViewHit> nearestSample(ViewKind kind, const WorldWindow &window, const Tracks &tracks,
                                     const SampleStore::Snapshot &samples, double px, double py,
                                     double reach)
{
    std::optional<ViewHit> best;
    double bestDistance = reach * reach;
    const auto consider = [&](int row, double x, double y) {
        const DevicePoint d = window.toDevice(x, y);
        const double dd = (d.x - px) * (d.x - px) + (d.y - py) * (d.y - py);
        if (dd < bestDistance || (dd == bestDistance && best && row < best->row)) {
            bestDistance = dd;
            best = ViewHit{row, {x, y}};
        }
    };
    const WorldPoint at = window.toWorld(px, py);
    const double rx = (reach + 1) * window.unitsPerPixelX(),
                 ry = (reach + 1) * window.unitsPerPixelY();
    for (const RunTrack &t : tracks.runs()) {
        const solver::RunParameters &p = t.params();
        const auto row = [&](std::size_t i) { return static_cast<int>(t.firstRow() + i); };
        if (kind == ViewKind::Error) {
            const ReferenceTrack &ref = t.reference();
            const std::size_t rows = std::min(t.rows(), ref.rows());
            if (rows == 0)
                continue;
            const double last = static_cast<double>(rows - 1);
            const double a = std::clamp(std::floor((at.x - rx - p.x0) / solver::h), 0.0, last);
            const double b = std::clamp(std::ceil((at.x + rx - p.x0) / solver::h), 0.0, last);
            for (auto i = static_cast<std::size_t>(a); i <= static_cast<std::size_t>(b) && a <= b;
                 ++i) {
                const double e = std::fabs(static_cast<double>(ref.error(i)));
                if (!std::isnan(e))
                    consider(row(i), solver::gridAbscissa(p.x0, static_cast<std::int64_t>(i)),
                             e == 0 ? window.world().bottom : std::log10(e));
            }
        } else if (kind == ViewKind::Solution) {
            if (t.rows() == 0)
                continue;
            // The samples within reach of the pointer's abscissa.
            const double last = static_cast<double>(t.rows() - 1);
            const double a = std::clamp(std::floor((at.x - rx - p.x0) / solver::h), 0.0, last);
            const double b = std::clamp(std::ceil((at.x + rx - p.x0) / solver::h), 0.0, last);
            for (auto i = static_cast<std::size_t>(a); i <= static_cast<std::size_t>(b) && a <= b;
                 ++i) {
                const double x = solver::gridAbscissa(p.x0, static_cast<std::int64_t>(i));
                const double y = samples.y(t.firstRow() + i);
                for (const solver::Curve &curve : p.eq->curves) {
                    const double v = solver::curveValue(curve, p.values, y);
                    if (std::isfinite(v))
                        consider(row(i), x, v);
                }
            }
        } else {
            // The slope blocks whose box comes within reach, then their samples.
            for (std::size_t b = 0; b * RunTrack::kPhaseBlock < t.slopeRows(); ++b) {
                const std::size_t begin = b * RunTrack::kPhaseBlock;
                const std::size_t end = std::min(t.slopeRows(), begin + RunTrack::kPhaseBlock);
                if (b < t.slopeBlocks()) {
                    const RunTrack::SlopeBlock &s = t.slopeBlock(b);
                    if (s.lo > at.y + ry || s.lo + 255.0f * s.step < at.y - ry)
                        continue;
                }
                for (std::size_t i = begin; i < end; ++i) {
                    const double y = samples.y(t.firstRow() + i);
                    if (std::fabs(y - at.x) <= rx)
                        consider(row(i), y, t.slope(i));
                }
            }
        }
    }
    return best;
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
