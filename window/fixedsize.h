// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

class QWidget;
class QWindow;

// Keeps a window of fixed size at its size when it is maximized all the same.
//
// Qt 6.4 on Wayland draws its own title bar where the compositor draws none (Weston), with
// a maximize button even for a window whose minimum and maximum sizes are equal, and asks
// the compositor at once. A compositor that grants it (Weston does) then requires the
// window to fill the size it sends, and ends a client whose window stays smaller. So the
// moment the window is asked to be maximized, its size is let go, the compositor's size
// is taken, and as soon as the compositor has configured it maximized the window asks to
// be restored; once it is, it is fixed at its size again. A compositor that ignores the
// request (taking equal sizes as "not resizable") leaves it unanswered, and after a while
// the window takes its size back. On other platforms the window only asks to be
// restored: its size stays fixed throughout.
class FixedSize : public QObject
{
public:
    // Watches `window`, whose minimum and maximum sizes are equal, and is its child.
    explicit FixedSize(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchHandle();
    void stateRequested(Qt::WindowState state);

    QWidget *m_window;
    QPointer<QWindow> m_handle; // the window's, once it has one
    // How long a compositor may take to answer a request to maximize, in milliseconds.
    static constexpr int kAnswerMs = 1000;

    QSize m_size;
    bool m_restoring = false; // maximized, or asked to be, until it is back at its size
    bool m_granted = false;   // the platform has made it maximized
    bool m_released = false;  // its size let go meanwhile
    int m_requests = 0;       // requests to maximize so far
};
