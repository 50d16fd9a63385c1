// SPDX-License-Identifier: MIT

#include "window/explorewindow.h"

#include "window/accuracypanel.h"
#include "window/equationbar.h"
#include "window/exploreprobe.h"
#include "window/readoutpanel.h"
#include "window/runvariation.h"
#include "window/sliderpanel.h"

#include "explore/exploreview.h"
#include "explore/fieldarrows.h"
#include "explore/ticks.h"
#include "explore/tracks.h"
#include "listing/numbertext.h"
#include "model/runmodel.h"
#include "window/sampleview.h"
#include "window/viewexport.h"

#include <QAction>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtMath>

using fields::Field;

namespace {

constexpr int kSolution = 0, kPhase = 1, kError = 2;
// How long a run holds the thread before the views show its progress while it runs.
constexpr qint64 kPaintDuringRunMs = 100;

} // namespace

ExploreWindow::ExploreWindow(Links links, QWidget *parent)
    : QWidget(parent, Qt::Window), m_links(std::move(links)), m_worker(this)
{
    setObjectName(QStringLiteral("Explore"));
    setWindowTitle(tr("Explore – RedurIvezi"));
    // The solution and the phase plane side by side, the error and the accuracy below.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    // The equation bar above the views.
    m_bar = new EquationBar(m_links.choice, m_links.clickOption, this);
    layout->addWidget(m_bar, 0, 0, 1, 2);
    // The sliders below it, then the views.
    m_sliders = new SliderPanel(this);
    layout->addWidget(m_sliders, 1, 0, 1, 2);
    layout->setRowStretch(2, 3);
    layout->setRowStretch(3, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    const struct
    {
        ViewKind kind;
        const char *name;
        QString accessible;
    } kinds[] = {{ViewKind::Solution, "Solution", tr("Solution: y over x")},
                 {ViewKind::Phase, "PhasePlane", tr("Phase plane: y' over y")},
                 {ViewKind::Error, "Error", tr("Error: |y − reference| over x")}};
    for (int v = 0; v < RenderThread::kViews; ++v) {
        auto *view = new ExploreView(kinds[v].kind, this);
        view->setObjectName(QLatin1String(kinds[v].name));
        view->setAccessibleName(kinds[v].accessible);
        layout->addWidget(view, 2 + v / 2, v % 2);
        m_views[v] = view;
        const auto guarded = [this](const char *command, auto work) {
            return [this, command, work](auto... args) {
                m_links.guard(tr(command), [&] { work(args...); });
            };
        };
        connect(view, &ExploreView::changed, this, [this, view] { requestImage(*view); });
        connect(view, &ExploreView::fitWanted, this, [this, view] { fitView(*view); });
        connect(view, &ExploreView::clicked, this,
                guarded("The probe", [this, view](QPointF at) { m_probe->probeAt(*view, at); }));
        connect(view, &ExploreView::ctrlClicked, this,
                guarded("The run", [this, view](QPointF at) { runFrom(*view, at); }));
        connect(view, &ExploreView::ctrlShiftClicked, this,
                guarded("The run", [this, view](QPointF at) { runBothWaysFrom(*view, at); }));
        connect(view, &ExploreView::escapePressed, this, [this] {
            m_probe->clearEquilibrium();
            m_links.clearProbe();
        });
        connect(view, &ExploreView::menuWanted, this,
                guarded("The view's menu", [this, view](QPoint at) { showMenu(*view, at); }));
    }
    m_probe = new ExploreProbe(m_views, m_worker.tracks(), m_links.model, m_links.list, this);
    m_accuracy = new AccuracyPanel(this);
    // The read-out below the accuracy, in the same cell beside the error view.
    m_readout = new ReadoutPanel(this);
    auto *panels = new QVBoxLayout;
    panels->addWidget(m_accuracy, 1);
    panels->addWidget(m_readout, 1);
    layout->addLayout(panels, 3, 1);
    m_variation = new RunVariation({m_links.model, m_worker, m_links.choice, *m_sliders,
                                    m_links.nextRun, [this] { return m_probe->markedRow(); },
                                    m_links.typeAndRun, m_links.guard},
                                   this);
    connect(m_variation, &RunVariation::changed, this, &ExploreWindow::collect);
    connect(m_variation, &RunVariation::familyRunning, m_sliders, &SliderPanel::setFamilyRunning);
    setTabOrder(&m_bar->formulaField(), m_views[kSolution]);
    setTabOrder(m_views[kSolution], m_views[kPhase]);
    setTabOrder(m_views[kPhase], m_views[kError]);
    resize(1000, 800);

    const RunModel &model = m_links.model;
    // A run extends the views at the rate it shows its progress: these come on the
    // window's thread while the run holds it, and the views are painted at once.
    for (auto signal :
         {&RunModel::runStarted, &RunModel::published, &RunModel::runEnded, &RunModel::cleared})
        connect(&model, signal, this, &ExploreWindow::follow);
    connect(&model, &RunModel::cleared, this, [this] {
        for (ExploreView *view : m_views)
            view->fit({}, true);
    });
    // A field taken at the last run's x0 follows the runs.
    for (auto signal : {&RunModel::runStarted, &RunModel::cleared})
        connect(&model, signal, this, [this] {
            if (m_fieldSpec.p.eq->dependsOnX && m_probe->markedRow() < 0)
                nextRunChanged();
        });
    // With nothing marked the read-out follows the last run; a run's rows are known once it
    // has ended.
    for (auto signal : {&RunModel::runStarted, &RunModel::runEnded, &RunModel::cleared})
        connect(&model, signal, this, &ExploreWindow::updateReadout);
    connect(&m_worker, &RenderThread::rendered, this, &ExploreWindow::collect,
            Qt::QueuedConnection);
    connect(
        m_links.list.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { markRow(current.isValid() ? current.row() : -1); });

    follow();
    updateField();
    updateReadout();
    m_variation->followBase();
    const QModelIndex current = m_links.list.currentIndex();
    if (current.isValid())
        markRow(current.row());
}

ExploreWindow::~ExploreWindow() = default;

void ExploreWindow::hideEvent(QHideEvent *event)
{
    m_variation->stopFamily();
    QWidget::hideEvent(event);
}

void ExploreWindow::focusFormula()
{
    m_bar->formulaField().setFocus(Qt::OtherFocusReason);
    m_bar->formulaField().selectAll();
}

ExploreView &ExploreWindow::view(ViewKind kind) const
{
    return *m_views[kind == ViewKind::Solution ? kSolution
                    : kind == ViewKind::Phase  ? kPhase
                                               : kError];
}

void ExploreWindow::follow()
{
    const RunModel &model = m_links.model;
    RunsSnapshot snapshot;
    snapshot.generation = model.generation();
    snapshot.runs = model.runs();
    // The run under way has as many rows as the list shows so far.
    snapshot.running = model.running();
    if (model.running() && !snapshot.runs.empty())
        snapshot.runs.back().rows =
            static_cast<std::size_t>(model.samples().rowCount()) - snapshot.runs.back().firstRow;
    snapshot.samples = model.samples().store().snapshot();
    snapshot.styles = m_variation->styles();
    snapshot.version = ++m_version;
    for (ExploreView *view : m_views)
        view->expect(m_version);
    m_worker.follow(std::move(snapshot));
    collect();
    if (!model.running()) {
        m_runClock.invalidate();
    } else if (!m_runClock.isValid()) {
        m_runClock.start();
    } else if (m_runClock.elapsed() > kPaintDuringRunMs) {
        // No event is handled during a run: the views that changed are painted now, once
        // the run lasts longer than a moment. A short one (a family's) is shown after it.
        for (ExploreView *view : m_views)
            if (view->stale())
                view->repaint();
    }
}

void ExploreWindow::collect()
{
    for (int v = 0; v < RenderThread::kViews; ++v)
        if (auto image = m_worker.take(v)) {
            m_views[v]->setImage(image->first, image->second.world, image->second.version);
            if (v == kPhase)
                showAnalysis(image->second.analysed);
        }
    view(ViewKind::Solution).setLegend(withBackward(m_variation->legend()));
    for (ExploreView *view : m_views)
        if (view->fitting())
            fitView(*view);
    if (m_probe->markedRow() >= 0)
        markRow(m_probe->markedRow()); // its slope may have been found meanwhile
    updateReferenceCaption();
}

void ExploreWindow::updateReferenceCaption()
{
    double share = 1.0;
    QString ended;
    {
        const std::lock_guard<std::mutex> locked(m_worker.tracks().lock());
        share = m_worker.tracks().referenceShare();
        ended = QString::fromStdString(m_worker.tracks().referenceEnd());
    }
    // Progress only for a reference that takes longer than a moment.
    if (share >= 1.0)
        m_referenceLag.invalidate();
    else if (!m_referenceLag.isValid())
        m_referenceLag.start();
    QString caption = ended;
    if (share < 1.0 && m_referenceLag.elapsed() > 300)
        caption = tr("finding the reference: %1 %").arg(qFloor(100 * share));
    view(ViewKind::Error).setCaption(caption);
}

void ExploreWindow::fitView(ExploreView &view)
{
    // All runs, with a small margin; nothing yet: the view stays as it is.
    std::optional<WorldRect> bounds;
    {
        const std::lock_guard<std::mutex> locked(m_worker.tracks().lock());
        bounds = m_worker.tracks().bounds(view.kind());
    }
    view.fit(bounds.value_or(WorldRect{}), !bounds);
}

void ExploreWindow::requestImage(ExploreView &view)
{
    ViewRequest r = view.request();
    r.field = m_fieldSpec;
    r.reference = m_showReference;
    if (view.kind() == ViewKind::Phase)
        r.analysis = m_analysisSpec;
    for (int v = 0; v < RenderThread::kViews; ++v)
        if (&view == m_views[v])
            m_worker.request(v, r);
}

void ExploreWindow::nextRunChanged()
{
    m_variation->followBase();
    updateField();
    requestImage(view(ViewKind::Phase));
}

void ExploreWindow::updateField()
{
    std::optional<double> marked;
    if (const int row = m_probe->markedRow(); row >= 0 && row < m_links.model.samples().rowCount())
        marked = m_links.model.samples().x(row);
    std::string caption;
    m_fieldSpec = nextField(m_links.nextRun(), m_links.model.runs(), marked, caption);
    // The nullcline of an equation with x is taken where its field is, and says so too.
    constexpr std::string_view kField = "field at ";
    m_fieldWhere = caption.starts_with(kField) ? caption.substr(kField.size()) : std::string();
    if (m_analysisSpec.nullclines && !m_fieldWhere.empty())
        caption = "field and nullcline at " + m_fieldWhere;
    view(ViewKind::Phase).setCaption(QString::fromStdString(caption));
}

void ExploreWindow::markRow(int row)
{
    const bool moved = row != m_probe->markedRow();
    m_probe->markRow(row);
    // The accuracy of the marked sample's run.
    std::optional<solver::RunParameters> run;
    if (const RunRecord *r = m_links.model.runOf(row))
        run = r->params;
    m_accuracy->showRun(run);
    updateReadout();
    if (moved && !m_fieldSpec.p.eq->dependsOnX)
        m_variation->followBase(); // nextRunChanged() does it otherwise
    if (moved && m_fieldSpec.p.eq->dependsOnX)
        nextRunChanged();
}

void ExploreWindow::updateReadout()
{
    const std::vector<RunRecord> &runs = m_links.model.runs();
    const RunRecord *marked = m_links.model.runOf(m_probe->markedRow());
    const RunRecord *run = marked ? marked : runs.empty() ? nullptr : &runs.back();
    m_readout->showRun(run ? std::optional<RunRecord>(*run) : std::nullopt, marked != nullptr);
}

void ExploreWindow::runFrom(ExploreView &view, QPointF at)
{
    // The point's coordinates as texts with the fewest decimals that still tell one pixel
    // from the next, typed into the fields as a user would type them.
    const QRect r = view.plotRect();
    const WorldPoint p = view.toWorld(at);
    const QString a = QString::fromStdString(fieldText(p.x, view.world().width() / r.width()));
    const QString b = QString::fromStdString(fieldText(p.y, view.world().height() / r.height()));
    // A point of the error view is no start of a run.
    if (view.kind() == ViewKind::Solution)
        m_links.typeAndRun({{Field::X0, a}, {Field::Y0, b}});
    else if (view.kind() == ViewKind::Phase)
        m_links.typeAndRun({{Field::Y0, a}, {Field::Z0, b}});
}

void ExploreWindow::runBothWaysFrom(ExploreView &view, QPointF at)
{
    const std::size_t before = m_links.model.runs().size();
    runFrom(view, at);
    const auto &runs = m_links.model.runs();
    if (view.kind() == ViewKind::Error || runs.size() <= before)
        return;
    m_worker.addBackward(runs.size() - 1, runs.back().params, view.kind(), view.world());
}

QList<LegendEntry> ExploreWindow::withBackward(QList<LegendEntry> legend) const
{
    // A run's entry says how far back its dashed way back goes.
    const std::lock_guard<std::mutex> locked(m_worker.tracks().lock());
    if (m_worker.tracks().generation() != m_links.model.generation())
        return legend;
    for (const BackwardTrack &b : m_worker.tracks().backward())
        if (b.run < static_cast<std::size_t>(legend.size()) && b.run < m_links.model.runs().size())
            legend[static_cast<qsizetype>(b.run)].name +=
                tr(" – drawn back to x = %1, dashed")
                    .arg(QString::fromStdString(generalText(b.reached)));
    return legend;
}

void ExploreWindow::showMenu(ExploreView &view, QPoint at)
{
    const viewexport::PlotAt plot =
        viewexport::plotOf(view, m_worker.tracks(), m_fieldSpec, m_showReference, m_analysisSpec,
                           view.kind() == ViewKind::Phase ? m_analysis : nullptr);
    switch (viewexport::showMenu(this, view, at, m_showReference, m_variation->family() != nullptr,
                                 m_analysisSpec)) {
    case viewexport::Choice::None:
        break;
    case viewexport::Choice::Nullclines:
        toggleAnalysis(&AnalysisSpec::nullclines);
        break;
    case viewexport::Choice::Equilibria:
        toggleAnalysis(&AnalysisSpec::equilibria);
        break;
    case viewexport::Choice::Separatrices:
        toggleAnalysis(&AnalysisSpec::separatrices);
        break;
    case viewexport::Choice::Family:
        m_variation->familyWanted();
        break;
    case viewexport::Choice::Reference:
        m_showReference = !m_showReference;
        requestImage(view);
        break;
    case viewexport::Choice::Save:
        m_links.guard(tr("Save Image As"), [&] {
            if (const std::optional<QString> error = viewexport::saveAs(this, view, plot))
                m_links.warn(*error);
        });
        break;
    case viewexport::Choice::Copy:
        m_links.guard(tr("Copy Image"), [&] { viewexport::copy(view, plot); });
        break;
    }
}

void ExploreWindow::toggleAnalysis(bool AnalysisSpec::*shown)
{
    m_analysisSpec.*shown = !(m_analysisSpec.*shown);
    updateField();
    requestImage(view(ViewKind::Phase));
}

void ExploreWindow::showAnalysis(std::shared_ptr<const PhaseAnalysis> analysis)
{
    m_analysis = std::move(analysis);
    m_probe->setAnalysis(m_analysis);
    view(ViewKind::Phase)
        .setAnalysisText(m_analysis ? QString::fromStdString(analysisDescription(
                                          *m_analysis, m_analysisSpec, m_fieldWhere))
                                    : QString());
}
