// SPDX-License-Identifier: MIT

#include "explore/viewframe.h"

#include "explore/ticks.h"
#include "explore/viewstyle.h"

#include "plot/plotwidget.h"
#include "plot/probesearch.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Room for the axes' numbers and titles around the plot, the left at its narrowest.
constexpr int kLeft = 62, kRight = 14, kTop = 22, kBottom = 38;

} // namespace

const ViewTicks &FrameTicks::of(ViewKind kind, const WorldRect &world, const QRect &bounds,
                                const QFontMetrics &fm)
{
    if (world == m_world && bounds == m_bounds)
        return m_ticks;
    // The abscissa's ticks need the plot's width, which the ordinate's numbers set: those
    // are found for its height alone first.
    const int height = ViewFrame::plotHeightIn(bounds);
    const ViewTicks up = viewTicks(kind, world, 0, height);
    m_ticks = viewTicks(kind, world, ViewFrame::plotIn(bounds, up.up, fm).width(), height);
    m_world = world;
    m_bounds = bounds;
    return m_ticks;
}

int ViewFrame::plotHeightIn(const QRect &bounds)
{
    return bounds.height() - kTop - kBottom;
}

QRect ViewFrame::plotIn(const QRect &bounds, const std::vector<Tick> &up, const QFontMetrics &fm)
{
    // Zoomed in deep, the numbers need more digits: they push the plot right, up to half the
    // view, rather than lose their leading ones.
    int widest = 0;
    for (const Tick &t : up)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(t.label)));
    const int left = std::clamp(widest + 10, kLeft, std::max(kLeft, bounds.width() / 2));
    return bounds.adjusted(left, kTop, -kRight, -kBottom);
}

void ViewFrame::paint(QPainter &p, const QPalette &palette) const
{
    const QRect &r = plot;
    p.save();
    p.setPen(palette.color(QPalette::WindowText));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QFontMetrics fm = p.fontMetrics();
    const WorldWindow mapping = window();
    const auto x = [&](double v) { return r.left() + mapping.deviceX(v); };
    const auto y = [&](double v) { return r.top() + mapping.deviceY(v); };
    // The abscissa's ticks (and the image's grid) about every 80 pixels; where long numbers
    // need more room only every second or fifth is numbered, and one that would run past the
    // view's edge is left out.
    const std::vector<Tick> &across = ticks.across;
    int widest = 0;
    for (const Tick &t : across)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(t.label)));
    const double pitch = across.size() > 1 ? x(across[1].value) - x(across[0].value) : r.width();
    const std::size_t every = widest + 16 <= pitch ? 1 : widest + 16 <= 2 * pitch ? 2 : 5;
    for (std::size_t i = 0; i < across.size(); ++i) {
        const double at = x(across[i].value);
        p.drawLine(QPointF(at, r.bottom()), QPointF(at, r.bottom() + 4));
        const QString label = QString::fromStdString(across[i].label);
        const double half = fm.horizontalAdvance(label) / 2.0;
        if (i % every == 0 && at - half >= 0 && at + half <= r.right() + kRight)
            p.drawText(QRectF(at - half - 2, r.bottom() + 5, 2 * half + 4, fm.height()),
                       Qt::AlignHCenter, label);
    }
    for (const Tick &t : ticks.up) {
        const QString label = QString::fromStdString(t.label);
        const double at = y(t.value);
        p.drawLine(QPointF(r.left() - 4, at), QPointF(r.left(), at));
        p.drawText(QRectF(0, at - fm.height() / 2.0, r.left() - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, label);
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
    if (!legend.isEmpty()) {
        // Each run in its colour, then which line is which of a run's curves (y, y^n and
        // y^(n+1) for Emden). As wide as its longest line, up to three quarters of the plot,
        // longer lines cut short in the middle, so that how a run ended stays; as many lines as the
        // plot has room for, the last saying how many more the view's description names.
        const QFontMetrics fm = p.fontMetrics();
        const int line = fm.height();
        const int most = std::max(1, (r.height() - 12) / line);
        QList<LegendEntry> shown = legend;
        if (shown.size() > most) {
            const qsizetype more = shown.size() - (most - 1);
            shown = shown.first(most - 1);
            shown.append({QCoreApplication::translate("ExploreView", "… and %1 more").arg(more), 0,
                          Qt::NoPen});
        }
        int widest = 0;
        for (const LegendEntry &e : shown)
            widest = std::max(widest, fm.horizontalAdvance(e.name));
        const int textWidth = std::max(24, std::min(widest, r.width() * 3 / 4 - 40));
        const QRectF box(r.right() - textWidth - 40, r.top() + 6, textWidth + 34,
                         shown.size() * line + 6);
        p.setPen(QColor::fromRgb(viewstyle::kGrid));
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawRect(box);
        for (qsizetype k = 0; k < shown.size(); ++k) {
            const double yk = box.top() + 3 + k * line + line / 2.0;
            if (shown[k].style != Qt::NoPen) {
                p.setPen(QPen(QColor::fromRgb(shown[k].colour), 2, shown[k].style, Qt::FlatCap));
                p.drawLine(QPointF(box.left() + 6, yk), QPointF(box.left() + 24, yk));
            }
            p.setPen(palette.color(QPalette::WindowText));
            p.drawText(QRectF(box.left() + 28, yk - line / 2.0, textWidth + 2, line),
                       Qt::AlignVCenter, fm.elidedText(shown[k].name, Qt::ElideMiddle, textWidth));
        }
    }
    p.restore();
}

QPointF ViewFrame::toWidget(double x, double y) const
{
    const DevicePoint d = window().toDevice(x, y);
    return {plot.left() + d.x, plot.top() + d.y};
}

WorldPoint ViewFrame::toWorld(QPointF at) const
{
    return window().toWorld(at.x() - plot.left(), at.y() - plot.top());
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

void ViewFrame::paintVector(QPainter &p, qreal scale,
                            const std::function<void(QPainter &)> &paintPlot) const
{
    p.save();
    p.setClipRect(plot);
    p.translate(plot.topLeft());
    p.scale(1 / scale, 1 / scale);
    paintPlot(p);
    p.restore();
}

void ViewFrame::paintMarker(QPainter &p, double x, double y, const QString &tag) const
{
    const Placement at = placeOnDevice(window(), x, y);
    paintProbeMarker(p, QPointF(plot.left() + at.x, plot.top() + at.y), markTag(x, y, tag), plot);
}

QString ViewFrame::markTag(double x, double y, const QString &tag) const
{
    if (placeOnDevice(window(), x, y).inside)
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
    // The legend whole, however little of it the plot has room for; the marked line last.
    QStringList names;
    for (const LegendEntry &e : legend)
        names << e.name;
    if (!names.isEmpty())
        text += QCoreApplication::translate("ExploreView", ". Legend: %1").arg(names.join(u"; "));
    if (!analysis.isEmpty())
        text += QStringLiteral(". ") + analysis;
    return marked.isEmpty() ? text : markedLine(text, marked);
}
