// SPDX-License-Identifier: MIT

#include "explore/viewgesture.h"

#include <QLineF>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

// A press that moves less than this is a click.
constexpr double kDragStart = 4.0;

} // namespace

const double ViewKey::kNotch = std::sqrt(0.5);

ViewKey::Action ViewKey::of(int key, Qt::KeyboardModifiers modifiers)
{
    const auto mods = modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (mods == Qt::AltModifier && (key == Qt::Key_Left || key == Qt::Key_Right))
        return {key == Qt::Key_Left ? Action::Back : Action::Forward};
    if (mods != Qt::NoModifier)
        return {};
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return {Action::Pan, 0.1 * ((key == Qt::Key_Right) - (key == Qt::Key_Left)),
                0.1 * ((key == Qt::Key_Up) - (key == Qt::Key_Down))};
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return {Action::Zoom, 0, 0, kNotch};
    case Qt::Key_Minus:
        return {Action::Zoom, 0, 0, 1 / kNotch};
    case Qt::Key_Home:
        return {Action::Fit};
    case Qt::Key_Escape:
        return {Action::Escape};
    }
    return {};
}

void ViewGesture::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at,
                        const WorldRect &world)
{
    m_kind = Kind::Press;
    m_button = button;
    m_modifiers = modifiers;
    m_pressAt = m_pointer = at;
    m_pressWorld = world;
    m_dragged.reset();
}

WorldPoint ViewGesture::worldAt(QPointF at, const QRect &plot) const
{
    return WorldWindow(m_pressWorld, plot.width(), plot.height())
        .toWorld(at.x() - plot.left(), at.y() - plot.top());
}

bool ViewGesture::move(QPointF at, const QRect &plot)
{
    m_pointer = at;
    if (m_kind == Kind::Press && QLineF(m_pressAt, m_pointer).length() >= kDragStart) {
        const bool zoom = m_button == Qt::RightButton || (m_modifiers & Qt::ShiftModifier);
        m_kind = zoom ? Kind::Zoom : Kind::Pan;
    }
    if (m_kind == Kind::Pan) {
        // Only the world moves while dragging: the last image goes with it, and one new
        // image is drawn when the drag ends.
        const WorldRect &w = m_pressWorld;
        const WorldWindow window(w, plot.width(), plot.height());
        const double dx = window.worldDX(m_pointer.x() - m_pressAt.x());
        const double dy = window.worldDY(m_pointer.y() - m_pressAt.y());
        m_dragged = WorldRect{w.left - dx, w.top - dy, w.right - dx, w.bottom - dy};
    }
    return m_kind == Kind::Pan || m_kind == Kind::Zoom;
}

ViewGesture::Outcome ViewGesture::release(Qt::MouseButton button, QPointF at, const QRect &plot)
{
    Outcome out;
    if (button != m_button)
        return out;
    const Kind kind = std::exchange(m_kind, Kind::None);
    m_button = Qt::NoButton;
    if (kind == Kind::Pan) {
        out = {Outcome::Show, *m_dragged};
    } else if (kind == Kind::Zoom) {
        const WorldPoint a = worldAt(m_pressAt, plot), b = worldAt(at, plot);
        if (std::fabs(at.x() - m_pressAt.x()) >= 3 && std::fabs(at.y() - m_pressAt.y()) >= 3)
            out = {
                Outcome::Show,
                {std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y)}};
    } else if (kind == Kind::Press) {
        if (button == Qt::RightButton)
            out.what = Outcome::Menu;
        else if (plot.contains(at.toPoint()))
            out.what = !(m_modifiers & Qt::ControlModifier) ? Outcome::Click
                       : m_modifiers & Qt::ShiftModifier    ? Outcome::CtrlShiftClick
                                                            : Outcome::CtrlClick;
    }
    m_dragged.reset();
    return out;
}

void ViewGesture::paintRubberBand(QPainter &p, const QPalette &palette) const
{
    if (m_kind != Kind::Zoom)
        return;
    p.setPen(QPen(palette.color(QPalette::Highlight), 1, Qt::DashLine));
    p.setBrush(QColor(0, 0, 0, 20));
    p.drawRect(QRectF(m_pressAt, m_pointer).normalized());
}
