// SPDX-License-Identifier: MIT

#pragma once

// A family of runs in the table tool: --sweep NAME --from A --to B --runs K lists the K runs
// one after another, each exactly as the single run with NAME's option set to the text of
// its value, which is what the window lists after typing the K runs one by one.

#include "cli/tableoptions.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// The sweep's options as given; an option not given has no text.
struct SweepTexts
{
    std::optional<std::string_view> name, from, to, runs;

    bool any() const { return name || from || to || runs; }
};

// The number of runs of a family: a whole number from kMinFamilyRuns to kMaxFamilyRuns,
// written in decimal digits alone; any other text has none.
std::optional<int> familyRunCount(std::string_view text);

// The quantity of a run of `eq` that --sweep names and the number of runs, or the message
// of a usage error. No sweep at all when none of its options is given. `from` and `to` are
// not read here: a number beyond range is no usage error. `mode` is the option that prints
// something else than the list ("--study"), with which a sweep does not go; empty: none.
std::variant<std::optional<Sweep>, std::string>
sweepOf(const SweepTexts &texts, const solver::Equation &eq, std::string_view mode);

// Reads --from and --to into `sweep` by the fields' rule; the message of a number beyond
// range if there is one.
std::optional<std::string> readFamilyBounds(Sweep &sweep, const SweepTexts &texts);

// The text that run i of the family is typed with: the shortest that reads back to its value.
std::string familyValueText(const Sweep &sweep, int i);

// Lists the runs of options.sweep to `outFd`, each run's failure told on `err` after its
// lines, and goes on with the next run, as the window does. Returns the worst run's exit
// status; an output error ends the family at once.
int runSweep(const TableOptions &options, int outFd, std::FILE *err);
