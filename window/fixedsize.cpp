// SPDX-License-Identifier: MIT

#include "window/fixedsize.h"

#include <QEvent>
#include <QGuiApplication>
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
    m_size = m_window->minimumSize();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        m_window->setMinimumSize(0, 0);
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_released = true;
    }
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
        if (m_restoring && (m_window->windowState() & Qt::WindowMaximized))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_window->windowState() & Qt::WindowMaximized)
                        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMaximized);
                },
                Qt::QueuedConnection);
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
