// SPDX-License-Identifier: MIT

#include "window/equationbar.h"

#include "solver/builtins.h"
#include "window/equationchoice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// An item of the choice: an option's number, or -1 - i for the i-th formula chosen before.
constexpr int kOptions = 6;

} // namespace

EquationBar::EquationBar(EquationChoice &choice, std::function<void(int)> clickOption,
                         QWidget *parent)
    : QWidget(parent), m_choice(choice), m_clickOption(std::move(clickOption)),
      m_equations(new QComboBox(this)), m_formula(new QLineEdit(this)), m_error(new QLabel(this)),
      m_parameters(new QHBoxLayout)
{
    setObjectName(QStringLiteral("EquationBar"));
    m_equations->setObjectName(QStringLiteral("Equations"));
    m_equations->setAccessibleName(tr("Equation"));
    m_equations->setPlaceholderText(tr("No equation chosen"));
    m_equations->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_equations->setMinimumContentsLength(16);
    m_formula->setObjectName(QStringLiteral("Formula"));
    m_formula->setAccessibleName(tr("Own equation y''"));
    m_formula->setPlaceholderText(tr("a formula in x, y and y', e.g. -y - 0.2*y'"));
    m_error->setObjectName(QStringLiteral("FormulaError"));
    m_error->setStyleSheet(QStringLiteral("color: #b00000"));
    m_error->hide();

    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(m_equations);
    auto *label = new QLabel(QStringLiteral("y'' ="), this);
    label->setBuddy(m_formula);
    top->addWidget(label);
    top->addWidget(m_formula, 1);
    top->addLayout(m_parameters);
    rows->addLayout(top);
    rows->addWidget(m_error);

    connect(m_formula, &QLineEdit::returnPressed, this, &EquationBar::chooseFormula);
    connect(m_equations, &QComboBox::activated, this, &EquationBar::chosen);
    connect(&m_choice, &EquationChoice::changed, this, &EquationBar::follow);
    follow();
}

void EquationBar::chooseFormula()
{
    const QString typed = m_formula->text();
    if (const auto error = m_choice.chooseFormula(typed))
        showError(QString::fromStdString(error->message), static_cast<int>(error->column));
}

void EquationBar::showError(const QString &message, int column)
{
    m_error->setText(message);
    m_error->show();
    m_formula->setAccessibleDescription(message);
    // The cursor where the formula stops being one; the text stays as typed.
    m_formula->setCursorPosition(std::max(0, column - 1));
}

void EquationBar::chosen(int index)
{
    const int item = m_equations->itemData(index).toInt();
    if (item > 0) {
        m_clickOption(item);
        return;
    }
    const int k = -1 - item;
    if (k < 0 || k >= m_choice.recent().size())
        return;
    const EquationChoice::Typed t = m_choice.recent()[k];
    m_formula->setText(t.formula);
    if (const auto error = m_choice.chooseFormula(t.formula, t.values))
        showError(QString::fromStdString(error->message), static_cast<int>(error->column));
}

void EquationBar::follow()
{
    // The choice: the six, then the formulas chosen before, the current one shown.
    {
        const QSignalBlocker blocked(m_equations);
        m_equations->clear();
        for (int number = 1; number <= kOptions; ++number) {
            const solver::Equation &eq = **solver::equationNumbered(number);
            m_equations->addItem(text(eq.caption), number);
            m_equations->setItemData(m_equations->count() - 1, text(eq.written), Qt::ToolTipRole);
        }
        if (!m_choice.recent().isEmpty())
            m_equations->insertSeparator(kOptions);
        for (int i = 0; i < m_choice.recent().size(); ++i)
            m_equations->addItem(QStringLiteral("y'' = ") + m_choice.recent()[i].formula, -1 - i);
        const int current = m_choice.ownCurrent()   ? m_equations->findData(-1)
                            : m_choice.option() > 0 ? m_choice.option() - 1
                                                    : -1;
        m_equations->setCurrentIndex(current);
    }
    if (m_choice.ownCurrent()) {
        m_error->hide();
        m_formula->setAccessibleDescription(QString());
        if (m_formula->text() != m_choice.formula())
            m_formula->setText(m_choice.formula());
    }

    // A field for each parameter of the own equation, named by it.
    QStringList names;
    if (m_choice.own())
        for (const solver::Parameter &p : (*m_choice.own())->parameters)
            names << text(p.name);
    if (names != m_names) {
        while (QLayoutItem *item = m_parameters->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        for (int k = 0; k < names.size(); ++k) {
            auto *label = new QLabel(names[k] + QStringLiteral(" ="), this);
            auto *field = new QLineEdit(this);
            field->setObjectName(QStringLiteral("Parameter_") + names[k]);
            field->setAccessibleName(names[k]);
            field->setMaximumWidth(90);
            label->setBuddy(field);
            connect(field, &QLineEdit::textEdited, this,
                    [this, k](const QString &t) { m_choice.setValue(k, t); });
            m_parameters->addWidget(label);
            m_parameters->addWidget(field);
            // Tab goes on from the formula to its parameters, in their order.
            setTabOrder(k == 0 ? static_cast<QWidget *>(m_formula)
                               : m_parameters->itemAt(2 * k - 1)->widget(),
                        field);
        }
        m_names = names;
    }
    for (int k = 0; k < names.size(); ++k) {
        auto *field = qobject_cast<QLineEdit *>(m_parameters->itemAt(2 * k + 1)->widget());
        if (k < m_choice.values().size() && field->text() != m_choice.values()[k])
            field->setText(m_choice.values()[k]);
    }
}
