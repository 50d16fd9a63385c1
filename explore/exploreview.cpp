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
    return m_ticks.of(m_kind, world, rect(), fontMetrics());
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

void ExploreView::setAnalysisText(const QString &text)
{
    if (text == m_analysisText)
        return;
    m_analysisText = text;
    describe();
}

void ExploreView::setLegend(const QList<LegendEntry> &legend)
{
    if (legend == m_legend)
        return;
    m_legend = legend;
    describe();
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
    return {m_kind, plotRect(), shown, ticksOf(shown), m_caption, m_legend, m_analysisText};
}

void ExploreView::paintView(QPainter &p, const QImage &plot, const WorldRect &plotWorld) const
{
    p.fillRect(rect(), palette().window());
    const ViewFrame f = frame();
    f.paintImage(p, plot, plotWorld);
    f.paint(p, palette());
}

void ExploreView::paintVectorView(QPainter &p, qreal scale,
                                  const std::function<void(QPainter &)> &plot) const
{
    p.fillRect(rect(), palette().window());
    const ViewFrame f = frame();
    f.paintVector(p, scale, plot);
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
    case ViewGesture::Outcome::CtrlShiftClick:
        emit ctrlShiftClicked(at);
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
    // The view just turned takes the keys: Home, + and − act on it next.
    setFocus(Qt::MouseFocusReason);
    const QPointF at = plotRect().contains(event->position().toPoint())
                           ? event->position()
                           : QPointF(plotRect().center());
    const WorldPoint p = toWorld(at);
    Navigation zoomed = m_navigation;
    zoomed.zoomAbout(p.x, p.y, std::pow(ViewKey::kNotch, notches));
    navigate(zoomed.current());
}

void ExploreView::keyPressEvent(QKeyEvent *event)
{
    const ViewKey::Action action = ViewKey::of(event->key(), event->modifiers());
    switch (action.what) {
    case ViewKey::Action::None:
        return QWidget::keyPressEvent(event);
    case ViewKey::Action::Back:
    case ViewKey::Action::Forward:
        if (action.what == ViewKey::Action::Back ? m_navigation.back() : m_navigation.forward()) {
            m_fitting = false;
            emit navigated();
            describe();
            changedLook();
            emit changed();
        }
        return;
    case ViewKey::Action::Fit:
        emit fitWanted();
        return;
    case ViewKey::Action::Escape:
        emit escapePressed();
        return;
    case ViewKey::Action::Pan:
    case ViewKey::Action::Zoom:
        break;
    }
    Navigation moved = m_navigation;
    const WorldRect w = m_navigation.current();
    if (action.what == ViewKey::Action::Pan)
        moved.pan(action.fx, action.fy);
    else
        moved.zoomAbout(w.left / 2 + w.right / 2, w.bottom / 2 + w.top / 2, action.factor);
    navigate(moved.current());
}

void ExploreView::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse's menu comes at the release of a right click that did not drag.
    if (event->reason() != QContextMenuEvent::Mouse)
        emit menuWanted(plotRect().center());
}
