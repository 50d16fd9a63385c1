// SPDX-License-Identifier: MIT

#include "window/runvariation.h"

#include "explore/renderthread.h"
#include "explore/runlegend.h"
#include "explore/runpalette.h"
#include "explore/viewframe.h"
#include "explore/viewstyle.h"
#include "listing/numbertext.h"
#include "model/runmodel.h"
#include "platform/texttonumber.h"
#include "window/equationchoice.h"
#include "window/sliderpanel.h"

#include <QLineEdit>

namespace {

QString fromStd(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The shortest text that reads back to `v`, as a value is typed into a field.
QString shortest(double v)
{
    return QString::fromStdString(shortestText(v));
}

// The live run stands out from the listed ones: black, drawn bolder.
constexpr RunStyle kLiveStyle{kLiveColour, true};

} // namespace

RunVariation::RunVariation(Links links, QWidget *window)
    : QObject(window), m_links(std::move(links)), m_window(window)
{
    const RunModel &model = m_links.model;
    connect(&model, &RunModel::runStarted, this, [this] {
        const std::size_t k = m_links.model.runs().size() - 1;
        m_tags.resize(k + 1);
        m_tags[k] = m_pending.value_or(Tag{});
        // A run listed now is what the live run showed, or takes its place.
        clearLive();
    });
    connect(&model, &RunModel::runEnded, this, [this] {
        followBase();
        emit changed();
    });
    connect(&model, &RunModel::cleared, this, [this] {
        stopFamily();
        m_tags.clear();
        clearLive();
        followBase();
    });
    connect(&m_links.sliders, &SliderPanel::moved, this, &RunVariation::moved);
    connect(&m_links.sliders, &SliderPanel::runWanted, this,
            [this](const Varied &v, const QString &t) {
                m_links.guard(tr("The run"), [&] { runWanted(v, t); });
            });
    connect(&m_links.sliders, &SliderPanel::familyWanted, this,
            [this] { m_links.guard(tr("Family"), [this] { familyWanted(); }); });
    connect(&m_links.choice, &EquationChoice::changed, this, [this] {
        clearLive();
        followBase();
    });
}

RunVariation::~RunVariation() = default;

solver::RunParameters RunVariation::base() const
{
    solver::RunParameters p = m_links.nextRun();
    if (const RunRecord *marked = m_links.model.runOf(m_links.markedRow())) {
        p.x0 = marked->params.x0, p.y0 = marked->params.y0, p.z0 = marked->params.z0;
        p.xf = marked->params.xf;
    }
    return p;
}

void RunVariation::followBase()
{
    const solver::RunParameters p = base();
    m_links.sliders.follow(*p.eq, p);
}

void RunVariation::moved(const Varied &varied, const QString &text)
{
    // The value a field would read from the text; beyond the doubles, no live run.
    const std::optional<double> v = textToNumber(text.toStdString());
    solver::RunParameters p = base();
    if (!v || (varied.kind == Varied::Kind::Parameter &&
               static_cast<std::size_t>(varied.parameter) >= p.eq->parameters.size()))
        return;
    varied.setIn(p, *v);
    const std::size_t rows = static_cast<std::size_t>(m_links.model.samples().rowCount());
    const std::size_t capacity = m_links.model.samples().capacity();
    m_links.worker.setLive(p, capacity > rows ? capacity - rows : 0);
    m_live = std::make_pair(varied, text);
    m_links.sliders.setLive(true);
    emit changed();
}

void RunVariation::clearLive()
{
    if (!m_live)
        return;
    m_live.reset();
    m_links.worker.setLive(std::nullopt, 0);
    m_links.sliders.setLive(false);
    emit changed();
}

void RunVariation::runWanted(const Varied &varied, const QString &text)
{
    // The live run starts where the marked run did: its start and end are typed too, where
    // they differ from what the fields captured.
    const solver::RunParameters next = m_links.nextRun(), from = base();
    std::vector<std::pair<fields::Field, QString>> also;
    for (const auto &[field, kind] : {std::pair{fields::Field::X0, Varied::Kind::X0},
                                      std::pair{fields::Field::Y0, Varied::Kind::Y0},
                                      std::pair{fields::Field::Z0, Varied::Kind::Z0},
                                      std::pair{fields::Field::Xf, Varied::Kind::Xf}}) {
        const Varied start{kind, -1, {}};
        if (!(varied == start) && start.valueIn(from) != start.valueIn(next))
            also.emplace_back(field, shortest(start.valueIn(from)));
    }
    typeRun(varied, text, std::move(also));
}

void RunVariation::typeRun(const Varied &varied, const QString &text,
                           std::vector<std::pair<fields::Field, QString>> also)
{
    const solver::RunParameters next = m_links.nextRun();
    if (const std::optional<fields::Field> field = varied.field(*next.eq)) {
        also.emplace_back(*field, text);
    } else if (varied.kind == Varied::Kind::Parameter) {
        // A formula's parameter: its field in the equation bar.
        m_links.choice.setValue(varied.parameter, text);
    }
    // Along the Enter chain in its order, the final field last.
    std::stable_sort(also.begin(), also.end(), [](const auto &a, const auto &b) {
        const auto place = [](fields::Field f) {
            for (std::size_t i = 0; i + 1 < fields::kEnterChain.size(); ++i)
                if (fields::kEnterChain[i] == f)
                    return static_cast<int>(i);
            return f == fields::Field::Xf ? 9 : 5; // n and lam after the start fields
        };
        return place(a.first) < place(b.first);
    });
    m_links.typeAndRun(also);
}

void RunVariation::familyWanted()
{
    if (m_family) {
        stopFamily();
        return;
    }
    const solver::RunParameters p = base();
    const QList<Varied> quantities = variedOf(*p.eq, true);
    // Each quantity from its slider's range, or about its value.
    QList<std::pair<QString, QString>> ranges;
    for (const Varied &v : quantities) {
        std::pair<QString, QString> range{shortest(v.valueIn(p)), shortest(v.valueIn(p) + 1)};
        for (int k = 0; k < m_links.sliders.count(); ++k)
            if (m_links.sliders.varied(k) == v)
                range = {m_links.sliders.fromField(k).text(), m_links.sliders.toField(k).text()};
        ranges.append(range);
    }
    // The first parameter, where there is one, is what a family varies most often.
    const int current = p.eq->parameters.empty() ? 0 : 2;
    FamilyDialog dialog(quantities, ranges, current, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::optional<FamilyPlan> plan = dialog.plan())
        runFamily(*plan);
}

void RunVariation::runFamily(const FamilyPlan &plan)
{
    stopFamily();
    clearLive();
    auto *family = new FamilyRun(
        plan,
        [this, plan](const QString &text) {
            const int i = m_family ? m_family->done() - 1 : 0;
            m_pending = Tag{fromStd(familyText(plan.varied.name.toStdString(), text.toStdString())),
                            i, plan.runs};
            m_links.guard(tr("The run"), [&] { typeRun(plan.varied, text, {}); });
            m_pending.reset();
        },
        this);
    m_family = family;
    connect(family, &FamilyRun::finished, this, [this, family] {
        family->deleteLater();
        emit familyRunning(false);
    });
    emit familyRunning(true);
    family->start();
}

void RunVariation::stopFamily()
{
    if (m_family)
        m_family->stop();
}

std::vector<RunStyle> RunVariation::styles() const
{
    std::vector<RunStyle> all;
    const std::size_t runs = m_links.model.runs().size();
    for (std::size_t k = 0; k < runs; ++k) {
        const Tag tag = k < m_tags.size() ? m_tags[k] : Tag{};
        std::uint32_t colour = runColour(k);
        if (tag.index >= 0)
            colour = colourOfRun(static_cast<std::size_t>(tag.index),
                                 static_cast<std::size_t>(tag.count));
        all.push_back({colour, false});
    }
    return all;
}

QList<LegendEntry> RunVariation::legend() const
{
    QList<LegendEntry> entries;
    const std::vector<RunStyle> colours = styles();
    const auto &runs = m_links.model.runs();
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const QString name = k < m_tags.size() ? m_tags[k].name : QString();
        entries.append({fromStd(legendText(runs[k], name.toStdString())), colours[k].colour});
    }
    if (const QString live = liveText(); !live.isEmpty())
        entries.append({live, kLiveStyle.colour});
    // Then the curves of the first run drawn as more than y alone, by their lines: each run
    // draws them in its own colour, so the legend shows theirs in none.
    for (const RunRecord &run : runs) {
        const auto curves = run.params.eq->curves;
        if (curves.size() > 1) {
            for (std::size_t k = 0; k < curves.size(); ++k)
                entries.append(
                    {QString::fromUtf8(curves[k].name.data(), qsizetype(curves[k].name.size())),
                     viewstyle::kLegend, penStyle(viewstyle::curveStyle(k))});
            break;
        }
    }
    return entries;
}

QString RunVariation::liveText() const
{
    if (!m_live)
        return {};
    QString text = tr("live: %1 = %2").arg(m_live->first.name, m_live->second);
    if (const std::optional<RunRecord> run = m_links.worker.liveRun()) {
        if (const std::string ending = endingText(*run); !ending.empty())
            text += QStringLiteral(" – ") + fromStd(ending);
    }
    return text;
}
