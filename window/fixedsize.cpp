// SPDX-License-Identifier: MIT

#include "window/fixedsize.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

FixedSize::FixedSize(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
    watchHandle();
}

void FixedSize::watchHandle()
{
    QWindow *handle = m_window->windowHandle();
    if (!handle || handle == m_handle)
        return;
    m_handle = handle;
    // Emitted within the request itself, before the compositor can answer it: on Wayland
    // Qt's answer to its configure clamps the window to its fixed size at once.
    connect(handle, &QWindow::windowStateChanged, this, &FixedSize::stateRequested);
}

void FixedSize::stateRequested(Qt::WindowState state)
{
    if (state != Qt::WindowMaximized || m_restoring)
        return;
    m_restoring = true;
    m_granted = false;
    m_size = m_window->minimumSize();
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    m_window->setMinimumSize(0, 0);
    m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_released = true;
    // A compositor that takes equal minimum and maximum sizes as "not resizable" ignores
    // the request and sends nothing (the sizes let go of reach it only with the next
    // frame). One that grants it answers within a frame or two; left without an answer,
    // the window takes its size back rather than stay resizable.
    QTimer::singleShot(kAnswerMs, this, [this, request = ++m_requests] {
        if (request != m_requests || !m_restoring || m_granted)
            return;
        m_restoring = m_released = false;
        m_window->setFixedSize(m_size);
        if (m_handle)
            m_handle->setWindowStates(m_handle->windowStates() & ~Qt::WindowMaximized);
    });
}

bool FixedSize::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WinIdChange:
        watchHandle();
        break;
    case QEvent::WindowStateChange:
        // The platform has made it maximized (on Wayland: configured, acknowledged and
        // about to be drawn at the compositor's size). Asked back only once that is done,
        // so that the compositor sees the maximized size drawn first.
        if (m_restoring && (m_window->windowState() & Qt::WindowMaximized)) {
            m_granted = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_window->windowState() & Qt::WindowMaximized)
                        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMaximized);
                },
                Qt::QueuedConnection);
        }
        break;
    case QEvent::Resize:
        // Restored. On Wayland only the compositor's configure of the normal state gives
        // the window its size back; until then it must keep the maximized one.
        if (m_restoring && !(m_window->windowState() & Qt::WindowMaximized) &&
            (!m_released || m_window->size() == m_size)) {
            m_restoring = false;
            if (m_released)
                m_window->setFixedSize(m_size);
            m_released = false;
        }
        break;
    default:
        break;
    }
    return false;
}
