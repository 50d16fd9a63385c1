// SPDX-License-Identifier: MIT

#include "plot/plotwidget.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PlotWidget::PlotWidget(int size, QWidget *parent)
    : QWidget(parent), m_surface(std::make_unique<PlotSurface>(size, devicePixelRatioF()))
{
    setFixedSize(size, size);
    // Everything is painted from the image: no background fill underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click gives it the focus, for Escape; Tab passes it by as before.
    setFocusPolicy(Qt::ClickFocus);
}

void PlotWidget::redrawAt(qreal devicePixelRatio)
{
    auto surface = std::make_unique<PlotSurface>(width(), devicePixelRatio);
    if (!m_redraw || !m_redraw(*surface))
        return;
    m_surface = std::move(surface);
    update();
}

void PlotWidget::setMarker(const Marker &marker)
{
    m_marker = marker;
    update();
}

void PlotWidget::clearMarker()
{
    if (!m_marker)
        return;
    m_marker.reset();
    update();
}

QImage PlotWidget::grabWithoutMarker()
{
    m_overlaysHidden = true;
    const QImage image = grab().toImage();
    m_overlaysHidden = false;
    return image;
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
    if (m_overlaysHidden)
        return;
    if (!m_caption.isEmpty()) {
        QFont font = p.font();
        font.setPointSizeF(8.5);
        p.setFont(font);
        // Below the plot's first pixels, which the window's top edge hides.
        const QRectF box =
            p.fontMetrics()
                .boundingRect(QRect(4, 12, width() - 8, height() - 16),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, m_caption)
                .adjusted(-3, -1, 3, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawRect(box);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter | Qt::TextWrapAnywhere, m_caption);
    }
    if (m_marker)
        paintProbeMarker(p, m_marker->at, m_marker->tag, QRectF(0, 0, width(), height()));
}

void PlotWidget::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void paintProbeMarker(QPainter &p, QPointF at, const QString &tag, const QRectF &bounds)
{
    const QColor colour = QColor::fromRgb(PlotWidget::kMarkerColour);
    const QPointF c = at + QPointF(0.5, 0.5); // the centre of the mark's pixel
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 5.0, 5.0);
    p.drawLine(c - QPointF(9, 0), c - QPointF(3, 0));
    p.drawLine(c + QPointF(3, 0), c + QPointF(9, 0));
    p.drawLine(c - QPointF(0, 9), c - QPointF(0, 3));
    p.drawLine(c + QPointF(0, 3), c + QPointF(0, 9));

    // The tag beside it, kept inside the bounds.
    QFont font = p.font();
    font.setPointSizeF(8.5);
    p.setFont(font);
    const QRectF text = p.fontMetrics().boundingRect(tag).adjusted(-3, -1, 3, 1);
    QRectF box(c + QPointF(10, -10 - text.height()), text.size());
    if (box.right() > bounds.right())
        box.moveRight(c.x() - 10);
    if (box.top() < bounds.top())
        box.moveTop(c.y() + 10);
    box.moveLeft(std::clamp<qreal>(box.left(), bounds.left(), bounds.right() - box.width()));
    box.moveTop(std::clamp<qreal>(box.top(), bounds.top(), bounds.bottom() - box.height()));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(colour);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, tag);
    p.restore();
}

QString markedLine(const QString &description, const QString &tag)
{
    return description + QCoreApplication::translate("Probe", ". Marked line: %1").arg(tag);
}

void PlotWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit probed(event->position().toPoint());
    else
        QWidget::mousePressEvent(event);
}

void PlotWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        emit probed(event->position().toPoint());
    else
        QWidget::mouseMoveEvent(event);
}

void PlotWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit escapePressed();
    else
        QWidget::keyPressEvent(event);
}
