// SPDX-License-Identifier: MIT

#include "window/form1.h"

#include "model/runmodel.h"
#include "platform/texttonumber.h"
#include "plot/axes.h"
#include "plot/plotwidget.h"
#include "window/equationchoice.h"
#include "window/exploreplacement.h"
#include "window/explorewindow.h"
#include "window/fixedsize.h"
#include "window/formcommands.h"
#include "window/messages.h"
#include "window/probe.h"
#include "window/runsession.h"
#include "window/sampleview.h"

#include <QApplication>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>

#include <algorithm>
#include <new>

using fields::Field;

Form1::Form1(QWidget *parent) : Form1(SampleList::kDefaultCapacity, kProgressInterval, parent) {}

Form1::Form1(std::size_t listCapacity, int progressInterval, QWidget *parent)
    : QWidget(parent), m_model(new RunModel(listCapacity, this)),
      m_controls(layOutForm(this, &m_model->samples())),
      m_session(std::make_unique<RunSession>(*m_controls.picture1, *m_model, *m_controls.list1,
                                             progressInterval)),
      m_choice(new EquationChoice(this))
{
    m_commands = new FormCommands(
        m_controls, *m_model, this,
        [this](const QString &command, const std::function<void()> &work) {
            guarded(command, work);
        },
        [this](const QString &message) { warn(message); });
    m_probe = new Probe(*m_controls.picture1, *m_controls.list1, *m_model, this);
    m_controls.picture1->setRedraw([this](PlotSurface &surface) {
        // Not while a run draws on the present surface.
        if (m_session->running())
            return false;
        m_model->scene().replay(surface, m_model->samples());
        return true;
    });
    connectEvents();
    load();
    // Qt's own title bar on Wayland offers to maximize even this window of fixed size.
    new FixedSize(this);
}

Form1::~Form1() = default;

void Form1::connectEvents()
{
    // Every handler runs guarded: no exception may reach Qt's event loop.
    const auto guard = [this](const QString &command, void (Form1::*handler)()) {
        return
            [this, command, handler] { guarded(command, [this, handler] { (this->*handler)(); }); };
    };
    // Whichever way an option becomes chosen, by a click or by the arrow keys.
    connect(m_controls.optionGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (const auto eq = solver::equationNumbered(id); eq && checked && !m_unchecking) {
            m_state.eq = *eq;
            m_choice->optionChosen(id);
        }
    });
    // An equation of one's own chosen in Explore's bar: no option is chosen then.
    connect(m_choice, &EquationChoice::changed, this, [this] { ownEquationChanged(); });
    for (Field field : {Field::X0, Field::Y0, Field::Z0})
        connect(m_controls.text(field), &QLineEdit::returnPressed, this, [this, field] {
            guarded(tr("Enter"), [this, field] { enterInStartField(field); });
        });
    connect(m_controls.text(Field::Xf), &QLineEdit::returnPressed, this,
            guard(tr("The run"), &Form1::enterInText2));
    connect(m_controls.command1, &QPushButton::clicked, this, guard(tr("Ready"), &Form1::ready));
    connect(m_controls.command2, &QPushButton::clicked, this, &Form1::end);

    connect(m_commands, &FormCommands::exploreWanted, this,
            guard(tr("Explore"), &Form1::showExplore));
    connect(m_commands, &FormCommands::ownEquationWanted, this,
            guard(tr("Own Equation"), &Form1::showOwnEquation));
    // Shift+F10 is the Menu key of keyboards without one.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, &Form1::showFocusMenu);
    // The direction field shows where the next run would go: it follows the option and
    // the fields of n and lam as they change.
    const auto nextRunChanged = [this] {
        if (m_explore)
            m_explore->nextRunChanged();
    };
    connect(m_controls.optionGroup, &QButtonGroup::idToggled, this, nextRunChanged);
    for (Field field : {Field::N, Field::Lam})
        connect(m_controls.text(field), &QLineEdit::textChanged, this, nextRunChanged);
}

void Form1::ownEquationChanged()
{
    const bool own = m_choice->ownCurrent();
    if (own) {
        m_state.eq = *m_choice->own();
        m_unchecking = true;
        uncheckOptions(m_controls);
        m_unchecking = false;
    }
    const QString caption = own ? m_choice->caption() : QString();
    m_controls.picture1->setCaption(caption);
    m_probe->setEquation(own ? tr("Equation %1").arg(caption) : QString());
    if (m_explore)
        m_explore->nextRunChanged();
}

void Form1::showOwnEquation()
{
    showExplore();
    m_explore->focusFormula();
}

void Form1::showExplore()
{
    if (!m_explore) {
        m_explore = new ExploreWindow(
            {*m_model, *m_controls.list1, *m_choice,
             [this](int number) {
                 m_controls.options[static_cast<std::size_t>(number - 1)]->click();
             },
             [this] { return nextRun(); }, [this](const auto &texts) { typeAndRun(texts); },
             [this] { m_probe->clear(); },
             [this](const QString &command, const std::function<void()> &work) {
                 guarded(command, work);
             },
             [this](const QString &message) { warn(message); }},
            this);
        connect(m_probe, &Probe::cleared, m_explore, [this] { m_explore->markRow(-1); });
        placeExplore();
    }
    m_explore->show();
    m_explore->raise();
    m_explore->activateWindow();
}

void Form1::placeExplore()
{
    // (A Wayland compositor places windows itself.)
    const QRect at = explorePlacement(screen()->availableGeometry(), frameGeometry(),
                                      frameGeometry().size() - size(), m_explore->size(),
                                      m_explore->minimumSizeHint());
    m_explore->resize(at.size());
    m_explore->move(at.topLeft());
}

solver::RunParameters Form1::nextRun() const
{
    SolverState next = m_state;
    // As a run would read them; a text beyond range keeps what the last run read.
    for (Field field : {Field::N, Field::Lam})
        if (const auto v = textToNumber(m_controls.text(field)->text().toStdString()))
            next[field] = *v;
    if (m_choice->ownCurrent())
        for (qsizetype k = 0; k < m_choice->values().size(); ++k)
            if (const auto v = textToNumber(m_choice->values()[k].toStdString()))
                next.own[static_cast<std::size_t>(k)] = *v;
    return next.run();
}

void Form1::typeAndRun(const std::vector<std::pair<Field, QString>> &texts)
{
    typeAndEnter(this, m_controls, texts);
}

void Form1::showFocusMenu()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != this)
        return;
    const QPoint at = focus->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
    QCoreApplication::sendEvent(focus, &event);
}

void Form1::load()
{
    m_model->resetScene(PlotScene::Axes::Startup);
    drawStartupAxes(m_controls.picture1->surface());
}

bool Form1::capture(Field field)
{
    const QString text = m_controls.text(field)->text();
    const auto value = textToNumber(text.toStdString());
    if (!value) {
        warn(messages::numberOutOfRange(field, text));
        return false;
    }
    m_state[field] = *value;
    return true;
}

void Form1::enterInStartField(Field field)
{
    if (capture(field))
        m_controls.text(fields::nextOnEnter(field))->setFocus();
}

void Form1::enterInText2()
{
    // n, lam, the own equation's parameters, then xf; a number beyond range ends the
    // handling where it is found.
    for (Field field : fields::kRunStartOrder) {
        if (field == Field::Xf && m_choice->ownCurrent() && !captureOwnParameters())
            return;
        if (!capture(field))
            return;
    }
    startRun();
}

bool Form1::captureOwnParameters()
{
    const QString why = m_choice->read(m_state.own);
    if (!why.isEmpty())
        warn(why);
    return why.isEmpty();
}

void Form1::startRun()
{
    m_probe->clear();
    const RunEnd end = m_session->execute(m_state.run());
    if (const QString message = messages::runEnd(end, m_model->samples().capacity());
        !message.isEmpty())
        tellAfterTheRun(message);
}

void Form1::tellAfterTheRun(const QString &message)
{
    // What was typed or clicked while the run held the thread waits in the queue; a modal
    // box shown now would take it and drop it. So it is handled first, in order, as after
    // a run without a message, and the message follows. A run it starts tells its own
    // message after this one.
    m_runMessages.append(message);
    if (m_tellingRunMessages)
        return;
    m_tellingRunMessages = true;
    QCoreApplication::processEvents();
    // End, among what waited, quits at once: nothing is told then.
    while (!m_runMessages.isEmpty() && isVisible())
        warn(m_runMessages.takeFirst());
    m_runMessages.clear();
    m_tellingRunMessages = false;
}

void Form1::ready()
{
    m_probe->clear();
    m_model->resetScene(PlotScene::Axes::Reset);
    drawResetAxes(m_controls.picture1->surface());
    m_controls.picture1->update();
    updateLegend();
    m_model->clearSamples();
    m_controls.text(Field::X0)->setFocus();
}

void Form1::updateLegend()
{
    const bool shown = m_state.eq->drawing.legend;
    for (QLabel *label : m_controls.legend)
        label->setVisible(shown);
}

void Form1::end()
{
    // At once and without a question: no window is left behind.
    hide();
    QCoreApplication::quit();
}

void Form1::guarded(const QString &command, const std::function<void()> &work)
{
    // Qt lets no exception through its event loop: it ends here, with a message.
    QString reason;
    try {
        work();
        return;
    } catch (const std::bad_alloc &) {
        reason = tr("there is not enough memory");
    } catch (const std::exception &e) {
        reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
        reason = tr("an unexpected error");
    }
    warn(messages::commandFailed(command, reason));
}

void Form1::warn(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    // The message may quote what was typed: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
