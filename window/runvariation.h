// SPDX-License-Identifier: MIT

#pragma once

// What Explore adds to the runs of the main window: the live run a slider drags, families
// of runs, and each run's name and colour in the views and their legend. A live run or a
// family run becomes a real one by typing into the main window's fields and pressing
// Enter, as a user would, so the list gets the lines of typing the same texts.

#include "explore/runtrack.h"
#include "model/fieldtable.h"
#include "model/runrecord.h"
#include "solver/solver.h"
#include "window/familyrun.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class EquationChoice;
class RenderThread;
class RunModel;
class SliderPanel;
struct LegendEntry;

class RunVariation : public QObject
{
    Q_OBJECT

public:
    struct Links
    {
        const RunModel &model;
        RenderThread &worker;
        EquationChoice &choice;
        SliderPanel &sliders;
        // The run the next Enter would make, from the captured values.
        std::function<solver::RunParameters()> nextRun;
        // The row marked in the list, -1 for none.
        std::function<int()> markedRow;
        std::function<void(const std::vector<std::pair<fields::Field, QString>> &)> typeAndRun;
        std::function<void(const QString &, const std::function<void()> &)> guard;
    };

    RunVariation(Links links, QWidget *window);
    ~RunVariation() override;

    // The runs in the views: each one's style, and the legend's lines: each run, the live
    // one, then which line is which of a run's curves.
    std::vector<RunStyle> styles() const;
    QList<LegendEntry> legend() const;
    // The live run's line of the legend, empty while there is none.
    QString liveText() const;

    // Where a live run starts: the marked run's start and end, or the captured values; the
    // equation and its parameters the next run takes.
    solver::RunParameters base() const;
    // The sliders follow the equation and the base.
    void followBase();

    // Asks what varies and runs the family; a family under way is stopped instead.
    void familyWanted();
    void runFamily(const FamilyPlan &plan);
    void stopFamily();
    FamilyRun *family() const { return m_family; }

    // No live run any more.
    void clearLive();

signals:
    // The legend or the styles changed.
    void changed();
    void familyRunning(bool running);

private:
    struct Tag
    {
        QString name;   // a family's run by its value, "n = 1.5"; empty: the run itself
        int index = -1; // its place in its family
        int count = 0;  // runs of its family
    };
    void moved(const Varied &varied, const QString &text);
    void runWanted(const Varied &varied, const QString &text);
    // Types `text` as the value of `varied`, with `also` before it, and presses Enter.
    void typeRun(const Varied &varied, const QString &text,
                 std::vector<std::pair<fields::Field, QString>> also);

    Links m_links;
    QWidget *m_window;
    std::vector<Tag> m_tags; // by run, since the last Ready
    std::optional<Tag> m_pending;
    std::optional<std::pair<Varied, QString>> m_live;
    QPointer<FamilyRun> m_family;
};
