// SPDX-License-Identifier: MIT

#pragma once

// The Explore window's Accuracy panel: for the run of the marked sample, the error at its
// last sample for four steps, with y' kept to 7 digits between steps as the run keeps it
// and to 16, the factors between halvings, and a sentence on what limits this run and by
// how much. The table's face shrinks as far as it must for its lines to fit the panel, so
// that they never wrap nor scroll sideways.

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

protected:
    // The text's width as laid out, each time it changes.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The hint, the study under way or its result, as things stand.
    void refresh();
    // The fixed-width face at the largest size, up to the system's, at which the table's
    // widest line fits the text's width.
    void fitFont();

    StudyWorker *m_worker;
    QPlainTextEdit *m_text;
    QTimer *m_progress;
    bool m_shown = false;
    qreal m_fullSize = 0; // the system's fixed-width face's size, in points
};
