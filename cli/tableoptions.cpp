#include "cli/tableoptions.h"

#include "platform/texttonumber.h"

#include <array>

namespace {

struct NumberOption
{
    std::string_view name;
    std::string_view defaultText; // the field's text when the window opens
    double RunParameters::*target;
};

// In the order the window captures them: Text1, Text3, Text4, then Text5, Text6, Text2.
constexpr std::array<NumberOption, 6> kNumberOptions = {{
    {"--x0", "0", &RunParameters::x0},
    {"--y0", "0.01", &RunParameters::y0},
    {"--z0", "16.947", &RunParameters::z0},
    {"--n", "2", &RunParameters::n},
    {"--lam", "1", &RunParameters::lam},
    {"--xf", "5", &RunParameters::xf},
}};

TableArguments badUsage(std::string message)
{
    TableArguments result;
    result.status = TableArguments::BadUsage;
    result.message = std::move(message);
    return result;
}

} // namespace

std::string_view tableUsage()
{
    return "Usage: redurivezi-table [--eq N] [--x0 T] [--y0 T] [--z0 T] [--xf T] [--n T]\n"
           "                        [--lam T] [--csv]\n"
           "Integrates y'' = g(x, y, y') from x0 to xf with fixed-step Runge-Kutta (h = 0.01)\n"
           "and prints the sample list, one line per grid point.\n"
           "\n"
           "  --eq N    equation: 1 y''+y=0, 2 y''+2y=sin x, 3 y''+6y'+5y=0,\n"
           "            4 van der Pol, 5 Emden (index n), 6 Cosmos (coefficient lam);\n"
           "            without it no equation is chosen and y'' = 0\n"
           "  --x0 T    start abscissa (default 0)\n"
           "  --y0 T    y(x0) (default 0.01)\n"
           "  --z0 T    y'(x0) (default 16.947)\n"
           "  --xf T    final abscissa (default 5)\n"
           "  --n T     Emden index (default 2)\n"
           "  --lam T   Cosmos coefficient (default 1)\n"
           "  --csv     print \"x,y\" and each sample as exact shortest decimals\n"
           "  --help    show this text\n"
           "\n"
           "Each T is read like the window's fields: its leading number, 0 if none.\n"
           "Exit status: 0 done, 1 a computation without a value, a number beyond the\n"
           "double range or an output error, 2 bad usage.\n";
}

TableArguments parseTableArguments(std::span<const std::string_view> args)
{
    std::array<std::string_view, kNumberOptions.size()> texts;
    for (std::size_t k = 0; k < kNumberOptions.size(); ++k)
        texts[k] = kNumberOptions[k].defaultText;

    TableArguments result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help")
            return TableArguments{TableArguments::Help, {}, {}};
        if (arg == "--csv") {
            result.options.csv = true;
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

        const NumberOption *number = nullptr;
        for (const auto &option : kNumberOptions)
            if (option.name == name)
                number = &option;
        if (number == nullptr && name != "--eq")
            return badUsage("unknown option " + std::string(arg));
        if (!haveValue) {
            if (i + 1 >= args.size())
                return badUsage("missing value for " + std::string(name));
            value = args[++i];
        }

        if (number != nullptr) {
            texts[static_cast<std::size_t>(number - kNumberOptions.data())] = value;
        } else if (value.size() == 1 && value[0] >= '1' && value[0] <= '6') {
            result.options.params.eq = value[0] - '0';
        } else {
            return badUsage("--eq must be 1 to 6, not " + std::string(value));
        }
    }

    for (std::size_t k = 0; k < kNumberOptions.size(); ++k) {
        const auto number = textToNumber(texts[k]);
        if (!number) {
            result.status = TableArguments::OutOfRange;
            result.message = std::string(kNumberOptions[k].name) +
                             ": number out of range: " + std::string(texts[k]);
            return result;
        }
        result.options.params.*kNumberOptions[k].target = *number;
    }
    return result;
}
