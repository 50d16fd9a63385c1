// SPDX-License-Identifier: MIT

#include "window/formcommands.h"

#include "model/runmodel.h"
#include "plot/plotwidget.h"
#include "window/formlayout.h"
#include "window/listexport.h"
#include "window/plotexport.h"
#include "window/sampleview.h"
#include "window/savedialog.h"
#include "window/savefile.h"
#include "window/waitcursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>

namespace {

void setClipboardText(QByteArray text)
{
    // As bytes: ten million lines are 230 MB this way, twice that as a QString.
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QStringLiteral("text/plain"), text);
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

} // namespace

FormCommands::FormCommands(const FormControls &controls, const RunModel &model, QWidget *window,
                           Guard guard, Warn warn)
    : QObject(window), m_list(*controls.list1), m_samples(model.samples()),
      m_plot(*controls.picture1), m_model(model), m_legend(controls.legend), m_window(window),
      m_guard(std::move(guard)), m_warn(std::move(warn))
{
    m_copyAction = makeAction("copyAction", tr("Copy"), &FormCommands::copySelection);
    m_copyAllAction = makeAction("copyAllAction", tr("Copy All"), &FormCommands::copyAll);
    m_saveListAction = makeAction("saveListAction", tr("Save List As…"), &FormCommands::saveListAs);
    m_saveImageAction =
        makeAction("saveImageAction", tr("Save Image As…"), &FormCommands::saveImageAs);
    m_copyImageAction = makeAction("copyImageAction", tr("Copy Image"), &FormCommands::copyImage);
    m_exploreAction = makeAction("exploreAction", tr("Explore…"), &FormCommands::explore);
    m_ownEquationAction =
        makeAction("ownEquationAction", tr("Own Equation…"), &FormCommands::ownEquation);

    // Every command from the keyboard, from any control of the window: each key is shown
    // beside its entry in the menus.
    const std::pair<QAction *, QKeySequence> keys[] = {
        {m_saveListAction, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {m_saveImageAction, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {m_copyImageAction, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        {m_exploreAction, QKeySequence(Qt::Key_F3)},
        {m_ownEquationAction, QKeySequence(Qt::Key_F4)},
    };
    for (const auto &[action, key] : keys) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        m_window->addAction(action);
    }

    // Ctrl+C while the list has the focus; Ctrl+A is the view's own select-all.
    m_copyAction->setShortcut(QKeySequence::Copy);
    m_copyAction->setShortcutContext(Qt::WidgetShortcut);
    m_list.addAction(m_copyAction);

    m_list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_list, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        m_guard(tr("The list's menu"), [this, pos] { showListMenu(pos); });
    });
    m_plot.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_plot, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        m_guard(tr("The plot's menu"), [this, pos] { showPlotMenu(pos); });
    });
}

QAction *FormCommands::makeAction(const char *name, const QString &text,
                                  void (FormCommands::*slot)())
{
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    // Whatever fails inside a command is reported under the command's name.
    connect(action, &QAction::triggered, this, [this, slot, command = QString(text).remove(u'…')] {
        m_guard(command, [this, slot] { (this->*slot)(); });
    });
    return action;
}

void FormCommands::showListMenu(QPoint pos)
{
    m_copyAction->setEnabled(m_list.selectionModel()->hasSelection());
    m_copyAllAction->setEnabled(m_samples.rowCount() > 0);
    m_saveListAction->setEnabled(m_samples.rowCount() > 0);
    QMenu menu(m_window);
    menu.addAction(m_copyAction);
    menu.addAction(m_copyAllAction);
    menu.addSeparator();
    menu.addAction(m_saveListAction);
    menu.addSeparator();
    menu.addAction(m_exploreAction);
    menu.addAction(m_ownEquationAction);
    menu.exec(m_list.viewport()->mapToGlobal(pos));
    // The keys check for themselves.
    for (QAction *action : {m_copyAction, m_copyAllAction, m_saveListAction})
        action->setEnabled(true);
}

void FormCommands::showPlotMenu(QPoint pos)
{
    QMenu menu(m_window);
    menu.addAction(m_saveImageAction);
    menu.addAction(m_copyImageAction);
    menu.addSeparator();
    menu.addAction(m_exploreAction);
    menu.addAction(m_ownEquationAction);
    menu.exec(m_plot.mapToGlobal(pos));
}

void FormCommands::copySelection()
{
    // The selection is a set of row ranges, in the order they were made; the lines go
    // out in list order, each once.
    std::vector<listexport::RowSpan> spans;
    for (const QItemSelectionRange &r : m_list.selectionModel()->selection())
        spans.push_back({r.top(), r.bottom()});
    if (spans.empty())
        return;
    setClipboardText(
        listexport::text(m_samples, listexport::inListOrder(std::move(spans)), RowFormat::Lines));
}

void FormCommands::copyAll()
{
    if (m_samples.rowCount() == 0)
        return;
    setClipboardText(listexport::text(m_samples, 0, m_samples.rowCount() - 1, RowFormat::Lines));
}

QImage FormCommands::plotImage() const
{
    // Rendered like the screen, legend labels included, at the screen's pixel ratio.
    return m_plot.grabWithoutMarker();
}

void FormCommands::copyImage()
{
    imageexport::copy(image());
}

void FormCommands::explore()
{
    emit exploreWanted();
}

void FormCommands::ownEquation()
{
    emit ownEquationWanted();
}

void FormCommands::saveListAs()
{
    // As its menu entry is off for an empty list, its key does nothing then.
    if (m_samples.rowCount() == 0)
        return;
    if (const std::optional<FileAnswer> answer =
            askForFile(m_window, tr("Save List As"), QStringLiteral("list.txt"),
                       {tr("Text (*.txt)"), tr("CSV (*.csv)")}, QStringLiteral("txt")))
        saveListTo(answer->path);
}

void FormCommands::saveImageAs()
{
    if (const std::optional<imageexport::ImageAnswer> answer =
            imageexport::askForImageFile(m_window, QStringLiteral("plot.png")))
        saveImageTo(answer->path, answer->format);
}

plotexport::PlotImage FormCommands::image() const
{
    return {{m_model.scene(), m_samples, m_plot.width(), m_legend}, [this] { return plotImage(); }};
}

bool FormCommands::saveListTo(const QString &path)
{
    std::optional<QString> error;
    {
        WaitCursor cursor;
        error = saveFile(path, [&](QIODevice &device, QString &) {
            return listexport::writeList(m_samples, listexport::formatFor(path), device);
        });
    }
    if (error)
        m_warn(*error);
    return !error;
}

bool FormCommands::saveImageTo(const QString &path, imageexport::Format format)
{
    const std::optional<QString> error = imageexport::save(image(), path, format);
    if (error)
        m_warn(*error);
    return !error;
}
