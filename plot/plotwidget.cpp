// SPDX-License-Identifier: MIT

#include "plot/plotwidget.h"

#include <QPaintEvent>
#include <QPainter>

PlotWidget::PlotWidget(int size, QWidget *parent)
    : QWidget(parent), m_surface(std::make_unique<PlotSurface>(size, devicePixelRatioF()))
{
    setFixedSize(size, size);
    // Everything is painted from the image: no background fill underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotWidget::redrawAt(qreal devicePixelRatio)
{
    auto surface = std::make_unique<PlotSurface>(width(), devicePixelRatio);
    if (!m_redraw || !m_redraw(*surface))
        return;
    m_surface = std::move(surface);
    update();
}

void PlotWidget::paintEvent(QPaintEvent *event)
{
    if (m_redraw && devicePixelRatioF() != m_surface->devicePixelRatio())
        redrawAt(devicePixelRatioF());
    QPainter p(this);
    // The image holds device pixels; drawn into the logical rectangle it maps one to one.
    const QImage &image = m_surface->image();
    const qreal scale = image.width() / static_cast<qreal>(width());
    const QRect r = event->rect();
    p.drawImage(r, image,
                QRectF(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale));
}
