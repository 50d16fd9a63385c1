#pragma once

#include "solver/solver.h"

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <array>

class PlotSurface;
class PlotWidget;
class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SampleList;
class SampleView;

// What the window remembers between events. A value enters it only through the event
// that captures it; until then it counts as 0.
struct SolverState
{
    int eq = kEquationUnset;
    double x0 = 0.0;  // Enter in Text1
    double y0 = 0.0;  // Enter in Text3
    double z0 = 0.0;  // Enter in Text4
    double xf = 0.0;  // Enter in Text2
    double n = 0.0;   // Enter in Text2, from Text5
    double lam = 0.0; // Enter in Text2, from Text6
};

// The program's one window: the plot, the equation options, the fields, Ready and End,
// and the sample list.
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

    // The plot as it is on screen, at device resolution: the curve, and the legend
    // when it is shown.
    QImage plotImage() const;
    // Save the list (as lines, or CSV for a .csv name) or the plot image (PNG). A
    // failure is reported in a message; false then, and nothing is left behind.
    bool saveListTo(const QString &path);
    bool saveImageTo(const QString &path);

private:
    void createControls();
    void connectEvents();
    void load();

    void enterInText1();
    void enterInText3();
    void enterInText4();
    void enterInText2();
    void ready();
    void end();

    void updateLegend();

    void createActions();
    void showListMenu(QPoint pos);
    void showPlotMenu(QPoint pos);
    // The selected lines, or all of them, to the clipboard as text, one per line.
    void copySelection();
    void copyAll();
    void copyImage();
    void saveListAs();
    void saveImageAs();
    // Reads a field by the text-to-number rule. A number beyond the double range is
    // reported and leaves `target` alone; false then.
    bool capture(QLineEdit *field, double &target);
    void startRun();
    // During a run: publishes the new rows and paints plot and list, at most once per
    // progress interval.
    void showProgress();
    void publishRows();
    void warn(const QString &message);

    SolverState m_state;

    PlotWidget *m_picture1 = nullptr;
    std::array<QRadioButton *, 6> m_options{};
    QButtonGroup *m_optionGroup = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLineEdit *m_text3 = nullptr;
    QLineEdit *m_text4 = nullptr;
    QLineEdit *m_text5 = nullptr;
    QLineEdit *m_text6 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QLabel *m_label4 = nullptr;
    QLabel *m_label5 = nullptr;
    QLabel *m_label6 = nullptr;
    SampleView *m_list1 = nullptr;
    SampleList *m_samples = nullptr;

    QAction *m_copyAction = nullptr;
    QAction *m_copyAllAction = nullptr;
    QAction *m_saveListAction = nullptr;
    QAction *m_saveImageAction = nullptr;
    QAction *m_copyImageAction = nullptr;

    // The run under way.
    int m_progressInterval;
    QElapsedTimer m_runClock;
    qint64 m_lastProgress = 0;
    int m_runFirstRow = 0;
    bool m_waitCursor = false;
};
