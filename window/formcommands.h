// SPDX-License-Identifier: MIT

#pragma once

// The commands around the list and the plot: copying, saving and their context menus.

#include "window/plotexport.h"

#include <QObject>
#include <QString>

#include <functional>

struct FormControls;
class PlotWidget;
class QAction;
class QImage;
class QPoint;
class RunModel;
class SampleList;
class SampleView;

class FormCommands : public QObject
{
    Q_OBJECT

public:
    // Runs a command's work; reports what failed and keeps the window as it is.
    using Guard = std::function<void(const QString &command, const std::function<void()> &work)>;
    // Shows a message in the window.
    using Warn = std::function<void(const QString &message)>;

    FormCommands(const FormControls &controls, const RunModel &model, QWidget *window, Guard guard,
                 Warn warn);

    // The plot as it is on screen, at device resolution: the curve, and the legend when
    // it is shown.
    QImage plotImage() const;
    // Save the list (as lines, or CSV for a .csv name) or the plot in `format`. A failure
    // is reported in a message; false then, and nothing is left behind.
    bool saveListTo(const QString &path);
    bool saveImageTo(const QString &path, imageexport::Format format);

signals:
    // Explore… was chosen, or F3 pressed.
    void exploreWanted();
    // Own Equation… was chosen, or F4 pressed.
    void ownEquationWanted();

private:
    QAction *makeAction(const char *name, const QString &text, void (FormCommands::*slot)());
    void showListMenu(QPoint pos);
    void showPlotMenu(QPoint pos);
    // The selected lines, or all of them, to the clipboard as text, one per line.
    void copySelection();
    void copyAll();
    void copyImage();
    void explore();
    void ownEquation();
    void saveListAs();
    void saveImageAs();

    // The plot as a picture to export, with the legend its owner placed on it.
    plotexport::PlotImage image() const;

    SampleView &m_list;
    const SampleList &m_samples;
    PlotWidget &m_plot;
    const RunModel &m_model;
    std::span<QLabel *const> m_legend;
    QWidget *m_window;
    Guard m_guard;
    Warn m_warn;

    QAction *m_copyAction = nullptr;
    QAction *m_copyAllAction = nullptr;
    QAction *m_saveListAction = nullptr;
    QAction *m_saveImageAction = nullptr;
    QAction *m_copyImageAction = nullptr;
    QAction *m_exploreAction = nullptr;
    QAction *m_ownEquationAction = nullptr;
};
