// SPDX-License-Identifier: MIT

#include "window/viewexport.h"

#include "explore/exploreview.h"

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
        return m_view.grabImage(m_plot(m_view.devicePixelRatioF()));
    }
    QImage imageAt(int scale) const override { return m_view.grabImage(m_plot(scale)); }
    imageexport::VectorPage page() const override
    {
        // One painter unit a pixel, the page as large as the view on a 96 dpi screen. Its
        // SVG states Qt's default of 72 dpi, as it always has.
        return {m_view.size(), 1, 72, m_view.accessibleName()};
    }
    // The one place a view is painted on a vector device: numbers and titles as text, the
    // plot as an image at print size.
    void paintVector(QPainter &painter) const override
    {
        painter.setFont(m_view.font());
        m_view.paintView(painter, m_plot(kPrintScale), m_view.world());
    }

private:
    const ExploreView &m_view;
    const PlotAt &m_plot;
};

} // namespace

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
    imageexport::copy(ViewImage(view, plot));
}

} // namespace viewexport
