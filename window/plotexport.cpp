// SPDX-License-Identifier: MIT

#include "window/plotexport.h"

#include "model/plotscene.h"
#include "window/messages.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace plotexport {

namespace {

// The legend labels that are shown, painted over the plot on `painter`, whose units are
// the plot's logical pixels: text stays text on a vector device.
void paintLegend(QPainter &painter, const Source &source)
{
    for (QLabel *label : source.legend)
        if (!label->isHidden())
            label->render(&painter, label->pos(), QRegion(), QWidget::DrawWindowBackground);
}

// The whole plot on a vector painter whose device is `grid` units a side.
void paintVector(QPainter &painter, const Source &source, int grid)
{
    source.scene.renderVector(painter, grid, source.samples);
    painter.save();
    const qreal scale = grid / static_cast<qreal>(source.side);
    painter.scale(scale, scale);
    paintLegend(painter, source);
    painter.restore();
}

QImage printImage(const Source &source)
{
    QImage image = source.scene.render(source.samples, source.side, kPrintScale);
    QPainter painter(&image);
    paintLegend(painter, source);
    return image;
}

void writeSvg(QIODevice &device, const Source &source)
{
    const int grid = kPrintScale * source.side;
    QSvgGenerator generator;
    generator.setOutputDevice(&device);
    generator.setSize(QSize(grid, grid));
    generator.setViewBox(QRect(0, 0, grid, grid));
    // As large as the plot on a 96 dpi screen.
    generator.setResolution(kPrintScale * 96);
    generator.setTitle(QStringLiteral("RedurIvezi"));
    QPainter painter(&generator);
    paintVector(painter, source, grid);
}

bool writePdf(QIODevice &device, const Source &source)
{
    const int grid = kPrintScale * source.side;
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("RedurIvezi"));
    writer.setTitle(QStringLiteral("RedurIvezi"));
    // A square page as large as the plot on a 96 dpi screen, one grid cell a device unit.
    const qreal inches = source.side / 96.0;
    writer.setPageSize(QPageSize(QSizeF(inches, inches), QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(kPrintScale * 96);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    paintVector(painter, source, grid);
    return painter.end();
}

} // namespace

Format formatFor(const QString &path)
{
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return Format::Svg;
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return Format::Pdf;
    return Format::ScreenPng;
}

bool writePng(const QImage &image, QIODevice &device)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") && device.write(bytes) == bytes.size();
}

QByteArray svg(const Source &source)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSvg(buffer, source);
    return buffer.data();
}

bool write(const Source &source, const QImage &screen, Format format, QIODevice &device,
           QString &why)
{
    bool written = true;
    switch (format) {
    case Format::ScreenPng:
        written = writePng(screen, device);
        break;
    case Format::PrintPng:
        written = writePng(printImage(source), device);
        break;
    case Format::Svg:
        writeSvg(device, source);
        break;
    case Format::Pdf:
        written = writePdf(device, source);
        break;
    }
    if (!written)
        why = messages::imageNotWritten();
    return written;
}

} // namespace plotexport
