// SPDX-License-Identifier: MIT

// Long runs in the real window on the offscreen platform, through the real Enter handler
// of the final field: from the key press until the handler has returned with the plot
// drawn and every sample listed. Also copying, saving, rendering and probing ten million
// samples, and the start-up time to the first painted window against a bare Qt window
// with as many widgets.
//
//     QT_QPA_PLATFORM=offscreen window_bench [--overhead | --startups | --window N [S] |
//                                             --explore | --variation | --analysis | --readout]
//
// Each start-up, and each run alone, is timed in a fresh process (this program started
// again with --startup form|bare or --alone N): neither window profits from fonts the
// other loaded, and the run alone meets none of the state Qt's drawing leaves behind. The
// first line names the machine the figures are from.

#include "bench/analysisbench.h"
#include "bench/explorebench.h"
#include "bench/machine.h"
#include "bench/measure.h"
#include "bench/variationbench.h"
#include "model/runmodel.h"
#include "solver/builtins.h"
#include "solver/solver.h"
#include "tests/formdriver.h"
#include "window/messages.h"
#include "window/sampleview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace measure;

namespace {

// Copy All and Save List As of the whole list, as the context menu does them.
void timeExports(FormDriver &w)
{
    const long residentBefore = residentMiB();
    resetPeak();
    auto start = Clock::now();
    w.child<QAction>("copyAllAction")->trigger();
    const double copied = seconds(start);
    const auto bytes =
        QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")).size();
    std::printf("  Copy All: peak resident +%ld MiB over the %ld MiB before it, address space "
                "%ld MiB with the text\n",
                statusMiB("VmHWM:") - residentBefore, residentBefore, statusMiB("VmSize:"));
    QGuiApplication::clipboard()->clear();

    const long beforeSave = residentMiB();
    resetPeak();
    const QString path = QDir::temp().filePath(QStringLiteral("redurivezi-bench-list.txt"));
    start = Clock::now();
    const bool saved = w.commands().saveListTo(path);
    const double wrote = seconds(start);
    std::printf("  Save List As: peak resident +%ld MiB\n", statusMiB("VmHWM:") - beforeSave);
    QFile::remove(path);
    std::printf("  Copy All of %d lines: %.3f s (%lld MB of text); Save List As .txt: %.3f s%s\n",
                w.samples().rowCount(), copied, static_cast<long long>(bytes) / 1'000'000, wrote,
                saved ? "" : " (failed)");
}

// The plot drawn again from the scene, and exported as SVG and PDF.
void timeRendering(FormDriver &w)
{
    auto start = Clock::now();
    const QImage image = modelOf(w.form).scene().render(w.samples(), 449, 1.0);
    std::printf("  rendered from the scene: %.3f s (%dx%d)\n", seconds(start), image.width(),
                image.height());
    for (const char *suffix : {"svg", "pdf"}) {
        const QString path =
            QDir::temp().filePath(QStringLiteral("redurivezi-bench.") + QLatin1String(suffix));
        start = Clock::now();
        const bool saved = w.commands().saveImageTo(path, imageexport::formatFor(path));
        std::printf("  Save Image As .%s: %.3f s, %.2f MB%s\n", suffix, seconds(start),
                    static_cast<double>(QFile(path).size()) / 1e6, saved ? "" : " (failed)");
        QFile::remove(path);
    }
}

// Dragging the probe over the plot: each move finds the nearest listed sample, makes it
// the list's current line and moves the marker.
void timeProbe(FormDriver &w)
{
    auto *plot = w.child("Picture1");
    constexpr int kMoves = 400;
    std::vector<double> times;
    QApplication::processEvents();
    for (int i = 0; i < kMoves; ++i) {
        // Across the plot and up and down, through the curve and beside it.
        const QPointF at(20 + (i * 7) % 400, 40 + (i * 13) % 360);
        QMouseEvent move(i == 0 ? QEvent::MouseButtonPress : QEvent::MouseMove, at,
                         plot->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        const auto start = Clock::now();
        QApplication::sendEvent(plot, &move);
        times.push_back(seconds(start));
    }
    std::sort(times.begin(), times.end());
    std::printf("  probe, %d moves over %d listed rows: median %.3f ms, slowest %.3f ms\n", kMoves,
                w.samples().rowCount(), times[kMoves / 2] * 1e3, times.back() * 1e3);
}

// Types the run's texts as a user would, and the final x without Enter.
void typeRun(FormDriver &w, const solver::RunParameters &p)
{
    if (p.eq != solver::Builtin::None)
        w.choose(p.eq->number);
    const auto text = [](double v) { return QString::number(v, 'g', 17); };
    // n = 2 and lam = 1 but for the equation's own parameters.
    w.text(5)->setText(text(2));
    w.text(6)->setText(text(1));
    for (std::size_t k = 0; k < p.eq->parameters.size(); ++k)
        w.child<QLineEdit>(messages::fromAscii(p.eq->parameters[k].control))
            ->setText(text(p.values[k]));
    w.enter({{1, text(p.x0)}, {3, text(p.y0)}, {4, text(p.z0)}});
    w.text(2)->setText(text(p.xf));
}

// A run of exactly `samples` grid points from 0 with the default texts: nsteps is
// samples - 1/2.
void runOnce(FormDriver &w, int option, long samples)
{
    typeRun(w, {.eq = static_cast<solver::Builtin>(option),
                .y0 = 0.01,
                .z0 = 16.947,
                .xf = (static_cast<double>(samples) - 0.5) / 100});
    const long before = residentMiB();
    const int rows = w.samples().rowCount();
    const auto start = Clock::now();
    w.enter(2);
    const double s = seconds(start);
    QApplication::processEvents(); // the final repaint, not part of the handler
    std::printf("option %d  %9ld samples  %7.3f s  %6.1f ns/sample  %8d rows  RSS +%ld MiB  "
                "peak %ld MiB\n",
                option, samples, s, s / static_cast<double>(samples) * 1e9,
                w.samples().rowCount() - rows, residentMiB() - before, statusMiB("VmHWM:"));
    std::fflush(stdout);
    if (option == 0 && samples == 10'000'000)
        timeExports(w);
    if (option != 0 && samples == 10'000'000) {
        timeRendering(w);
        timeProbe(w);
    }
    w.ready();
}

struct Case
{
    const char *name;
    solver::RunParameters p;
};

// Each equation's run of 10^7 samples.
const std::vector<Case> &cases()
{
    using solver::Builtin;
    constexpr double xf = (10'000'000 - 0.5) / 100;
    static const std::vector<Case> all = {
        {"no equation", {.y0 = 0.01, .z0 = 16.947, .xf = xf}},
        {"y'' + y = 0", {.eq = Builtin::Oscillator, .y0 = 0.01, .z0 = 16.947, .xf = xf}},
        {"y'' + 2y = sin x", {.eq = Builtin::SineForced, .y0 = 0.01, .z0 = 16.947, .xf = xf}},
        {"damped", {.eq = Builtin::Damped, .y0 = 0.01, .z0 = 16.947, .xf = xf}},
        {"van der Pol", {.eq = Builtin::VanDerPol, .y0 = 0.5, .xf = xf}},
        {"Emden, n = 5",
         {.eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .xf = xf + 0.01, .values = {5}}},
        {"Cosmos", {.eq = Builtin::Cosmos, .y0 = 1, .xf = xf, .values = {1}}},
    };
    return all;
}

// A sink that only takes the samples.
class NullSink : public solver::SampleSink
{
public:
    bool start(double, double) override { return true; }
    bool sample(double x, double y) override
    {
        // Kept without arithmetic: a subnormal y would cost an assist the window never pays.
        last = {x, y};
        return true;
    }
    std::pair<double, double> last;
};

// Case `index` with `samples` grid points instead of 10^7 (0: as it is).
solver::RunParameters caseRun(std::size_t index, long samples)
{
    solver::RunParameters p = cases()[index].p;
    if (samples > 0)
        p.xf = p.x0 + (static_cast<double>(samples) - 0.5) / 100;
    return p;
}

// In a process of its own: the fastest of three runs of case `index` with a sink that does
// nothing, in CPU nanoseconds per sample.
int runAlone(int index, long samples)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        NullSink sink;
        const double start = cpuSeconds();
        const auto out = solver::run(caseRun(static_cast<std::size_t>(index), samples), sink);
        best = std::min(best, (cpuSeconds() - start) / static_cast<double>(out.samples) * 1e9);
    }
    std::printf("%.3f\n", best);
    return 0;
}

double childFigure(const char *self, const QStringList &args)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(self), args);
    p.waitForFinished(-1);
    return p.readAllStandardOutput().trimmed().toDouble();
}

// The fastest of three runs of case `index` through the window's Enter handler, in CPU
// nanoseconds per sample; `listed` gets the samples of a run.
double throughTheWindow(FormDriver &w, std::size_t index, int &listed, long samples = 0)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        typeRun(w, caseRun(index, samples));
        const int rows = w.samples().rowCount();
        const double start = cpuSeconds();
        w.enter(2);
        listed = w.samples().rowCount() - rows;
        best = std::min(best, (cpuSeconds() - start) / listed * 1e9);
        w.ready();
    }
    return best;
}

// For each equation, 10^7 samples: the run alone with a sink that does nothing, then the
// same run through the window's Enter handler, in CPU time per sample, side by side.
void compareWithTheRunAlone(const char *self)
{
    std::printf("per sample, CPU time, 10^7 samples, fastest of 3: the run alone | the window | "
                "overhead\n");
    FormDriver w;
    for (std::size_t k = 0; k < cases().size(); ++k) {
        const double aloneNs = childFigure(self, {QStringLiteral("--alone"), QString::number(k)});
        int listed = 0;
        const double windowNs = throughTheWindow(w, k, listed);
        std::printf("  %-17s %6.1f ns | %6.1f ns | %+6.1f ns   (%d samples)\n", cases()[k].name,
                    aloneNs, windowNs, windowNs - aloneNs, listed);
        std::fflush(stdout);
    }
}

// The list's view against a table view with a hidden, fixed-height vertical header (the
// view the list had before): ten million rows published at once, then scrolled to the
// end, with the resident memory the view adds.
void compareViews()
{
    constexpr int kRows = 10'000'000;
    const auto measure = [](const char *name, QAbstractItemView *view) {
        SampleList list;
        list.store().startRun({.x0 = 0.0});
        for (int i = 0; i < kRows; ++i)
            list.store().tryAppend(i * 1e-3);
        view->setModel(&list);
        view->resize(113, 124);
        view->show();
        QApplication::processEvents();
        const long before = residentMiB();
        auto start = Clock::now();
        list.commit();
        QApplication::processEvents();
        const double published = seconds(start);
        const long grown = residentMiB() - before;
        start = Clock::now();
        view->scrollToBottom();
        view->repaint();
        const double scrolled = seconds(start);
        std::printf("  %-34s publish %.3f s, scroll to the end %.4f s, RSS +%ld MiB "
                    "(%.1f bytes a row)\n",
                    name, published, scrolled, grown,
                    static_cast<double>(grown) * 1024 * 1024 / kRows);
        view->setModel(nullptr);
    };
    std::printf("the list's view, 10^7 rows:\n");
    SampleView view;
    measure("SampleView", &view);
    QTableView table;
    table.horizontalHeader()->hide();
    table.horizontalHeader()->setStretchLastSection(true);
    table.verticalHeader()->hide();
    table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 2);
    table.setShowGrid(false);
    measure("QTableView, fixed hidden rows", &table);
}

// The bare window: the same kinds and number of widgets, default fonts, nothing drawn.
class BareWindow : public QWidget
{
public:
    BareWindow()
    {
        resize(594, 471);
        new QWidget(this);
        for (int i = 0; i < 6; ++i)
            new QRadioButton(QStringLiteral("Option"), this);
        for (int i = 0; i < 6; ++i)
            new QLineEdit(QStringLiteral("0"), this);
        for (int i = 0; i < 6; ++i)
            new QLabel(QStringLiteral("Label"), this);
        new QPushButton(QStringLiteral("Ready"), this);
        new QPushButton(QStringLiteral("End"), this);
        new QWidget(this);
    }
};

// Start-up in this process: from main() to the window's first paint.
int startup(const char *which, Clock::time_point begun, int argc, char **argv)
{
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (std::strcmp(which, "form") == 0)
        window = std::make_unique<Form1>();
    else
        window = std::make_unique<BareWindow>();
    bool painted = false;
    struct PaintSpy : QObject
    {
        bool *painted;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                *painted = true;
            return false;
        }
    } spy;
    spy.painted = &painted;
    window->installEventFilter(&spy);
    window->show();
    while (!painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%.6f\n", seconds(begun));
    return 0;
}

double startupOnce(const char *self, const char *which)
{
    return childFigure(self, {QStringLiteral("--startup"), QLatin1String(which)});
}

// The start-ups of the window and of the bare one, alternating which goes first, so that
// a burst of load from elsewhere on the machine falls on both alike. Prints the medians
// with their quartiles, and the median of each round's ratio.
void compareStartups(const char *self)
{
    constexpr int kRounds = 21;
    std::vector<double> form, bare, ratios;
    for (int round = 0; round < kRounds; ++round) {
        const bool formFirst = round % 2 == 0;
        const double first = startupOnce(self, formFirst ? "form" : "bare");
        const double second = startupOnce(self, formFirst ? "bare" : "form");
        form.push_back(formFirst ? first : second);
        bare.push_back(formFirst ? second : first);
        ratios.push_back(form.back() / bare.back());
    }
    for (auto *v : {&form, &bare, &ratios})
        std::sort(v->begin(), v->end());
    const auto quartiles = [](const std::vector<double> &v, double scale, int digits) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f (%.*f–%.*f)", digits, v[kRounds / 2] * scale, digits,
                      v[kRounds / 4] * scale, digits, v[3 * kRounds / 4] * scale);
        return std::string(text);
    };
    std::printf("start-up to the first painted window, median (quartiles) of %d interleaved "
                "rounds: %s ms; bare Qt window with as many widgets: %s ms; ratio of medians "
                "%.2f, ratio per round %s\n",
                kRounds, quartiles(form, 1e3, 1).c_str(), quartiles(bare, 1e3, 1).c_str(),
                form[kRounds / 2] / bare[kRounds / 2], quartiles(ratios, 1, 2).c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    const auto begun = Clock::now();
    if (argc > 2 && std::strcmp(argv[1], "--startup") == 0)
        return startup(argv[2], begun, argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--alone") == 0)
        return runAlone(std::atoi(argv[2]), argc > 3 ? std::atol(argv[3]) : 0);

    std::printf("%s\n", bench::machineLine().c_str());
    QApplication app(argc, argv);
    // --window N [S]: case N through the window alone, with S samples instead of 10^7, for
    // a profiler (--alone N [S] is the same run with a sink that does nothing).
    if (argc > 2 && std::strcmp(argv[1], "--window") == 0) {
        FormDriver w;
        int listed = 0;
        const double ns = throughTheWindow(w, static_cast<std::size_t>(std::atoi(argv[2])), listed,
                                           argc > 3 ? std::atol(argv[3]) : 0);
        std::printf("%.3f ns per sample (%d samples)\n", ns, listed);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--explore") == 0) {
        benchExplore();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--variation") == 0) {
        benchVariation();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--analysis") == 0) {
        benchAnalysis();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--readout") == 0) {
        benchReadout();
        return 0;
    }
    // --overhead: the table of the run alone against the window only; --startups: the
    // start-ups only.
    const bool overheadOnly = argc > 1 && std::strcmp(argv[1], "--overhead") == 0;
    if (!overheadOnly)
        compareStartups(argv[0]);
    if (argc > 1 && std::strcmp(argv[1], "--startups") == 0)
        return 0;
    compareWithTheRunAlone(argv[0]);
    if (overheadOnly)
        return 0;
    {
        FormDriver w;
        std::printf("idle window: RSS %ld MiB\n", residentMiB());
        for (const int option : {0, 2, 4})
            for (const long samples : {100'000L, 1'000'000L, 10'000'000L})
                runOnce(w, option, samples);

        // Nothing may stay behind a run and Ready: the third cycle peaks where the first did.
        std::printf("three cycles of a 10^7-sample run and Ready:\n");
        for (int cycle = 1; cycle <= 3; ++cycle) {
            resetPeak();
            runOnce(w, 2, 10'000'000L);
            QApplication::processEvents();
            std::printf("  cycle %d: peak resident %ld MiB, resident after Ready %ld MiB\n", cycle,
                        statusMiB("VmHWM:"), residentMiB());
        }
    }
    compareViews();
    benchExplore();
    benchVariation();
    return 0;
}
