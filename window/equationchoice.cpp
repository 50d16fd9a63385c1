// SPDX-License-Identifier: MIT

#include "window/equationchoice.h"

#include "platform/texttonumber.h"
#include "solver/formulaequation.h"
#include "window/messages.h"

#include <QSettings>

#include <memory>

namespace {

// Where the formulas chosen before are kept, the one thing the program keeps: an INI file
// in the user's configuration folder.
std::unique_ptr<QSettings> settings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("RedurIvezi"), QStringLiteral("redurivezi"));
}

const QString kFormulas = QStringLiteral("formulas");
const QString kFormula = QStringLiteral("formula");
const QString kValues = QStringLiteral("values");

} // namespace

EquationChoice::EquationChoice(QObject *parent) : QObject(parent)
{
    const auto s = settings();
    const int n = s->beginReadArray(kFormulas);
    for (int i = 0; i < n && m_recent.size() < kKept; ++i) {
        s->setArrayIndex(i);
        const Typed t{s->value(kFormula).toString(), s->value(kValues).toStringList()};
        // What the file holds is read as anything typed is: only formulas are kept.
        if (std::holds_alternative<solver::EquationRef>(
                solver::formulaEquation(t.formula.toStdString())))
            m_recent.append(t);
    }
    s->endArray();
}

void EquationChoice::setValue(int parameter, const QString &text)
{
    if (parameter < 0 || parameter >= m_values.size() || m_values[parameter] == text)
        return;
    m_values[parameter] = text;
    remember();
    emit changed();
}

std::optional<formula::ParseError> EquationChoice::chooseFormula(const QString &text,
                                                                 const QStringList &values)
{
    auto made = solver::formulaEquation(text.toStdString());
    if (const auto *error = std::get_if<formula::ParseError>(&made))
        return *error;
    const solver::EquationRef eq = std::get<solver::EquationRef>(made);
    QStringList texts;
    for (std::size_t k = 0; k < eq->parameters.size(); ++k) {
        const auto at = static_cast<qsizetype>(k);
        QString kept = at < values.size() ? values[at] : QString();
        // A parameter keeps its text where the formula before had one of the same name.
        if (kept.isEmpty() && m_own)
            for (std::size_t j = 0; j < (*m_own)->parameters.size(); ++j)
                if ((*m_own)->parameters[j].name == eq->parameters[k].name &&
                    static_cast<qsizetype>(j) < m_values.size())
                    kept = m_values[static_cast<qsizetype>(j)];
        texts << (kept.isEmpty() ? QStringLiteral("1") : kept);
    }
    m_own = eq;
    m_formula = text;
    m_values = texts;
    m_ownCurrent = true;
    remember();
    emit changed();
    return std::nullopt;
}

QString EquationChoice::caption() const
{
    return QStringLiteral("y'' = ") +
           (m_formula.size() > 120 ? m_formula.left(120) + QStringLiteral("…") : m_formula);
}

QString EquationChoice::read(solver::ParameterValues &values) const
{
    if (!m_own)
        return {};
    const auto &parameters = (*m_own)->parameters;
    for (std::size_t k = 0; k < parameters.size() && k < values.size(); ++k) {
        const QString text = m_values.value(static_cast<qsizetype>(k));
        const auto value = textToNumber(text.toStdString());
        if (!value)
            return messages::parameterOutOfRange(
                QString::fromStdString(std::string(parameters[k].name)), text);
        values[k] = *value;
    }
    return {};
}

void EquationChoice::optionChosen(int number)
{
    if (!m_ownCurrent && number == m_option)
        return;
    m_ownCurrent = false;
    m_option = number;
    emit changed();
}

void EquationChoice::remember()
{
    const Typed now{m_formula, m_values};
    m_recent.removeIf([&](const Typed &t) { return t.formula == now.formula; });
    m_recent.prepend(now);
    while (m_recent.size() > kKept)
        m_recent.removeLast();
    const auto s = settings();
    s->beginWriteArray(kFormulas, static_cast<int>(m_recent.size()));
    for (int i = 0; i < m_recent.size(); ++i) {
        s->setArrayIndex(i);
        s->setValue(kFormula, m_recent[i].formula);
        s->setValue(kValues, m_recent[i].values);
    }
    s->endArray();
}
