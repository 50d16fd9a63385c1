// SPDX-License-Identifier: MIT

#include "cli/tableusage.h"

#include "model/fieldtable.h"
#include "solver/builtins.h"
#include "version.h"

#include <algorithm>
#include <string>

using fields::Field;

namespace {

std::string makeUsage()
{
    std::string usage =
        "Usage: redurivezi-table [--eq N | --formula F [--param NAME=T]...] [--x0 T]\n"
        "                        [--y0 T] [--z0 T] [--xf T] [--n T] [--lam T]\n"
        "                        [--csv [--reference] | --study | --readout]\n"
        "                        [--sweep NAME --from A --to B --runs K]\n"
        "       redurivezi-table [...] --backward [--csv]\n"
        "       redurivezi-table [...] --equilibria [--from A] [--to B]\n"
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
             "            which of the two limits it; for a run that fails, of the lines\n"
             "            it lists, then its message\n"
             "  --readout instead of the list, the run's read-out: a periodic orbit it ends\n"
             "            on with its period and amplitude, or an equilibrium it settles on\n"
             "            with its class, or neither; then its zeros and its maxima and\n"
             "            minima, each to the last digit, the first and last ten of each\n"
             "  --backward\n"
             "            the run backward, with the step -h, from x0 down to xf, which\n"
             "            lies before x0: its lines as the list's, x decreasing\n"
             "  --equilibria\n"
             "            instead of a run, the equation's equilibria with y from A to B\n"
             "            (--from A, --to B; default -5 and 15), a line each with its\n"
             "            class and its eigenvalues; why there are none on standard error\n"
             "  --sweep NAME --from A --to B --runs K\n"
             "            K runs (2 to 100) one after another, NAME (x0, y0, z0, xf, the\n"
             "            equation's n or lam, or a parameter of the formula) from A to B\n"
             "            in even steps, each value typed as its shortest exact text; with\n"
             "            --csv a first column NAME holds it; not with --study, --readout,\n"
             "            --backward or --equilibria\n"
             "  --help    show this text\n"
             "  --version show the version\n"
             "\n"
             "Each T, A and B is read like a field: its leading number, 0 if none; one\n"
             "that is not wholly a number is told on standard error as read. A run that\n"
             "ends early without a fault says so there too; --readout and --backward end\n"
             "as the list does, with its message and status.\n"
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
