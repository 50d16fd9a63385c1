// SPDX-License-Identifier: MIT

#include "window/familydialog.h"

#include "platform/texttonumber.h"
#include "solver/family.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

namespace {

// The number a field's text stands for by the fields' rule; none beyond the doubles.
std::optional<double> numberIn(const QLineEdit &field)
{
    const auto v = textToNumber(field.text().toStdString());
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return v;
}

} // namespace

FamilyDialog::FamilyDialog(const QList<Varied> &quantities,
                           const QList<std::pair<QString, QString>> &ranges, int current,
                           QWidget *parent)
    : QDialog(parent), m_quantities(quantities), m_ranges(ranges), m_varied(new QComboBox(this)),
      m_from(new QLineEdit(this)), m_to(new QLineEdit(this)), m_runs(new QSpinBox(this)),
      m_error(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("FamilyDialog"));
    setWindowTitle(tr("Family – RedurIvezi"));
    m_varied->setObjectName(QStringLiteral("FamilyVaries"));
    m_from->setObjectName(QStringLiteral("FamilyFrom"));
    m_to->setObjectName(QStringLiteral("FamilyTo"));
    m_runs->setObjectName(QStringLiteral("FamilyRuns"));
    m_from->setMaxLength(64);
    m_to->setMaxLength(64);
    for (const Varied &v : quantities)
        m_varied->addItem(v.name);
    m_runs->setRange(solver::kMinFamilyRuns, solver::kMaxFamilyRuns);
    m_runs->setValue(6);
    m_error->setStyleSheet(QStringLiteral("color: #b00000"));
    m_buttons->button(QDialogButtonBox::Ok)->setText(tr("Run"));

    auto *form = new QFormLayout(this);
    form->addRow(tr("&Varies:"), m_varied);
    form->addRow(tr("&From:"), m_from);
    form->addRow(tr("&To:"), m_to);
    form->addRow(tr("&Runs:"), m_runs);
    form->addRow(m_error);
    form->addRow(m_buttons);

    connect(m_varied, &QComboBox::activated, this, &FamilyDialog::chosen);
    connect(m_from, &QLineEdit::textChanged, this, &FamilyDialog::check);
    connect(m_to, &QLineEdit::textChanged, this, &FamilyDialog::check);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        if (plan())
            accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_varied->setCurrentIndex(std::clamp(current, 0, static_cast<int>(quantities.size()) - 1));
    chosen(m_varied->currentIndex());
}

void FamilyDialog::chosen(int k)
{
    if (k >= 0 && k < m_ranges.size()) {
        m_from->setText(m_ranges[k].first);
        m_to->setText(m_ranges[k].second);
    }
    check();
}

void FamilyDialog::check()
{
    QString why;
    if (!numberIn(*m_from))
        why = tr("From holds no number within range.");
    else if (!numberIn(*m_to))
        why = tr("To holds no number within range.");
    else if (!std::isfinite(*numberIn(*m_to) - *numberIn(*m_from)))
        why = tr("The values are too far apart.");
    m_error->setText(why);
    m_error->setVisible(!why.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(why.isEmpty() && m_varied->count() > 0);
}

std::optional<FamilyPlan> FamilyDialog::plan() const
{
    const int k = m_varied->currentIndex();
    const std::optional<double> from = numberIn(*m_from), to = numberIn(*m_to);
    if (k < 0 || k >= m_quantities.size() || !from || !to || !std::isfinite(*to - *from))
        return std::nullopt;
    return FamilyPlan{m_quantities[k], *from, *to, m_runs->value()};
}
