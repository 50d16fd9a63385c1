// SPDX-License-Identifier: MIT

// Runs redurivezi-table with its output to /dev/null and prints lines per second and
// peak memory, then the time the reference takes for 10^6 samples and a study of a run of
// 10^4 samples, in this process:
//
//     table_bench [lines]      (default 10^7; 10^8 shows that memory stays flat)

#include "bench/machine.h"
#include "reference/evaluator.h"
#include "reference/study.h"
#include "solver/builtins.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

struct Measure
{
    double seconds;
    long maxRssKiB;
    int status;
};

Measure runTable(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    std::string program = REDURIVEZI_TABLE;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (auto &a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return Measure{std::chrono::duration<double>(end - start).count(), usage.ru_maxrss,
                   WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void report(const char *what, const std::vector<std::string> &args, double lines)
{
    // Best of three runs, as the machine may be busy with something else.
    Measure best{1e300, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const Measure m = runTable(args);
        if (m.status != 0) {
            std::fprintf(stderr, "table_bench: the tool exited with %d\n", m.status);
            std::exit(1);
        }
        if (m.seconds < best.seconds)
            best = m;
    }
    std::printf("%-34s %12.0f lines  %7.3f s  %6.2f M lines/s  peak RSS %ld KiB\n", what, lines,
                best.seconds, lines / best.seconds / 1e6, best.maxRssKiB);
}

std::string cpuModel()
{
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown processor";
}

// Best of three, in seconds.
template<typename Work> double bestOf(Work work)
{
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

solver::RunParameters params(solver::Builtin eq, double x0, double y0, double z0, double lam = 1.0)
{
    // xf = x0 + 99.99 gives 10^4 grid points; Emden with n = 5.
    return solver::RunParameters{.eq = eq,
                                 .x0 = x0,
                                 .y0 = y0,
                                 .z0 = z0,
                                 .xf = x0 + 99.99,
                                 .values = {eq == solver::Builtin::Emden ? 5.0 : lam}};
}

void referenceFigure(const char *what, const solver::RunParameters &p)
{
    constexpr std::uint64_t kSamples = 1000000;
    std::uint64_t got = 0;
    const double seconds = bestOf([&] {
        reference::Evaluator ev(p, kSamples);
        std::array<double, 4096> chunk;
        got = 0;
        while (ev.status() == reference::Evaluator::Status::Going)
            got += ev.next(chunk).count;
    });
    std::printf("reference, %-34s %8llu samples  %7.3f s  %6.0f ns/sample\n", what,
                static_cast<unsigned long long>(got), seconds, seconds / double(got) * 1e9);
}

void studyFigure(const char *what, const solver::RunParameters &p)
{
    bool studied = false;
    const double seconds = bestOf([&] { studied = reference::studyRun(p).studied; });
    std::printf("study, %-38s %8d samples  %7.3f s%s\n", what, 10000, seconds,
                studied ? "" : "  (not studied)");
}

} // namespace

int main(int argc, char **argv)
{
    std::printf("%s\n", bench::machineLine().c_str());
    const double lines = argc > 1 ? std::atof(argv[1]) : 1e7;
    // x0 = 0 and xf = (lines - 1) * h give exactly `lines` grid points.
    char xf[64];
    std::snprintf(xf, sizeof xf, "%.17g", (lines - 1) / 100);
    report("no equation (default texts)", {"--xf", xf}, lines);
    report("y'' + y = 0", {"--eq", "1", "--xf", xf}, lines);
    report("y'' + 2y = sin x", {"--eq", "2", "--xf", xf}, lines);
    report("y'' + y = 0, --csv", {"--eq", "1", "--xf", xf, "--csv"}, lines);
    report("y'' + y = 0, --csv --reference", {"--eq", "1", "--xf", xf, "--csv", "--reference"},
           lines);

    using solver::Builtin;
    std::printf("\non %s:\n", cpuModel().c_str());
    // Runs that last 10^6 samples: van der Pol on its limit cycle, Emden of index 5 (never
    // zero), Cosmos with a small lam that grows slowly enough not to overflow.
    referenceFigure("no equation (closed form)", params(Builtin::None, 0, 0.01, 16.947));
    referenceFigure("y'' + y = 0 (closed form)", params(Builtin::Oscillator, 0, 0.01, 16.947));
    referenceFigure("y'' + 2y = sin x (closed form)", params(Builtin::SineForced, 0, 0.01, 16.947));
    referenceFigure("damped (closed form)", params(Builtin::Damped, 0, 0.01, 16.947));
    referenceFigure("van der Pol", params(Builtin::VanDerPol, 0, 2, 0));
    referenceFigure("Emden n = 5", params(Builtin::Emden, 0.01, 1, 0));
    referenceFigure("Cosmos lam = 0.001", params(Builtin::Cosmos, 0, 1, 1, 0.001));

    studyFigure("y'' + 2y = sin x", params(Builtin::SineForced, 0, 0.01, 16.947));
    studyFigure("van der Pol", params(Builtin::VanDerPol, 0, 2, 0));
    studyFigure("Emden n = 5", params(Builtin::Emden, 0.01, 1, 0));
    studyFigure("Cosmos lam = 0.001", params(Builtin::Cosmos, 0, 1, 1, 0.001));
    return 0;
}
