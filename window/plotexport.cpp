// SPDX-License-Identifier: MIT

#include "window/plotexport.h"

#include "window/plotscene.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace plotexport {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("plotexport", text);
}

// The legend labels that are shown, painted over the plot on `painter`, whose units are
// the widget's logical pixels: text stays text on a vector device.
void paintLegend(QPainter &painter, const QWidget &picture)
{
    for (const QLabel *label :
         picture.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
        if (!label->isHidden())
            const_cast<QLabel *>(label)->render(&painter, label->pos(), QRegion(),
                                                QWidget::DrawWindowBackground);
}

// The whole plot on a vector painter whose device is `grid` units a side.
void paintVector(QPainter &painter, const Source &source, int grid)
{
    source.scene.renderVector(painter, grid, source.samples);
    painter.save();
    const qreal scale = grid / static_cast<qreal>(source.picture.width());
    painter.scale(scale, scale);
    paintLegend(painter, source.picture);
    painter.restore();
}

QImage printImage(const Source &source)
{
    QImage image = source.scene.render(source.samples, source.picture.width(), kPrintScale);
    QPainter painter(&image);
    paintLegend(painter, source.picture);
    return image;
}

void writeSvg(QIODevice &device, const Source &source)
{
    const int grid = kPrintScale * source.picture.width();
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
    const int grid = kPrintScale * source.picture.width();
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("RedurIvezi"));
    writer.setTitle(QStringLiteral("RedurIvezi"));
    // A square page as large as the plot on a 96 dpi screen, one grid cell a device unit.
    const qreal inches = source.picture.width() / 96.0;
    writer.setPageSize(QPageSize(QSizeF(inches, inches), QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(kPrintScale * 96);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    paintVector(painter, source, grid);
    return painter.end();
}

std::optional<QString> failure(const QString &path, const QString &why)
{
    return tr("Could not save %1:\n%2").arg(path, why);
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

QByteArray svg(const Source &source)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSvg(buffer, source);
    return buffer.data();
}

std::optional<QString> save(const Source &source, const QImage &screen, const QString &path,
                            Format format)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file.errorString());
    bool written = true;
    switch (format) {
    case Format::ScreenPng:
        written = screen.save(&file, "PNG");
        break;
    case Format::PrintPng:
        written = printImage(source).save(&file, "PNG");
        break;
    case Format::Svg:
        writeSvg(file, source);
        break;
    case Format::Pdf:
        written = writePdf(file, source);
        break;
    }
    if (!written || file.error() != QFileDevice::NoError)
        return failure(path, file.error() != QFileDevice::NoError
                                 ? file.errorString()
                                 : tr("the image could not be written"));
    if (!file.commit())
        return failure(path, file.errorString());
    return std::nullopt;
}

} // namespace plotexport
