// SPDX-License-Identifier: MIT

#pragma once

#include "explore/navigation.h"

#include <QPointF>
#include <QRect>

#include <optional>

class QPainter;
class QPalette;

// What a key does to a zoomable view: the arrows pan by a tenth the way they point, + and -
// zoom about the middle, Alt+Left and Alt+Right go back and forward through the views shown,
// Home fits, Escape removes the marker. Shift is how some keyboards reach + at all.
struct ViewKey
{
    // + and - zoom by the square root of two, so that in and out cancel.
    static const double kNotch;

    struct Action
    {
        enum { None, Pan, Zoom, Back, Forward, Fit, Escape } what = None;
        double fx = 0, fy = 0; // Pan: fractions of the spans
        double factor = 1;     // Zoom
    };
    static Action of(int key, Qt::KeyboardModifiers modifiers);
};

// A press of a mouse button on a zoomable view, to its release: a press that moves less
// than a few pixels is a click; a left drag pans, moving only the world while it lasts; a
// right drag, or a left one with Shift, draws the rectangle to zoom to.
class ViewGesture
{
public:
    enum class Kind { None, Press, Pan, Zoom };
    // What the release made of it.
    struct Outcome
    {
        enum { Nothing, Show, Click, CtrlClick, CtrlShiftClick, Menu } what = Nothing;
        WorldRect world; // for Show
    };

    Kind kind() const { return m_kind; }
    Qt::MouseButton button() const { return m_button; }
    // The world while a pan is under way.
    const std::optional<WorldRect> &dragged() const { return m_dragged; }
    // The zoom rectangle under way, in the view's pixels, when there is one.
    void paintRubberBand(QPainter &p, const QPalette &palette) const;

    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at,
               const WorldRect &world);
    // Whether the view is to be painted again.
    bool move(QPointF at, const QRect &plot);
    // The release of `button` at `at`, over `plot` showing `world` as the press found it.
    Outcome release(Qt::MouseButton button, QPointF at, const QRect &plot);

private:
    WorldPoint worldAt(QPointF at, const QRect &plot) const;

    Kind m_kind = Kind::None;
    Qt::MouseButton m_button = Qt::NoButton;
    Qt::KeyboardModifiers m_modifiers;
    QPointF m_pressAt, m_pointer;
    WorldRect m_pressWorld;
    std::optional<WorldRect> m_dragged;
};
