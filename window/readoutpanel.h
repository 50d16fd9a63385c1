// SPDX-License-Identifier: MIT

#pragma once

// The Explore window's Read-out panel: of the marked sample's run, or with nothing marked of
// the last run, where y is zero, its maxima and minima, and what the run ends on: a
// periodic orbit with its period and amplitude, an equilibrium with its class, or neither.
// The same lines as `redurivezi-table --readout`, found on a thread of its own.

#include "model/runrecord.h"

#include <QGroupBox>

#include <optional>

class QPlainTextEdit;
class QTimer;
class ReadoutWorker;

class ReadoutPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit ReadoutPanel(QWidget *parent = nullptr);

    // The run to read out, and whether it is the marked sample's or the last one; none
    // before any run.
    void showRun(const std::optional<RunRecord> &run, bool marked);

private:
    // The hint, the read-out under way or its lines, as things stand.
    void refresh();

    enum class Shown { NoRun, Running, Read };
    ReadoutWorker *m_worker;
    QPlainTextEdit *m_text;
    QTimer *m_progress;
    Shown m_shown = Shown::NoRun;
};
