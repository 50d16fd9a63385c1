// SPDX-License-Identifier: MIT

#include "window/formcommands.h"

#include "model/runmodel.h"
#include "plot/plotwidget.h"
#include "window/formlayout.h"
#include "window/listexport.h"
#include "window/plotexport.h"
#include "window/sampleview.h"
#include "window/savefile.h"
#include "window/waitcursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
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

struct Answer
{
    QString path;
    int filter = 0; // the index of the chosen filter
};

// Asks for a file name; an answer without a suffix gets the one of the chosen type.
Answer askForFile(QWidget *parent, const QString &caption, const QString &name,
                  const QStringList &filters, const QString &defaultSuffix)
{
    QFileDialog dialog(parent, caption, name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(name);
    // Each filter names its suffix: "Text (*.txt)".
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &f) {
        const qsizetype star = f.indexOf(QLatin1String("*."));
        if (star >= 0)
            dialog.setDefaultSuffix(f.mid(star + 2, f.indexOf(u')', star) - star - 2));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(),
            static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
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
    menu.exec(m_list.viewport()->mapToGlobal(pos));
    m_copyAction->setEnabled(true); // the shortcut checks the selection itself
}

void FormCommands::showPlotMenu(QPoint pos)
{
    QMenu menu(m_window);
    menu.addAction(m_saveImageAction);
    menu.addAction(m_copyImageAction);
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
    setClipboardText(listexport::text(m_samples, listexport::inListOrder(std::move(spans)),
                                      listexport::Format::Lines));
}

void FormCommands::copyAll()
{
    setClipboardText(
        listexport::text(m_samples, 0, m_samples.rowCount() - 1, listexport::Format::Lines));
}

QImage FormCommands::plotImage() const
{
    // Rendered like the screen, legend labels included, at the screen's pixel ratio.
    return m_plot.grabWithoutMarker();
}

void FormCommands::copyImage()
{
    // The bitmap, and the SVG for editors that take vector pictures.
    auto mime = std::make_unique<QMimeData>();
    mime->setImageData(plotImage());
    mime->setData(QStringLiteral("image/svg+xml"), plotexport::svg(source()));
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

void FormCommands::saveListAs()
{
    const Answer answer =
        askForFile(m_window, tr("Save List As"), QStringLiteral("list.txt"),
                   {tr("Text (*.txt)"), tr("CSV (*.csv)")}, QStringLiteral("txt"));
    if (!answer.path.isEmpty())
        saveListTo(answer.path);
}

void FormCommands::saveImageAs()
{
    using plotexport::Format;
    // In the order of the filters.
    static constexpr Format kFormats[] = {Format::ScreenPng, Format::PrintPng, Format::Svg,
                                          Format::Pdf};
    const Answer answer =
        askForFile(m_window, tr("Save Image As"), QStringLiteral("plot.png"),
                   {tr("PNG image (*.png)"), tr("PNG image at print size (*.png)"),
                    tr("SVG image (*.svg)"), tr("PDF document (*.pdf)")},
                   QStringLiteral("png"));
    if (answer.path.isEmpty())
        return;
    // A name's suffix outweighs the filter: "plot.svg" is an SVG whatever was chosen.
    Format format =
        answer.filter >= 0 && answer.filter < 4 ? kFormats[answer.filter] : Format::ScreenPng;
    if (const Format named = plotexport::formatFor(answer.path);
        named != Format::ScreenPng || format == Format::Svg || format == Format::Pdf)
        format = named;
    saveImageTo(answer.path, format);
}

plotexport::Source FormCommands::source() const
{
    return {m_model.scene(), m_samples, m_plot.width(), m_legend};
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

bool FormCommands::saveImageTo(const QString &path, plotexport::Format format)
{
    std::optional<QString> error;
    {
        WaitCursor cursor;
        const QImage screen = format == plotexport::Format::ScreenPng ? plotImage() : QImage();
        error = saveFile(path, [&](QIODevice &device, QString &why) {
            return plotexport::write(source(), screen, format, device, why);
        });
    }
    if (error)
        m_warn(*error);
    return !error;
}
