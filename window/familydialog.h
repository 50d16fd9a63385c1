// SPDX-License-Identifier: MIT

#pragma once

// Family…: what varies, from which value to which, and in how many runs.

#include "window/varied.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;

struct FamilyPlan
{
    Varied varied;
    double from = 0.0;
    double to = 1.0;
    int runs = 2;
};

class FamilyDialog : public QDialog
{
    Q_OBJECT

public:
    // `ranges[k]` is where quantity k goes from and to at first, as texts.
    FamilyDialog(const QList<Varied> &quantities, const QList<std::pair<QString, QString>> &ranges,
                 int current, QWidget *parent = nullptr);

    // What was asked, once both ends hold numbers; none before.
    std::optional<FamilyPlan> plan() const;

    QComboBox &variedBox() const { return *m_varied; }
    QLineEdit &fromField() const { return *m_from; }
    QLineEdit &toField() const { return *m_to; }
    QSpinBox &runsBox() const { return *m_runs; }

private:
    void chosen(int k);
    void check();

    QList<Varied> m_quantities;
    QList<std::pair<QString, QString>> m_ranges;
    QComboBox *m_varied;
    QLineEdit *m_from;
    QLineEdit *m_to;
    QSpinBox *m_runs;
    QLabel *m_error;
    QDialogButtonBox *m_buttons;
};
