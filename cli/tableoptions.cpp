// SPDX-License-Identifier: MIT

#include "cli/tableoptions.h"

#include "model/fieldtable.h"
#include "platform/texttonumber.h"
#include "version.h"

#include <array>

using fields::Field;
using fields::kFields;

namespace {

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
        "Usage: redurivezi-table [--eq N] [--x0 T] [--y0 T] [--z0 T] [--xf T] [--n T]\n"
        "                        [--lam T] [--csv [--reference] | --study]\n"
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
    usage += line + "\n            without it no equation is chosen and y'' = 0\n";
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
             "  --help    show this text\n"
             "  --version show the version\n"
             "\n"
             "Each T is read like the window's fields: its leading number, 0 if none.\n"
             "Exit status: 0 done, 1 a computation without a value, a number beyond the\n"
             "double range, a study that cannot be made or an output error, 2 bad usage.\n";
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
        if (field == nullptr && name != "--eq")
            return badUsage("unknown option " + std::string(arg));
        if (!haveValue) {
            if (i + 1 >= args.size())
                return badUsage("missing value for " + std::string(name));
            value = args[++i];
        }

        if (field != nullptr) {
            texts[static_cast<std::size_t>(field - kFields.data())] = value;
        } else if (const auto eq = value.size() == 1 ? solver::equationNumbered(value[0] - '0')
                                                     : std::nullopt) {
            captured.eq = *eq;
        } else {
            return badUsage("--eq must be 1 to 6, not " + std::string(value));
        }
    }

    if (result.options.study && (result.options.csv || result.options.reference))
        return badUsage("--study prints a table of its own: it goes with neither --csv nor "
                        "--reference");
    if (result.options.reference && !result.options.csv)
        return badUsage("--reference needs --csv: the list lines have no room for more columns");

    // In the order the window captures them, so that the first number out of range is
    // the one the window would report.
    for (Field f : fields::kCaptureOrder) {
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
    result.options.params = captured.run();
    return result;
}
