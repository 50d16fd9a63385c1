// SPDX-License-Identifier: MIT

#pragma once

// A zoomable view as files and clipboard contents, through the window's one image export:
// PNG as on screen or at print size, SVG and PDF as vector graphics. The plot is drawn
// afresh for each; the axes, their numbers and the legend come along, the probe's marker
// never does.

#include "window/imageexport.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct AnalysisSpec;
class ExploreView;
struct FieldSpec;
struct PhaseAnalysis;
class Tracks;
class QPainter;
class QPoint;
class QWidget;

namespace viewexport {

// Draws the view's plot afresh at `scale` device pixels a pixel: as an image, or as vector
// graphics on a painter whose unit is such a device pixel.
struct PlotAt
{
    std::function<QImage(qreal scale)> image;
    std::function<void(QPainter &painter, qreal scale)> vector;
};

// The view's plot drawn from `tracks` (under their lock) as its worker draws it, with the
// direction field `field`, the reference curve where `reference`, and in the phase plane
// the analysis the worker found last, as `shown` shows it.
PlotAt plotOf(const ExploreView &view, const Tracks &tracks, const FieldSpec &field, bool reference,
              const AnalysisSpec &shown, std::shared_ptr<const PhaseAnalysis> analysed);

std::optional<QString> save(const ExploreView &view, const PlotAt &plot, const QString &path,
                            imageexport::Format format);
// Asks where to save the view, and in which form, and saves it; what failed, if anything.
std::optional<QString> saveAs(QWidget *parent, const ExploreView &view, const PlotAt &plot);

// The view's context menu: Save Image As…, Copy Image, and in the solution view the
// reference curve, shown ticked while `reference`. What was chosen.
// In the phase plane, the nullclines, the equilibria and the separatrices, each ticked while
// `analysis` shows it.
enum class Choice { None, Save, Copy, Reference, Family, Nullclines, Equilibria, Separatrices };
// `family`: a family is under way, and the menu offers to stop it.
Choice showMenu(QWidget *parent, const ExploreView &view, QPoint at, bool reference, bool family,
                const AnalysisSpec &analysis);
// The bitmap on the clipboard, and the SVG beside it.
void copy(const ExploreView &view, const PlotAt &plot);

} // namespace viewexport
