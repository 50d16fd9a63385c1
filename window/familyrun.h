// SPDX-License-Identifier: MIT

#pragma once

// A family of runs carried out one after another, each exactly as typing its value's text
// and pressing Enter would. Between two runs the window handles what came meanwhile, so a
// family can be stopped, and Ready or closing Explore stop it; what was listed stays.

#include "window/familydialog.h"

#include <QObject>
#include <QStringList>

#include <functional>

class FamilyRun : public QObject
{
    Q_OBJECT

public:
    // `runOne(text)` carries out one run with `text` as the varied value.
    FamilyRun(const FamilyPlan &plan, std::function<void(const QString &)> runOne,
              QObject *parent = nullptr);

    // The texts of the runs' values: each the shortest text that reads back to its value.
    static QStringList texts(const FamilyPlan &plan);

    void start();
    void stop();
    bool running() const { return m_running; }
    int done() const { return m_next; }
    int total() const { return static_cast<int>(m_texts.size()); }
    const FamilyPlan &plan() const { return m_plan; }

signals:
    void progressed(int done, int total);
    void finished();

private:
    void step();

    FamilyPlan m_plan;
    QStringList m_texts;
    std::function<void(const QString &)> m_runOne;
    int m_next = 0;
    bool m_running = false;
};
