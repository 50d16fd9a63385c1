// SPDX-License-Identifier: MIT

#include "explore/exploreview.h"

#include "explore/ticks.h"
#include "explore/viewstyle.h"
#include "plot/plotwidget.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Room for the axes' numbers and titles around the plot.
constexpr int kLeft = 62, kRight = 14, kTop = 22, kBottom = 38;
// A press that moves less than this is a click.
constexpr double kDragStart = 4.0;
// A wheel notch, and + or -, zoom by the square root of two, so that in and out cancel.
const double kNotch = std::sqrt(0.5);

QString fromUtf8(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

ExploreView::ExploreView(ViewKind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(240, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    describe();
}

WorldRect ExploreView::world() const
{
    return m_dragWorld ? *m_dragWorld : m_navigation.current();
}

QRect ExploreView::plotRect() const
{
    return rect().adjusted(kLeft, kTop, -kRight, -kBottom);
}

QPointF ExploreView::toWidget(double x, double y) const
{
    const QRect r = plotRect();
    const WorldRect w = world();
    return {r.left() + (x - w.left) * r.width() / w.width(),
            r.top() + (w.top - y) * r.height() / w.height()};
}

WorldPoint ExploreView::toWorld(QPointF at) const
{
    const QRect r = plotRect();
    const WorldRect w = world();
    return {w.left + (at.x() - r.left()) * w.width() / r.width(),
            w.top - (at.y() - r.top()) * w.height() / r.height()};
}

ViewRequest ExploreView::request() const
{
    ViewRequest r;
    r.kind = m_kind;
    r.world = m_navigation.current();
    r.ratio = devicePixelRatioF();
    const QRect plot = plotRect();
    r.size = QSize(std::max(1, qRound(plot.width() * r.ratio)),
                   std::max(1, qRound(plot.height() * r.ratio)));
    return r;
}

void ExploreView::show(const WorldRect &world)
{
    m_navigation.show(world);
    describe();
    update();
    emit changed();
}

void ExploreView::fit(const WorldRect &bounds, bool empty)
{
    m_fitting = true;
    // The error's bounds are whole decades already: shown as they are.
    if (!empty)
        show(Navigation::fit(bounds, m_kind == ViewKind::Error ? 0.0 : 0.05));
}

void ExploreView::navigate(const WorldRect &world)
{
    m_fitting = false;
    emit navigated();
    show(world);
}

void ExploreView::setImage(const QImage &image, const WorldRect &drawnFor)
{
    m_image = image;
    m_imageWorld = drawnFor;
    update();
}

bool ExploreView::upToDate() const
{
    return !m_image.isNull() && !m_dragWorld && m_imageWorld == m_navigation.current() &&
           m_image.size() == request().size;
}

void ExploreView::setMarker(const std::optional<Marker> &marker)
{
    m_marker = marker;
    describe();
    update();
}

void ExploreView::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void ExploreView::setLegend(bool shown)
{
    if (shown == m_legend)
        return;
    m_legend = shown;
    update();
}

void ExploreView::describe()
{
    // "x from -0.25 to 5.25, y from -12.4 to 13.1", as a screen reader says the view.
    const WorldRect w = m_navigation.current();
    const auto range = [](const char *axis, double lo, double hi) {
        const double resolution = (hi - lo) / 100;
        return QStringLiteral("%1 from %2 to %3")
            .arg(QLatin1String(axis), fromUtf8(numberText(lo, resolution)),
                 fromUtf8(numberText(hi, resolution)));
    };
    const bool phase = m_kind == ViewKind::Phase;
    QString text = range(phase ? "y" : "x", w.left, w.right) + QStringLiteral(", ");
    if (m_kind == ViewKind::Error)
        text += QStringLiteral("|y − reference| from %1 to %2")
                    .arg(fromUtf8(powerText(w.bottom)), fromUtf8(powerText(w.top)));
    else
        text += range(phase ? "y'" : "y", w.bottom, w.top);
    if (m_marker)
        text += tr(". Marked line: %1").arg(m_marker->tag);
    setAccessibleDescription(text);
}

void ExploreView::paintAxes(QPainter &p, const WorldRect &w) const
{
    const QRect r = plotRect();
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QFontMetrics fm = p.fontMetrics();
    const auto x = [&](double v) { return r.left() + (v - w.left) * r.width() / w.width(); };
    const auto y = [&](double v) { return r.top() + (w.top - v) * r.height() / w.height(); };
    for (const Tick &t : ticks(w.left, w.right, std::max(2, r.width() / 80))) {
        const double at = x(t.value);
        p.drawLine(QPointF(at, r.bottom()), QPointF(at, r.bottom() + 4));
        const QString label = fromUtf8(t.label);
        p.drawText(QRectF(at - 60, r.bottom() + 5, 120, fm.height()), Qt::AlignHCenter, label);
    }
    for (const Tick &t : ticks(w.bottom, w.top, std::max(2, r.height() / 50))) {
        const double at = y(t.value);
        p.drawLine(QPointF(r.left() - 4, at), QPointF(r.left(), at));
        p.drawText(QRectF(0, at - fm.height() / 2.0, r.left() - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter,
                   fromUtf8(m_kind == ViewKind::Error ? powerText(t.value) : t.label));
    }
    // The titles: the abscissa's under the numbers at the right, the ordinate's above the
    // plot at the left.
    const bool phase = m_kind == ViewKind::Phase;
    QFont bold = p.font();
    bold.setItalic(true);
    p.save();
    p.setFont(bold);
    p.drawText(QRectF(r.right() - 60, r.bottom() + 5 + fm.height(), 60, fm.height()),
               Qt::AlignRight, phase ? QStringLiteral("y") : QStringLiteral("x"));
    const QString ordinate = phase                       ? QStringLiteral("y'")
                             : m_kind == ViewKind::Error ? QStringLiteral("|y − reference|")
                                                         : QStringLiteral("y");
    p.drawText(QRectF(4, 2, r.width(), kTop - 4), Qt::AlignLeft | Qt::AlignVCenter, ordinate);
    p.restore();
}

void ExploreView::paintView(QPainter &p, const QImage &plot) const
{
    p.fillRect(rect(), palette().window());
    const QRect r = plotRect();
    p.fillRect(r, QColor::fromRgb(viewstyle::kBackground));
    if (!plot.isNull()) {
        // The image where its world lies in the one shown now: moved and scaled until a
        // new one comes. An image from far away is left out rather than blown up.
        const QPointF a = toWidget(m_imageWorld.left, m_imageWorld.top);
        const QPointF b = toWidget(m_imageWorld.right, m_imageWorld.bottom);
        const QRectF target(a, b);
        if (target.width() < 64.0 * r.width() && target.height() < 64.0 * r.height() &&
            target.width() > r.width() / 64.0 && target.height() > r.height() / 64.0 &&
            std::fabs(a.x()) < 1e6 && std::fabs(a.y()) < 1e6) {
            p.save();
            p.setClipRect(r);
            p.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != r.size());
            p.drawImage(target, plot);
            p.restore();
        }
    }
    paintAxes(p, world());
    QFont small = p.font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    p.save();
    p.setFont(small);
    if (!m_caption.isEmpty())
        p.drawText(QRectF(r.left() + 6, r.top() + 4, r.width() - 12, p.fontMetrics().height()),
                   Qt::AlignLeft, m_caption);
    if (m_legend) {
        // The Emden legend: which colour is y, y^n and y^(n+1).
        const QString names[3] = {QStringLiteral("y"), QStringLiteral("yⁿ"),
                                  QStringLiteral("yⁿ⁺¹")};
        const int line = p.fontMetrics().height();
        QRectF box(r.right() - 70, r.top() + 6, 62, 3 * line + 6);
        p.setPen(QColor::fromRgb(viewstyle::kGrid));
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawRect(box);
        for (int k = 0; k < 3; ++k) {
            const double yk = box.top() + 3 + k * line + line / 2.0;
            p.setPen(QPen(QColor::fromRgb(viewstyle::curveColour(viewstyle::kCurveColours[k])), 2));
            p.drawLine(QPointF(box.left() + 6, yk), QPointF(box.left() + 24, yk));
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(QRectF(box.left() + 28, yk - line / 2.0, 34, line), Qt::AlignVCenter,
                       names[k]);
        }
    }
    p.restore();
}

QImage ExploreView::grabImage(const QImage &plot) const
{
    QImage image(size() * plot.devicePixelRatio(), QImage::Format_RGB32);
    image.setDevicePixelRatio(plot.devicePixelRatio());
    QPainter p(&image);
    p.setFont(font());
    paintView(p, plot);
    return image;
}

void ExploreView::paintMarker(QPainter &p) const
{
    const QRect r = plotRect();
    QPointF at = toWidget(m_marker->x, m_marker->y);
    QString tag = m_marker->tag;
    if (!r.contains(at.toPoint())) {
        // On the edge nearest the sample, saying where it is.
        at = QPointF(std::clamp<qreal>(at.x(), r.left(), r.right()),
                     std::clamp<qreal>(at.y(), r.top(), r.bottom()));
        tag += tr("  (outside the view)");
    }
    paintProbeMarker(p, QPointF(std::floor(at.x()), std::floor(at.y())), tag, r);
}

void ExploreView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintView(p, m_image);
    p.setClipRect(plotRect());
    if (m_marker)
        paintMarker(p);
    if (m_gesture == Gesture::Zoom) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        p.setBrush(QColor(0, 0, 0, 20));
        p.drawRect(QRectF(m_pressAt, m_pointer).normalized());
    }
    p.setClipping(false);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = plotRect().adjusted(-2, -2, 2, 2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void ExploreView::resizeEvent(QResizeEvent *)
{
    emit changed();
}

void ExploreView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    m_gesture = Gesture::Press;
    m_button = event->button();
    m_modifiers = event->modifiers();
    m_pressAt = m_pointer = event->position();
    m_pressWorld = m_navigation.current();
}

void ExploreView::mouseMoveEvent(QMouseEvent *event)
{
    m_pointer = event->position();
    if (m_gesture == Gesture::Press && QLineF(m_pressAt, m_pointer).length() >= kDragStart) {
        const bool zoom = m_button == Qt::RightButton || (m_modifiers & Qt::ShiftModifier);
        m_gesture = zoom ? Gesture::Zoom : Gesture::Pan;
    }
    if (m_gesture == Gesture::Pan) {
        // Only the world moves while dragging: the last image goes with it, and one new
        // image is drawn when the drag ends.
        const QRect r = plotRect();
        const double dx = (m_pointer.x() - m_pressAt.x()) * m_pressWorld.width() / r.width();
        const double dy = (m_pointer.y() - m_pressAt.y()) * m_pressWorld.height() / r.height();
        m_dragWorld = WorldRect{m_pressWorld.left - dx, m_pressWorld.top + dy,
                                m_pressWorld.right - dx, m_pressWorld.bottom + dy};
    }
    if (m_gesture != Gesture::None)
        update();
}

void ExploreView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != m_button)
        return QWidget::mouseReleaseEvent(event);
    const Gesture gesture = std::exchange(m_gesture, Gesture::None);
    m_button = Qt::NoButton;
    if (gesture == Gesture::Pan) {
        const WorldRect to = *m_dragWorld;
        m_dragWorld.reset();
        navigate(to);
    } else if (gesture == Gesture::Zoom) {
        const WorldPoint a = toWorld(m_pressAt), b = toWorld(event->position());
        if (std::fabs(event->position().x() - m_pressAt.x()) >= 3 &&
            std::fabs(event->position().y() - m_pressAt.y()) >= 3)
            navigate(
                {std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y)});
        update();
    } else if (gesture == Gesture::Press) {
        if (event->button() == Qt::RightButton)
            emit menuWanted(event->position().toPoint());
        else if (plotRect().contains(event->position().toPoint()))
            emit(m_modifiers & Qt::ControlModifier ? ctrlClicked(event->position())
                                                   : clicked(event->position()));
    }
}

void ExploreView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit fitWanted();
}

void ExploreView::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    const QPointF at = plotRect().contains(event->position().toPoint())
                           ? event->position()
                           : QPointF(plotRect().center());
    const WorldPoint p = toWorld(at);
    Navigation zoomed = m_navigation;
    zoomed.zoomAbout(p.x, p.y, std::pow(kNotch, notches));
    navigate(zoomed.current());
}

void ExploreView::keyPressEvent(QKeyEvent *event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    const WorldRect w = m_navigation.current();
    const double cx = w.left / 2 + w.right / 2, cy = w.bottom / 2 + w.top / 2;
    Navigation moved = m_navigation;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (mods == Qt::AltModifier) {
            // Back and forward through the views shown, as a browser's history.
            if (event->key() == Qt::Key_Left ? m_navigation.back() : m_navigation.forward()) {
                m_fitting = false;
                emit navigated();
                describe();
                update();
                emit changed();
            }
            return;
        }
        if (mods != Qt::NoModifier)
            break;
        moved.pan(event->key() == Qt::Key_Left ? -0.1 : 0.1, 0);
        return navigate(moved.current());
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (mods != Qt::NoModifier)
            break;
        moved.pan(0, event->key() == Qt::Key_Up ? 0.1 : -0.1);
        return navigate(moved.current());
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        moved.zoomAbout(cx, cy, kNotch);
        return navigate(moved.current());
    case Qt::Key_Minus:
        moved.zoomAbout(cx, cy, 1 / kNotch);
        return navigate(moved.current());
    case Qt::Key_Home:
        emit fitWanted();
        return;
    case Qt::Key_Escape:
        emit escapePressed();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void ExploreView::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse's menu comes at the release of a right click that did not drag.
    if (event->reason() != QContextMenuEvent::Mouse)
        emit menuWanted(plotRect().center());
}
