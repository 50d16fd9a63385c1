// SPDX-License-Identifier: MIT

// The Explore window on the real main window: opening it, what its views show and say,
// zooming, the probe linked both ways, a run from a Ctrl+click, Ready.

#include "explore/exploreview.h"
#include "explore/renderthread.h"
#include "explore/runmarks.h"
#include "explore/runpalette.h"
#include "explore/viewframe.h"
#include "explore/viewrender.h"
#include "explore/viewstyle.h"
#include "listing/listline.h"
#include "model/runmodel.h"
#include "platform/texttonumber.h"
#include "plot/axes.h"
#include "plot/plotwidget.h"
#include "solver/builtins.h"
#include "solver/checked.h"
#include "solver/family.h"
#include "solver/formulaequation.h"
#include "tests/messageboxcatcher.h"
#include "window/equationchoice.h"
#include "window/exploreplacement.h"
#include "window/explorewindow.h"
#include "window/familyrun.h"
#include "window/runsession.h"
#include "window/runvariation.h"
#include "window/sampleview.h"
#include "window/sliderpanel.h"
#include "window/viewexport.h"

#include "tests/formdriver.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// The first run's colour in the views.
const QRgb kCurve = runColour(0);

class Explore : public testing::Test, public FormDriver
{
protected:
    ExploreWindow &open()
    {
        child<QAction>("exploreAction")->trigger();
        auto *window = form.findChild<ExploreWindow *>();
        EXPECT_TRUE(window && window->isVisible());
        settle();
        return *window;
    }
    ExploreView &view(const char *name) { return *child<ExploreView>(name); }
    // Until the worker has found every slope and both views show images of what they show.
    void settle()
    {
        auto *worker = form.findChild<RenderThread *>();
        const auto done = [&] {
            {
                const std::lock_guard<std::mutex> locked(worker->tracks().lock());
                for (const RunTrack &t : worker->tracks().runs())
                    if (!t.slopesDone() || !t.referenceDone())
                        return false;
            }
            return view("Solution").upToDate() && view("PhasePlane").upToDate() &&
                   view("Error").upToDate();
        };
        ASSERT_TRUE(QTest::qWaitFor(done, 10000));
        QTest::qWait(50); // the image of the last slopes
    }
    // The ranges a view's description states, "x from A to B, y from C to D".
    static std::vector<double> ranges(const QWidget &view)
    {
        static const QRegularExpression number(QStringLiteral("(\u2212?[0-9.]+(e[-+]?[0-9]+)?)"));
        std::vector<double> out;
        // The ranges come first, before the legend, the analysis and the marked line.
        const QString d = view.accessibleDescription();
        auto it = number.globalMatch(d.left(d.indexOf(QStringLiteral(". "))));
        while (it.hasNext())
            out.push_back(it.next().captured(1).replace(u'\u2212', u'-').toDouble());
        return out;
    }
    // Whether a curve pixel lies within a pixel of world (x, y) in the view.
    static bool curveNear(ExploreView &v, const QImage &image, double x, double y)
    {
        const QPoint at = v.toWidget(x, y).toPoint();
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (image.pixel(at + QPoint(dx, dy)) == kCurve)
                    return true;
        return false;
    }
};

TEST_F(Explore, OpensOnTheDefaultRunFittingItsRangesAndZoomsAboutThePointer)
{
    choose(2);
    enterAll();
    ExploreWindow &window = open();
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("Explore")));
    EXPECT_EQ(view("Solution").accessibleName(), QStringLiteral("Solution: y over x"));
    EXPECT_EQ(view("PhasePlane").accessibleName(), QStringLiteral("Phase plane: y' over y"));
    EXPECT_EQ(view("Error").accessibleName(), QStringLiteral("Error: |y − reference| over x"));
    // The error of the default run lies between 1e-10 and 1e-5 (the reference is the
    // closed form through the start), shown in whole decades.
    EXPECT_TRUE(view("Error").accessibleDescription().endsWith(
        QStringLiteral("|y − reference| from 1e−10 to 1e−5")))
        << view("Error").accessibleDescription().toStdString();
    // x 0..5 and y -11.49..12.18, with a margin of no more than half the span.
    const std::vector<double> first = ranges(view("Solution"));
    ASSERT_EQ(first.size(), 4u) << view("Solution").accessibleDescription().toStdString();
    EXPECT_LE(first[0], 0);
    EXPECT_GE(first[1], 5);
    EXPECT_GE(first[0], -1.25);
    EXPECT_LE(first[1], 6.25);
    EXPECT_LE(first[2], -11.49);
    EXPECT_GE(first[3], 12.18);
    EXPECT_LE(first[3] - first[2], 1.5 * (12.18 + 11.49));

    ExploreView &solution = view("Solution");
    const QPoint centre = solution.plotRect().center();
    for (int notch = 0; notch < 3; ++notch) {
        QWheelEvent wheel(centre, solution.mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&solution, &wheel);
    }
    const std::vector<double> zoomed = ranges(solution);
    EXPECT_LE(2 * (zoomed[1] - zoomed[0]), first[1] - first[0]);
    QTest::keyClick(&solution, Qt::Key_Home);
    EXPECT_EQ(ranges(solution), first);
    // Back and forward through the views shown.
    QTest::keyClick(&solution, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(ranges(solution), zoomed);
    QTest::keyClick(&solution, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(ranges(solution), first);
}

TEST_F(Explore, ThePhasePlaneOfTheOscillatorIsARingWithItsField)
{
    choose(1);
    enter({{1, QStringLiteral("0")},
           {3, QStringLiteral("1")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("6.28")}});
    open();
    ExploreView &phase = view("PhasePlane");
    const std::vector<double> r = ranges(phase);
    ASSERT_EQ(r.size(), 4u);
    for (std::size_t k = 0; k < 4; k += 2) {
        EXPECT_LE(r[k], -1) << k;
        EXPECT_GE(r[k + 1], 1) << k;
        EXPECT_GE(r[k], -2) << k;
        EXPECT_LE(r[k + 1], 2) << k;
    }
    const QImage image = phase.grab().toImage();
    for (int k = 0; k < 16; ++k) {
        const double t = k * 3.14159265358979 / 8;
        EXPECT_TRUE(curveNear(phase, image, std::cos(t), std::sin(t))) << k;
    }
    EXPECT_FALSE(curveNear(phase, image, 0, 0));
    EXPECT_FALSE(curveNear(phase, image, 0.5, 0.5));
    // The direction field, in its own light colour.
    int field = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            field += image.pixel(x, y) == 0xFF9DB8D9;
    EXPECT_GT(field, 100);
}

TEST_F(Explore, AClickMarksTheSampleInTheListAndOnTheMainPlot)
{
    choose(2);
    enterAll();
    // Large enough that the samples about x = 1.23 lie pixels apart, as a click needs.
    open().resize(1400, 1000);
    settle();
    ExploreView &solution = view("Solution");
    const int row = 123; // x = 1.23
    const QPointF at =
        solution.toWidget(modelOf(form).samples().x(row), modelOf(form).samples().y(row));
    QTest::mouseClick(&solution, Qt::LeftButton, Qt::NoModifier, at.toPoint());
    auto *list = child<QAbstractItemView>("List1");
    EXPECT_EQ(list->currentIndex().row(), row);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(row));
    EXPECT_EQ(child<PlotWidget>("Picture1")->marker()->at, *probe().markOf(row));
    // Both views mark it, and its tag gives y'.
    ASSERT_TRUE(solution.marker());
    EXPECT_TRUE(solution.marker()->tag.startsWith(modelOf(form).samples().line(row)));
    EXPECT_TRUE(solution.marker()->tag.contains(QStringLiteral("y' ")));
    EXPECT_TRUE(solution.marker()->tag.contains(QStringLiteral("   error ")));
    EXPECT_TRUE(view("PhasePlane").marker().has_value());
    EXPECT_TRUE(view("Error").marker().has_value());
    // The accuracy of the marked run: the study's table, its ratios at the double slope
    // about 16 (fourth order).
    auto *accuracy = child<QPlainTextEdit>("AccuracyText");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return accuracy->toPlainText().contains(QStringLiteral("0.00125")); }, 20000));
    EXPECT_TRUE(accuracy->toPlainText().contains(QStringLiteral("16.0")))
        << accuracy->toPlainText().toStdString();
    EXPECT_TRUE(solution.accessibleDescription().endsWith(solution.marker()->tag));
    // Zoomed in far from it, the mark waits at the view's edge, tagged as outside.
    const WorldRect near = solution.world();
    solution.showWorld({1e6, 1e6 + 1e-3, 1e6 + 1e-3, 1e6});
    EXPECT_FALSE(solution.grab().isNull());
    // Its numbers, 1000000.0002 and on, push the plot right rather than lose their heads.
    EXPECT_GE(solution.plotRect().left(),
              solution.fontMetrics().horizontalAdvance(QStringLiteral("1000000.0002")) + 10);
    EXPECT_TRUE(solution.accessibleDescription().endsWith(QStringLiteral("(outside the view)")))
        << solution.accessibleDescription().toStdString();
    solution.showWorld(near);

    // Exported through the one save flow, the view has its axes and curve but never the
    // marker.
    QTemporaryDir dir;
    const auto drawn = [&](const ExploreView &v) {
        QImage image;
        const Tracks &tracks = form.findChild<RenderThread *>()->tracks();
        const std::lock_guard<std::mutex> locked(tracks.lock());
        const std::atomic<bool> never{false};
        renderView(v.request(), tracks, image, never);
        return image;
    };
    const viewexport::PlotAt plot =
        viewexport::plotOf(solution, form.findChild<RenderThread *>()->tracks(), {}, false, {}, {});
    for (const char *name : {"view.png", "view.svg"}) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_FALSE(viewexport::save(solution, plot, path, imageexport::formatFor(path)));
        ASSERT_TRUE(QFile::exists(path)) << name;
    }
    const QImage png(dir.filePath(QStringLiteral("view.png")));
    ASSERT_EQ(png.size(), solution.size() * solution.devicePixelRatioF());
    int marker = 0, curve = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            marker += png.pixel(x, y) == PlotWidget::kMarkerColour,
                curve += png.pixel(x, y) == kCurve;
    EXPECT_EQ(marker, 0);
    EXPECT_GT(curve, 100);
    // Zoomed out far beyond the run's end, where its last sample lies a billion pixels to
    // the left, nothing of it is drawn.
    for (const char *name : {"Solution", "Error"}) {
        ExploreView &far = view(name);
        const WorldRect w = far.world();
        far.showWorld({1e12, w.top, 1e12 + 1e3, w.bottom});
        const QImage image = drawn(far);
        EXPECT_EQ(
            std::count(reinterpret_cast<const QRgb *>(image.constBits()),
                       reinterpret_cast<const QRgb *>(image.constBits()) + image.sizeInBytes() / 4,
                       kCurve),
            0)
            << name;
    }
    QTest::keyClick(&solution, Qt::Key_Escape);
    EXPECT_FALSE(solution.marker());
    EXPECT_FALSE(child<PlotWidget>("Picture1")->marker());
}

TEST_F(Explore, ACtrlClickRunsAsTypingItsTextsWouldAndReadyEmptiesTheViews)
{
    choose(2);
    enterAll();
    open();
    ExploreView &solution = view("Solution");
    const QPoint at = solution.plotRect().center() + QPoint(37, -21);
    QTest::mouseClick(&solution, Qt::LeftButton, Qt::ControlModifier, at);
    const QString x0 = text(1)->text(), y0 = text(3)->text();
    ASSERT_GT(samples().rowCount(), 501);
    const std::vector<std::string> clicked = lines();

    // The same texts typed into a window of its own.
    FormDriver typed;
    typed.choose(2);
    typed.enterAll();
    typed.enter({{1, x0}, {3, y0}});
    typed.enter(2);
    EXPECT_EQ(typed.lines(), clicked);
    EXPECT_EQ(stateOf(form), stateOf(typed.form));
    EXPECT_EQ(form.focusWidget(), text(2));

    ready();
    settle();
    const QImage image = solution.grab().toImage();
    int curve = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            curve += image.pixel(x, y) == kCurve;
    EXPECT_EQ(curve, 0);
}

TEST_F(Explore, EmdensThreeCurvesShareTheRunsColourAndTheLegendShowsTheirLinesInGrey)
{
    choose(5);
    enter({{1, QStringLiteral("0.01")},
           {3, QStringLiteral("1")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("5")}});
    open();
    const QImage image = view("Solution").grab().toImage();
    const auto count = [&](QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(kCurve), 200);
    EXPECT_GT(count(viewstyle::kLegend), 3 * 10); // the legend's three lines
    // None of the colours the equation gives its curves on the main plot.
    for (const solver::Curve &curve : solver::builtin::kEmdenCurves) {
        if (curve.colour != ::kBlack) { // black is the live run's
            EXPECT_EQ(count(paletteRgb(curve.colour) | 0xFF000000u), 0) << curve.name;
        }
    }
}

// Saves `view` as SVG in the folder `folder` through its own menu and the save dialog, as a
// user would who keeps the name it offers; returns the file's path.
QString saveThroughTheMenu(ExploreView &view, const QString &folder)
{
    QString path;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            // Chosen from the keyboard: Save Image As… is the first entry.
            menu->setActiveAction(menu->actions().front());
            QTest::keyClick(menu, Qt::Key_Return);
        } else if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            dialog->setDirectory(folder);
            dialog->selectNameFilter(QStringLiteral("SVG image (*.svg)"));
            path = dialog->selectedFiles().value(0);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            answer.stop();
        }
    });
    answer.start();
    // As the Menu key asks for it.
    const QPoint at = view.plotRect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, view.mapToGlobal(at));
    QApplication::sendEvent(&view, &menu);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !path.isEmpty() && QFile::exists(path); }, 5000));
    return path;
}

TEST_F(Explore, EachViewSavesAsVectorGraphicsWithNoPicture)
{
    // Van der Pol from far inside its cycle, 4 * 10^4 samples: the phase plane goes round
    // the cycle some sixty times.
    choose(4);
    enter({{1, QStringLiteral("0")},
           {3, QStringLiteral("0.5")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("400")}});
    open();
    QTemporaryDir dir;
    for (const char *name : {"Solution", "PhasePlane", "Error"}) {
        const QString path = saveThroughTheMenu(view(name), dir.path());
        QFile file(path);
        ASSERT_TRUE(path.endsWith(QStringLiteral(".svg")) && file.open(QIODevice::ReadOnly))
            << name;
        const QByteArray svg = file.readAll();
        EXPECT_FALSE(svg.contains("<image")) << name;
        // The curve in the run's colour as paths, the axes' numbers as text.
        EXPECT_TRUE(svg.contains("stroke=\"#0072b2\"")) << name;
        EXPECT_FALSE(svg.contains("#ff0000")) << name;
        EXPECT_GT(svg.count("<text"), 4) << name;
        // Merged by columns, or each round of the cycle drawn once: not a path per sample.
        EXPECT_LT(svg.size(), 400 * 1024) << name;
    }
    // The phase plane's field, as strokes in its own colour.
    QFile phase(dir.filePath(QStringLiteral("phase.svg")));
    ASSERT_TRUE(phase.open(QIODevice::ReadOnly));
    EXPECT_TRUE(phase.readAll().contains("stroke=\"#9db8d9\""));
}

// ---- An equation of one's own ------------------------------------------------------------

// The lines a run of the formula lists from the window's default texts, worked out apart from
// the window.
std::vector<std::string> formulaLines(const char *text, solver::ParameterValues values = {})
{
    solver::RunParameters p{.eq = std::get<solver::EquationRef>(solver::formulaEquation(text)),
                            .x0 = 0,
                            .y0 = 0.01,
                            .z0 = 16.947,
                            .xf = 5,
                            .values = values};
    struct Lines : solver::SampleSink
    {
        std::vector<std::string> lines;
        bool start(double, double) override { return true; }
        bool sample(double x, double y) override
        {
            lines.push_back(listLine(x, y));
            return true;
        }
    } sink;
    solver::run(p, sink);
    return sink.lines;
}

class OwnEquation : public Explore
{
protected:
    QLineEdit &formula() { return *child<QLineEdit>("Formula"); }
    void typeFormula(const QString &text)
    {
        formula().setFocus();
        formula().setText(text);
        QTest::keyClick(&formula(), Qt::Key_Return);
    }
    int checkedOption() { return child<QRadioButton>("Option1")->group()->checkedId(); }
};

TEST_F(OwnEquation, RunsFromTheMainWindowWithNoOptionChosenAndItsCaptionOverThePlot)
{
    choose(2);
    open();
    typeFormula(QStringLiteral("-y - 0.2*y'"));
    EXPECT_EQ(checkedOption(), -1);
    auto *plot = child<PlotWidget>("Picture1");
    EXPECT_EQ(plot->caption(), QStringLiteral("y'' = -y - 0.2*y'"));
    EXPECT_TRUE(plot->accessibleDescription().contains(QStringLiteral("y'' = -y - 0.2*y'")));
    enterAll();
    EXPECT_EQ(lines(), formulaLines("-y - 0.2*y'"));
    // The caption is painted over the plot, never into its image.
    EXPECT_TRUE(plot->grabWithoutMarker().convertToFormat(QImage::Format_RGB32) ==
                surface().image().convertToFormat(QImage::Format_RGB32));
    // The phase plane spirals into the origin: it was drawn there, and nowhere far out.
    settle();
    EXPECT_LT(ranges(view("PhasePlane")).at(1), 20);
    // An option chosen again: it is the equation, and the caption goes.
    choose(1);
    EXPECT_EQ(checkedOption(), 1);
    EXPECT_TRUE(plot->caption().isEmpty());
    EXPECT_EQ(child<QComboBox>("Equations")->currentText(), QStringLiteral("y'' + y = 0"));
}

TEST_F(OwnEquation, EachParameterHasAFieldWhoseValueTheNextRunTakes)
{
    open();
    typeFormula(QStringLiteral("-k*y"));
    auto *k = child<QLineEdit>("Parameter_k");
    EXPECT_EQ(k->accessibleName(), QStringLiteral("k"));
    EXPECT_EQ(k->text(), QStringLiteral("1"));
    k->setFocus();
    k->selectAll();
    QTest::keyClicks(k, QStringLiteral("4"));
    enterAll();
    EXPECT_EQ(lines(), formulaLines("-k*y", {4}));
    // A value beyond the double range is told, and there is no run.
    k->selectAll();
    QTest::keyClicks(k, QStringLiteral("1e999"));
    MessageBoxCatcher caught;
    enter(2);
    EXPECT_EQ(caught.count(), 1);
    EXPECT_TRUE(caught.text().startsWith(QStringLiteral("The number for the parameter k")));
    EXPECT_EQ(samples().rowCount(), 501);
}

TEST_F(OwnEquation, AFormulaWithAnErrorSaysWhereAndChangesNothing)
{
    choose(4);
    open();
    typeFormula(QStringLiteral("-y - 2y'"));
    auto *error = child<QLabel>("FormulaError");
    EXPECT_TRUE(error->isVisible());
    EXPECT_TRUE(error->text().contains(QStringLiteral("column 7"))) << error->text().toStdString();
    EXPECT_EQ(formula().text(), QStringLiteral("-y - 2y'")); // as typed
    EXPECT_EQ(formula().cursorPosition(), 6);
    EXPECT_EQ(checkedOption(), 4);
    enterAll();
    EXPECT_EQ(lines().front(), "0   .0100");
    EXPECT_EQ(stateOf(form).eq, solver::EquationRef(solver::Builtin::VanDerPol));
}

TEST_F(OwnEquation, TheChoiceClicksAnOptionAndKeepsTheFormulasChosenBefore)
{
    open();
    auto *equations = child<QComboBox>("Equations");
    EXPECT_EQ(equations->currentIndex(), -1); // none chosen, as the main window opens
    equations->setCurrentIndex(4);
    emit equations->activated(4);
    EXPECT_EQ(checkedOption(), 5); // Emden
    typeFormula(QStringLiteral("-a*sin(y)"));
    typeFormula(QStringLiteral("-y"));
    // The formulas chosen before come after the six and a separator, the latest first, and
    // are kept.
    ASSERT_GE(equations->count(), 6 + 1 + 2);
    EXPECT_EQ(equations->itemText(7), QStringLiteral("y'' = -y"));
    EXPECT_EQ(equations->itemText(8), QStringLiteral("y'' = -a*sin(y)"));
    const EquationChoice later;
    ASSERT_GE(later.recent().size(), 2);
    EXPECT_EQ(later.recent()[1],
              (EquationChoice::Typed{QStringLiteral("-a*sin(y)"), {QStringLiteral("1")}}));
    EXPECT_LE(later.recent().size(), EquationChoice::kKept);
    // Choosing a formula from the list makes it current again, with its parameters.
    emit equations->activated(8);
    EXPECT_EQ(formula().text(), QStringLiteral("-a*sin(y)"));
    EXPECT_EQ(checkedOption(), -1);
    EXPECT_TRUE(form.findChild<QLineEdit *>(QStringLiteral("Parameter_a")));
}

TEST(EquationChoice, KeepsTheLastTwentyFormulasAndReadsBackOnlyFormulas)
{
    EquationChoice choice;
    for (int k = 0; k < 25; ++k)
        ASSERT_FALSE(choice.chooseFormula(QStringLiteral("-y*%1").arg(k)));
    EXPECT_EQ(choice.chooseFormula(QStringLiteral("-y*)"))->column, 4u); // no change
    EXPECT_EQ(choice.formula(), QStringLiteral("-y*24"));
    // A name that a new formula shares keeps its text; a new one starts at 1.
    ASSERT_FALSE(choice.chooseFormula(QStringLiteral("-k*y")));
    choice.setValue(0, QStringLiteral("3.5"));
    ASSERT_FALSE(choice.chooseFormula(QStringLiteral("-k*y - c*y'")));
    EXPECT_EQ(choice.values(), (QStringList{QStringLiteral("3.5"), QStringLiteral("1")}));
    QSettings file(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("RedurIvezi"),
                   QStringLiteral("redurivezi"));
    file.beginWriteArray(QStringLiteral("formulas"), 1);
    file.setArrayIndex(0);
    file.setValue(QStringLiteral("formula"), QStringLiteral("2y"));
    file.endArray();
    file.sync();
    EXPECT_TRUE(EquationChoice().recent().isEmpty()); // what is no formula is not read back
    EXPECT_EQ(choice.recent().size(), EquationChoice::kKept);
    EXPECT_EQ(choice.recent().front().formula, QStringLiteral("-k*y - c*y'"));
}

TEST_F(OwnEquation, F4OpensExploreWithTheFormulaFieldFocused)
{
    QTest::keyClick(text(1), Qt::Key_F4);
    auto *window = form.findChild<ExploreWindow *>();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->focusWidget(), &formula());
}

// ---- A seventh equation, said in one place ----------------------------------------------

// y'' = -k y with the parameters k and p, drawn as dots of y and y^p at double height, with
// its closed form y0 cos(w (x - x0)) + (z0 / w) sin(w (x - x0)), w = sqrt k. Nothing but
// this description tells the run, the list, the plot and the views what it is.
namespace spring {

template<typename Z>
double g(const solver::Equation &, const double *v, const solver::Abscissa &, double y, Z,
         solver::Checked &c)
{
    return c.mul(-v[0], y);
}
solver::ClosedForm::Constants constants(const double *v, const solver::Start &)
{
    return {std::sqrt(v[0]), 0.0};
}
double value(const solver::ClosedForm::Constants &c, const solver::Start &s, double x)
{
    const double d = x - s.x0;
    return s.y0 * std::cos(c[0] * d) + s.z0 / c[0] * std::sin(c[0] * d);
}
constexpr solver::Parameter kParameters[] = {{"k", "spring constant k", "4", "--k", ""},
                                             {"p", "power p", "2", "--p", ""}};
constexpr solver::Curve kCurves[] = {{"y", kLightRed}, {"y^p", kGreen, 1}};
constexpr solver::ClosedForm kClosedForm{&constants, &value};
const auto kEquation = std::make_shared<const solver::Equation>(solver::Equation{
    .caption = "spring",
    .spoken = "y double prime equals minus k y",
    .parameters = kParameters,
    .gFirst = &g<float>,
    .g = &g<double>,
    .drawing = {solver::Drawing::Mark::Dots, 1.0, 2.0, false},
    .curves = kCurves,
    .closedForm = &kClosedForm,
});

} // namespace spring

TEST(SeventhEquation, RunsThroughTheListThePlotAndTheViews)
{
    constexpr int kSide = 449;
    const solver::RunParameters p{.eq = solver::EquationRef(spring::kEquation),
                                  .x0 = 0,
                                  .y0 = 1.5,
                                  .z0 = 0,
                                  .xf = 5,
                                  .values = {4, 2}};
    RunModel model(1000);
    PlotWidget plot(kSide);
    SampleView list;
    list.setModel(&model.samples());
    model.resetScene(PlotScene::Axes::Startup);
    drawStartupAxes(plot.surface());
    RunSession session(plot, model, list, 100);
    EXPECT_EQ(session.execute(p), RunEnd{});

    // The list: 501 lines, each the sample's, on the closed form cos 2x to the run's error.
    ASSERT_EQ(model.samples().rowCount(), 501);
    for (int row = 0; row < 501; ++row) {
        const double x = solver::gridAbscissa(0, row), y = model.samples().y(row);
        ASSERT_EQ(model.samples().line(row).toStdString(), listLine(x, y)) << row;
        ASSERT_NEAR(y, 1.5 * std::cos(2 * x), 1e-5) << row;
    }
    EXPECT_EQ(model.samples().line(500).toStdString(), "5   -1.2586");

    // The main plot: y in light red, y^2 in green at twice its value, dots and no lines.
    const QImage image = plot.surface().image().copy();
    const WorldWindow w(kPlotWorld, kSide, kSide);
    const auto pixel = [&](double x, double y) {
        const DevicePoint d = w.toDevice(static_cast<float>(x), static_cast<float>(y));
        return image.pixel(static_cast<int>(d.x), static_cast<int>(d.y));
    };
    for (const int row : {1, 120, 314, 480}) {
        const double x = solver::gridAbscissa(0, row), y = model.samples().y(row);
        EXPECT_EQ(pixel(x, 2 * y), paletteRgb(kLightRed) | 0xFF000000u) << row;
        EXPECT_EQ(pixel(x, 2 * std::pow(y, 2)), paletteRgb(kGreen) | 0xFF000000u) << row;
    }
    // Replayed from the scene, the plot is the very image the run drew.
    EXPECT_TRUE(model.scene().render(model.samples(), kSide, 1.0) == image);

    // A view: both curves at true scale, and the closed form as the reference.
    RunsSnapshot snapshot;
    snapshot.runs = model.runs();
    snapshot.samples = model.samples().store().snapshot();
    Tracks tracks;
    tracks.follow(snapshot);
    while (tracks.catchUp(snapshot.samples, 1 << 20)) {
    }
    const RunTrack &track = tracks.runs().front();
    ASSERT_EQ(track.reference().rows(), 501u);
    EXPECT_LT(track.reference().largestError(), 1e-5);
    bool empty = true;
    const WorldRect bounds = curveBounds(ViewKind::Solution, track, empty);
    ASSERT_FALSE(empty);
    EXPECT_EQ(bounds.top, std::pow(model.samples().y(0), 2)); // y^2 reaches 2.25
    ViewRequest r;
    r.world = {-0.5, 2.5, 5.5, -2.5};
    r.width = 600, r.height = 500;
    r.ticks = viewTicks(r.kind, r.world, r.width, r.height);
    QImage view;
    const std::atomic<bool> never{false};
    ASSERT_TRUE(renderView(r, tracks, view, never));
    const WorldScale m(r.window());
    const auto near = [&](double x, double y, int reach) {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (view.pixel(static_cast<int>(m.dx(x)) + dx, static_cast<int>(m.dy(y)) + dy) ==
                    runColour(0))
                    return true;
        return false;
    };
    // Both in the run's colour: y solid, y^p dashed, a dash within four pixels of any point.
    for (const int row : {50, 200, 400}) {
        const double x = solver::gridAbscissa(0, row), y = model.samples().y(row);
        EXPECT_TRUE(near(x, y, 1)) << row;
        EXPECT_TRUE(near(x, y * y, 4)) << row;
    }
    for (const PaletteColour c : {kLightRed, kGreen})
        EXPECT_EQ(
            std::count(reinterpret_cast<const QRgb *>(view.constBits()),
                       reinterpret_cast<const QRgb *>(view.constBits()) + view.sizeInBytes() / 4,
                       paletteRgb(c) | 0xFF000000u),
            0);
}

// ---- Each run in its own colour ----------------------------------------------------------

constexpr QRgb kOldLightRed = 0xFFFF0000; // every run's colour before runs had their own
constexpr QRgb kBlackPixel = 0xFF000000;

// Each case of the tables below by its name.
template<typename Case>
requires requires(const Case &c)
{
    c.name;
}
void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

struct PaletteCase
{
    std::size_t index;
    QRgb colour;
};

class RunPalette : public testing::TestWithParam<PaletteCase>
{
};

TEST_P(RunPalette, GivesOkabeAndItosColoursInAFixedOrderAndCycles)
{
    const PaletteCase &c = GetParam();
    EXPECT_EQ(runColour(c.index), c.colour) << c.index;
    EXPECT_EQ(colourOfRun(c.index % kRunColours, kRunColours), c.colour);
    // Neither the palette's yellow nor its black, the live run's.
    EXPECT_NE(runColour(c.index), 0xFFF0E442u);
    EXPECT_NE(runColour(c.index), kLiveColour);
}

INSTANTIATE_TEST_SUITE_P(Colours, RunPalette,
                         testing::Values(PaletteCase{0, 0xFF0072B2}, PaletteCase{1, 0xFFD55E00},
                                         PaletteCase{2, 0xFF009E73}, PaletteCase{3, 0xFFCC79A7},
                                         PaletteCase{4, 0xFFE69F00}, PaletteCase{5, 0xFF56B4E9},
                                         PaletteCase{6, 0xFF0072B2}, PaletteCase{13, 0xFFD55E00},
                                         PaletteCase{6 * 1000 + 5, 0xFF56B4E9}));

// The lightness of an 0xAARRGGBB colour as its luma, 0 to 255.
double luma(QRgb c)
{
    return 0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c);
}

class FamilyColours : public testing::TestWithParam<std::size_t>
{
};

TEST_P(FamilyColours, RunFromDarkVioletToGreenEachLighterThanTheOneBefore)
{
    const std::size_t count = GetParam();
    EXPECT_EQ(familyColour(0, count), 0xFF440154u);
    EXPECT_EQ(familyColour(count - 1, count), 0xFF7AD151u); // short of viridis's pale yellow
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(colourOfRun(i, count), familyColour(i, count)) << i;
        ASSERT_EQ(familyColour(i, count) >> 24, 0xFFu) << i;
        if (i > 0) {
            ASSERT_GT(luma(familyColour(i, count)), luma(familyColour(i - 1, count)) + 0.5)
                << i << " of " << count;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, FamilyColours, testing::Values(7, 9, 12, 40, 100));

TEST(RunPalette, ARunTheSnapshotGivesNoStyleTakesThePalettesColourOfItsIndex)
{
    RunsSnapshot snapshot;
    snapshot.runs.resize(3);
    snapshot.styles = {{0xFF123456, false}};
    Tracks tracks;
    tracks.follow(snapshot);
    ASSERT_EQ(tracks.runs().size(), 3u);
    EXPECT_EQ(tracks.runs()[0].style(), (RunStyle{0xFF123456, false}));
    EXPECT_EQ(tracks.runs()[1].style(), (RunStyle{runColour(1), false}));
    EXPECT_EQ(tracks.runs()[2].style(), (RunStyle{runColour(2), false}));
}

// y'' = 0 with Emden's three curves y, y^n and y^(n+1): from a slope of 0, three level lines
// at y0, y0^n and y0^(n+1), and the closed form is the line through the start.
namespace flat {

template<typename Z>
double g(const solver::Equation &, const double *, const solver::Abscissa &, double, Z,
         solver::Checked &)
{
    return 0.0;
}
constexpr solver::Parameter kParameters[] = {{"n", "power n", "2", "--n", ""}};
const auto kEquation = std::make_shared<const solver::Equation>(solver::Equation{
    .caption = "flat",
    .spoken = "y double prime equals zero",
    .parameters = kParameters,
    .gFirst = &g<float>,
    .g = &g<double>,
    .curves = solver::builtin::kEmdenCurves,
    .closedForm = &solver::builtin::kLine,
});

solver::RunParameters line(double y0, double z0, double x0 = 0, double xf = 5)
{
    return {.eq = solver::EquationRef(kEquation),
            .x0 = x0,
            .y0 = y0,
            .z0 = z0,
            .xf = xf,
            .values = {2}};
}

} // namespace flat

solver::RunParameters oscillator(double y0, double xf)
{
    return {.eq = solver::Builtin::Oscillator, .y0 = y0, .xf = xf};
}

// Runs as the list keeps them, their tracks, and what the views draw of them.
class RunViews : public testing::Test
{
protected:
    static void store(SampleStore &into, const solver::RunParameters &p)
    {
        into.startRun(p);
        struct Sink : solver::SampleSink
        {
            SampleStore &s;
            explicit Sink(SampleStore &s) : s(s) {}
            bool start(double, double) override { return true; }
            bool sample(double, double y) override { return s.tryAppend(y); }
        } sink(into);
        solver::run(p, sink);
        into.endRun({}, {});
    }
    // The listed runs, in the palette's colours unless `styles` says otherwise.
    void list(const std::vector<solver::RunParameters> &runs, std::vector<RunStyle> styles = {})
    {
        for (const solver::RunParameters &p : runs)
            store(m_listed, p);
        RunsSnapshot snapshot;
        snapshot.runs = m_listed.runs();
        snapshot.samples = m_listed.snapshot();
        snapshot.styles = std::move(styles);
        tracks.follow(snapshot);
        catchUp();
    }
    // The live run, black and bold, with samples of its own.
    void live(const solver::RunParameters &p)
    {
        store(m_live, p);
        const RunRecord &run = m_live.runs().back();
        RunTrack track(run.params, run.firstRow);
        track.setStyle({kLiveColour, true});
        track.extend(m_live.snapshot(), run.rows);
        track.finish();
        tracks.setLive(std::move(track), m_live.snapshot());
        catchUp();
    }
    void catchUp()
    {
        while (tracks.catchUp(tracks.samples(), 1 << 20)) {
        }
    }
    QImage draw(ViewKind kind, const WorldRect &world, int w, int h)
    {
        request.kind = kind;
        request.world = world;
        request.width = w, request.height = h;
        request.ticks = {}; // no grid: every pixel not white is a run's
        QImage image;
        const std::atomic<bool> never{false};
        EXPECT_TRUE(renderView(request, tracks, image, never));
        return image;
    }
    QByteArray svg(ViewKind kind, const WorldRect &world, int w, int h)
    {
        request.kind = kind;
        request.world = world;
        request.width = w, request.height = h;
        request.ticks = {};
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(w, h));
        generator.setViewBox(QRect(0, 0, w, h));
        {
            QPainter painter(&generator);
            paintVectorPlot(painter, request, tracks);
        }
        return buffer.data();
    }
    QPoint pixel(double x, double y) const
    {
        const WorldScale m(request.window());
        return {static_cast<int>(std::floor(m.dx(x))), static_cast<int>(std::floor(m.dy(y)))};
    }
    static int count(const QImage &image, QRgb colour, QRect in = {})
    {
        if (in.isNull())
            in = image.rect();
        int n = 0;
        for (int y = in.top(); y <= in.bottom(); ++y)
            for (int x = in.left(); x <= in.right(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }

    Tracks tracks;
    ViewRequest request;

private:
    SampleStore m_listed, m_live;
};

struct ColourCase
{
    std::string name;
    ViewKind kind;
    WorldRect world;
    bool vector = false;
    bool live = false;
};

class RunColours : public RunViews, public testing::WithParamInterface<ColourCase>
{
};

TEST_P(RunColours, EachRunIsDrawnInThePalettesColourOfItsIndex)
{
    const ColourCase &c = GetParam();
    list({oscillator(1, 12), oscillator(2, 12)});
    if (c.live)
        live(oscillator(3, 12));
    if (c.vector) {
        const QByteArray out = svg(c.kind, c.world, 400, 300);
        EXPECT_TRUE(out.contains("stroke=\"#0072b2\""));
        EXPECT_TRUE(out.contains("stroke=\"#d55e00\""));
        EXPECT_FALSE(out.contains("#ff0000"));
        EXPECT_EQ(out.contains("stroke=\"#000000\""), c.live);
        return;
    }
    const QImage image = draw(c.kind, c.world, 400, 300);
    EXPECT_GT(count(image, runColour(0)), 100);
    EXPECT_GT(count(image, runColour(1)), 100);
    EXPECT_EQ(count(image, kOldLightRed), 0);
    if (c.live)
        EXPECT_GT(count(image, kBlackPixel), 200);
    else
        EXPECT_EQ(count(image, kBlackPixel), 0);
    // Nothing but the runs' colours and white.
    EXPECT_EQ(count(image, runColour(0)) + count(image, runColour(1)) + count(image, kBlackPixel) +
                  count(image, viewstyle::kBackground) + count(image, viewstyle::kZeroAxis),
              400 * 300);
}

INSTANTIATE_TEST_SUITE_P(
    Views, RunColours,
    testing::Values(ColourCase{"Solution", ViewKind::Solution, {-1, 3.5, 13, -3.5}},
                    ColourCase{"Phase", ViewKind::Phase, {-3.5, 3.5, 3.5, -3.5}},
                    ColourCase{"Error", ViewKind::Error, {-1, -5, 13, -16}},
                    ColourCase{
                        "LiveSolution", ViewKind::Solution, {-1, 3.5, 13, -3.5}, false, true},
                    ColourCase{"LivePhase", ViewKind::Phase, {-3.5, 3.5, 3.5, -3.5}, false, true},
                    ColourCase{"LiveError", ViewKind::Error, {-1, -5, 13, -16}, false, true},
                    ColourCase{"SolutionSvg", ViewKind::Solution, {-1, 3.5, 13, -3.5}, true},
                    ColourCase{"PhaseSvg", ViewKind::Phase, {-3.5, 3.5, 3.5, -3.5}, true, true},
                    ColourCase{"ErrorSvg", ViewKind::Error, {-1, -5, 13, -16}, true}),
    [](const auto &info) { return info.param.name; });

// The longest stretch of `set` and of its opposite among `pixels`.
std::pair<int, int> longestRuns(const std::vector<bool> &pixels)
{
    int on = 0, off = 0, run = 0;
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        run = k > 0 && pixels[k] == pixels[k - 1] ? run + 1 : 1;
        (pixels[k] ? on : off) = std::max(pixels[k] ? on : off, run);
    }
    return {on, off};
}

struct LineCase
{
    std::string name;
    double y; // the level line looked along: y0, y0^n or y0^(n+1)
    bool reference;
    QRgb colour;               // whose pixels are counted
    int least, most;           // of the 300 pixels along it
    int longestOn, longestOff; // at most, at least
};

class CurveLines : public RunViews, public testing::WithParamInterface<LineCase>
{
};

TEST_P(CurveLines, EmdensCurvesKeepTheRunsColourSolidDashedAndDotted)
{
    const LineCase &c = GetParam();
    list({flat::line(2, 0)}); // y = 2, y^2 = 4, y^3 = 8
    request.reference = c.reference;
    const QImage image = draw(ViewKind::Solution, {-1, 10, 5, 0}, 600, 500);
    const int row = pixel(0, c.y).y();
    std::vector<bool> set;
    for (int x = 200; x < 500; ++x) // x from 1 to 4
        set.push_back(image.pixel(x, row) == c.colour);
    const int n = static_cast<int>(std::count(set.begin(), set.end(), true));
    EXPECT_GE(n, c.least);
    EXPECT_LE(n, c.most);
    const auto [on, off] = longestRuns(set);
    EXPECT_LE(on, c.longestOn);
    EXPECT_GE(off, c.longestOff);
    // Nothing of the run a row above or below: lines one pixel wide.
    EXPECT_EQ(count(image, runColour(0), QRect(200, row - 1, 300, 1)), 0);
    EXPECT_EQ(count(image, runColour(0), QRect(200, row + 1, 300, 1)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, CurveLines,
    testing::Values(LineCase{"YSolid", 2, false, runColour(0), 300, 300, 300, 0},
                    // Four on, four off.
                    LineCase{"PowerDashed", 4, false, runColour(0), 145, 155, 5, 3},
                    // One on, two off.
                    LineCase{"NextPowerDotted", 8, false, runColour(0), 95, 105, 1, 2},
                    // The reference lies on y in grey dashes, over the run's line.
                    LineCase{"ReferenceDashedOverY", 2, true, viewstyle::kReference, 145, 155, 5,
                             3},
                    LineCase{"YBetweenTheReferencesDashes", 2, true, runColour(0), 145, 155, 5, 3}),
    [](const auto &info) { return info.param.name; });

struct MarkCase
{
    std::string name;
    ViewKind kind;
    solver::RunParameters p;
    WorldRect world;
    double x, y; // where the disc's centre lies in the world
    bool empty;  // a run of no sample: no disc
};

class StartMarks : public RunViews, public testing::WithParamInterface<MarkCase>
{
};

TEST_P(StartMarks, ADiscSevenPixelsAcrossInTheRunsColourWhereItStarts)
{
    const MarkCase &c = GetParam();
    if (c.empty) {
        SampleStore none;
        none.startRun(c.p);
        none.endRun({}, {});
        RunsSnapshot snapshot;
        snapshot.runs = none.runs();
        snapshot.samples = none.snapshot();
        tracks.follow(snapshot);
        ASSERT_EQ(tracks.runs().size(), 1u);
        EXPECT_EQ(count(draw(c.kind, c.world, 600, 600), runColour(0)), 0);
        return;
    }
    list({c.p});
    const QImage image = draw(c.kind, c.world, 600, 600);
    const QPoint at = pixel(c.x, c.y);
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (dx * dx + dy * dy <= 10) {
                ASSERT_EQ(image.pixel(at + QPoint(dx, dy)), runColour(0)) << dx << "," << dy;
            }
    // Round: not its box's corners; and nothing before the start.
    for (const QPoint off : {QPoint(-3, -3), QPoint(3, 3), QPoint(-3, 3), QPoint(3, -3),
                             QPoint(0, -4), QPoint(0, 4), QPoint(-4, 0)})
        EXPECT_EQ(image.pixel(at + off), viewstyle::kBackground) << off.x() << "," << off.y();
}

INSTANTIATE_TEST_SUITE_P(
    Views, StartMarks,
    testing::Values(
        MarkCase{
            "Solution", ViewKind::Solution, flat::line(2, 0.5, 0.5), {-1, 5, 5, -1}, 0.5, 2, false},
        // At the first slope as the run keeps it, rounded to a float.
        MarkCase{"Phase",
                 ViewKind::Phase,
                 flat::line(2, 0.3),
                 {-1, 3, 5, -3},
                 2,
                 static_cast<double>(0.3f),
                 false},
        MarkCase{"SolutionOfNoSample",
                 ViewKind::Solution,
                 flat::line(2, 0.5),
                 {-1, 5, 5, -1},
                 0,
                 2,
                 true},
        MarkCase{
            "PhaseOfNoSample", ViewKind::Phase, flat::line(2, 0.3), {-1, 3, 5, -3}, 2, 0.3, true}),
    [](const auto &info) { return info.param.name; });

struct ArrowCase
{
    std::string name;
    double y0, z0; // y goes from y0 at the slope z0 for 5
    bool vector;
};

class PhaseArrows : public RunViews, public testing::WithParamInterface<ArrowCase>
{
};

// The mean column of each group of columns, groups more than ten apart.
std::vector<double> groups(const std::vector<int> &columns)
{
    std::vector<double> means;
    for (std::size_t k = 0, from = 0; k < columns.size(); ++k)
        if (k + 1 == columns.size() || columns[k + 1] - columns[k] > 10) {
            double sum = 0;
            for (std::size_t j = from; j <= k; ++j)
                sum += columns[j];
            means.push_back(sum / static_cast<double>(k + 1 - from));
            from = k + 1;
        }
    return means;
}

TEST_P(PhaseArrows, ArrowheadsPointTheWayTheRunGoesEvery120Pixels)
{
    const ArrowCase &c = GetParam();
    list({flat::line(c.y0, c.z0)}); // y' = z0 all along: a level line 500 pixels long
    const WorldRect world{-1, 2, 6, -2};
    QImage image;
    if (c.vector) {
        // The same strokes, on a vector painter: drawn again as pixels.
        const QByteArray out = svg(ViewKind::Phase, world, 700, 400);
        QSvgRenderer renderer(out);
        image = QImage(700, 400, QImage::Format_RGB32);
        image.fill(viewstyle::kBackground);
        QPainter painter(&image);
        renderer.render(&painter);
    } else {
        image = draw(ViewKind::Phase, world, 700, 400);
    }
    const int row = pixel(0, c.z0).y(), start = pixel(c.y0, 0).x();
    // Each side of the line: the strokes' far ends three rows off, their near ends one.
    const auto columns = [&](int r) {
        std::vector<int> xs;
        for (int x = 0; x < image.width(); ++x)
            if (std::abs(x - start) > 6 && qRed(image.pixel(x, r)) < 128)
                xs.push_back(x);
        return groups(xs);
    };
    const double way = c.z0 > 0 ? 1 : -1;
    for (const int side : {-1, 1}) {
        const std::vector<double> near = columns(row + side), far = columns(row + 3 * side);
        // At 60, 180, 300 and 420 pixels along the 500.
        ASSERT_EQ(near.size(), 4u) << side;
        ASSERT_EQ(far.size(), 4u) << side;
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_GT((near[k] - far[k]) * way, 2) << k; // the tip ahead of the strokes' ends
            const double along = static_cast<double>(way > 0 ? k : 3 - k);
            EXPECT_NEAR(std::fabs(near[k] - start), 60 + 120 * along, 8) << k; // to within a chord
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, PhaseArrows,
                         testing::Values(ArrowCase{"Right", 0, 1, false},
                                         ArrowCase{"Left", 5, -1, false},
                                         ArrowCase{"RightOnAVectorCanvas", 0, 1, true}),
                         [](const auto &info) { return info.param.name; });

TEST(PhaseArrows, ARunRoundACycleAThousandTimesHasFortyArrowheads)
{
    ArrowTrail trail(400, 400);
    for (int round = 0; round < 1000; ++round)
        for (int k = 0; k < 256; ++k) {
            const double a = k * 2 * 3.14159265358979 / 256;
            trail.to(200 + 100 * std::cos(a), 200 + 100 * std::sin(a));
        }
    ASSERT_EQ(trail.heads().size(), ArrowTrail::kMost);
    EXPECT_TRUE(trail.full());
    // Tangent to the circle, the way it goes round.
    for (const Arrowhead &h : trail.heads()) {
        const double rx = h.x - 200, ry = h.y - 200;
        EXPECT_NEAR(std::hypot(rx, ry), 100, 0.5);
        EXPECT_NEAR((rx * h.dx + ry * h.dy) / 100, 0, 0.05);
        EXPECT_GT(rx * h.dy - ry * h.dx, 0);
    }
    // Off the canvas, no arrowhead, and the way starts again on it.
    ArrowTrail off(100, 100);
    for (int x = -500; x < 0; ++x)
        off.to(x, 50);
    EXPECT_TRUE(off.heads().empty());
}

struct OrderCase
{
    std::string name;
    ViewKind kind;
    double xf;
    bool lineLast;
};

class RunOrder : public RunViews, public testing::WithParamInterface<OrderCase>
{
};

TEST_P(RunOrder, ALaterRunLiesOverAnEarlierOneWhereTheyCross)
{
    // A level line and the oscillator crossing it: in the solution y = 0.5 and cos x; in the
    // phase plane y' = 1 and the circle of radius 2.
    const OrderCase &c = GetParam();
    const bool phase = c.kind == ViewKind::Phase;
    const solver::RunParameters line =
        phase ? flat::line(0, 1, 0, c.xf) : flat::line(0.5, 0, 0, c.xf);
    const solver::RunParameters wave = oscillator(phase ? 2 : 1, c.xf);
    if (c.lineLast)
        list({wave, line});
    else
        list({line, wave});
    const QRgb lineColour = runColour(c.lineLast ? 1 : 0),
               waveColour = runColour(c.lineLast ? 0 : 1);
    const WorldRect world = phase ? WorldRect{-3, 3, 3, -3} : WorldRect{-0.5, 1.5, 6.5, -1.5};
    const QImage image = draw(c.kind, world, phase ? 600 : 700, phase ? 600 : 300);
    const QPoint at = phase ? pixel(std::sqrt(3.0), 1) : pixel(3.14159265358979 / 3, 0.5);
    const QRect across(at.x() - 3, at.y(), 7, 1);
    EXPECT_EQ(count(image, lineColour, across) + count(image, waveColour, across), 7);
    if (c.lineLast)
        EXPECT_EQ(count(image, lineColour, across), 7);
    else
        EXPECT_GE(count(image, waveColour, across), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Crossings, RunOrder,
    testing::Values(OrderCase{"SolutionLineLast", ViewKind::Solution, 6, true},
                    OrderCase{"SolutionWaveLast", ViewKind::Solution, 6, false},
                    OrderCase{"PhaseLineLast", ViewKind::Phase, 20, true},
                    OrderCase{"PhaseWaveLast", ViewKind::Phase, 20, false},
                    // Each of half a million samples and more: two threads a run.
                    OrderCase{"LongPhaseLineLast", ViewKind::Phase, 5243, true},
                    OrderCase{"LongPhaseWaveLast", ViewKind::Phase, 5243, false},
                    // Together as many: a thread each.
                    OrderCase{"PairedPhaseLineLast", ViewKind::Phase, 3000, true},
                    OrderCase{"PairedPhaseWaveLast", ViewKind::Phase, 3000, false}),
    [](const auto &info) { return info.param.name; });

struct LiveCase
{
    std::string name;
    ViewKind kind;
    solver::RunParameters p;
    WorldRect world;
    double x, y;   // a point of the line, away from its start and its arrowheads
    double x0, y0; // its start
};

class LiveRun : public RunViews, public testing::WithParamInterface<LiveCase>
{
};

TEST_P(LiveRun, IsDrawnBlackAndTwiceAsThickOverTheListedRuns)
{
    const LiveCase &c = GetParam();
    list({c.p});
    live(c.p); // the same line, over it
    ASSERT_TRUE(tracks.live());
    EXPECT_TRUE(tracks.live()->slopesDone());
    QImage image = draw(c.kind, c.world, 600, 400);
    const QPoint at = pixel(c.x, c.y);
    const QRect column(at.x(), 0, 1, 400);
    EXPECT_EQ(count(image, kBlackPixel, column), 2);
    EXPECT_EQ(image.pixel(at), kBlackPixel);
    EXPECT_EQ(image.pixel(at + QPoint(0, 1)), kBlackPixel);
    EXPECT_EQ(count(image, runColour(0), column), 0);
    // Its start marked in black over the listed run's.
    const QPoint start = pixel(c.x0, c.y0);
    EXPECT_EQ(count(image, kBlackPixel, QRect(start - QPoint(3, 3), QSize(7, 7))), 37);
    // Gone again, the listed run shows.
    tracks.setLive(std::nullopt, {});
    image = draw(c.kind, c.world, 600, 400);
    EXPECT_EQ(count(image, kBlackPixel), 0);
    EXPECT_EQ(count(image, runColour(0), column), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Views, LiveRun,
    // In the solution y = 1.5 alone is in view: y^2 and y^3 lie above it.
    testing::Values(
        LiveCase{
            "Solution", ViewKind::Solution, flat::line(1.5, 0), {-1, 2, 5, -2}, 2.5, 1.5, 0, 1.5},
        LiveCase{"Phase", ViewKind::Phase, flat::line(0, 1), {-1, 2, 5, -2}, 2.5, 1, 0, 1}),
    [](const auto &info) { return info.param.name; });

struct ScaleCase
{
    std::string name;
    ViewKind kind;
    solver::RunParameters p;
    bool live;
    int scale;    // device pixels a pixel: 4 at print size
    int expected; // pixels of the line across a column
};

class PrintScale : public RunViews, public testing::WithParamInterface<ScaleCase>
{
};

TEST_P(PrintScale, DrawsEachLineAsWideOnPaperAsOnScreen)
{
    const ScaleCase &c = GetParam();
    list({c.p});
    if (c.live)
        live(c.p);
    request.ratio = c.scale;
    // The same view at c.scale times the side.
    const QImage image = draw(c.kind, {-1, 2, 5, -2}, 600 * c.scale, 400 * c.scale);
    const QRgb colour = c.live ? kBlackPixel : runColour(0);
    const int x = 350 * c.scale; // away from the start and the arrowheads
    EXPECT_EQ(count(image, colour, QRect(x, 0, 1, image.height())), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Views, PrintScale,
    testing::Values(
        ScaleCase{"SolutionOnScreen", ViewKind::Solution, flat::line(1.5, 0), false, 1, 1},
        ScaleCase{"SolutionAtPrintSize", ViewKind::Solution, flat::line(1.5, 0), false, 4, 4},
        ScaleCase{"LiveAtPrintSize", ViewKind::Solution, flat::line(1.5, 0), true, 4, 8},
        ScaleCase{"PhaseOnScreen", ViewKind::Phase, flat::line(0, 1), false, 1, 1},
        ScaleCase{"PhaseAtPrintSize", ViewKind::Phase, flat::line(0, 1), false, 4, 4},
        ScaleCase{"PhaseLiveAtPrintSize", ViewKind::Phase, flat::line(0, 1), true, 4, 8}),
    [](const auto &info) { return info.param.name; });

TEST(Legend, ShowsEachCurvesLineInGreySolidDashedAndDotted)
{
    ViewFrame frame{ViewKind::Solution, QRect(60, 20, 400, 300), {0, 1, 1, 0}, {}, {}, {}};
    for (const LineStyle style : {LineStyle::Solid, LineStyle::Dashed, LineStyle::Dotted})
        frame.legend.append({QStringLiteral("y"), viewstyle::kLegend, penStyle(style)});
    QImage image(520, 380, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        frame.paint(p, QPalette());
    }
    // The sample lines, two pixels high, top to bottom.
    std::vector<int> rows, pixels;
    for (int y = 0; y < image.height(); ++y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == viewstyle::kLegend;
        if (n == 0)
            continue;
        if (rows.empty() || y > rows.back() + 1)
            pixels.push_back(0);
        rows.push_back(y);
        pixels.back() += n;
    }
    ASSERT_EQ(pixels.size(), 3u);
    EXPECT_GE(pixels[0], 2 * 17); // whole
    EXPECT_LT(pixels[1], pixels[0] - 4);
    EXPECT_LT(pixels[2], pixels[1] - 4);
    EXPECT_GT(pixels[2], 6);
}

} // namespace

namespace {

// The legend's lines of the runs, without the curves' names after them.
QStringList runLegend(ExploreWindow &window)
{
    QStringList out;
    for (const LegendEntry &e : window.variation().legend())
        out << e.name;
    return out;
}

} // namespace

// Emden for n = 0 to 5 from (0.01, 1, 0) to 10: six runs, each listed as typing its n
// would list it, each in a colour of its own and named by its n in the legend.
TEST_F(Explore, AFamilyListsEachRunAsTypingItsValueWouldAndTheLegendNamesThem)
{
    choose(5);
    enter({{1, QStringLiteral("0.01")}, {3, QStringLiteral("1")}, {4, QStringLiteral("0")}});
    text(2)->setText(QStringLiteral("10"));
    ExploreWindow &window = open();
    const Varied n{Varied::Kind::Parameter, 0, QStringLiteral("n")};
    window.variation().runFamily({n, 0, 5, 6});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.variation().family(); }, 20000));
    settle();

    FormDriver typed;
    typed.choose(5);
    typed.enter({{1, QStringLiteral("0.01")}, {3, QStringLiteral("1")}, {4, QStringLiteral("0")}});
    for (const char *value : {"0", "1", "2", "3", "4", "5"}) {
        typed.text(5)->setText(QString::fromLatin1(value));
        typed.enter(2, "10");
    }
    EXPECT_EQ(lines(), typed.lines());
    EXPECT_EQ(text(5)->text(), QStringLiteral("5"));
    // And the table tool's sweep of the same values lists the same lines.
    QProcess table;
    table.start(QStringLiteral(REDURIVEZI_TABLE),
                {"--eq", "5", "--sweep", "n", "--from", "0", "--to", "5", "--runs", "6", "--x0",
                 "0.01", "--y0", "1", "--z0", "0", "--xf", "10"});
    ASSERT_TRUE(table.waitForFinished(30000));
    std::vector<std::string> swept;
    for (const QByteArray &line : table.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            swept.push_back(line.toStdString());
    EXPECT_EQ(swept, lines());

    const QStringList legend = runLegend(window);
    ASSERT_GE(legend.size(), 6);
    EXPECT_EQ(legend[0], QStringLiteral("n = 0 – ended at the first zero: y ≤ 0 after x = 2.44"));
    EXPECT_EQ(legend[1], QStringLiteral("n = 1 – ended at the first zero: y ≤ 0 after x = 3.14"));
    EXPECT_EQ(legend[5], QStringLiteral("n = 5"));
    // Six runs, six colours, in the palette's order.
    const std::vector<RunStyle> styles = window.variation().styles();
    ASSERT_EQ(styles.size(), 6u);
    for (std::size_t k = 0; k < styles.size(); ++k)
        EXPECT_EQ(styles[k].colour, runColour(k)) << k;
}

TEST_F(Explore, TheValuesOfAFamilyAreTypedAsTheirShortestTexts)
{
    const struct
    {
        double from, to;
        int runs;
        QStringList texts;
    } cases[] = {
        {0, 5, 6, {"0", "1", "2", "3", "4", "5"}},
        {0, 1, 4, {"0", "0.3333333333333333", "0.6666666666666666", "1"}},
        {-1, 1, 3, {"-1", "0", "1"}},
        {0.1, 0.3, 3, {"0.1", "0.2", "0.3"}},
        {1e-5, 2e-5, 2, {"1e-05", "2e-05"}},
    };
    for (const auto &c : cases) {
        const QStringList texts = FamilyRun::texts({{}, c.from, c.to, c.runs});
        EXPECT_EQ(texts, c.texts);
        for (int i = 0; i < texts.size(); ++i)
            EXPECT_EQ(textToNumber(texts[i].toStdString()),
                      solver::familyValue(c.from, c.to, i, c.runs));
    }
}

// A family stops between two runs; what it listed stays, and Ready stops it too.
TEST_F(Explore, AFamilyStopsBetweenRunsAndKeepsWhatItListed)
{
    choose(1);
    enterAll();
    ExploreWindow &window = open();
    ready();
    const Varied y0{Varied::Kind::Y0, -1, QStringLiteral("y(x0)")};
    window.variation().runFamily({y0, 0, 1, 50});
    QTimer::singleShot(0, &window, [&] { window.variation().stopFamily(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.variation().family(); }, 20000));
    const auto runs = modelOf(form).runs().size();
    EXPECT_GE(runs, 1u);
    EXPECT_LT(runs, 50u);
    EXPECT_EQ(static_cast<std::size_t>(samples().rowCount()), runs * 501);

    window.variation().runFamily({y0, 0, 1, 50});
    QTimer::singleShot(0, &window, [&] { ready(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.variation().family(); }, 20000));
    EXPECT_EQ(samples().rowCount(), 0);
    // Closing the window stops one too.
    window.variation().runFamily({y0, 0, 1, 50});
    QTimer::singleShot(0, &window, [&] { window.close(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.variation().family(); }, 20000));
    EXPECT_LT(modelOf(form).runs().size(), 50u);
}

// A slider's move shows a live run, drawn and not listed; Enter on the slider lists it as
// typing the slider's value would.
TEST_F(Explore, ASliderShowsALiveRunAndEnterListsItAsTypingItsValueWould)
{
    choose(4);
    enterAll();
    ExploreWindow &window = open();
    SliderPanel &sliders = window.sliders();
    int z0 = -1;
    for (int k = 0; k < sliders.count(); ++k)
        if (sliders.varied(k).kind == Varied::Kind::Z0)
            z0 = k;
    ASSERT_GE(z0, 0);
    const int listed = samples().rowCount();
    QSlider &slider = sliders.slider(z0);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_PageUp);
    const QString value = sliders.valueField(z0).text();
    auto *worker = form.findChild<RenderThread *>();
    const auto live = [&] {
        const std::lock_guard<std::mutex> locked(worker->tracks().lock());
        return worker->tracks().live() != nullptr;
    };
    ASSERT_TRUE(QTest::qWaitFor(live, 10000));
    {
        const std::lock_guard<std::mutex> locked(worker->tracks().lock());
        EXPECT_EQ(worker->tracks().live()->params().z0, *textToNumber(value.toStdString()));
        EXPECT_EQ(worker->tracks().live()->rows(), 501u);
    }
    EXPECT_EQ(samples().rowCount(), listed); // not listed
    EXPECT_TRUE(runLegend(window).last().startsWith(QStringLiteral("live: y'(x0) = ") + value));

    QTest::keyClick(&slider, Qt::Key_Return);
    ASSERT_EQ(samples().rowCount(), 2 * listed);
    EXPECT_EQ(text(4)->text(), value);
    FormDriver typed;
    typed.choose(4);
    typed.enterAll();
    typed.enter(4, value);
    typed.enter(2);
    EXPECT_EQ(lines(), typed.lines());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live(); }, 10000)); // it is a listed run now
}

// Whatever is typed into a slider's fields, the window goes on.
TEST_F(Explore, NothingTypedIntoASliderOrItsRangeStopsTheWindow)
{
    choose(6);
    enterAll();
    ExploreWindow &window = open();
    SliderPanel &sliders = window.sliders();
    ASSERT_GT(sliders.count(), 2);
    const char *texts[] = {"", "abc", "1e400", "-1e308", "1e308", "nan", "-0", "1,5", "1e-320"};
    for (int k = 0; k < sliders.count(); ++k)
        for (QLineEdit *field :
             {&sliders.fromField(k), &sliders.toField(k), &sliders.valueField(k)})
            for (const char *t : texts) {
                field->setText(QString::fromLatin1(t));
                QTest::keyClick(field, Qt::Key_Return);
                QTest::keyClick(&sliders.slider(k), Qt::Key_End);
                QTest::keyClick(&sliders.slider(k), Qt::Key_Home);
            }
    // Every live run on the way faulted or ran; none was listed, and no message came.
    EXPECT_EQ(modelOf(form).runs().size(), 1u);
    EXPECT_TRUE(window.isVisible());
}

// A slider over values where every run faults: the live run's line in the legend names the
// fault, and no message comes, move after move. Its value field moves the slider.
TEST_F(Explore, ALiveRunThatFaultsSaysSoInTheLegendWithNoMessage)
{
    choose(6);
    enterAll();
    ExploreWindow &window = open();
    SliderPanel &sliders = window.sliders();
    int y0 = -1;
    for (int k = 0; k < sliders.count(); ++k)
        if (sliders.varied(k).kind == Varied::Kind::Y0)
            y0 = k;
    ASSERT_GE(y0, 0);
    MessageBoxCatcher boxes;
    auto *worker = form.findChild<RenderThread *>();
    const struct
    {
        const char *typed;
        const char *legend;
    } cases[] = {
        {"0", "live: y(x0) = 0 – division by zero at x = 0"},
        {"1e39", "live: y(x0) = 1e39 – drawing coordinate out of range at x = 0"},
        {"1", "live: y(x0) = 1"},
    };
    for (const auto &c : cases) {
        QLineEdit &value = sliders.valueField(y0);
        value.setText(QString::fromLatin1(c.typed));
        QTest::keyClick(&value, Qt::Key_Return);
        const double v = *textToNumber(c.typed);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const std::optional<RunRecord> live = worker->liveRun();
                return live && live->params.y0 == v;
            },
            10000))
            << c.typed;
        QTest::qWait(20);
        EXPECT_EQ(runLegend(window).last(), QString::fromUtf8(c.legend));
        // The slider stands where the value lies in its range, which grew to take it in.
        const double from = *textToNumber(sliders.fromField(y0).text().toStdString()),
                     to = *textToNumber(sliders.toField(y0).text().toStdString());
        EXPECT_LE(from, v);
        EXPECT_GE(to, v);
        EXPECT_NEAR(sliders.slider(y0).value(), (v - from) / (to - from) * SliderPanel::kSteps,
                    0.5);
    }
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_EQ(modelOf(form).runs().size(), 1u);
}

// With a sample marked, the live run starts where the marked run did, and Add Run types
// that start where it differs from what the fields captured.
TEST_F(Explore, TheLiveRunStartsWhereTheMarkedRunDidAndAddRunTypesThatStart)
{
    choose(1);
    enter({{1, QStringLiteral("0")}, {3, QStringLiteral("1")}, {4, QStringLiteral("0")}});
    enter(2, "5");
    enter({{1, QStringLiteral("2")}, {3, QStringLiteral("0.5")}});
    enter(2);
    ExploreWindow &window = open();
    auto *list = child<QAbstractItemView>("List1");
    list->setCurrentIndex(list->model()->index(10, 0)); // a sample of the first run
    SliderPanel &sliders = window.sliders();
    int z0 = -1;
    for (int k = 0; k < sliders.count(); ++k)
        if (sliders.varied(k).kind == Varied::Kind::Z0)
            z0 = k;
    ASSERT_GE(z0, 0);
    QTest::keyClick(&sliders.slider(z0), Qt::Key_PageUp);
    const QString value = sliders.valueField(z0).text();
    auto *worker = form.findChild<RenderThread *>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker->liveRun().has_value(); }, 10000));
    const solver::RunParameters live = worker->liveRun()->params;
    EXPECT_EQ(live.x0, 0);
    EXPECT_EQ(live.y0, 1);
    EXPECT_EQ(live.xf, 5);
    EXPECT_EQ(live.z0, *textToNumber(value.toStdString()));

    QTest::mouseClick(child<QPushButton>("AddRun"), Qt::LeftButton);
    ASSERT_EQ(modelOf(form).runs().size(), 3u);
    FormDriver typed;
    typed.choose(1);
    typed.enter({{1, QStringLiteral("0")}, {3, QStringLiteral("1")}, {4, QStringLiteral("0")}});
    typed.enter(2, "5");
    typed.enter({{1, QStringLiteral("2")}, {3, QStringLiteral("0.5")}});
    typed.enter(2);
    typed.enter({{1, QStringLiteral("0")}, {3, QStringLiteral("1")}, {4, value}});
    typed.enter(2);
    EXPECT_EQ(lines(), typed.lines());
    EXPECT_EQ(stateOf(form), stateOf(typed.form));
}

// An equation whose g depends on x has its field with nothing marked: at the last run's x0.
TEST_F(Explore, TheFieldOfAnEquationWithXIsDrawnWithNothingMarked)
{
    for (const int option : {2, 5}) {
        choose(option);
        if (option == 5)
            enter(
                {{1, QStringLiteral("0.01")}, {3, QStringLiteral("1")}, {4, QStringLiteral("0")}});
        else
            enterAll();
        enter(2);
        ExploreWindow &window = open();
        ExploreView &phase = window.view(ViewKind::Phase);
        settle();
        const QImage image = phase.grab().toImage();
        int field = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                field += image.pixel(x, y) == 0xFF9DB8D9;
        EXPECT_GT(field, 100) << option;
        window.close();
        ready();
    }
}

// The view a wheel turns or a click touches takes the keys: Home then fits that one.
TEST_F(Explore, AWheelOrAClickGivesAViewTheKeys)
{
    choose(1);
    enterAll();
    ExploreWindow &window = open();
    for (const ViewKind kind : {ViewKind::Error, ViewKind::Phase, ViewKind::Solution}) {
        ExploreView &v = window.view(kind);
        const QPoint at = v.plotRect().center();
        QWheelEvent wheel(at, v.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&v, &wheel);
        EXPECT_EQ(window.focusWidget(), &v);
        EXPECT_FALSE(v.fitting());
        QTest::keyClick(window.focusWidget(), Qt::Key_Home);
        EXPECT_TRUE(v.fitting());
    }
    window.sliders().valueField(0).setFocus();
    ExploreView &error = window.view(ViewKind::Error);
    QTest::mouseClick(&error, Qt::LeftButton, Qt::NoModifier, error.plotRect().center());
    EXPECT_EQ(window.focusWidget(), &error);
}

// Explore beside the main window where the screen has the most room, no larger than that
// room; on a screen with room for neither, as large as it allows, at its right.
TEST(ExplorePlacement, TakesTheSideWithTheMostRoomAndNeverCoversTheMainWindowThere)
{
    const QSize wanted(1000, 800), least(640, 480), noFrame(0, 0), frame(2, 30);
    const struct
    {
        QRect room, main;
        QSize frame;
        QRect placed;
    } cases[] = {
        // 1366 x 768 with the main window at the top left: beside it, 765 across.
        {{0, 0, 1366, 768}, {0, 0, 594, 471}, noFrame, {601, 0, 765, 768}},
        // 1600 x 1200: as much as it wants that fits right of the main window.
        {{0, 0, 1600, 1200}, {0, 0, 594, 471}, noFrame, {601, 0, 999, 800}},
        // The main window at the right: left of it.
        {{0, 0, 1366, 768}, {772, 0, 594, 471}, noFrame, {0, 0, 765, 768}},
        // A tall narrow screen: below it, its title bar within the screen.
        {{0, 0, 800, 1400}, {0, 0, 594, 471}, frame, {0, 478, 798, 800}},
        // 800 x 600: room nowhere, as large as the screen at its right.
        {{0, 0, 800, 600}, {0, 0, 594, 471}, frame, {0, 0, 798, 570}},
    };
    for (const auto &c : cases) {
        const QRect at = explorePlacement(c.room, c.main, c.frame, wanted, least);
        EXPECT_EQ(at, c.placed) << at.x() << "," << at.y() << " " << at.width() << "x"
                                << at.height();
        QRect onScreen(at.topLeft(), at.size() + c.frame);
        EXPECT_TRUE(c.room.contains(onScreen));
    }
}

namespace {

// ---- The phase plane's analysis -----------------------------------------------------------

int pixelsOf(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Chooses the entry `text` of `view`'s context menu, as the Menu key opens it.
void chooseFromMenu(ExploreView &view, const QString &text)
{
    bool chosen = false;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : menu->actions())
                if (a->text() == text) {
                    menu->setActiveAction(a);
                    QTest::keyClick(menu, Qt::Key_Return);
                    chosen = true;
                    answer.stop();
                }
        }
    });
    answer.start();
    const QPoint at = view.plotRect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, view.mapToGlobal(at));
    QApplication::sendEvent(&view, &menu);
    EXPECT_TRUE(chosen) << text.toStdString();
}

class PhaseAnalysisInView : public OwnEquation
{
protected:
    // Until the phase plane shows an image of what it shows now, drawn with its analysis.
    void settlePhase()
    {
        settle();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view("PhasePlane").upToDate(); }, 10000));
        QTest::qWait(50);
    }
    QString described() { return view("PhasePlane").accessibleDescription(); }
    static constexpr QRgb kNullcline = viewstyle::kNullcline;
};

TEST_F(PhaseAnalysisInView, VanDerPolShowsItsNullclineAndItsOriginAsAnUnstableFocus)
{
    choose(4);
    enter({{1, QStringLiteral("0")},
           {3, QStringLiteral("2")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("20")}});
    open();
    settlePhase();
    ExploreView &phase = view("PhasePlane");
    EXPECT_TRUE(described().contains(QStringLiteral(
        "Equilibria: unstable focus at (0, 0): eigenvalues 0.5 ± 0.866025i; eigenvectors "
        "(0.707107, 0.353553 ± 0.612372i)")))
        << described().toStdString();
    EXPECT_TRUE(described().contains(QStringLiteral("Nullclines: y' = 0, and g = 0.")));
    // y' = y / (1 - y^2) goes through the view in three branches, and y' = 0 across it.
    EXPECT_GT(pixelsOf(phase.grab().toImage(), kNullcline), 400);

    // A click on the origin's mark tells its class and eigen data, and marks no sample.
    const int row = child<QAbstractItemView>("List1")->currentIndex().row();
    QTest::mouseClick(&phase, Qt::LeftButton, Qt::NoModifier, phase.toWidget(0.0, 0.0).toPoint());
    ASSERT_TRUE(phase.marker().has_value());
    EXPECT_TRUE(phase.marker()->tag.startsWith(
        QStringLiteral("unstable focus at (0, 0): eigenvalues 0.5 ± 0.866025i")));
    EXPECT_EQ(child<QAbstractItemView>("List1")->currentIndex().row(), row);
    EXPECT_FALSE(view("Solution").marker().has_value());
    QTest::keyClick(&phase, Qt::Key_Escape);
    EXPECT_FALSE(phase.marker().has_value());

    // Hidden from the menu, each goes from the image and from the description.
    chooseFromMenu(phase, QStringLiteral("Nullclines"));
    settlePhase();
    EXPECT_EQ(pixelsOf(phase.grab().toImage(), kNullcline), 0);
    EXPECT_FALSE(described().contains(QStringLiteral("Nullclines")));
    chooseFromMenu(phase, QStringLiteral("Equilibria"));
    settlePhase();
    EXPECT_FALSE(described().contains(QStringLiteral("Equilibria")));
    chooseFromMenu(phase, QStringLiteral("Nullclines"));
    settlePhase();
    EXPECT_GT(pixelsOf(phase.grab().toImage(), kNullcline), 400);
}

TEST_F(PhaseAnalysisInView, TheProbeOnAnEquilibriumSaysWhichItIsOn)
{
    // The damped run settles on its stable node: its last sample lies on the mark.
    choose(3);
    enter({{1, QStringLiteral("0")},
           {3, QStringLiteral("1")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("30")}});
    open();
    settlePhase();
    child<QAbstractItemView>("List1")->setCurrentIndex(
        modelOf(form).samples().index(samples().rowCount() - 1));
    ASSERT_TRUE(view("PhasePlane").marker().has_value());
    EXPECT_TRUE(
        view("PhasePlane")
            .marker()
            ->tag.contains(QStringLiteral("at the stable node at (0, 0): eigenvalues -1, -5")))
        << view("PhasePlane").marker()->tag.toStdString();
    // The first, at (1, 0), is on none.
    child<QAbstractItemView>("List1")->setCurrentIndex(modelOf(form).samples().index(0));
    EXPECT_FALSE(view("PhasePlane").marker()->tag.contains(QStringLiteral("at the")));
}

TEST_F(PhaseAnalysisInView, TheLastSampleOfARunThatEndedEarlySaysHow)
{
    choose(5);
    enter({{1, QStringLiteral("0.01")},
           {3, QStringLiteral("1")},
           {4, QStringLiteral("0")},
           {5, QStringLiteral("1")},
           {2, QStringLiteral("10")}});
    open();
    settle();
    auto *list = child<QAbstractItemView>("List1");
    const int last = samples().rowCount() - 1;
    list->setCurrentIndex(modelOf(form).samples().index(last));
    ASSERT_TRUE(view("Solution").marker().has_value());
    EXPECT_TRUE(
        view("Solution")
            .marker()
            ->tag.endsWith(QStringLiteral(" – ended at the first zero: y ≤ 0 after x = 3.14")))
        << view("Solution").marker()->tag.toStdString();
    // Any other sample of it says nothing of the ending.
    list->setCurrentIndex(modelOf(form).samples().index(last - 1));
    EXPECT_FALSE(view("Solution").marker()->tag.contains(QStringLiteral("ended")));
}

TEST_F(PhaseAnalysisInView, AnEquationWithXSaysItHasNoEquilibriaAndWhereItsNullclineIs)
{
    choose(2);
    enterAll();
    open();
    settlePhase();
    EXPECT_TRUE(described().contains(QStringLiteral(
        "Nullclines: y' = 0, and g = 0 at x = 0, the last run's x0. no equilibria: the equation "
        "depends on x")))
        << described().toStdString();
    // At x = 0 g = -2y: the nullcline is the line y = 0, up the middle of the view.
    EXPECT_GT(pixelsOf(view("PhasePlane").grab().toImage(), kNullcline), 200);
}

TEST_F(PhaseAnalysisInView, ThePendulumsSeparatricesJoinItsSaddles)
{
    open();
    typeFormula(QStringLiteral("-sin(y)"));
    enter({{1, QStringLiteral("0")},
           {3, QStringLiteral("1")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("10")}});
    settle();
    ExploreView &phase = view("PhasePlane");
    // Zoomed out from the keyboard until both saddles are in view.
    phase.setFocus();
    for (int k = 0; k < 10 && ranges(phase).at(1) < 7; ++k)
        QTest::keyClick(&phase, Qt::Key_Minus);
    settlePhase();
    // Centers at 0 and +-2 pi, saddles at +-pi, each with its four branches.
    const QString d = described();
    EXPECT_TRUE(d.contains(QStringLiteral("saddle at (-3.141592653589793, 0): eigenvalues 1, -1")))
        << d.toStdString();
    EXPECT_TRUE(d.contains(QStringLiteral("center at (6.283185307179586, 0): eigenvalues 0 ± 1i")));
    EXPECT_TRUE(d.contains(QStringLiteral("Separatrices: 8 branches.")));
    // Drawn in their own grey, dashed.
    const QImage image = phase.grab().toImage();
    int separatrix = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            separatrix +=
                std::abs(c.red() - 0x50) < 12 && c.red() == c.green() && c.green() == c.blue();
        }
    EXPECT_GT(separatrix, 300);
    chooseFromMenu(phase, QStringLiteral("Separatrices"));
    settlePhase();
    EXPECT_FALSE(described().contains(QStringLiteral("Separatrices")));
}

TEST_F(PhaseAnalysisInView, ACtrlShiftClickRunsAsACtrlClickAndDrawsTheWayBackDashed)
{
    choose(1);
    enter({{1, QStringLiteral("0")},
           {3, QStringLiteral("1")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("6")}});
    open();
    ExploreView &solution = view("Solution");
    const QPoint at = solution.toWidget(3.0, 0.5).toPoint();
    QTest::mouseClick(&solution, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, at);
    const QString x0 = text(1)->text(), y0 = text(3)->text();
    const std::vector<std::string> clicked = lines();
    // Listed exactly as the same Ctrl+click lists it.
    FormDriver typed;
    typed.choose(1);
    typed.enter({{1, QStringLiteral("0")},
                 {3, QStringLiteral("1")},
                 {4, QStringLiteral("0")},
                 {2, QStringLiteral("6")}});
    typed.enter({{1, x0}, {3, y0}});
    typed.enter(2);
    EXPECT_EQ(typed.lines(), clicked);
    // From x0 = 3 to 6 forward; back to the view's left edge near x = -0.3.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return solution.accessibleDescription().contains(QStringLiteral("drawn back to x = "));
        },
        10000));
    settle();
    const QImage image = solution.grab().toImage();
    const QRgb second = runColour(1);
    int before = 0;
    const int x0Pixel = qRound(solution.toWidget(x0.toDouble(), 0).x());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < x0Pixel - 4; ++x)
            before += image.pixel(x, y) == second;
    EXPECT_GT(before, 100);
    EXPECT_TRUE(solution.accessibleDescription().contains(QStringLiteral(", dashed")));
    // Ready clears the way back with the runs.
    ready();
    settle();
    EXPECT_EQ(pixelsOf(solution.grab().toImage(), second), 0);
}

} // namespace

namespace {

// Whether each line of the Accuracy panel's table is one line on screen, with no scroll bar
// across: the text wraps only the closing sentence.
void expectTheTableFits(QPlainTextEdit &text)
{
    EXPECT_FALSE(text.horizontalScrollBar()->isVisible());
    int rows = 0;
    for (QTextBlock b = text.document()->begin(); b.isValid(); b = b.next()) {
        if (!b.text().contains(QStringLiteral("e-")) &&
            !b.text().contains(QStringLiteral("kept to")))
            continue;
        if (b.text().startsWith(QStringLiteral("What limits")))
            continue;
        ++rows;
        // Laid out where it lies beyond the visible part too.
        text.document()->documentLayout()->blockBoundingRect(b);
        EXPECT_EQ(b.layout()->lineCount(), 1) << b.text().toStdString();
    }
    EXPECT_EQ(rows, 5); // the head and the four steps
}

TEST_F(PhaseAnalysisInView, TheAccuracyTableFitsItsPanelAtTheDefaultSizeAndOnALaptop)
{
    choose(4);
    enter({{1, QStringLiteral("0")},
           {3, QStringLiteral("2")},
           {4, QStringLiteral("0")},
           {2, QStringLiteral("20")}});
    ExploreWindow &window = open();
    child<QAbstractItemView>("List1")->setCurrentIndex(modelOf(form).samples().index(2));
    auto *text = child<QPlainTextEdit>("AccuracyText");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return text->toPlainText().contains(QStringLiteral("What limits")); }, 20000));
    QTest::qWait(50);
    expectTheTableFits(*text);
    // Beside the main window on a 1366 x 768 screen Explore is some 770 pixels wide.
    window.resize(766, 700);
    QTest::qWait(50);
    expectTheTableFits(*text);
    EXPECT_GE(text->font().pointSizeF(), 6.0);
}

// The Read-out panel: of the last run with nothing marked, of the marked sample's run
// otherwise, in the lines of the table tool's --readout, found on a thread of its own.
TEST_F(Explore, TheReadoutTellsThePeriodOfTheMarkedRun)
{
    const auto vanDerPol = [&] {
        choose(4);
        enter({{1, QStringLiteral("0")}, {3, QStringLiteral("2")}, {4, QStringLiteral("0")}});
        enter(2, "200");
    };
    ExploreWindow &window = open();
    auto *readout = child<QPlainTextEdit>("ReadoutText");
    EXPECT_EQ(readout->accessibleName(), QStringLiteral("Read-out of the run"));
    EXPECT_EQ(readout->accessibleDescription(), QStringLiteral("No run yet"));
    vanDerPol();
    const auto shows = [&](const char *text) {
        return QTest::qWaitFor([&] { return readout->toPlainText().contains(QLatin1String(text)); },
                               10000);
    };
    ASSERT_TRUE(shows("period 6.6633")) << readout->toPlainText().toStdString();
    EXPECT_TRUE(readout->toPlainText().contains(QStringLiteral("amplitude 2.0086")));
    EXPECT_TRUE(readout->accessibleDescription().contains(QStringLiteral("last run")));
    QProcess table;
    table.start(QStringLiteral(REDURIVEZI_TABLE),
                {"--eq", "4", "--y0", "2", "--z0", "0", "--xf", "200", "--readout"});
    ASSERT_TRUE(table.waitForFinished(30000));
    EXPECT_EQ(readout->toPlainText() + u'\n', QString::fromUtf8(table.readAllStandardOutput()));

    // A second run, nothing marked: the panel follows it.
    choose(3);
    enter({{1, QStringLiteral("0")}, {3, QStringLiteral("0.01")}, {4, QStringLiteral("16.947")}});
    enter(2, "50");
    ASSERT_TRUE(shows("Settles on the equilibrium y = 0, y' = 0: stable node"))
        << readout->toPlainText().toStdString();
    // A sample of the first run marked: its read-out again.
    auto *list = child<QAbstractItemView>("List1");
    list->setCurrentIndex(list->model()->index(10, 0));
    ASSERT_TRUE(shows("period 6.6633")) << readout->toPlainText().toStdString();
    EXPECT_TRUE(readout->accessibleDescription().contains(QStringLiteral("marked")));
    // Ready: no run to read out.
    ready();
    ASSERT_TRUE(shows("Make a run to see its read-out"));
    EXPECT_TRUE(window.isVisible());
}

} // namespace
