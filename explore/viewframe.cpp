// SPDX-License-Identifier: MIT

#include "explore/viewframe.h"

#include "explore/ticks.h"
#include "explore/viewstyle.h"

#include "plot/plotwidget.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

void ViewFrame::paint(QPainter &p, const QPalette &palette) const
{
    const QRect &r = plot;
    const WorldRect &w = world;
    p.save();
    p.setPen(palette.color(QPalette::WindowText));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QFontMetrics fm = p.fontMetrics();
    const auto x = [&](double v) { return r.left() + (v - w.left) * r.width() / w.width(); };
    const auto y = [&](double v) { return r.top() + (w.top - v) * r.height() / w.height(); };
    for (const Tick &t : ticks(w.left, w.right, std::max(2, r.width() / 80))) {
        const double at = x(t.value);
        p.drawLine(QPointF(at, r.bottom()), QPointF(at, r.bottom() + 4));
        p.drawText(QRectF(at - 60, r.bottom() + 5, 120, fm.height()), Qt::AlignHCenter,
                   QString::fromStdString(t.label));
    }
    for (const Tick &t : ticks(w.bottom, w.top, std::max(2, r.height() / 50))) {
        const double at = y(t.value);
        p.drawLine(QPointF(r.left() - 4, at), QPointF(r.left(), at));
        p.drawText(QRectF(0, at - fm.height() / 2.0, r.left() - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(kind == ViewKind::Error ? powerText(t.value) : t.label));
    }

    // The titles: the abscissa's under the numbers at the right, the ordinate's above the
    // plot at the left.
    const bool phase = kind == ViewKind::Phase;
    QFont italic = p.font();
    italic.setItalic(true);
    p.setFont(italic);
    p.drawText(QRectF(r.right() - 60, r.bottom() + 5 + fm.height(), 60, fm.height()),
               Qt::AlignRight, phase ? QStringLiteral("y") : QStringLiteral("x"));
    const QString ordinate = phase                     ? QStringLiteral("y'")
                             : kind == ViewKind::Error ? QStringLiteral("|y − reference|")
                                                       : QStringLiteral("y");
    p.drawText(QRectF(4, 2, r.width(), r.top() - 4), Qt::AlignLeft | Qt::AlignVCenter, ordinate);

    QFont small = p.font();
    small.setItalic(false);
    small.setPointSizeF(small.pointSizeF() * 0.9);
    p.setFont(small);
    if (!caption.isEmpty())
        p.drawText(QRectF(r.left() + 6, r.top() + 4, r.width() - 12, p.fontMetrics().height()),
                   Qt::AlignLeft, caption);
    if (legend) {
        // The Emden legend: which colour is y, y^n and y^(n+1).
        const QString names[3] = {QStringLiteral("y"), QStringLiteral("yⁿ"),
                                  QStringLiteral("yⁿ⁺¹")};
        const int line = p.fontMetrics().height();
        const QRectF box(r.right() - 70, r.top() + 6, 62, 3 * line + 6);
        p.setPen(QColor::fromRgb(viewstyle::kGrid));
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawRect(box);
        for (int k = 0; k < 3; ++k) {
            const double yk = box.top() + 3 + k * line + line / 2.0;
            p.setPen(QPen(QColor::fromRgb(viewstyle::curveColour(viewstyle::kCurveColours[k])), 2));
            p.drawLine(QPointF(box.left() + 6, yk), QPointF(box.left() + 24, yk));
            p.setPen(palette.color(QPalette::WindowText));
            p.drawText(QRectF(box.left() + 28, yk - line / 2.0, 34, line), Qt::AlignVCenter,
                       names[k]);
        }
    }
    p.restore();
}

QPointF ViewFrame::toWidget(double x, double y) const
{
    return {plot.left() + (x - world.left) * plot.width() / world.width(),
            plot.top() + (world.top - y) * plot.height() / world.height()};
}

WorldPoint ViewFrame::toWorld(QPointF at) const
{
    return {world.left + (at.x() - plot.left()) * world.width() / plot.width(),
            world.top - (at.y() - plot.top()) * world.height() / plot.height()};
}

void ViewFrame::paintImage(QPainter &p, const QImage &image, const WorldRect &imageWorld) const
{
    p.fillRect(plot, QColor::fromRgb(viewstyle::kBackground));
    if (image.isNull())
        return;
    const QPointF a = toWidget(imageWorld.left, imageWorld.top);
    const QPointF b = toWidget(imageWorld.right, imageWorld.bottom);
    const QRectF target(a, b);
    if (target.width() < 64.0 * plot.width() && target.height() < 64.0 * plot.height() &&
        target.width() > plot.width() / 64.0 && target.height() > plot.height() / 64.0 &&
        std::fabs(a.x()) < 1e6 && std::fabs(a.y()) < 1e6) {
        p.save();
        p.setClipRect(plot);
        p.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != QSizeF(plot.size()));
        p.drawImage(target, image);
        p.restore();
    }
}

void ViewFrame::paintMarker(QPainter &p, double x, double y, const QString &tag) const
{
    // Zoomed far from the mark, its widget position can lie billions of pixels away, beyond
    // an int: it is clamped to the plot in floating point, never rounded to a QPoint first.
    const QPointF at = toWidget(x, y);
    const QPointF edge(std::fmin(std::fmax(at.x(), plot.left()), plot.right()),
                       std::fmin(std::fmax(at.y(), plot.top()), plot.bottom()));
    paintProbeMarker(p, QPointF(std::floor(edge.x()), std::floor(edge.y())), markTag(x, y, tag),
                     plot);
}

QString ViewFrame::markTag(double x, double y, const QString &tag) const
{
    if (world.contains(x, y))
        return tag;
    return tag + QCoreApplication::translate("ExploreView", "  (outside the view)");
}

QString ViewFrame::description(const QString &marked) const
{
    const auto range = [](const char *axis, double lo, double hi) {
        const double resolution = (hi - lo) / 100;
        return QStringLiteral("%1 from %2 to %3")
            .arg(QLatin1String(axis), QString::fromStdString(numberText(lo, resolution)),
                 QString::fromStdString(numberText(hi, resolution)));
    };
    const bool phase = kind == ViewKind::Phase;
    QString text = range(phase ? "y" : "x", world.left, world.right) + QStringLiteral(", ");
    if (kind == ViewKind::Error)
        text += QStringLiteral("|y − reference| from %1 to %2")
                    .arg(QString::fromStdString(powerText(world.bottom)),
                         QString::fromStdString(powerText(world.top)));
    else
        text += range(phase ? "y'" : "y", world.bottom, world.top);
    if (!marked.isEmpty())
        text += QCoreApplication::translate("ExploreView", ". Marked line: %1").arg(marked);
    return text;
}
