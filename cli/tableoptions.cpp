// SPDX-License-Identifier: MIT

#include "cli/tableoptions.h"

#include "cli/sweep.h"
#include "model/fieldtable.h"
#include "platform/texttonumber.h"
#include "solver/formulaequation.h"
#include "version.h"

#include <algorithm>
#include <array>
#include <optional>
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

std::string makeUsage()
{
    std::string usage =
        "Usage: redurivezi-table [--eq N | --formula F [--param NAME=T]...] [--x0 T]\n"
        "                        [--y0 T] [--z0 T] [--xf T] [--n T] [--lam T]\n"
        "                        [--csv [--reference] | --study]\n"
        "                        [--sweep NAME --from A --to B --runs K]\n"
        "Integrates y'' = g(x, y, y') from x0 to xf with fixed-step Runge-Kutta (h = 0.01)\n"
        "and prints the sample list, one line per grid point.\n"
        "\n";
    // The equations by their numbers, filled into lines of at most 78 characters.
    std::string line = "  --eq N    equation:";
    for (int number = 1; const auto eq = solver::equationNumbered(number); ++number) {
        std::string item = " ";
        item += std::to_string(number);
        item += ' ';
        item += (*eq)->usageName;
        item += solver::equationNumbered(number + 1) ? ',' : ';';
        if (line.size() + item.size() > 78) {
            usage += line + "\n";
            line = "           ";
        }
        line += item;
    }
    usage += line + "\n            without it no equation is chosen and y'' = 0\n"
                    "  --formula F\n"
                    "            the equation y'' = F, a formula in x, y and y' with + - * / ^,\n"
                    "            parentheses and sin cos tan asin acos atan sinh cosh tanh exp\n"
                    "            log sqrt abs; every other name is a parameter\n"
                    "  --param NAME=T\n"
                    "            the value of the formula's parameter NAME, one for each\n";
    for (Field f : fields::kUsageOrder) {
        const auto &field = fields::info(f);
        std::string name = std::string(field.option) + " T";
        name.resize(std::max<std::size_t>(name.size() + 1, 10), ' ');
        usage += "  " + name + std::string(field.holds) + " (default " +
                 std::string(field.defaultText) + ")\n";
    }
    usage += "  --csv     print \"x,y\" and each sample as exact shortest decimals\n"
             "  --reference\n"
             "            with --csv: add the columns reference (the solution computed\n"
             "            independently in double precision) and error (y - reference);\n"
             "            both are empty where the reference has no value\n"
             "  --study   instead of the list, the error at the last sample for h = 0.01,\n"
             "            0.005, 0.0025 and 0.00125 with a single and a double slope, and\n"
             "            which of the two limits it\n"
             "  --sweep NAME --from A --to B --runs K\n"
             "            K runs (2 to 100) one after another, NAME (x0, y0, z0, xf, the\n"
             "            equation's n or lam, or a parameter of the formula) from A to B\n"
             "            in even steps, each value typed as its shortest exact text; with\n"
             "            --csv a first column NAME holds it; not with --study\n"
             "  --help    show this text\n"
             "  --version show the version\n"
             "\n"
             "Each T, A and B is read like a field: its leading number, 0 if none.\n"
             "Exit status: 0 done, 1 a computation without a value, a number beyond the\n"
             "double range, a study that cannot be made or an output error, 2 bad usage\n"
             "or a formula that is none. A sweep goes on after a run that fails, and\n"
             "exits with the worst status of its runs.\n";
    return usage;
}

} // namespace

std::string_view tableUsage()
{
    static const std::string usage = makeUsage();
    return usage;
}

std::string_view tableVersion()
{
    static const std::string version =
        "redurivezi-table (RedurIvezi) " + std::string(kVersion) +
        "\nCopyright (c) the RedurIvezi developers\n"
        "License MIT: <https://opensource.org/licenses/MIT>.\n"
        "This is free software: you are free to change and redistribute it.\n"
        "There is NO WARRANTY, to the extent permitted by law.\n";
    return version;
}

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
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help")
            return TableArguments{TableArguments::Help, {}, {}};
        if (arg == "--version")
            return TableArguments{TableArguments::Version, {}, {}};
        if (arg == "--csv") {
            result.options.csv = true;
            continue;
        }
        if (arg == "--reference") {
            result.options.reference = true;
            continue;
        }
        if (arg == "--study") {
            result.options.study = true;
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
        } else if (sweepText != nullptr) {
            *sweepText = value;
        } else if (name == "--formula") {
            formulaText = value;
        } else if (name == "--param") {
            params.push_back(value);
        } else if (const auto eq = value.size() == 1 ? solver::equationNumbered(value[0] - '0')
                                                     : std::nullopt) {
            captured.eq = *eq;
            eqGiven = true;
        } else {
            return badUsage("--eq must be 1 to 6, not " + std::string(value));
        }
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
    auto sweepOrError = sweepOf(sweepTexts, *captured.eq, result.options.study);
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
    result.options.params = captured.run();
    return result;
}
