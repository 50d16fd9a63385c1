// SPDX-License-Identifier: MIT

#include "window/sliderpanel.h"

#include "explore/ticks.h"
#include "listing/numbertext.h"
#include "platform/texttonumber.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <cmath>
#include <functional>

namespace {

// A slider that tells Enter apart: on it, Enter makes the live run a real one.
class EnterSlider final : public QSlider
{
public:
    EnterSlider(std::function<void()> entered, QWidget *parent)
        : QSlider(Qt::Horizontal, parent), m_entered(std::move(entered))
    {
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            m_entered();
        else
            QSlider::keyPressEvent(event);
    }

private:
    std::function<void()> m_entered;
};

// A field's number, or none for a text that holds none within the double range.
std::optional<double> numberOf(const QLineEdit &field)
{
    const auto v = textToNumber(field.text().toStdString());
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return v;
}

// The shortest text that reads back to `v`.
QString text(double v)
{
    return QString::fromStdString(shortestText(v));
}

// A range around `value`: as far again on each side, or from -1 to 1 about 0.
std::pair<double, double> rangeAround(double value)
{
    const double span = value == 0.0 || !std::isfinite(value) ? 1.0 : std::fabs(value);
    const double lo = value - span, hi = value + span;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi))
        return {-1.0, 1.0};
    return {lo, hi};
}

} // namespace

SliderPanel::SliderPanel(QWidget *parent)
    : QWidget(parent), m_grid(new QGridLayout(this)),
      m_addRun(new QPushButton(tr("Add Run"), this)), m_family(new QPushButton(tr("Family…"), this))
{
    setObjectName(QStringLiteral("Sliders"));
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setVerticalSpacing(2);
    m_addRun->setObjectName(QStringLiteral("AddRun"));
    m_addRun->setEnabled(false);
    m_addRun->setToolTip(tr("List the live run, as typing its values would (Enter on a slider)"));
    m_family->setObjectName(QStringLiteral("Family"));
    m_family->setToolTip(tr("Runs for several values of one quantity"));
    connect(m_addRun, &QPushButton::clicked, this, [this] {
        if (m_last >= 0 && m_last < count())
            emit runWanted(m_rows[static_cast<std::size_t>(m_last)].varied,
                           m_rows[static_cast<std::size_t>(m_last)].value->text());
    });
    connect(m_family, &QPushButton::clicked, this, &SliderPanel::familyWanted);
}

QString SliderPanel::textAt(double from, double to, int position)
{
    const double span = to - from;
    const double v = from + span * position / kSteps;
    return QString::fromStdString(fieldText(v, std::fabs(span) / kSteps));
}

void SliderPanel::setLive(bool live)
{
    m_addRun->setEnabled(live && m_last >= 0);
}

void SliderPanel::setFamilyRunning(bool running)
{
    m_family->setText(running ? tr("Stop Family") : tr("Family…"));
}

void SliderPanel::follow(const solver::Equation &eq, const solver::RunParameters &base)
{
    const QList<Varied> quantities = variedOf(eq, false);
    bool same = static_cast<std::size_t>(quantities.size()) == m_rows.size();
    for (std::size_t k = 0; same && k < m_rows.size(); ++k)
        same = m_rows[k].varied == quantities[static_cast<qsizetype>(k)] &&
               m_rows[k].varied.name == quantities[static_cast<qsizetype>(k)].name;
    if (!same) {
        build(quantities);
        for (Row &row : m_rows) {
            const double v = row.varied.valueIn(base);
            std::tie(row.lo, row.hi) = rangeAround(v);
            row.from->setText(text(row.lo));
            row.to->setText(text(row.hi));
        }
    }
    for (Row &row : m_rows)
        if (!row.slider->isSliderDown()) {
            const double v = row.varied.valueIn(base);
            if (std::isfinite(v)) {
                row.value->setText(text(v));
                place(row, v);
            }
        }
}

void SliderPanel::build(const QList<Varied> &quantities)
{
    // Every slider's widgets go; the buttons stay.
    while (QLayoutItem *item = m_grid->takeAt(0)) {
        if (item->widget() != m_addRun && item->widget() != m_family)
            delete item->widget();
        delete item;
    }
    m_rows.clear();
    m_last = -1;
    m_addRun->setEnabled(false);
    // Two sliders a line, the buttons at the end of the first.
    for (qsizetype k = 0; k < quantities.size(); ++k) {
        Row row;
        row.varied = quantities[k];
        const QString &name = row.varied.name;
        const QString key = row.varied.kind == Varied::Kind::Y0   ? QStringLiteral("y0")
                            : row.varied.kind == Varied::Kind::Z0 ? QStringLiteral("z0")
                                                                  : name;
        const auto field = [&](const char *suffix, const QString &spoken, int width) {
            auto *f = new QLineEdit(this);
            f->setObjectName(QStringLiteral("Slider_") + key + QLatin1String(suffix));
            f->setAccessibleName(spoken);
            // Room for six or seven digits however narrow the window gets.
            f->setMinimumWidth(width * 3 / 4);
            f->setMaximumWidth(width);
            f->setMaxLength(64);
            return f;
        };
        row.value = field("_Value", name, 80);
        row.from = field("_From", tr("%1 slider from").arg(name), 64);
        row.to = field("_To", tr("%1 slider to").arg(name), 64);
        const int at = static_cast<int>(k);
        row.slider = new EnterSlider(
            [this, at] {
                emit runWanted(m_rows[static_cast<std::size_t>(at)].varied,
                               m_rows[static_cast<std::size_t>(at)].value->text());
            },
            this);
        row.slider->setObjectName(QStringLiteral("Slider_") + key);
        row.slider->setAccessibleName(tr("%1 slider").arg(name));
        row.slider->setRange(0, kSteps);
        row.slider->setPageStep(kSteps / 20);
        row.slider->setMinimumWidth(48);
        auto *label = new QLabel(name + QStringLiteral(" ="), this);
        label->setBuddy(row.value);
        const int line = at / 2, column = (at % 2) * 5;
        m_grid->addWidget(label, line, column);
        m_grid->addWidget(row.value, line, column + 1);
        m_grid->addWidget(row.from, line, column + 2);
        m_grid->addWidget(row.slider, line, column + 3);
        m_grid->addWidget(row.to, line, column + 4);
        m_grid->setColumnStretch(column + 3, 1);
        connect(row.slider, &QSlider::valueChanged, this,
                [this, at](int position) { slid(at, position); });
        connect(row.value, &QLineEdit::returnPressed, this, [this, at] { valueEntered(at); });
        for (QLineEdit *end : {row.from, row.to})
            connect(end, &QLineEdit::returnPressed, this, [this, at] { rangeEntered(at); });
        m_rows.push_back(row);
    }
    m_grid->addWidget(m_addRun, 0, 10);
    m_grid->addWidget(m_family, 0, 11);
}

void SliderPanel::place(Row &row, double value)
{
    if (value < row.lo || value > row.hi) {
        row.lo = std::min(row.lo, value), row.hi = std::max(row.hi, value);
        row.from->setText(text(row.lo));
        row.to->setText(text(row.hi));
    }
    const double span = row.hi - row.lo;
    const double at = std::isfinite(span) && span > 0 ? (value - row.lo) / span * kSteps : 0.0;
    const QSignalBlocker blocked(row.slider);
    row.slider->setValue(static_cast<int>(std::lround(std::clamp(at, 0.0, double(kSteps)))));
}

void SliderPanel::slid(int k, int position)
{
    Row &row = m_rows[static_cast<std::size_t>(k)];
    const QString t = textAt(row.lo, row.hi, position);
    row.value->setText(t);
    m_last = k;
    emit moved(row.varied, t);
}

void SliderPanel::valueEntered(int k)
{
    Row &row = m_rows[static_cast<std::size_t>(k)];
    const std::optional<double> v = numberOf(*row.value);
    if (!v)
        return; // the text stays as typed; no number, no run
    place(row, *v);
    m_last = k;
    emit moved(row.varied, row.value->text());
}

void SliderPanel::rangeEntered(int k)
{
    Row &row = m_rows[static_cast<std::size_t>(k)];
    const std::optional<double> lo = numberOf(*row.from), hi = numberOf(*row.to);
    // A range with no width, upside down or beyond the doubles keeps the one before.
    if (lo && hi && *lo < *hi && std::isfinite(*hi - *lo))
        row.lo = *lo, row.hi = *hi;
    row.from->setText(text(row.lo));
    row.to->setText(text(row.hi));
    if (const std::optional<double> v = numberOf(*row.value))
        place(row, std::clamp(*v, row.lo, row.hi));
}
