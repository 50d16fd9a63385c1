// SPDX-License-Identifier: MIT

// A seeded monkey drives the real window with random clicks, keys, hostile texts and the
// context-menu commands, answering every menu, dialog and message box, and checks after
// each action what would show a real fault: the captured values, the list's length, the
// plot's size, and no box left open.
//
//     REDURIVEZI_MONKEY_SEED=n REDURIVEZI_MONKEY_ACTIONS=k monkey_test
//
// tools/soak.sh runs it with fresh seeds for as long as asked.

#include "model/fieldtable.h"
#include "platform/texttonumber.h"
#include "plot/marks.h"
#include "solver/builtins.h"

#include "explore/exploreview.h"
#include "tests/formdriver.h"
#include "window/equationchoice.h"
#include "window/explorewindow.h"
#include "window/familydialog.h"
#include "window/runvariation.h"
#include "window/sliderpanel.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace solver;
using fields::Field;

namespace {

// Small, so that every run ends quickly whatever span was typed.
constexpr std::size_t kCapacity = 5000;

std::uint64_t envNumber(const char *name, std::uint64_t fallback)
{
    const char *text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

// The samples the window lists of a run, with `room` lines left in its list.
class CountingSink : public SampleSink
{
public:
    CountingSink(const RunParameters &p, std::size_t room) : m_p(p), m_room(room) {}
    bool start(double x0, double y0) override { return startMarks(x0, y0).ok(); }
    bool sample(double x, double y) override
    {
        if (count == m_room || !sampleMarks(m_p, x, y).ok())
            return false;
        ++count;
        return true;
    }
    std::size_t count = 0;

private:
    RunParameters m_p;
    std::size_t m_room;
};

class Monkey : public FormDriver
{
public:
    explicit Monkey(std::uint64_t seed) : FormDriver(kCapacity), m_random(seed)
    {
        m_plotSize = commands().plotImage().size();
        // Answers whatever opens: never blocking itself, so that what a choice opens in
        // turn is answered on a later tick.
        QObject::connect(&m_answer, &QTimer::timeout, [this] { answer(); });
        m_answer.start(2);
    }

    void act()
    {
        switch (pick(9)) {
        case 0:
            clickAControl();
            break;
        case 1:
        case 2:
            pressAKey();
            break;
        case 3:
            typeInAField();
            break;
        case 4:
            openAMenu();
            break;
        case 5:
            clickARow();
            break;
        case 6:
            // A run with whatever the fields hold now.
            text(2)->setFocus();
            expectEnter(text(2));
            QTest::keyClick(text(2), Qt::Key_Return);
            break;
        case 7:
        case 8:
            explore();
            break;
        }
        QApplication::processEvents();
    }

    // What happened, for the summary line.
    int runs = 0, menus = 0, dialogs = 0, boxes = 0;

    void checkInvariants()
    {
        // A slider's run and a family's type into the fields and run as Enter does, in
        // between the monkey's own actions: what they captured and listed is taken as it
        // is, and every listed row belongs to a run.
        if (auto *window = form.findChild<ExploreWindow *>();
            m_varied || (window && window->variation().family())) {
            m_expected = stateOf(form);
            m_rows = modelOf(form).samples().rowCount();
            m_varied = window && window->variation().family();
            std::size_t rows = 0;
            for (const RunRecord &run : modelOf(form).runs())
                rows += run.rows;
            EXPECT_EQ(rows, static_cast<std::size_t>(m_rows));
        }
        const SolverState &s = stateOf(form);
        EXPECT_EQ(s.eq, expectedEquation());
        EXPECT_EQ(s.own, m_expected.own);
        for (std::size_t f = 0; f < fields::kFields.size(); ++f)
            EXPECT_EQ(s.values[f], m_expected.values[f]) << fields::kFields[f].control;
        EXPECT_EQ(modelOf(form).samples().rowCount(), m_rows);
        EXPECT_EQ(commands().plotImage().size(), m_plotSize);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        // However far the views went, what they show stays a rectangle a double holds.
        for (const ExploreView *v : form.findChildren<ExploreView *>()) {
            const WorldRect w = v->world();
            EXPECT_TRUE(w.width() > 0 && w.height() > 0 && std::isfinite(w.width()) &&
                        std::isfinite(w.height()) && w.left >= -Navigation::kLimit &&
                        w.right <= Navigation::kLimit)
                << v->accessibleDescription().toStdString();
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    void clickAControl()
    {
        // Every control but End, which would end the program.
        static const char *const kControls[] = {
            "Option1", "Option2", "Option3", "Option4", "Option5", "Option6", "Command1", "Text1",
            "Text2",   "Text3",   "Text4",   "Text5",   "Text6",   "List1",   "Picture1"};
        QWidget *w = child(kControls[pick(std::size(kControls))]);
        if (w->objectName() == QLatin1String("Command1"))
            m_rows = 0;
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier,
                          QPoint(1 + pick(w->width() - 2), 1 + pick(w->height() - 2)));
    }

    void pressAKey()
    {
        struct Key
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char *text;
        };
        static const Key kKeys[] = {
            {Qt::Key_1, {}, "1"},
            {Qt::Key_5, {}, "5"},
            {Qt::Key_0, {}, "0"},
            {Qt::Key_9, {}, "9"},
            {Qt::Key_Minus, {}, "-"},
            {Qt::Key_Plus, {}, "+"},
            {Qt::Key_E, {}, "e"},
            {Qt::Key_Period, {}, "."},
            {Qt::Key_Return, {}, "\r"},
            {Qt::Key_Return, {}, "\r"},
            {Qt::Key_Tab, {}, ""},
            {Qt::Key_Backtab, Qt::ShiftModifier, ""},
            {Qt::Key_Escape, {}, ""},
            {Qt::Key_Up, {}, ""},
            {Qt::Key_Down, {}, ""},
            {Qt::Key_Left, {}, ""},
            {Qt::Key_Right, {}, ""},
            {Qt::Key_Backspace, {}, ""},
            {Qt::Key_A, Qt::ControlModifier, ""},
            {Qt::Key_C, Qt::ControlModifier, ""},
            {Qt::Key_V, Qt::ControlModifier, ""},
        };
        const Key &k = kKeys[pick(std::size(kKeys))];
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        if (k.key == Qt::Key_Return)
            expectEnter(target);
        QTest::keyClick(target, k.key, k.modifiers);
    }

    // The Explore window: opened, closed, and its views zoomed to the ends of the range,
    // dragged, probed, driven from the keyboard, and run from, also while a run is held up.
    // The equation a run takes: the own one while it is current, else the option chosen.
    EquationRef expectedEquation()
    {
        const EquationChoice &choice = *form.findChild<EquationChoice *>();
        if (choice.ownCurrent())
            return *choice.own();
        const int chosen = child<QRadioButton>("Option1")->group()->checkedId();
        return chosen > 0 ? EquationRef(static_cast<Builtin>(chosen)) : Builtin::None;
    }

    // Explore's equation bar: a formula typed and Entered, good or not, a parameter's text,
    // or one of the choice's entries.
    void equationBar(ExploreWindow &window)
    {
        (void)window;
        auto *formula = form.findChild<QLineEdit *>(QStringLiteral("Formula"));
        auto *equations = form.findChild<QComboBox *>(QStringLiteral("Equations"));
        static const char *const kFormulas[] = {"-y - 0.2*y'",     "-k*y",       "(1-y*y)*y'-y",
                                                "-sin(y) - c*y'",  "log(y)",     "sqrt(x)*y",
                                                "1/(x-1)",         "2y",         "((y)",
                                                "-y^a^b",          "",           "exp(exp(exp(y)))",
                                                "y'*y'/y - w^2*y", "sin(100*y)", "0",
                                                "-sin(y)",         "y - y^3",    "1/(y - 0.3)"};
        switch (pick(3)) {
        case 0:
            formula->setFocus();
            formula->setText(QString::fromLatin1(kFormulas[pick(std::size(kFormulas))]));
            QTest::keyClick(formula, Qt::Key_Return);
            break;
        case 1: {
            const QList<QLineEdit *> fields =
                form.findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^Parameter_")));
            if (!fields.isEmpty()) {
                static const QString kTexts[] = {QStringLiteral("4"),     QStringLiteral("-0.5"),
                                                 QStringLiteral("1e999"), QStringLiteral("abc"),
                                                 QString(10'000, u'9'),   QStringLiteral("")};
                QLineEdit *field = fields[pick(static_cast<int>(fields.size()))];
                const QString text = kTexts[pick(std::size(kTexts))];
                // As typing it would: the field's own edit signal.
                field->setText(text);
                emit field->textEdited(text);
            }
            break;
        }
        case 2:
            if (equations->count() > 0) {
                equations->setCurrentIndex(pick(equations->count()));
                emit equations->activated(equations->currentIndex());
            }
            break;
        }
    }

    // The sliders, their fields and ranges, Add Run and families, stopped or not, also by
    // Ready or by closing the window while they run.
    void variation(ExploreWindow &window)
    {
        SliderPanel &sliders = window.sliders();
        RunVariation &runs = window.variation();
        const int k = sliders.count() > 0 ? pick(sliders.count()) : -1;
        static const char *const kTexts[] = {"0", "1.5",    "-3",  "1e300", "-1e308", "abc",
                                             "",  "1e-320", "2,5", "1e999", "99999"};
        switch (pick(6)) {
        case 0:
        case 1:
            if (k >= 0) {
                static const Qt::Key kKeys[] = {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,
                                                Qt::Key_End,    Qt::Key_Left,     Qt::Key_Right};
                QTest::keyClick(&sliders.slider(k), kKeys[pick(std::size(kKeys))]);
            }
            break;
        case 2:
            if (k >= 0) {
                QLineEdit *fields[] = {&sliders.valueField(k), &sliders.fromField(k),
                                       &sliders.toField(k)};
                QLineEdit *field = fields[pick(3)];
                field->setText(QString::fromLatin1(kTexts[pick(std::size(kTexts))]));
                QTest::keyClick(field, Qt::Key_Return);
            }
            break;
        case 3:
            // Enter on the slider, or Add Run: the live run listed, typed as a user would.
            if (k >= 0) {
                m_varied = true;
                if (pick(2))
                    QTest::keyClick(&sliders.slider(k), Qt::Key_Return);
                else
                    QTest::mouseClick(child<QPushButton>("AddRun"), Qt::LeftButton);
            }
            break;
        case 4: {
            m_varied = true;
            const solver::RunParameters p = runs.base();
            const QList<Varied> all = variedOf(*p.eq, true);
            const Varied v = all[pick(static_cast<int>(all.size()))];
            const double from = std::atof(kTexts[pick(std::size(kTexts))]);
            const double to = std::atof(kTexts[pick(std::size(kTexts))]);
            if (std::isfinite(from) && std::isfinite(to) && std::isfinite(to - from))
                runs.runFamily({v, from, to, 2 + pick(6)});
            break;
        }
        case 5:
            m_varied = true;
            if (pick(2))
                runs.stopFamily();
            else
                QTest::mouseClick(child<QPushButton>("Family"), Qt::LeftButton);
            break;
        }
    }

    void explore()
    {
        auto *window = form.findChild<ExploreWindow *>();
        if (!window || !window->isVisible() || pick(12) == 0) {
            if (window && window->isVisible())
                window->close();
            else
                child<QAction>("exploreAction")->trigger();
            return;
        }
        if (pick(4) == 0) {
            equationBar(*window);
            return;
        }
        if (pick(4) == 0) {
            variation(*window);
            return;
        }
        static const ViewKind kKinds[] = {ViewKind::Solution, ViewKind::Phase, ViewKind::Error};
        const ViewKind kind = kKinds[pick(3)];
        ExploreView &v = window->view(kind);
        const QRect r = v.plotRect();
        const QPoint at(r.left() + pick(r.width()), r.top() + pick(r.height()));
        const QPoint to(r.left() + pick(r.width()), r.top() + pick(r.height()));
        switch (pick(8)) {
        case 7: {
            // The view's menu, as the Menu key opens it: its analysis shown and hidden.
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, v.mapToGlobal(at));
            QApplication::sendEvent(&v, &menu);
            break;
        }
        case 0: {
            // Up to a few hundred notches at once: out to the limits, in to 1e-300.
            const int notches = (1 + pick(pick(2) ? 3 : 400)) * (pick(2) ? 1 : -1);
            QWheelEvent wheel(at, v.mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&v, &wheel);
            break;
        }
        case 1:
        case 2: {
            // A left drag pans, a right one (or a Shift+left one) zooms to its rectangle.
            const Qt::MouseButton button = pick(2) ? Qt::LeftButton : Qt::RightButton;
            const Qt::KeyboardModifiers mods = pick(3) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
            QTest::mousePress(&v, button, mods, at);
            QTest::mouseMove(&v, (at + to) / 2);
            QTest::mouseMove(&v, to);
            QTest::mouseRelease(&v, button, mods, to);
            break;
        }
        case 3: {
            static const std::pair<Qt::Key, Qt::KeyboardModifiers> kKeys[] = {
                {Qt::Key_Left, {}},
                {Qt::Key_Up, {}},
                {Qt::Key_Plus, {}},
                {Qt::Key_Minus, {}},
                {Qt::Key_Home, {}},
                {Qt::Key_Left, Qt::AltModifier},
                {Qt::Key_Right, Qt::AltModifier},
                {Qt::Key_Escape, {}},
                {Qt::Key_Tab, {}}};
            const auto &[key, mods] = kKeys[pick(std::size(kKeys))];
            QTest::keyClick(&v, key, mods);
            break;
        }
        case 4:
            QTest::mouseClick(&v, Qt::LeftButton, Qt::NoModifier, at);
            break;
        case 5: {
            // A run from the point: the texts it types, then Enter along the chain; with
            // Shift, its way back drawn too.
            QTest::mouseClick(
                &v, Qt::LeftButton,
                pick(2) ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier, at);
            // The error view's points are no start: it runs nothing.
            if (kind == ViewKind::Error)
                break;
            const int first = kind == ViewKind::Solution ? 1 : 3, second = first == 1 ? 3 : 4;
            for (int field : {first, second, 2})
                expectEnter(text(field));
            break;
        }
        case 6: {
            // A click that comes while a run holds the thread waits its turn.
            QApplication::postEvent(&v, new QMouseEvent(QEvent::MouseButtonPress, at,
                                                        v.mapToGlobal(at), Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
            QApplication::postEvent(&v, new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                        v.mapToGlobal(at), Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
            text(2)->setFocus();
            expectEnter(text(2));
            QTest::keyClick(text(2), Qt::Key_Return);
            break;
        }
        }
    }

    void typeInAField()
    {
        static const QString kTexts[] = {
            QString(100'000, u'7'),   QStringLiteral("\x01\x02\x1b[31m5"),
            QStringLiteral("1e999"),  QStringLiteral("-1e400"),
            QStringLiteral("0.5e1x"), QStringLiteral("  -3.25"),
            QStringLiteral("1,5"),    QStringLiteral("99999"),
            QStringLiteral(""),       QStringLiteral("2.5"),
        };
        QString text = kTexts[pick(std::size(kTexts))];
        if (pick(2) == 0)
            text = QString::number(std::uniform_real_distribution<double>(-20, 40)(m_random));
        const int field = 1 + pick(fields::kFieldCount);
        this->text(field)->setText(text);
        if (pick(2) == 0) {
            this->text(field)->setFocus();
            expectEnter(this->text(field));
            QTest::keyClick(this->text(field), Qt::Key_Return);
        }
    }

    void openAMenu()
    {
        QWidget *on = pick(2) ? child("List1") : child("Picture1");
        emit on->customContextMenuRequested(QPoint(5 + pick(50), 5 + pick(50)));
    }

    void clickARow()
    {
        auto *list = child<QAbstractItemView>("List1");
        if (modelOf(form).samples().rowCount() == 0)
            return;
        const QRect r = list->visualRect(
            modelOf(form).samples().index(pick(modelOf(form).samples().rowCount())));
        static const Qt::KeyboardModifiers kModifiers[] = {
            {}, Qt::ShiftModifier, Qt::ControlModifier};
        if (r.isValid())
            QTest::mouseClick(list->viewport(), Qt::LeftButton, kModifiers[pick(3)], r.center());
    }

    // What Enter in `target` will capture, and the rows its run will list.
    void expectEnter(QWidget *target)
    {
        // A field's index in the table is its control's number less one.
        const auto read = [this](Field f) {
            const auto v = textToNumber(text(static_cast<int>(f) + 1)->text().toStdString());
            if (v)
                m_expected[f] = *v;
            return v.has_value();
        };
        for (Field f : {Field::X0, Field::Y0, Field::Z0})
            if (target == text(static_cast<int>(f) + 1))
                read(f);
        if (target != text(2))
            return;
        for (Field f : {Field::N, Field::Lam})
            if (!read(f))
                return;
        // The own equation's parameters, between lam and xf.
        const EquationChoice &choice = *form.findChild<EquationChoice *>();
        if (choice.ownCurrent()) {
            for (qsizetype k = 0; k < choice.values().size(); ++k) {
                const auto v = textToNumber(choice.values()[k].toStdString());
                if (!v)
                    return;
                m_expected.own[static_cast<std::size_t>(k)] = *v;
            }
        }
        if (!read(Field::Xf))
            return;
        SolverState expected = m_expected;
        expected.eq = expectedEquation();
        const RunParameters p = expected.run();
        CountingSink sink(p, kCapacity - static_cast<std::size_t>(m_rows));
        run(p, sink);
        m_rows += static_cast<int>(sink.count);
        ++runs;
    }

    // One step of whatever is open: a menu chooses an action, a file dialog is answered
    // with a new name or cancelled, a message box is accepted.
    void answer()
    {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            if (qobject_cast<ExploreWindow *>(menu->parentWidget())) {
                // An Explore view's menu returns what it chose from its own loop.
                const QList<QAction *> all = menu->actions();
                QAction *a = all.isEmpty() ? nullptr : all[pick(all.size())];
                ++menus;
                if (a && a->isEnabled() && !a->isSeparator() && pick(4) != 0) {
                    menu->setActiveAction(a);
                    QTest::keyClick(menu, Qt::Key_Return);
                } else {
                    menu->close();
                }
                return;
            }
            QList<QAction *> actions;
            for (QAction *a : menu->actions())
                if (a->isEnabled() && !a->isSeparator())
                    actions << a;
            menu->close();
            ++menus;
            if (!actions.isEmpty() && pick(4) != 0)
                QMetaObject::invokeMethod(actions[pick(actions.size())], &QAction::trigger,
                                          Qt::QueuedConnection);
            return;
        }
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if (dialog == m_answered)
                return; // its answer is on its way
            m_answered = dialog;
            ++dialogs;
            if (pick(3) == 0) {
                dialog->reject();
            } else {
                static int saved = 0;
                const QString suffix = pick(2) ? QStringLiteral(".csv") : QStringLiteral("");
                dialog->selectFile(
                    m_files.filePath(QStringLiteral("saved%1%2").arg(++saved).arg(suffix)));
                // Accepting saves at once: queued, so that a message it shows is answered
                // on a later tick.
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        } else if (auto *family = qobject_cast<FamilyDialog *>(modal)) {
            // A few runs of whatever it offers, or no family.
            if (family == m_answered)
                return;
            m_answered = family;
            ++dialogs;
            family->runsBox().setValue(2 + pick(3));
            if (pick(3) == 0)
                family->reject();
            else
                QMetaObject::invokeMethod(family, "accept", Qt::QueuedConnection);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->accept();
            ++boxes;
        }
    }

    std::mt19937_64 m_random;
    SolverState m_expected; // what the last Enter in each field read
    int m_rows = 0;
    QSize m_plotSize;
    QTimer m_answer;
    QPointer<QWidget> m_answered;
    bool m_varied = false; // runs came from a slider or a family since the last check
    QTemporaryDir m_files;
};

TEST(Monkey, RandomActionsKeepTheWindowConsistent)
{
    const std::uint64_t seed = envNumber("REDURIVEZI_MONKEY_SEED", 20261208);
    const std::uint64_t actions = envNumber("REDURIVEZI_MONKEY_ACTIONS", 500);
    std::printf("monkey seed %llu, %llu actions\n", static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(actions));
    Monkey monkey(seed);
    for (std::uint64_t i = 0; i < actions && !testing::Test::HasFailure(); ++i) {
        monkey.act();
        monkey.checkInvariants();
        if (testing::Test::HasFailure())
            std::printf("failed at action %llu of seed %llu\n", static_cast<unsigned long long>(i),
                        static_cast<unsigned long long>(seed));
    }
    std::printf("monkey: %d runs, %d menus, %d file dialogs, %d message boxes, %d rows listed\n",
                monkey.runs, monkey.menus, monkey.dialogs, monkey.boxes,
                modelOf(monkey.form).samples().rowCount());
}

} // namespace
