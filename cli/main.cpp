// SPDX-License-Identifier: MIT

#include "cli/table.h"
#include "cli/tableusage.h"

#include <csignal>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

// Help and version go through the table's own buffer, so that a write error is told in
// the same words as a list's, and a closed pipe ends them as quietly.
int printText(std::string_view text)
{
    OutputBuffer out(1);
    writeText(out, text);
    return out.flush() ? 0 : outputError(out, stderr);
}

} // namespace

int main(int argc, char **argv)
{
    // A closed pipe shows up as EPIPE from write(), which ends the table quietly.
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const TableArguments parsed = parseTableArguments(args);
    switch (parsed.status) {
    case TableArguments::Help:
        return printText(tableUsage());
    case TableArguments::Version:
        return printText(tableVersion());
    case TableArguments::BadUsage:
        // The reason and where help is: the whole help would bury the one line that matters.
        std::fprintf(stderr, "redurivezi-table: %s\n%s", parsed.message.c_str(), kTryHelp.data());
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
    // What a text not wholly a number was read as, before any line of the run.
    for (const std::string &warning : parsed.warnings)
        std::fprintf(stderr, "redurivezi-table: %s\n", warning.c_str());
    return runTable(parsed.options, 1, stderr);
}
