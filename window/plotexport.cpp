// SPDX-License-Identifier: MIT

#include "window/plotexport.h"

#include "model/plotscene.h"

#include <QLabel>
#include <QPainter>

namespace plotexport {

namespace {

using imageexport::kPrintScale;

// The legend labels that are shown, painted over the plot on `painter`, whose units are
// the plot's logical pixels: text stays text on a vector device.
void paintLegend(QPainter &painter, const Source &source)
{
    for (QLabel *label : source.legend)
        if (!label->isHidden())
            label->render(&painter, label->pos(), QRegion(), QWidget::DrawWindowBackground);
}

} // namespace

QImage PlotImage::imageAt(int scale) const
{
    QImage image = m_source.scene.render(m_source.samples, m_source.side, scale);
    QPainter painter(&image);
    paintLegend(painter, m_source);
    return image;
}

imageexport::VectorPage PlotImage::page() const
{
    // The curve merged on the print grid; the page as large as the plot on a 96 dpi screen.
    return {QSize(m_source.side, m_source.side), kPrintScale, kPrintScale * 96,
            QStringLiteral("RedurIvezi")};
}

void PlotImage::paintVector(QPainter &painter) const
{
    const int grid = kPrintScale * m_source.side;
    m_source.scene.renderVector(painter, grid, m_source.samples);
    painter.save();
    painter.scale(kPrintScale, kPrintScale);
    paintLegend(painter, m_source);
    painter.restore();
}

} // namespace plotexport
