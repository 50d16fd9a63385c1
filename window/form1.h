// SPDX-License-Identifier: MIT

#pragma once

#include "model/fieldtable.h"
#include "solver/solver.h"
#include "window/formlayout.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class EquationChoice;
class ExploreWindow;
class FormCommands;
class Probe;
class RunModel;
class RunSession;

// What the window remembers between events: the chosen equation and the captured
// values, each entering only through the event that captures it.
using SolverState = fields::Captured;

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

private:
    friend class Form1Inspector; // the tests' look at the captured values
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
    // A run's closing message, once the input that came during the run is handled.
    void tellAfterTheRun(const QString &message);
    // Opens the Explore window, or raises it.
    void showExplore();
    // Explore beside the main window, where the screen has room for it.
    void placeExplore();
    // Opens it with its formula field focused.
    void showOwnEquation();
    // The equation of one's own became current, or no longer is, or its parameters changed.
    void ownEquationChanged();
    // Reads the own equation's parameters' fields, as a run's start reads n and lam.
    bool captureOwnParameters();
    // Types each text into its field and presses Enter there, as a user would, stopping
    // where an Enter does not move on; then Enter in the final field.
    void typeAndRun(const std::vector<std::pair<fields::Field, QString>> &texts);
    // The equation a run would take now, with n and lam as their fields read.
    solver::RunParameters nextRun() const;
    // Opens the focused control's context menu, as the Menu key does.
    void showFocusMenu();
    // Runs a user command; whatever it throws, an allocation failure included, is
    // reported under the command's name, and the window keeps what it shows.
    void guarded(const QString &command, const std::function<void()> &work);
    void warn(const QString &message);

    SolverState m_state;
    RunModel *m_model;
    FormControls m_controls;
    std::unique_ptr<RunSession> m_session;
    FormCommands *m_commands = nullptr;
    Probe *m_probe = nullptr;
    ExploreWindow *m_explore = nullptr;
    EquationChoice *m_choice;
    bool m_unchecking = false; // an option let go of for the own equation
    QStringList m_runMessages; // to tell once the input that waited is handled
    bool m_tellingRunMessages = false;
};
