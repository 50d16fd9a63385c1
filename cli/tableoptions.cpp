// SPDX-License-Identifier: MIT

#include "cli/tableoptions.h"

#include "cli/optionwarnings.h"
#include "cli/sweep.h"
#include "model/fieldtable.h"
#include "platform/texttonumber.h"
#include "solver/formulaequation.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <vector>

using fields::Field;
using fields::kFields;

namespace {

// The formula with a caret under the column where it stops being one, as compilers show it.
std::string caretUnder(std::string_view text, const formula::ParseError &error)
{
    return error.message + "\n  " + std::string(text) + "\n  " +
           std::string(error.column > 0 ? error.column - 1 : 0, ' ') + "^";
}

TableArguments badUsage(std::string message)
{
    TableArguments result;
    result.status = TableArguments::BadUsage;
    result.message = std::move(message);
    return result;
}

const fields::FieldInfo *optionNamed(std::string_view name)
{
    for (const auto &field : kFields)
        if (field.option == name)
            return &field;
    return nullptr;
}

} // namespace

TableArguments parseTableArguments(std::span<const std::string_view> args)
{
    // Indexed like the field table; an option not given keeps the field's default text.
    std::array<std::string_view, fields::kFieldCount> texts;
    for (std::size_t k = 0; k < kFields.size(); ++k)
        texts[k] = kFields[k].defaultText;

    TableArguments result;
    fields::Captured &captured = result.options.fields;
    std::optional<std::string_view> formulaText;
    std::vector<std::string_view> params;
    std::array<bool, fields::kFieldCount> given{};
    SweepTexts sweepTexts;
    bool eqGiven = false;
    std::vector<std::string_view> modes; // --study, --readout, ... in the order given
    // Each value option's text that is read, by its option, in the order given; a
    // repeated option counts where it is last given.
    std::vector<std::pair<std::string, std::string_view>> read;
    const auto reads = [&](std::string label, std::string_view text) {
        std::erase_if(read, [&](const auto &r) { return r.first == label; });
        read.emplace_back(std::move(label), text);
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help")
            return TableArguments{TableArguments::Help, {}, {}, {}};
        if (arg == "--version")
            return TableArguments{TableArguments::Version, {}, {}, {}};
        if (arg == "--csv") {
            result.options.csv = true;
            continue;
        }
        if (arg == "--reference") {
            result.options.reference = true;
            continue;
        }
        // What is printed instead of the list, or which way the run goes: one of them.
        if (arg == "--study" || arg == "--readout" || arg == "--equilibria" ||
            arg == "--backward") {
            bool &chosen = arg == "--study"        ? result.options.study
                           : arg == "--readout"    ? result.options.readout
                           : arg == "--equilibria" ? result.options.equilibria
                                                   : result.options.backward;
            chosen = true;
            if (std::find(modes.begin(), modes.end(), arg) == modes.end())
                modes.push_back(arg);
            continue;
        }

        // "--name value" or "--name=value".
        std::string_view name = arg;
        std::string_view value;
        bool haveValue = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            haveValue = true;
        }

        const fields::FieldInfo *field = optionNamed(name);
        std::optional<std::string_view> *sweepText = name == "--sweep"  ? &sweepTexts.name
                                                     : name == "--from" ? &sweepTexts.from
                                                     : name == "--to"   ? &sweepTexts.to
                                                     : name == "--runs" ? &sweepTexts.runs
                                                                        : nullptr;
        if (field == nullptr && sweepText == nullptr && name != "--eq" && name != "--formula" &&
            name != "--param")
            return badUsage("unknown option " + std::string(arg));
        if (!haveValue) {
            if (i + 1 >= args.size())
                return badUsage("missing value for " + std::string(name));
            value = args[++i];
        }

        if (field != nullptr) {
            texts[static_cast<std::size_t>(field - kFields.data())] = value;
            given[static_cast<std::size_t>(field - kFields.data())] = true;
            reads(std::string(name), value);
        } else if (sweepText != nullptr) {
            *sweepText = value;
            if (name == "--from" || name == "--to")
                reads(std::string(name), value);
        } else if (name == "--formula") {
            formulaText = value;
        } else if (name == "--param") {
            params.push_back(value);
            if (const auto equals = value.find('='); equals != std::string_view::npos)
                reads("--param " + std::string(value.substr(0, equals)), value.substr(equals + 1));
        } else if (const auto eq = value.size() == 1 ? solver::equationNumbered(value[0] - '0')
                                                     : std::nullopt) {
            captured.eq = *eq;
            eqGiven = true;
        } else {
            return badUsage("--eq must be 1 to 6, not " + std::string(value));
        }
    }
    if (modes.size() > 1)
        return badUsage(std::string(modes[0]) + " and " + std::string(modes[1]) +
                        " both choose what is printed: give one of them");
    const std::string_view mode = modes.empty() ? std::string_view() : modes.front();
    // --from and --to bound the equilibria's y where there is no family to take them.
    SweepTexts bounds;
    if (result.options.equilibria) {
        if (sweepTexts.name || sweepTexts.runs)
            return badUsage("--sweep lists its runs one after another: it does not go with "
                            "--equilibria");
        std::swap(bounds.from, sweepTexts.from);
        std::swap(bounds.to, sweepTexts.to);
    }
    if (formulaText) {
        if (eqGiven)
            return badUsage("--formula and --eq both choose the equation: give one of them");
        auto made = solver::formulaEquation(*formulaText);
        if (const auto *error = std::get_if<formula::ParseError>(&made)) {
            result.status = TableArguments::NotAFormula;
            result.message = caretUnder(*formulaText, *error);
            return result;
        }
        captured.eq = std::get<solver::EquationRef>(made);
    }
    auto sweepOrError = sweepOf(sweepTexts, *captured.eq, mode);
    if (const auto *error = std::get_if<std::string>(&sweepOrError))
        return badUsage(*error);
    auto &sweep = result.options.sweep = std::get<std::optional<Sweep>>(std::move(sweepOrError));
    // Each run sets the swept quantity's option: one given as well would count for nothing.
    const auto givenTwice = [&] {
        return badUsage("--sweep " + sweep->name + " gives " + sweep->option +
                        " its values: leave " + sweep->option + " out");
    };
    if (sweep && sweep->field && given[static_cast<std::size_t>(*sweep->field)])
        return givenTwice();

    // A swept parameter of the formula takes its value from each run.
    const auto swept = [&](std::size_t k) {
        return sweep && !sweep->field && sweep->parameter == k;
    };
    // Each of the formula's parameters by --param NAME=T, and no other.
    std::vector<std::string_view> paramTexts(captured.eq->parameters.size());
    for (const std::string_view p : params) {
        const auto equals = p.find('=');
        const std::string_view name = p.substr(0, equals);
        if (equals == std::string_view::npos)
            return badUsage("--param takes NAME=T, not " + std::string(p));
        const auto &ps = captured.eq->parameters;
        const auto at = std::find_if(ps.begin(), ps.end(), [&](const solver::Parameter &q) {
            return q.name == name && !fields::fieldOf(q);
        });
        if (at == ps.end())
            return badUsage("--param " + std::string(name) + ": the formula has no parameter " +
                            std::string(name));
        const auto k = static_cast<std::size_t>(at - ps.begin());
        if (swept(k))
            return givenTwice();
        paramTexts[k] = p.substr(equals + 1);
    }
    for (std::size_t k = 0; k < paramTexts.size(); ++k)
        if (!fields::fieldOf(captured.eq->parameters[k]) && paramTexts[k].data() == nullptr &&
            !swept(k))
            return badUsage("the parameter " + std::string(captured.eq->parameters[k].name) +
                            " has no value: give --param " +
                            std::string(captured.eq->parameters[k].name) + "=T");

    if (result.options.study && (result.options.csv || result.options.reference))
        return badUsage("--study prints a table of its own: it goes with neither --csv nor "
                        "--reference");
    if ((result.options.readout || result.options.equilibria) &&
        (result.options.csv || result.options.reference))
        return badUsage(std::string(mode) +
                        " prints lines of its own: it goes with neither --csv nor --reference");
    if (result.options.backward && result.options.reference)
        return badUsage("--backward has no reference columns: it does not go with --reference");
    if (result.options.reference && !result.options.csv)
        return badUsage("--reference needs --csv: the list lines have no room for more columns");

    // In the order the window captures them, so that the first number out of range is
    // the one the window would report: a formula's parameters after n and lam.
    for (Field f : fields::kCaptureOrder) {
        if (f == Field::Xf)
            for (std::size_t k = 0; k < paramTexts.size(); ++k) {
                if (fields::fieldOf(captured.eq->parameters[k]) || swept(k))
                    continue;
                const auto number = textToNumber(paramTexts[k]);
                if (!number) {
                    result.status = TableArguments::OutOfRange;
                    result.message = "--param " + std::string(captured.eq->parameters[k].name) +
                                     ": number out of range: " + std::string(paramTexts[k]);
                    return result;
                }
                captured.own[k] = *number;
            }
        const auto &field = fields::info(f);
        const std::string_view text = texts[static_cast<std::size_t>(f)];
        const auto number = textToNumber(text);
        if (!number) {
            result.status = TableArguments::OutOfRange;
            result.message =
                std::string(field.option) + ": number out of range: " + std::string(text);
            return result;
        }
        captured[f] = *number;
    }
    // After every field, so that a field's number out of range is told as in a single run.
    if (sweep)
        if (auto error = readFamilyBounds(*sweep, sweepTexts)) {
            result.status = TableArguments::OutOfRange;
            result.message = std::move(*error);
            return result;
        }
    for (auto [bound, text, option] : {std::tuple{&result.options.from, bounds.from, "--from"},
                                       std::tuple{&result.options.to, bounds.to, "--to"}}) {
        if (!text)
            continue;
        const auto number = textToNumber(*text);
        if (!number) {
            result.status = TableArguments::OutOfRange;
            result.message = std::string(option) + ": number out of range: " + std::string(*text);
            return result;
        }
        *bound = *number;
    }
    result.options.params = captured.run();
    // Every text has been read without a number out of range.
    for (const auto &[label, text] : read)
        if (auto warning = readingWarning(label, text, textToNumber(text).value_or(0.0)))
            result.warnings.push_back(std::move(*warning));
    return result;
}
