// SPDX-License-Identifier: MIT

#include "window/accuracypanel.h"

#include "explore/studyworker.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

AccuracyPanel::AccuracyPanel(QWidget *parent)
    : QGroupBox(tr("Accuracy"), parent), m_worker(new StudyWorker(this)),
      m_text(new QPlainTextEdit(this)), m_progress(new QTimer(this))
{
    setObjectName(QStringLiteral("Accuracy"));
    m_text->setObjectName(QStringLiteral("AccuracyText"));
    auto *layout = new QVBoxLayout(this);
    // A table of figures: their columns line up only in a fixed-width face.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_fullSize = fixed.pointSizeF() > 0 ? fixed.pointSizeF() : 9.0;
    m_text->setFont(fixed);
    // Read, selected and copied, never edited. The table is narrow enough for the panel at
    // the window's size; a line too long for it, the closing sentence in a small window,
    // wraps rather than scroll sideways, so the panel never widens the window.
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setBackgroundRole(QPalette::Window);
    m_text->setAccessibleName(tr("Accuracy of the marked run"));
    layout->addWidget(m_text, 1);
    m_text->viewport()->installEventFilter(this);
    connect(m_worker, &StudyWorker::done, this, &AccuracyPanel::refresh);
    connect(m_progress, &QTimer::timeout, this, &AccuracyPanel::refresh);
    m_progress->setInterval(250);
    showRun(std::nullopt);
}

void AccuracyPanel::showRun(const std::optional<solver::RunParameters> &run)
{
    m_shown = run.has_value();
    if (run)
        m_worker->study(*run);
    refresh();
}

bool AccuracyPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text->viewport() && event->type() == QEvent::Resize)
        fitFont();
    return QGroupBox::eventFilter(watched, event);
}

void AccuracyPanel::fitFont()
{
    // As wide as the table's widest line, its head, with a character to spare.
    static const QString kWidest =
        QStringLiteral("        h   y' kept to 7 digits  y' kept to 16 digits  ");
    const int room =
        m_text->viewport()->width() - 2 * static_cast<int>(m_text->document()->documentMargin());
    QFont font = m_text->font();
    for (qreal size = m_fullSize; size >= 6.0; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetricsF(font).horizontalAdvance(kWidest) <= room || size - 0.5 < 6.0)
            break;
    }
    if (font.pointSizeF() != m_text->font().pointSizeF())
        m_text->setFont(font);
}

void AccuracyPanel::refresh()
{
    QString text;
    if (!m_shown) {
        text = tr("Mark a sample to see how exact its run is:\n"
                  "the error at the run's last sample\n"
                  "for h = 0.01 to 0.00125, with y' kept\n"
                  "to 7 digits between steps, as the run\n"
                  "keeps it, and to 16 digits.");
        m_progress->stop();
    } else if (const auto study = m_worker->result()) {
        // The closing sentence as one paragraph, which the panel wraps at its width.
        text = QString::fromStdString(reference::studyText(*study, 0));
        m_progress->stop();
    } else {
        text = tr("Running the marked run again at four steps: %1 %")
                   .arg(qRound(100 * m_worker->progress()));
        m_progress->start();
    }
    if (text != m_text->toPlainText())
        m_text->setPlainText(text);
}
