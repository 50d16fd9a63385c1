// SPDX-License-Identifier: MIT

#include "window/viewexport.h"

#include "explore/exploreview.h"
#include "explore/viewrender.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPainter>

namespace viewexport {

namespace {

using imageexport::kPrintScale;

// The view as a picture to export, its plot drawn afresh by `plot` for each form.
class ViewImage final : public imageexport::ImageSource
{
public:
    ViewImage(const ExploreView &view, const PlotAt &plot) : m_view(view), m_plot(plot) {}

    QImage screenImage() const override
    {
        return m_view.grabImage(m_plot.image(m_view.devicePixelRatioF()));
    }
    QImage imageAt(int scale) const override { return m_view.grabImage(m_plot.image(scale)); }
    imageexport::VectorPage page() const override
    {
        // One painter unit a pixel, the page as large as the view on a 96 dpi screen.
        return {m_view.size(), 1, 96, m_view.accessibleName()};
    }
    // The one place a view is painted on a vector device: numbers and titles as text, the
    // plot's grid, arrows and curves as paths on a grid at print size.
    void paintVector(QPainter &painter) const override
    {
        painter.setFont(m_view.font());
        m_view.paintVectorView(painter, kPrintScale,
                               [this](QPainter &p) { m_plot.vector(p, kPrintScale); });
    }

private:
    const ExploreView &m_view;
    const PlotAt &m_plot;
};

} // namespace

PlotAt plotOf(const ExploreView &view, const Tracks &tracks, const FieldSpec &field, bool reference,
              const AnalysisSpec &shown, std::shared_ptr<const PhaseAnalysis> analysed)
{
    // What the view asks its worker for, drawn again now at `scale`; the analysis in world
    // coordinates as the worker found it for the view.
    const auto request = [&view, field, reference, shown, analysed](qreal scale) {
        ViewRequest r = view.request();
        r.ratio = scale;
        r.width = qRound(view.plotRect().width() * scale);
        r.height = qRound(view.plotRect().height() * scale);
        r.field = field;
        r.reference = reference;
        r.analysis = shown;
        r.analysed = analysed;
        return r;
    };
    return {[&tracks, request](qreal scale) {
                QImage image;
                const std::atomic<bool> never{false};
                const std::lock_guard<std::mutex> locked(tracks.lock());
                renderView(request(scale), tracks, image, never);
                return image;
            },
            [&tracks, request](QPainter &painter, qreal scale) {
                const std::lock_guard<std::mutex> locked(tracks.lock());
                paintVectorPlot(painter, request(scale), tracks);
            }};
}

std::optional<QString> save(const ExploreView &view, const PlotAt &plot, const QString &path,
                            imageexport::Format format)
{
    return imageexport::save(ViewImage(view, plot), path, format);
}

std::optional<QString> saveAs(QWidget *parent, const ExploreView &view, const PlotAt &plot)
{
    const QString name = view.kind() == ViewKind::Solution ? QStringLiteral("solution.png")
                         : view.kind() == ViewKind::Phase  ? QStringLiteral("phase.png")
                                                           : QStringLiteral("error.png");
    return imageexport::saveAs(parent, ViewImage(view, plot), name);
}

Choice showMenu(QWidget *parent, const ExploreView &view, QPoint at, bool reference, bool family,
                const AnalysisSpec &analysis)
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
    QAction *shows[3] = {};
    if (view.kind() == ViewKind::Phase) {
        menu.addSeparator();
        const std::pair<const char *, bool> items[3] = {{"Nullclines", analysis.nullclines},
                                                        {"Equilibria", analysis.equilibria},
                                                        {"Separatrices", analysis.separatrices}};
        for (int k = 0; k < 3; ++k) {
            shows[k] = menu.addAction(QCoreApplication::translate("ExploreWindow", items[k].first));
            shows[k]->setCheckable(true);
            shows[k]->setChecked(items[k].second);
        }
    }
    menu.addSeparator();
    QAction *runs =
        menu.addAction(family ? QCoreApplication::translate("ExploreWindow", "Stop Family")
                              : QCoreApplication::translate("ExploreWindow", "Family…"));
    QAction *chosen = menu.exec(view.mapToGlobal(at));
    if (!chosen)
        return Choice::None;
    if (chosen == runs)
        return Choice::Family;
    if (chosen && chosen == shows[0])
        return Choice::Nullclines;
    if (chosen && chosen == shows[1])
        return Choice::Equilibria;
    if (chosen && chosen == shows[2])
        return Choice::Separatrices;
    return chosen == save ? Choice::Save : chosen == copy ? Choice::Copy : Choice::Reference;
}

void copy(const ExploreView &view, const PlotAt &plot)
{
    imageexport::copy(ViewImage(view, plot));
}

} // namespace viewexport
