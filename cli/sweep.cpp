// SPDX-License-Identifier: MIT

#include "cli/sweep.h"

#include "cli/table.h"
#include "listing/numbertext.h"
#include "platform/texttonumber.h"
#include "solver/family.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <tuple>
#include <vector>

using fields::Field;

namespace {

// Every quantity of a run of `eq` that a family can vary: the start fields and the final
// abscissa, then the equation's parameters, whether a field holds them (n, lam) or not (a
// formula's).
std::vector<Sweep> sweepable(const solver::Equation &eq)
{
    std::vector<Sweep> all;
    for (Field f : fields::kUsageOrder) {
        const std::string_view option = fields::info(f).option;
        const bool heldParameter = std::any_of(
            std::begin(solver::kBuiltinParameters), std::end(solver::kBuiltinParameters),
            [&](const solver::Parameter &p) { return p.option == option; });
        if (!heldParameter)
            all.push_back({std::string(option.substr(2)), std::string(option), f});
    }
    for (std::size_t k = 0; k < eq.parameters.size(); ++k) {
        const solver::Parameter &p = eq.parameters[k];
        if (const auto field = fields::fieldOf(p))
            all.push_back({std::string(p.name), std::string(p.option), field});
        else
            all.push_back({std::string(p.name), "--param " + std::string(p.name), {}, k});
    }
    return all;
}

} // namespace

std::optional<int> familyRunCount(std::string_view text)
{
    // from_chars takes no "+" and no blanks; a "-" makes a count below the least.
    int runs = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), runs);
    if (ec != std::errc() || end != text.data() + text.size() || runs < solver::kMinFamilyRuns ||
        runs > solver::kMaxFamilyRuns)
        return std::nullopt;
    return runs;
}

std::variant<std::optional<Sweep>, std::string>
sweepOf(const SweepTexts &texts, const solver::Equation &eq, std::string_view mode)
{
    if (!texts.any())
        return std::optional<Sweep>();
    // --from and --to also bound the equilibria's y.
    if (!texts.name)
        return std::string(texts.from ? "--from goes only with --sweep NAME or --equilibria"
                           : texts.to ? "--to goes only with --sweep NAME or --equilibria"
                                      : "--runs goes only with --sweep NAME");
    std::string missing;
    for (const auto &[text, option] : {std::pair{texts.from, "--from"}, std::pair{texts.to, "--to"},
                                       std::pair{texts.runs, "--runs"}})
        if (!text)
            missing += (missing.empty() ? "" : ", ") + std::string(option);
    if (!missing.empty())
        return "--sweep needs --from A, --to B and --runs K (missing " + missing + ")";
    if (!mode.empty())
        return "--sweep lists its runs one after another: it does not go with " + std::string(mode);
    const auto runs = familyRunCount(*texts.runs);
    if (!runs)
        return "--runs must be a whole number from " + std::to_string(solver::kMinFamilyRuns) +
               " to " + std::to_string(solver::kMaxFamilyRuns) + ", not " +
               std::string(*texts.runs);

    const std::vector<Sweep> all = sweepable(eq);
    std::vector<Sweep> named;
    std::copy_if(all.begin(), all.end(), std::back_inserter(named),
                 [&](const Sweep &s) { return s.name == *texts.name; });
    if (named.size() > 1)
        return "--sweep " + named.front().name + " is ambiguous: it names both " +
               named.front().option + " and " + named.back().option;
    if (named.empty()) {
        std::string names;
        for (const Sweep &s : all)
            names += (names.empty() ? "" : ", ") + s.name;
        return "--sweep " + std::string(*texts.name) + ": nothing of this run is named so (it " +
               "can vary " + names + ")";
    }
    Sweep sweep = named.front();
    sweep.runs = *runs;
    return std::optional<Sweep>(std::move(sweep));
}

std::optional<std::string> readFamilyBounds(Sweep &sweep, const SweepTexts &texts)
{
    for (auto [bound, text, option] : {std::tuple{&sweep.from, *texts.from, "--from"},
                                       std::tuple{&sweep.to, *texts.to, "--to"}}) {
        const auto number = textToNumber(text);
        if (!number)
            return std::string(option) + ": number out of range: " + std::string(text);
        *bound = *number;
    }
    return std::nullopt;
}

std::string familyValueText(const Sweep &sweep, int i)
{
    return shortestText(solver::familyValue(sweep.from, sweep.to, i, sweep.runs));
}

int runSweep(const TableOptions &options, int outFd, std::FILE *err)
{
    const Sweep &sweep = *options.sweep;
    OutputBuffer out(outFd);
    const bool csv = rowFormat(options) != RowFormat::Lines;
    if (csv)
        writeText(out, sweep.name + ",");
    writeText(out, rowHeader(rowFormat(options)));

    int status = 0;
    for (int i = 0; i < sweep.runs; ++i) {
        const double value = solver::familyValue(sweep.from, sweep.to, i, sweep.runs);
        // The run reads its text as a field reads what is typed into it. A value beyond the
        // double range (from A to B the span overflows) has no text to type: that run is
        // told as a number out of range is, and the family goes on.
        const std::string text = familyValueText(sweep, i);
        const auto number = std::isfinite(value) ? textToNumber(text) : std::nullopt;
        if (!number) {
            if (!out.flush())
                return std::max(status, outputError(out, err));
            std::fprintf(err,
                         "redurivezi-table: %s: number out of range: the value of run %d of %d "
                         "is beyond the double range\n",
                         sweep.option.c_str(), i + 1, sweep.runs);
            status = 1;
            continue;
        }
        fields::Captured captured = options.fields;
        if (sweep.field)
            captured[*sweep.field] = *number;
        else
            captured.own[sweep.parameter] = *number;
        status =
            std::max(status, listRun(options, captured.run(), csv ? text + "," : "", out, err));
        if (out.state() != OutputBuffer::Open)
            break; // a reader that closed the pipe has all it wanted; a write error was told
    }
    return status;
}
