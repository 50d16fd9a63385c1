// SPDX-License-Identifier: MIT

#include "window/viewexport.h"

#include "explore/exploreview.h"
#include "window/messages.h"
#include "window/savedialog.h"
#include "window/savefile.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
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
    view.paintView(painter, plot, view.world());
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
    view.paintView(painter, plot, view.world());
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

std::optional<QString> saveAs(QWidget *parent, const ExploreView &view, const PlotAt &plot)
{
    const QString name = view.kind() == ViewKind::Solution ? QStringLiteral("solution.png")
                         : view.kind() == ViewKind::Phase  ? QStringLiteral("phase.png")
                                                           : QStringLiteral("error.png");
    if (const std::optional<ImageAnswer> answer = askForImageFile(parent, name))
        return save(view, plot, answer->path, answer->format);
    return std::nullopt;
}

Choice showMenu(QWidget *parent, const ExploreView &view, QPoint at, bool reference)
{
    QMenu menu(parent);
    QAction *save = menu.addAction(QCoreApplication::translate("ExploreWindow", "Save Image As…"));
    QAction *copy = menu.addAction(QCoreApplication::translate("ExploreWindow", "Copy Image"));
    QAction *curve = nullptr;
    if (view.kind() == ViewKind::Solution) {
        menu.addSeparator();
        curve = menu.addAction(QCoreApplication::translate("ExploreWindow", "Reference Curve"));
        curve->setCheckable(true);
        curve->setChecked(reference);
    }
    QAction *chosen = menu.exec(view.mapToGlobal(at));
    if (!chosen)
        return Choice::None;
    return chosen == save ? Choice::Save : chosen == copy ? Choice::Copy : Choice::Reference;
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
