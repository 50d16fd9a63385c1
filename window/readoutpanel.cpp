// SPDX-License-Identifier: MIT

#include "window/readoutpanel.h"

#include "window/readoutworker.h"

#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

ReadoutPanel::ReadoutPanel(QWidget *parent)
    : QGroupBox(tr("Read-out"), parent), m_worker(new ReadoutWorker(this)),
      m_text(new QPlainTextEdit(this)), m_progress(new QTimer(this))
{
    setObjectName(QStringLiteral("Readout"));
    m_text->setObjectName(QStringLiteral("ReadoutText"));
    auto *layout = new QVBoxLayout(this);
    // Read, selected and copied, never edited. Its lines are sentences, not the columns of
    // a table: they wrap at the panel's width, which never widens the window.
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setBackgroundRole(QPalette::Window);
    m_text->setAccessibleName(tr("Read-out of the run"));
    layout->addWidget(m_text, 1);
    connect(m_worker, &ReadoutWorker::done, this, &ReadoutPanel::refresh);
    connect(m_progress, &QTimer::timeout, this, &ReadoutPanel::refresh);
    m_progress->setInterval(250);
    showRun(std::nullopt, false);
}

void ReadoutPanel::showRun(const std::optional<RunRecord> &run, bool marked)
{
    if (!run) {
        m_shown = Shown::NoRun;
        m_worker->drop();
    } else if (run->ending.cause == RunEnding::Cause::Running) {
        // Its rows are not known until it ends, which shows a run again.
        m_shown = Shown::Running;
        m_worker->drop();
    } else {
        m_shown = Shown::Read;
        m_worker->read(run->params, run->rows);
    }
    m_text->setAccessibleDescription(
        !run     ? tr("No run yet")
        : marked ? tr("Where y is zero, its maxima and minima, and what the marked sample's run "
                      "ends on")
                 : tr("Where y is zero, its maxima and minima, and what the last run ends on, "
                      "as no sample is marked"));
    refresh();
}

void ReadoutPanel::refresh()
{
    QString text;
    if (m_shown == Shown::NoRun) {
        text = tr("Make a run to see its read-out: where y is zero, its maxima and minima, "
                  "and whether it ends on a periodic orbit or on an equilibrium.");
        m_progress->stop();
    } else if (m_shown == Shown::Running) {
        text = tr("The run is under way: its read-out follows when it ends.");
        m_progress->stop();
    } else if (const auto readout = m_worker->result()) {
        for (const std::string &line : analysis::readoutLines(*readout))
            text += QString::fromStdString(line) + u'\n';
        text.chop(1);
        m_progress->stop();
    } else {
        text = tr("Running the run again for its read-out: %1 %")
                   .arg(qRound(100 * m_worker->progress()));
        m_progress->start();
    }
    if (text != m_text->toPlainText())
        m_text->setPlainText(text);
}
