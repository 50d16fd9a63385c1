// SPDX-License-Identifier: MIT

// Long runs in the real window on the offscreen platform, through the real Enter handler
// of the final field: from the key press until the handler has returned with the plot
// drawn and every sample listed. Also the start-up time to the first painted window,
// against a bare Qt window with as many widgets.
//
//     QT_QPA_PLATFORM=offscreen window_bench
//
// Each start-up is timed in a fresh process (this program started again with
// --startup form|bare), so that neither window profits from fonts the other loaded. The
// first line names the machine the figures are from.

#include "bench/machine.h"
#include "platform/samplelist.h"
#include "platform/upperregisters.h"
#include "solver/solver.h"
#include "window/form1.h"
#include "window/plotscene.h"
#include "window/sampleview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long residentMiB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

// A field of /proc/self/status in MiB, such as VmHWM (peak resident) or VmSize.
long statusMiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field) + 1)) / 1024;
    return -1;
}

// Starts a new peak of resident memory (VmHWM) at the present size.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

long peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Copy All and Save List As of the whole list, as the context menu does them.
void timeExports(Form1 &form)
{
    const long residentBefore = residentMiB();
    resetPeak();
    auto start = Clock::now();
    form.findChild<QAction *>(QStringLiteral("copyAllAction"))->trigger();
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
    const bool saved = form.saveListTo(path);
    const double wrote = seconds(start);
    std::printf("  Save List As: peak resident +%ld MiB\n", statusMiB("VmHWM:") - beforeSave);
    QFile::remove(path);
    std::printf("  Copy All of %d lines: %.3f s (%lld MB of text); Save List As .txt: %.3f s%s\n",
                form.samples().rowCount(), copied, static_cast<long long>(bytes) / 1'000'000, wrote,
                saved ? "" : " (failed)");
}

// The plot drawn again from the scene, and exported as SVG and PDF.
void timeRendering(Form1 &form)
{
    auto start = Clock::now();
    const QImage image = form.scene().render(form.samples(), 449, 1.0);
    std::printf("  rendered from the scene: %.3f s (%dx%d)\n", seconds(start), image.width(),
                image.height());
    for (const char *suffix : {"svg", "pdf"}) {
        const QString path =
            QDir::temp().filePath(QStringLiteral("redurivezi-bench.") + QLatin1String(suffix));
        start = Clock::now();
        const bool saved = form.saveImageTo(path);
        std::printf("  Save Image As .%s: %.3f s, %.2f MB%s\n", suffix, seconds(start),
                    static_cast<double>(QFile(path).size()) / 1e6, saved ? "" : " (failed)");
        QFile::remove(path);
    }
}

// Dragging the probe over the plot: each move finds the nearest listed sample, makes it
// the list's current line and moves the marker.
void timeProbe(Form1 &form)
{
    auto *plot = form.findChild<QWidget *>(QStringLiteral("Picture1"));
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
                form.samples().rowCount(), times[kMoves / 2] * 1e3, times.back() * 1e3);
}

// A run of exactly `samples` grid points from 0: nsteps is samples - 1/2.
void runOnce(Form1 &form, int option, long samples)
{
    if (option > 0)
        form.findChild<QRadioButton *>(QStringLiteral("Option%1").arg(option))->click();
    // The default texts, as the window opens with them.
    for (const auto &[name, text] : {std::pair{"Text5", "2"}, std::pair{"Text6", "1"}})
        form.findChild<QLineEdit *>(QLatin1String(name))->setText(QLatin1String(text));
    for (const auto &[name, text] :
         {std::pair{"Text1", "0"}, std::pair{"Text3", "0.01"}, std::pair{"Text4", "16.947"}}) {
        auto *field = form.findChild<QLineEdit *>(QLatin1String(name));
        field->setText(QLatin1String(text));
        QTest::keyClick(field, Qt::Key_Return);
    }
    auto *text2 = form.findChild<QLineEdit *>(QStringLiteral("Text2"));
    text2->setText(QString::number((static_cast<double>(samples) - 0.5) / 100, 'g', 17));

    const long before = residentMiB();
    const int rows = form.samples().rowCount();
    const auto start = Clock::now();
    QTest::keyClick(text2, Qt::Key_Return);
    const double s = seconds(start);
    QApplication::processEvents(); // the final repaint, not part of the handler
    std::printf("option %d  %9ld samples  %7.3f s  %6.1f ns/sample  %8d rows  RSS +%ld MiB  "
                "peak %ld MiB\n",
                option, samples, s, s / static_cast<double>(samples) * 1e9,
                form.samples().rowCount() - rows, residentMiB() - before, peakMiB());
    std::fflush(stdout);
    if (option == 0 && samples == 10'000'000)
        timeExports(form);
    if (option != 0 && samples == 10'000'000) {
        timeRendering(form);
        timeProbe(form);
    }
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
}

// A sink that only takes the samples: the run alone. In this process it must keep the
// upper AVX halves clear as the window's sink does, or the run alone would be the slower.
class NullSink : public solver::SampleSink
{
public:
    bool start(double, double) override { return true; }
    bool sample(double x, double y) override
    {
        m_upper.clear();
        // Kept without arithmetic: a subnormal y would cost an assist the window never pays.
        last = {x, y};
        return true;
    }
    std::pair<double, double> last;

private:
    UpperRegisters m_upper;
};

// CPU time of this process so far, user and system, in seconds.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// For each equation, 10^7 samples: the run alone with a sink that does nothing, then the
// same run through the window's Enter handler, in CPU time per sample, side by side.
void compareWithTheRunAlone(Form1 &form)
{
    struct Case
    {
        int option;
        const char *name;
        solver::RunParameters p;
    };
    const double xf = (10'000'000 - 0.5) / 100;
    const Case cases[] = {
        {0, "no equation", {.y0 = 0.01, .z0 = 16.947, .xf = xf, .n = 2, .lam = 1}},
        {1, "y'' + y = 0", {.y0 = 0.01, .z0 = 16.947, .xf = xf, .n = 2, .lam = 1}},
        {2, "y'' + 2y = sin x", {.y0 = 0.01, .z0 = 16.947, .xf = xf, .n = 2, .lam = 1}},
        {3, "damped", {.y0 = 0.01, .z0 = 16.947, .xf = xf, .n = 2, .lam = 1}},
        {4, "van der Pol", {.y0 = 0.5, .xf = xf, .n = 2, .lam = 1}},
        {5, "Emden, n = 5", {.x0 = 0.01, .y0 = 1, .xf = xf + 0.01, .n = 5, .lam = 1}},
        {6, "Cosmos", {.y0 = 1, .xf = xf, .n = 2, .lam = 1}},
    };
    std::printf("per sample, CPU time, 10^7 samples, fastest of 3: the run alone | the window | "
                "overhead\n");
    for (const Case &c : cases) {
        solver::RunParameters p = c.p;
        p.eq = static_cast<solver::Equation>(c.option);
        // Three rounds of each, alternating; the fastest of each counts, as the least
        // disturbed by the other core's load.
        double aloneNs = 1e9, windowNs = 1e9;
        int listed = 0;
        for (int round = 0; round < 3; ++round) {
            NullSink sink;
            double start = cpuSeconds();
            const auto alone = solver::run(p, sink);
            aloneNs = std::min(aloneNs,
                               (cpuSeconds() - start) / static_cast<double>(alone.samples) * 1e9);

            if (c.option > 0)
                form.findChild<QRadioButton *>(QStringLiteral("Option%1").arg(c.option))->click();
            const auto type = [&form](const char *name, double v) {
                auto *field = form.findChild<QLineEdit *>(QLatin1String(name));
                field->setText(QString::number(v, 'g', 17));
                return field;
            };
            type("Text5", p.n);
            type("Text6", p.lam);
            for (const auto &[name, v] :
                 {std::pair{"Text1", p.x0}, std::pair{"Text3", p.y0}, std::pair{"Text4", p.z0}})
                QTest::keyClick(type(name, v), Qt::Key_Return);
            auto *text2 = type("Text2", p.xf);
            const int rows = form.samples().rowCount();
            start = cpuSeconds();
            QTest::keyClick(text2, Qt::Key_Return);
            listed = form.samples().rowCount() - rows;
            windowNs = std::min(windowNs, (cpuSeconds() - start) / listed * 1e9);
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        }
        std::printf("  %-17s %6.1f ns | %6.1f ns | %+6.1f ns   (%d samples)\n", c.name, aloneNs,
                    windowNs, windowNs - aloneNs, listed);
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
        list.startRun(0.0);
        for (int i = 0; i < kRows; ++i)
            list.append(i * 1e-3);
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
    QProcess p;
    p.start(QString::fromLocal8Bit(self),
            {QStringLiteral("--startup"), QString::fromLatin1(which)});
    p.waitForFinished();
    return p.readAllStandardOutput().trimmed().toDouble();
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

    std::printf("%s\n", bench::machineLine().c_str());
    QApplication app(argc, argv);
    compareStartups(argv[0]);

    Form1 window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    std::printf("idle window: RSS %ld MiB\n", residentMiB());
    {
        // A window of its own: the comparison leaves its last option chosen.
        Form1 compared;
        compared.show();
        compareWithTheRunAlone(compared);
    }
    for (const int option : {0, 2, 4})
        for (const long samples : {100'000L, 1'000'000L, 10'000'000L})
            runOnce(window, option, samples);

    // Nothing may stay behind a run and Ready: the third cycle peaks where the first did.
    std::printf("three cycles of a 10^7-sample run and Ready:\n");
    for (int cycle = 1; cycle <= 3; ++cycle) {
        resetPeak();
        runOnce(window, 2, 10'000'000L);
        QApplication::processEvents();
        std::printf("  cycle %d: peak resident %ld MiB, resident after Ready %ld MiB\n", cycle,
                    statusMiB("VmHWM:"), residentMiB());
    }
    compareViews();
    return 0;
}
