// SPDX-License-Identifier: MIT

#pragma once

// The equation the next run takes: one of the six, chosen by its option in the main window,
// or one of the user's own, a formula typed in Explore's equation bar, with the texts of
// its parameters' fields. The last 20 formulas typed are kept between sessions, each with
// its parameters' texts; nothing else is.

#include "formula/formula.h"
#include "solver/equation.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class EquationChoice : public QObject
{
    Q_OBJECT

public:
    // A formula and the texts of its parameters' fields, in the order of its parameters.
    struct Typed
    {
        QString formula;
        QStringList values;
        bool operator==(const Typed &) const = default;
    };
    static constexpr int kKept = 20;

    explicit EquationChoice(QObject *parent = nullptr);

    // The equation of the formula chosen last, which the next run takes while it is
    // current; none before the first.
    const std::optional<solver::EquationRef> &own() const { return m_own; }
    const QString &formula() const { return m_formula; }
    bool ownCurrent() const { return m_ownCurrent; }
    // Its parameters' texts, as their fields hold them.
    const QStringList &values() const { return m_values; }
    void setValue(int parameter, const QString &text);

    // Makes the formula `text` the current equation, its parameters' fields holding
    // `values`, or where none is given the text a parameter of the same name had, or "1".
    // Where `text` is no formula nothing changes, and the error says why.
    std::optional<formula::ParseError> chooseFormula(const QString &text,
                                                     const QStringList &values = {});
    // The option `number` was chosen (1 to 6): the own equation is no longer the current one.
    void optionChosen(int number);
    // The option chosen last, 0 before the first; it is current while the own equation is not.
    int option() const { return m_option; }

    // "y'' = " and the formula, cut short after 120 characters: a formula of a megabyte
    // still makes a caption of a line or two.
    QString caption() const;
    // Reads the parameters' texts by the fields' rule into `values`, as a run's start does;
    // a number beyond the double range stops there, and the message says which. Empty when
    // all were read.
    QString read(solver::ParameterValues &values) const;

    // The formulas chosen before, the latest first.
    const QList<Typed> &recent() const { return m_recent; }

signals:
    // The own equation, its being current, or its parameters' texts changed.
    void changed();

private:
    void remember();

    std::optional<solver::EquationRef> m_own;
    QString m_formula;
    bool m_ownCurrent = false;
    int m_option = 0;
    QStringList m_values;
    QList<Typed> m_recent;
};
