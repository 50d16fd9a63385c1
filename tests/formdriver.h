// SPDX-License-Identifier: MIT

#pragma once

// Drives the real window as a user would: finding a control, typing, Enter, clicking an
// option or Ready, and reading the list.

#include "platform/samplelist.h"
#include "window/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <string>
#include <utility>
#include <vector>

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
            EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
            return;
        }
        // On Wayland only the compositor activates a window, and a headless one without a
        // seat never does: stand in for it, as the offscreen platform does for itself, so
        // that keys reach the focused control.
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        if (!form.isActiveWindow())
            QApplication::setActiveWindow(&form);
    }

    template<typename W = QWidget> W *child(const QString &name)
    {
        auto *w = form.findChild<W *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    template<typename W = QWidget> W *child(const char *name)
    {
        return child<W>(QString::fromLatin1(name));
    }
    QLineEdit *text(int i) { return child<QLineEdit>(QStringLiteral("Text%1").arg(i)); }

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

    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        for (int row = 0; row < form.samples().rowCount(); ++row)
            out.push_back(form.samples().line(row).toStdString());
        return out;
    }

    Form1 form;
};
