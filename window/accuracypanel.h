// SPDX-License-Identifier: MIT

#pragma once

// The Explore window's Accuracy panel: for the run of the marked sample, the error at its
// last sample for four steps, with the slope held in single precision as the window holds
// it and in double, the ratios between halvings, and one sentence on which of the two
// limits this run.

#include "solver/solver.h"

#include <QGroupBox>

#include <optional>

class QPlainTextEdit;
class QTimer;
class StudyWorker;

class AccuracyPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit AccuracyPanel(QWidget *parent = nullptr);

    // The run to study, or none while no sample is marked.
    void showRun(const std::optional<solver::RunParameters> &run);

private:
    // The hint, the study under way or its result, as things stand.
    void refresh();

    StudyWorker *m_worker;
    QPlainTextEdit *m_text;
    QTimer *m_progress;
    bool m_shown = false;
};
