// SPDX-License-Identifier: MIT

#include "explore/analysispaint.h"

#include "explore/viewstyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QVector>

#include <cmath>

using analysis::EquilibriumKind;

namespace {

// Device coordinates far beyond the image are cut to a range the painter handles.
constexpr double kFar = 1e6;

QPointF device(const WorldWindow &w, double y, double z)
{
    const DevicePoint d = w.toDevice(y, z);
    return {std::clamp(d.x, -kFar, kFar), std::clamp(d.y, -kFar, kFar)};
}

} // namespace

void paintAnalysisLines(QPainter &p, const ViewRequest &request, const PhaseAnalysis &a)
{
    const WorldWindow w = request.window();
    const double width = 1.5 * request.ratio;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    if (request.analysis.nullclines) {
        // Lines, not one path: a stroker joins a path's pieces, and thousands of them (the
        // branches of sin(100*y)) would take it seconds.
        QVector<QLineF> lines;
        lines.reserve(static_cast<qsizetype>(a.nullcline.size()) + 1);
        // y' = 0, the y-nullcline, across the view where it is in view.
        if (request.world.bottom <= 0 && request.world.top >= 0)
            lines.append(QLineF(0, w.deviceY(0), request.width, w.deviceY(0)));
        for (const analysis::PhaseSegment &s : a.nullcline)
            lines.append(QLineF(device(w, s.a.y, s.a.z), device(w, s.b.y, s.b.z)));
        p.setPen(QPen(QColor::fromRgba(viewstyle::kNullcline), width, Qt::SolidLine, Qt::RoundCap));
        p.drawLines(lines);
    }
    if (request.analysis.separatrices) {
        p.setPen(QPen(QColor::fromRgba(viewstyle::kSeparatrix), width, Qt::DashDotLine, Qt::FlatCap,
                      Qt::RoundJoin));
        QPolygonF line;
        for (const analysis::Separatrix &s : a.separatrices) {
            line.clear();
            line.reserve(static_cast<qsizetype>(s.points.size()));
            for (const analysis::PhasePoint &q : s.points)
                line.append(device(w, q.y, q.z));
            p.drawPolyline(line);
        }
    }
    p.restore();
}

void paintEquilibria(QPainter &p, const ViewRequest &request, const PhaseAnalysis &a)
{
    if (!request.analysis.equilibria)
        return;
    const WorldWindow w = request.window();
    const double r = 4.5 * request.ratio;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const analysis::Equilibrium &e : a.equilibria.found) {
        const QPointF c = device(w, e.y, 0.0);
        if (c.x() < -r || c.x() > request.width + r || c.y() < -r || c.y() > request.height + r)
            continue;
        const bool stable =
            e.kind == EquilibriumKind::StableNode || e.kind == EquilibriumKind::StableFocus;
        QPainterPath shape;
        switch (e.kind) {
        case EquilibriumKind::Saddle:
            shape.moveTo(c + QPointF(-r, -r));
            shape.lineTo(c + QPointF(r, r));
            shape.moveTo(c + QPointF(-r, r));
            shape.lineTo(c + QPointF(r, -r));
            break;
        case EquilibriumKind::StableNode:
        case EquilibriumKind::UnstableNode:
            shape.addEllipse(c, r, r);
            break;
        case EquilibriumKind::StableFocus:
        case EquilibriumKind::UnstableFocus:
            shape.addRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
            break;
        case EquilibriumKind::Center:
            shape.addPolygon(QPolygonF({c + QPointF(0, -r * 1.3), c + QPointF(r * 1.3, 0),
                                        c + QPointF(0, r * 1.3), c + QPointF(-r * 1.3, 0),
                                        c + QPointF(0, -r * 1.3)}));
            break;
        case EquilibriumKind::Degenerate:
            shape.addPolygon(QPolygonF({c + QPointF(0, -r * 1.2), c + QPointF(r * 1.2, r),
                                        c + QPointF(-r * 1.2, r), c + QPointF(0, -r * 1.2)}));
            break;
        }
        // A white halo first, so that the mark stands out on any curve.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 4.0 * request.ratio, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shape);
        const QColor ink = QColor::fromRgba(viewstyle::kEquilibrium);
        p.setPen(QPen(ink, 1.6 * request.ratio, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(stable ? QBrush(ink) : QBrush(Qt::white));
        p.drawPath(shape);
    }
    p.restore();
}
