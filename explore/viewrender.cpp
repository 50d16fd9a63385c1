// SPDX-License-Identifier: MIT

#include "explore/viewrender.h"

#include "explore/analysispaint.h"
#include "explore/fieldarrows.h"
#include "explore/viewdrawing.h"
#include "explore/viewstyle.h"
#include "plot/vectorcanvas.h"

#include <QPainter>
#include <QPainterPath>

void paintFieldArrows(QPainter &p, const ViewRequest &request)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor::fromRgb(viewstyle::kField), fieldArrowWidth(request)));
    p.setBrush(Qt::NoBrush);
    QPainterPath arrows;
    const auto at = [](const DevicePoint &d) { return QPointF(d.x, d.y); };
    for (const FieldArrow &a : fieldArrows(request)) {
        arrows.moveTo(at(a.tail));
        arrows.lineTo(at(a.tip));
        for (const DevicePoint &head : a.heads) {
            arrows.moveTo(at(a.tip));
            arrows.lineTo(at(head));
        }
    }
    p.drawPath(arrows);
    p.restore();
}

void paintVectorPlot(QPainter &p, const ViewRequest &request, const Tracks &tracks)
{
    VectorCanvas canvas(p, request.width, request.height);
    canvas.fill(viewstyle::kBackground);
    drawGrid(canvas, request);
    if (request.kind == ViewKind::Phase && request.field.shown)
        paintFieldArrows(p, request);
    const PhaseAnalysis *analysed =
        request.kind == ViewKind::Phase ? request.analysed.get() : nullptr;
    if (analysed) {
        canvas.finish();
        paintAnalysisLines(p, request, *analysed);
    }
    const std::atomic<bool> never{false};
    drawCurves(request, tracks, canvas, never);
    canvas.finish();
    if (analysed)
        paintEquilibria(p, request, *analysed);
}

bool renderView(const ViewRequest &request, const Tracks &tracks, QImage &image,
                const std::atomic<bool> &abort)
{
    const QSize size(request.width, request.height);
    if (image.size() != size || image.format() != QImage::Format_RGB32)
        image = QImage(size, QImage::Format_RGB32);
    image.fill(viewstyle::kBackground);
    const PixelBuffer pixels{reinterpret_cast<std::uint32_t *>(image.bits()), image.width(),
                             image.height(),
                             static_cast<std::size_t>(image.bytesPerLine()) / sizeof(QRgb)};
    PixelCanvas grid(pixels);
    drawGrid(grid, request);
    const PhaseAnalysis *analysed =
        request.kind == ViewKind::Phase ? request.analysed.get() : nullptr;
    if (request.kind == ViewKind::Phase && (request.field.shown || analysed)) {
        QPainter p(&image);
        if (request.field.shown)
            paintFieldArrows(p, request);
        if (analysed)
            paintAnalysisLines(p, request, *analysed);
    }
    const bool done = drawCurves(request, tracks, pixels, abort);
    if (done && analysed) {
        QPainter p(&image);
        paintEquilibria(p, request, *analysed);
    }
    image.setDevicePixelRatio(request.ratio);
    return done;
}
