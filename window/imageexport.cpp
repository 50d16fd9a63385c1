// SPDX-License-Identifier: MIT

#include "window/imageexport.h"

#include "window/messages.h"
#include "window/savedialog.h"
#include "window/savefile.h"
#include "window/waitcursor.h"

#include <QBuffer>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QSvgGenerator>

#include <algorithm>
#include <iterator>

namespace imageexport {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("FormCommands", text);
}

bool raster(Format format)
{
    const Writing w = imageFormat(format).writing;
    return w == Writing::ScreenRaster || w == Writing::PrintRaster;
}

void writeSvg(const ImageSource &source, QIODevice &device)
{
    const VectorPage page = source.page();
    const QSize size = page.size * page.scale;
    QSvgGenerator generator;
    generator.setOutputDevice(&device);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(), size));
    generator.setResolution(page.svgResolution);
    generator.setTitle(page.title);
    QPainter painter(&generator);
    source.paintVector(painter);
}

bool writePdf(const ImageSource &source, QIODevice &device)
{
    const VectorPage page = source.page();
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("RedurIvezi"));
    writer.setTitle(page.title);
    // As large as the picture on a 96 dpi screen, one painter unit a device unit.
    writer.setPageSize(
        QPageSize(QSizeF(page.size.width() / 96.0, page.size.height() / 96.0), QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(page.scale * 96);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    source.paintVector(painter);
    return painter.end();
}

} // namespace

const ImageFormat &imageFormat(Format format)
{
    return *std::find_if(std::begin(kImageFormats), std::end(kImageFormats),
                         [format](const ImageFormat &f) { return f.format == format; });
}

QString filterText(Format format)
{
    return tr(imageFormat(format).filter);
}

Format formatFor(const QString &path)
{
    // The first of the table's formats with the name's suffix: a .png is one as on screen.
    for (const ImageFormat &f : kImageFormats)
        if (path.endsWith(u'.' + QLatin1String(f.suffix), Qt::CaseInsensitive))
            return f.format;
    return Format::ScreenPng;
}

Format formatFor(const QString &path, Format chosen)
{
    const Format named = formatFor(path);
    return raster(chosen) && raster(named) ? chosen : named;
}

bool writePng(const QImage &image, QIODevice &device)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") && device.write(bytes) == bytes.size();
}

bool write(const ImageSource &source, Format format, QIODevice &device, QString &why)
{
    bool written = true;
    switch (imageFormat(format).writing) {
    case Writing::ScreenRaster:
        written = writePng(source.screenImage(), device);
        break;
    case Writing::PrintRaster:
        written = writePng(source.imageAt(kPrintScale), device);
        break;
    case Writing::Svg:
        writeSvg(source, device);
        break;
    case Writing::Pdf:
        written = writePdf(source, device);
        break;
    }
    if (!written)
        why = messages::imageNotWritten();
    return written;
}

QByteArray svg(const ImageSource &source)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSvg(source, buffer);
    return buffer.data();
}

std::optional<QString> save(const ImageSource &source, const QString &path, Format format)
{
    WaitCursor cursor;
    return saveFile(
        path, [&](QIODevice &device, QString &why) { return write(source, format, device, why); });
}

std::optional<ImageAnswer> askForImageFile(QWidget *parent, const QString &name)
{
    QStringList filters;
    for (const ImageFormat &f : kImageFormats)
        filters << tr(f.filter);
    const std::optional<FileAnswer> answer = askForFile(parent, tr("Save Image As"), name, filters,
                                                        QLatin1String(kImageFormats[0].suffix));
    if (!answer)
        return std::nullopt;
    const bool listed = answer->filter >= 0 && answer->filter < filters.size();
    const Format chosen = listed ? kImageFormats[answer->filter].format : Format::ScreenPng;
    return ImageAnswer{answer->path, formatFor(answer->path, chosen)};
}

std::optional<QString> saveAs(QWidget *parent, const ImageSource &source, const QString &name)
{
    if (const std::optional<ImageAnswer> answer = askForImageFile(parent, name))
        return save(source, answer->path, answer->format);
    return std::nullopt;
}

void copy(const ImageSource &source)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setImageData(source.screenImage());
    mime->setData(QStringLiteral("image/svg+xml"), svg(source));
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

} // namespace imageexport
