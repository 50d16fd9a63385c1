// SPDX-License-Identifier: MIT

#pragma once

#include "solver/solver.h"
#include "window/fieldtable.h"
#include "window/formlayout.h"
#include "window/plotexport.h"
#include "window/plotscene.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class FormCommands;
class Probe;
class PlotSurface;
class RunSession;
class SampleList;

// What the window remembers between events: the chosen equation and the captured
// parameters, each entering only through the event that captures it.
using SolverState = solver::RunParameters;

// The program's one window: the plot, the equation options, the fields, Ready and End,
// and the sample list. It wires the controls to the handlers below; the layout, the run
// and the commands around the list and the plot live in rooms of their own.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // How often a long run shows its progress, in milliseconds.
    static constexpr int kProgressInterval = 100;

    explicit Form1(QWidget *parent = nullptr);
    // With room for `listCapacity` lines in the list (a run that would list more stops
    // with a message), showing a long run's progress every `progressInterval` ms.
    Form1(std::size_t listCapacity, int progressInterval, QWidget *parent = nullptr);
    ~Form1() override;

    const SolverState &state() const { return m_state; }
    PlotSurface &surface();
    const SampleList &samples() const { return *m_samples; }
    const PlotScene &scene() const { return m_scene; }
    Probe &probe() { return *m_probe; }

    // The plot as it is on screen, at device resolution: the curve, and the legend
    // when it is shown.
    QImage plotImage() const;
    // Save the list (as lines, or CSV for a .csv name) or the plot (PNG as on screen, or
    // SVG or PDF for such a name, or in the format given). A failure is reported in a
    // message; false then, and nothing is left behind.
    bool saveListTo(const QString &path);
    bool saveImageTo(const QString &path);
    bool saveImageTo(const QString &path, plotexport::Format format);

private:
    void connectEvents();
    void load();

    // Enter in Text1, Text3 or Text4: captures the field and moves along the Enter chain.
    void enterInStartField(fields::Field field);
    void enterInText2();
    void ready();
    void end();
    void updateLegend();

    // Reads a field by the text-to-number rule. A number beyond the double range is
    // reported and leaves the state alone; false then.
    bool capture(fields::Field field);
    void startRun();
    // Runs a user command; whatever it throws, an allocation failure included, is
    // reported under the command's name, and the window keeps what it shows.
    void guarded(const QString &command, const std::function<void()> &work);
    void warn(const QString &message);

    SolverState m_state;
    SampleList *m_samples;
    PlotScene m_scene;
    FormControls m_controls;
    std::unique_ptr<RunSession> m_session;
    FormCommands *m_commands = nullptr;
    Probe *m_probe = nullptr;
};
