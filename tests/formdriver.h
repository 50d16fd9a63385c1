// SPDX-License-Identifier: MIT

#pragma once

// Drives the real window as a user would: finding a control, typing, Enter, clicking an
// option or Ready, and reading the list. Shared by the tests and the window benchmark, so
// it asserts nothing itself: a control that is not there ends the program with its name.

#include "model/runmodel.h"
#include "plot/plotwidget.h"
#include "window/form1.h"
#include "window/formcommands.h"
#include "window/plotexport.h"
#include "window/probe.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

// What the window remembers between events, which no control shows.
class Form1Inspector
{
public:
    static const SolverState &state(const Form1 &form) { return form.m_state; }
};

inline const SolverState &stateOf(const Form1 &form)
{
    return Form1Inspector::state(form);
}

// The runs since the last Ready, which the list, the plot and every view read.
inline const RunModel &modelOf(const Form1 &form)
{
    return *form.findChild<RunModel *>();
}

class FormDriver
{
public:
    explicit FormDriver(std::size_t capacity = SampleList::kDefaultCapacity,
                        int progressInterval = Form1::kProgressInterval)
        : form(capacity, progressInterval)
    {
        form.show();
        if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
            form.activateWindow();
            if (!QTest::qWaitForWindowActive(&form))
                std::fprintf(stderr, "FormDriver: the window did not become active\n");
            return;
        }
        // On Wayland only the compositor activates a window, and a headless one without a
        // seat never does: stand in for it, as the offscreen platform does for itself, so
        // that keys reach the focused control.
        if (!QTest::qWaitForWindowExposed(&form))
            std::fprintf(stderr, "FormDriver: the window was not shown\n");
        if (!form.isActiveWindow())
            QApplication::setActiveWindow(&form);
    }

    template<typename W = QWidget> W *child(const QString &name)
    {
        auto *w = form.findChild<W *>(name);
        if (!w) {
            std::fprintf(stderr, "FormDriver: the window has no %s\n", qPrintable(name));
            std::abort();
        }
        return w;
    }
    template<typename W = QWidget> W *child(const char *name)
    {
        return child<W>(QString::fromLatin1(name));
    }
    QLineEdit *text(int i) { return child<QLineEdit>(QStringLiteral("Text%1").arg(i)); }
    PlotSurface &surface() { return child<PlotWidget>("Picture1")->surface(); }
    FormCommands &commands() { return *form.findChild<FormCommands *>(); }
    Probe &probe() { return *form.findChild<Probe *>(); }

    void choose(int option)
    {
        QTest::mouseClick(child<QRadioButton>(QStringLiteral("Option%1").arg(option)),
                          Qt::LeftButton);
    }
    void ready() { QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton); }

    // Enter in a field as it stands, or after typing `typed` into it.
    void enter(int field) { QTest::keyClick(text(field), Qt::Key_Return); }
    void enter(int field, const QString &typed)
    {
        text(field)->setFocus();
        text(field)->setText(typed);
        enter(field);
    }
    void enter(int field, const char *typed) { enter(field, QString::fromLatin1(typed)); }
    // Types each text into its field and presses Enter there, in the order given.
    void enter(const std::vector<std::pair<int, QString>> &fields)
    {
        for (const auto &[field, typed] : fields)
            enter(field, typed);
    }
    // Enter in the four fields as they stand: captures x0, y0 and z0, then runs.
    void enterAll()
    {
        for (int field : {1, 3, 4, 2})
            enter(field);
    }
    // Enter in the final field with `xf` typed there.
    void runTo(const char *xf) { enter(2, xf); }

    const SampleList &samples() const { return modelOf(form).samples(); }
    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        for (int row = 0; row < samples().rowCount(); ++row)
            out.push_back(samples().line(row).toStdString());
        return out;
    }

    Form1 form;
};
