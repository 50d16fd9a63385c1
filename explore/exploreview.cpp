// SPDX-License-Identifier: MIT

#include "explore/exploreview.h"

#include "explore/viewframe.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A wheel notch, and + or -, zoom by the square root of two, so that in and out cancel.
const double kNotch = std::sqrt(0.5);

} // namespace

ExploreView::ExploreView(ViewKind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(240, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    describe();
}

WorldRect ExploreView::world() const
{
    return m_gesture.dragged() ? *m_gesture.dragged() : m_navigation.current();
}

const ViewTicks &ExploreView::ticksOf(const WorldRect &world) const
{
    // The abscissa's ticks need the plot's width, which the ordinate's numbers set: those
    // are found for its height alone first.
    const int height = ViewFrame::plotHeightIn(rect());
    const QSize size(width(), height);
    if (world != m_ticksWorld || size != m_ticksSize) {
        const ViewTicks up = viewTicks(m_kind, world, 0, height);
        const int plotWidth = ViewFrame::plotIn(rect(), up.up, fontMetrics()).width();
        m_ticks = viewTicks(m_kind, world, plotWidth, height);
        m_ticksWorld = world;
        m_ticksSize = size;
    }
    return m_ticks;
}

QRect ExploreView::plotRect() const
{
    // The settled world's numbers set the room, so that a drag does not shift the plot.
    return ViewFrame::plotIn(rect(), ticksOf(m_navigation.current()).up, fontMetrics());
}

QPointF ExploreView::toWidget(double x, double y) const
{
    return frame().toWidget(x, y);
}

WorldPoint ExploreView::toWorld(QPointF at) const
{
    return frame().toWorld(at);
}

ViewRequest ExploreView::request() const
{
    ViewRequest r;
    r.kind = m_kind;
    r.world = m_navigation.current();
    r.ratio = devicePixelRatioF();
    const QRect plot = plotRect();
    r.width = std::max(1, qRound(plot.width() * r.ratio));
    r.height = std::max(1, qRound(plot.height() * r.ratio));
    r.ticks = ticksOf(r.world);
    return r;
}

void ExploreView::showWorld(const WorldRect &world)
{
    m_navigation.show(world);
    describe();
    changedLook();
    emit changed();
}

void ExploreView::fit(const WorldRect &bounds, bool empty)
{
    m_fitting = true;
    // The error's bounds are whole decades already: shown as they are.
    const WorldRect fitted = Navigation::fit(bounds, m_kind == ViewKind::Error ? 0.0 : 0.05);
    if (!empty && fitted != m_navigation.current())
        showWorld(fitted);
}

void ExploreView::navigate(const WorldRect &world)
{
    m_fitting = false;
    emit navigated();
    showWorld(world);
}

void ExploreView::setImage(const QImage &image, const WorldRect &drawnFor, std::uint64_t version)
{
    m_image = image;
    m_imageWorld = drawnFor;
    m_imageVersion = version;
    changedLook();
}

bool ExploreView::upToDate() const
{
    return !m_image.isNull() && !m_gesture.dragged() && m_imageWorld == m_navigation.current() &&
           m_image.size() == QSize(request().width, request().height) &&
           m_imageVersion >= m_expected;
}

void ExploreView::setMarker(const std::optional<Marker> &marker)
{
    if (marker == m_marker)
        return;
    m_marker = marker;
    describe();
    changedLook();
}

void ExploreView::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    changedLook();
}

void ExploreView::setLegend(const QList<LegendEntry> &legend)
{
    if (legend == m_legend)
        return;
    m_legend = legend;
    changedLook();
}

void ExploreView::describe()
{
    const ViewFrame f = frame();
    setAccessibleDescription(
        f.description(m_marker ? f.markTag(m_marker->x, m_marker->y, m_marker->tag) : QString()));
}

ViewFrame ExploreView::frame() const
{
    const WorldRect shown = world();
    return {m_kind, plotRect(), shown, ticksOf(shown), m_caption, m_legend};
}

void ExploreView::paintView(QPainter &p, const QImage &plot, const WorldRect &plotWorld) const
{
    p.fillRect(rect(), palette().window());
    const ViewFrame f = frame();
    f.paintImage(p, plot, plotWorld);
    f.paint(p, palette());
}

QImage ExploreView::grabImage(const QImage &plot) const
{
    QImage image(size() * plot.devicePixelRatio(), QImage::Format_RGB32);
    image.setDevicePixelRatio(plot.devicePixelRatio());
    QPainter p(&image);
    p.setFont(font());
    paintView(p, plot, m_navigation.current());
    return image;
}

void ExploreView::changedLook()
{
    m_stale = true;
    update();
}

void ExploreView::paintEvent(QPaintEvent *)
{
    m_stale = false;
    QPainter p(this);
    paintView(p, m_image, m_imageWorld);
    p.setClipRect(plotRect());
    if (m_marker)
        frame().paintMarker(p, m_marker->x, m_marker->y, m_marker->tag);
    m_gesture.paintRubberBand(p, palette());
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
    m_gesture.press(event->button(), event->modifiers(), event->position(), m_navigation.current());
}

void ExploreView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_gesture.move(event->position(), plotRect()))
        changedLook();
}

void ExploreView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    const ViewGesture::Outcome out = m_gesture.release(event->button(), at, plotRect());
    switch (out.what) {
    case ViewGesture::Outcome::Nothing:
        break;
    case ViewGesture::Outcome::Show:
        navigate(out.world);
        break;
    case ViewGesture::Outcome::Click:
        emit clicked(at);
        break;
    case ViewGesture::Outcome::CtrlClick:
        emit ctrlClicked(at);
        break;
    case ViewGesture::Outcome::Menu:
        emit menuWanted(at.toPoint());
        break;
    }
    changedLook();
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
    // Shift is how some keyboards reach + at all.
    const auto mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const int key = event->key();
    if (mods == Qt::AltModifier && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        // Back and forward through the views shown, as a browser's history.
        if (key == Qt::Key_Left ? m_navigation.back() : m_navigation.forward()) {
            m_fitting = false;
            emit navigated();
            describe();
            changedLook();
            emit changed();
        }
        return;
    }
    const WorldRect w = m_navigation.current();
    const double cx = w.left / 2 + w.right / 2, cy = w.bottom / 2 + w.top / 2;
    Navigation moved = m_navigation;
    switch (mods == Qt::NoModifier ? key : 0) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // A tenth of the view the way the arrow points.
        moved.pan(0.1 * ((key == Qt::Key_Right) - (key == Qt::Key_Left)),
                  0.1 * ((key == Qt::Key_Up) - (key == Qt::Key_Down)));
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        moved.zoomAbout(cx, cy, kNotch);
        break;
    case Qt::Key_Minus:
        moved.zoomAbout(cx, cy, 1 / kNotch);
        break;
    case Qt::Key_Home:
        emit fitWanted();
        return;
    case Qt::Key_Escape:
        emit escapePressed();
        return;
    default:
        return QWidget::keyPressEvent(event);
    }
    navigate(moved.current());
}

void ExploreView::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse's menu comes at the release of a right click that did not drag.
    if (event->reason() != QContextMenuEvent::Mouse)
        emit menuWanted(plotRect().center());
}
