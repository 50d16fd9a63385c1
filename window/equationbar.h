// SPDX-License-Identifier: MIT

#pragma once

// The Explore window's equation bar: the equation, as a choice of the six captions and the
// formulas chosen before; a field for a formula of one's own; and a field for each of its
// parameters. Choosing one of the six is clicking its option in the main window, and a
// click on an option shows here.

#include <QWidget>

#include <functional>

class EquationChoice;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

class EquationBar : public QWidget
{
    Q_OBJECT

public:
    // `clickOption(n)` clicks the main window's option n.
    EquationBar(EquationChoice &choice, std::function<void(int)> clickOption,
                QWidget *parent = nullptr);

    QLineEdit &formulaField() const { return *m_formula; }

private:
    // Enter in the formula field: it becomes the current equation, or the error says where
    // it stops being a formula, its text as typed.
    void chooseFormula();
    void chosen(int index);
    // The choice, the parameters' fields and the error as the equation choice is now.
    void follow();
    void showError(const QString &message, int column);

    EquationChoice &m_choice;
    std::function<void(int)> m_clickOption;
    QComboBox *m_equations;
    QLineEdit *m_formula;
    QLabel *m_error;
    QHBoxLayout *m_parameters;
    QStringList m_names; // of the parameters whose fields are shown
};
