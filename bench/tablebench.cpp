// SPDX-License-Identifier: MIT

// Runs redurivezi-table with its output to /dev/null and prints lines per second and
// peak memory:
//
//     table_bench [lines]      (default 10^7; 10^8 shows that memory stays flat)

#include "bench/machine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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
    std::printf("%-28s %12.0f lines  %7.3f s  %6.2f M lines/s  peak RSS %ld KiB\n", what, lines,
                best.seconds, lines / best.seconds / 1e6, best.maxRssKiB);
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
    return 0;
}
