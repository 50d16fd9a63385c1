// SPDX-License-Identifier: MIT

#include "cli/table.h"

#include <csignal>
#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char **argv)
{
    // A closed pipe shows up as EPIPE from write(), which ends the table quietly.
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const TableArguments parsed = parseTableArguments(args);
    switch (parsed.status) {
    case TableArguments::Help:
        std::fputs(tableUsage().data(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case TableArguments::Version:
        std::fputs(tableVersion().data(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case TableArguments::BadUsage:
        std::fprintf(stderr, "redurivezi-table: %s\n%s", parsed.message.c_str(),
                     tableUsage().data());
        return 2;
    case TableArguments::NotAFormula:
        std::fprintf(stderr, "redurivezi-table: %s\n", parsed.message.c_str());
        return 2;
    case TableArguments::OutOfRange:
        std::fprintf(stderr, "redurivezi-table: %s\n", parsed.message.c_str());
        return 1;
    case TableArguments::Run:
        break;
    }
    return runTable(parsed.options, 1, stderr);
}
