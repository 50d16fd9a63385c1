// SPDX-License-Identifier: MIT

#include "window/viewexport.h"

#include "explore/exploreview.h"
#include "window/messages.h"
#include "window/savefile.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace viewexport {

namespace {

using plotexport::Format;
using plotexport::kPrintScale;

// The view on a vector device as large as it is on a 96 dpi screen: numbers and titles as
// text, the plot as an image at print size.
void writeSvg(QIODevice &device, const ExploreView &view, const QImage &plot)
{
    QSvgGenerator generator;
    generator.setOutputDevice(&device);
    generator.setSize(view.size());
    generator.setViewBox(view.rect());
    generator.setTitle(view.accessibleName());
    QPainter painter(&generator);
    painter.setFont(view.font());
    view.paintView(painter, plot);
}

bool writePdf(QIODevice &device, const ExploreView &view, const QImage &plot)
{
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("RedurIvezi"));
    writer.setTitle(view.accessibleName());
    writer.setPageSize(
        QPageSize(QSizeF(view.width() / 96.0, view.height() / 96.0), QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(96);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    painter.setFont(view.font());
    view.paintView(painter, plot);
    return painter.end();
}

} // namespace

std::optional<QString> save(const ExploreView &view, const PlotAt &plot, const QString &path,
                            Format format)
{
    return saveFile(path, [&](QIODevice &device, QString &why) {
        bool written = true;
        switch (format) {
        case Format::ScreenPng:
            written = plotexport::writePng(view.grabImage(plot(view.devicePixelRatioF())), device);
            break;
        case Format::PrintPng:
            written = plotexport::writePng(view.grabImage(plot(kPrintScale)), device);
            break;
        case Format::Svg:
            writeSvg(device, view, plot(kPrintScale));
            break;
        case Format::Pdf:
            written = writePdf(device, view, plot(kPrintScale));
            break;
        }
        if (!written)
            why = messages::imageNotWritten();
        return written;
    });
}

void copy(const ExploreView &view, const PlotAt &plot)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setImageData(view.grabImage(plot(view.devicePixelRatioF())));
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    writeSvg(svg, view, plot(kPrintScale));
    mime->setData(QStringLiteral("image/svg+xml"), svg.data());
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

} // namespace viewexport
