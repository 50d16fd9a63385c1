// SPDX-License-Identifier: MIT

#include "cli/tableoptions.h"
#include "solver/builtins.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace solver;

namespace {

struct Result
{
    int status;
    std::string out;
    std::string err;
};

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the table tool through the shell; `tail` may redirect or pipe its output.
Result table(const std::string &args, const std::string &tail = "")
{
    // CTest runs the cases as parallel processes: each gets files of its own.
    const std::string base = testing::TempDir() + "table-" + std::to_string(getpid());
    const std::string out = base + ".out";
    const std::string err = base + ".err";
    const std::string command = "set -o pipefail; { " + std::string(REDURIVEZI_TABLE) + " " + args +
                                " " + tail + "; } > " + out + " 2> " + err;
    // Within the single quotes of bash -c, a quote is closed, escaped and opened again.
    std::string quoted;
    for (const char ch : command)
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    const int raw = std::system(("bash -c '" + quoted + "'").c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return result;
}

int lineCount(const std::string &text)
{
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

std::string lastLine(const std::string &text)
{
    const auto end = text.find_last_of('\n');
    const auto start = text.find_last_of('\n', end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start - 1);
}

// ---- Whole runs against the independent reference in tests/reference -----------------

struct RunFile
{
    std::string name;
    std::string args;
    std::string error; // the stderr line of a run that fails, if any
};

void PrintTo(const RunFile &c, std::ostream *os)
{
    *os << c.name;
}

class WholeRun : public testing::TestWithParam<RunFile>
{
};

TEST_P(WholeRun, ListsExactlyTheReferenceLines)
{
    const RunFile &c = GetParam();
    const Result r = table(c.args);
    EXPECT_EQ(r.out, readFile(std::string(REDURIVEZI_TEST_DATA) + "/" + c.name + ".txt"));
    EXPECT_EQ(r.err, c.error);
    EXPECT_EQ(r.status, c.error.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Reference, WholeRun,
    testing::Values(
        RunFile{"unset_default", "", ""}, RunFile{"sinx_default", "--eq 2", ""},
        RunFile{"sinx_from_negative", "--eq 2 --x0 -2.3 --y0 1 --z0 -1 --xf 10", ""},
        RunFile{"damped_default", "--eq 3", ""},
        // Large enough that the single-precision product -6 z shows in 165 of the lines.
        RunFile{"damped_fast_start", "--eq 3 --y0 10 --z0 99999.7", ""},
        RunFile{"vanderpol", "--eq 4 --y0 0.5 --z0 0 --xf 20", ""},
        RunFile{"emden_n1", "--eq 5 --n 1 --x0 0.01 --y0 1 --z0 0 --xf 20", ""},
        RunFile{"emden_n2_5", "--eq 5 --n 2.5 --x0 0.01 --y0 1 --z0 0 --xf 20",
                "redurivezi-table: power of a negative number with a fractional exponent at "
                "x = 5.35\n"},
        RunFile{"cosmos", "--eq 6 --y0 1 --z0 0 --lam 2", ""},
        RunFile{"oscillator_cross_zero", "--eq 1 --x0 -2.3 --y0 0 --z0 1 --xf 1", ""}),
    [](const auto &info) { return info.param.name; });

// ---- Exit status and messages ----------------------------------------------------------

struct StatusCase
{
    std::string name;
    std::string args;
    int status;
    int lines;
    std::string errStart; // what stderr begins with
};

void PrintTo(const StatusCase &c, std::ostream *os)
{
    *os << c.name;
}

class ExitStatus : public testing::TestWithParam<StatusCase>
{
};

TEST_P(ExitStatus, TellsHowTheRunEnded)
{
    const StatusCase &c = GetParam();
    const Result r = table(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(lineCount(r.out), c.lines);
    EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart);
    if (c.errStart.empty()) {
        EXPECT_EQ(r.err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitStatus,
    testing::Values(
        StatusCase{"Defaults", "", 0, 501, ""},
        StatusCase{"EqualsForm", "--xf=1 --eq=2", 0, 101, ""},
        StatusCase{"FieldTextRule", "--xf 1,5 --x0 abc", 0, 101, ""},
        StatusCase{"EndBeforeStart", "--x0 3 --xf 2", 0, 0, ""},
        StatusCase{"EmdenFromZero", "--eq 5", 1, 0,
                   "redurivezi-table: division by zero at x = 0\n"},
        // The first sample is listed; the step away from it overflows.
        StatusCase{"OverflowInAStep", "--eq 4 --y0 1e30 --z0 1", 1, 1,
                   "redurivezi-table: overflow at x = 0\n"},
        StatusCase{"SingleProductBeyondRange", "--eq 3 --z0 3e38", 1, 0,
                   "redurivezi-table: overflow of the single-precision slope at x = 0\n"},
        StatusCase{"StartBeyondDrawing", "--eq 4 --y0 1e200", 1, 0,
                   "redurivezi-table: drawing coordinate out of range at x = 0\n"},
        StatusCase{"BoundBeyondDouble", "--xf 1e307", 1, 0,
                   "redurivezi-table: overflow at x = 0\n"},
        StatusCase{"OptionBeyondRange", "--xf 1e999", 1, 0,
                   "redurivezi-table: --xf: number out of range: 1e999\n"},
        StatusCase{"ReferenceWithoutCsv", "--reference", 2, 0,
                   "redurivezi-table: --reference needs --csv: the list lines have no room for "
                   "more columns\nUsage:"},
        StatusCase{"StudyWithCsv", "--study --csv", 2, 0,
                   "redurivezi-table: --study prints a table of its own: it goes with neither "
                   "--csv nor --reference\n"},
        // Every line is listed; the reference columns end at the pole, which is told.
        StatusCase{"ReferenceEndsAtAPole", "--eq 6 --y0 0.5 --z0 0.1 --csv --reference", 0, 502,
                   "redurivezi-table: the reference ends near x = 0.808926: its step size "
                   "collapses; the reference columns are empty from x = 0.81 on\n"},
        StatusCase{"StudyOfARunWithoutSamples", "--eq 5 --study", 1, 1,
                   "redurivezi-table: division by zero at x = 0\n"},
        StatusCase{"Help", "--help", 0, 43, ""}, StatusCase{"Version", "--version", 0, 5, ""},
        // A formula: where it stops being one, under the text, and nothing else (exit 2).
        StatusCase{"NotAFormula", "--formula 2y", 2, 0,
                   "redurivezi-table: '*' expected between two operands at column 2 (no implicit "
                   "multiplication)\n  2y\n   ^\n"},
        StatusCase{"FormulaAndEquation", "--eq 1 --formula -y", 2, 0,
                   "redurivezi-table: --formula and --eq both choose the equation: give one of "
                   "them\nUsage:"},
        StatusCase{"ParameterWithoutValue", "--formula \"-k*y\"", 2, 0,
                   "redurivezi-table: the parameter k has no value: give --param k=T\n"},
        StatusCase{"ParameterTheFormulaLacks", "--formula -y --param k=1", 2, 0,
                   "redurivezi-table: --param k: the formula has no parameter k\n"},
        StatusCase{"ParameterWithoutText", "--formula \"-k*y\" --param k", 2, 0,
                   "redurivezi-table: --param takes NAME=T, not k\n"},
        StatusCase{"ParameterBeyondRange", "--formula \"-k*y\" --param k=1e999", 1, 0,
                   "redurivezi-table: --param k: number out of range: 1e999\n"},
        // Read by the fields' rule: "2x" is 2.
        StatusCase{"ParameterFieldRule", "--formula \"-k*y\" --param k=2x --xf 1", 0, 101, ""},
        StatusCase{"FormulaFault", "--formula \"log(y)\" --y0 -1 --xf 1", 1, 0,
                   "redurivezi-table: logarithm of a number that is not positive at x = 0\n"},
        // y'' = sqrt y from 0.5 falling at -1 reaches 0 near x = 0.6: a stage of the step from
        // 0.59 has a negative y, and that sample is the last listed.
        StatusCase{"FormulaFaultPartway", "--formula \"sqrt(y)\" --y0 0.5 --z0 -1 --xf 2", 1, 60,
                   "redurivezi-table: square root of a negative number at x = 0.59\n"},
        StatusCase{"UnknownOption", "--step 0.1", 2, 0,
                   "redurivezi-table: unknown option --step\nUsage:"},
        StatusCase{"MissingValue", "--x0", 2, 0, "redurivezi-table: missing value for --x0\n"},
        StatusCase{"EquationOutOfRange", "--eq 7", 2, 0,
                   "redurivezi-table: --eq must be 1 to 6, not 7\n"},
        StatusCase{"EquationZero", "--eq 0", 2, 0, "redurivezi-table: --eq must be 1 to 6"},
        StatusCase{"EquationNotANumber", "--eq two", 2, 0, "redurivezi-table: --eq must be 1 to 6"},
        StatusCase{"StrayArgument", "5", 2, 0, "redurivezi-table: unknown option 5\n"}),
    [](const auto &info) { return info.param.name; });

// ---- A formula of a built-in equation lists its very lines ---------------------------------

struct FormulaCase
{
    std::string name;
    std::string builtin; // the options of the built-in run
    std::string formula; // the same run with its g as a formula
};

void PrintTo(const FormulaCase &c, std::ostream *os)
{
    *os << c.name;
}

class Formula : public testing::TestWithParam<FormulaCase>
{
};

TEST_P(Formula, ListsTheBuiltInsLinesAndExactDoubles)
{
    const FormulaCase &c = GetParam();
    for (const std::string csv : {"", " --csv"}) {
        const Result builtin = table(c.builtin + csv), own = table(c.formula + csv);
        ASSERT_EQ(builtin.status, 0) << builtin.err;
        EXPECT_EQ(own.status, 0) << own.err;
        EXPECT_GT(lineCount(own.out), 100);
        EXPECT_EQ(own.out, builtin.out) << csv;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Equations, Formula,
    testing::Values(
        FormulaCase{"Oscillator", "--eq 1 --xf 30", "--formula -y --xf 30"},
        FormulaCase{"SineForced", "--eq 2 --x0 -3.7 --xf 40",
                    "--formula \"-2*y + sin(x)\" --x0 -3.7 --xf 40"},
        FormulaCase{"VanDerPol", "--eq 4 --y0 2 --z0 0 --xf 50",
                    "--formula \"(1-y*y)*y'-y\" --y0 2 --z0 0 --xf 50"},
        // Index 5 never reaches zero, so the Emden stop, which is Emden's alone, never comes.
        FormulaCase{"Emden", "--eq 5 --n 5 --x0 0.01 --y0 1 --z0 0 --xf 30",
                    "--formula \"-2*y'/x - y^n\" --param n=5 --x0 0.01 --y0 1 --z0 0 --xf 30"},
        FormulaCase{"Cosmos", "--eq 6 --lam 0.5 --y0 1 --z0 0.5 --xf 20",
                    "--formula \"(-1/y^2 + lam*y)/3\" --param lam=0.5 --y0 1 --z0 0.5 --xf 20"}),
    [](const auto &info) { return info.param.name; });

TEST(Table, AFormulaHasAReferenceAndAStudy)
{
    // y'' = -k y with k = 4: the integrated reference follows 0.01 cos 2x + 8.4735 sin 2x.
    const Result r = table("--formula \"-k*y\" --param k=4 --csv --reference");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "x,y,reference,error");
    const std::string last = lastLine(r.out);
    const double reference = std::stod(last.substr(last.find(',', last.find(',') + 1) + 1));
    EXPECT_NEAR(reference, 0.01 * std::cos(10.0) + 16.947 / 2 * std::sin(10.0), 1e-9);
    const Result study = table("--formula \"-k*y\" --param k=4 --study");
    EXPECT_EQ(study.status, 0) << study.err;
    EXPECT_NE(study.out.find("Here the single-precision slope limits the error"), std::string::npos)
        << study.out;
}

TEST(Table, CsvGivesExactDoubles)
{
    const Result r = table("--eq 2 --xf 0.5 --csv");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 4), "x,y\n");
    EXPECT_EQ(lineCount(r.out), 52);
    EXPECT_EQ(r.out.substr(4, r.out.find('\n', 4) - 4), "0,0.01");
    // 0.01 * 35 is not 0.35: the shortest text that reads back shows it.
    EXPECT_NE(r.out.find("\n0.35000000000000003,"), std::string::npos);
    EXPECT_EQ(lastLine(r.out).substr(0, 4), "0.5,");
}

TEST(Table, FailureKeepsTheLinesBeforeIt)
{
    const Result r = table("--eq 5 --n 2.5 --x0 0.01 --y0 1 --z0 0 --xf 20");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lineCount(r.out), 535);
    EXPECT_EQ(lastLine(r.out), "5.35   .0004");
}

TEST(Table, WriteErrorIsReported)
{
    const Result r = table("--xf 100", "> /dev/full; echo $? >&2; true");
    EXPECT_EQ(r.err.substr(0, 46), "redurivezi-table: write error: No space left o");
    EXPECT_EQ(lastLine(r.err), "1");
}

TEST(Table, ClosedPipeEndsQuietly)
{
    // Ten million lines, of which head takes one: the tool stops at once and says nothing.
    const Result r = table("--xf 100000", "| head -n 1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0   .0100\n");
    EXPECT_EQ(r.err, "");
}

TEST(Table, StreamsAHugeSpan)
{
    // 10^12 grid points: the tool streams them, keeping nothing, for as long as it is read.
    const Result r = table("--eq 2 --xf 1e10", "| head -n 200000 | tail -n 1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 10), "1999.99   ");
    EXPECT_EQ(r.err, "");
}

// ---- The reference column against the solution -------------------------------------------

struct ReferenceCase
{
    std::string name;
    int eq; // 0: none
    double x0, y0, z0, xf, n, lam;
    double tolerance; // relative to max(1, |solution|)
};

void PrintTo(const ReferenceCase &c, std::ostream *os)
{
    *os << c.name;
}

// The solution at the listed abscissae: a closed form, or else a fixed-step Runge-Kutta
// run in long double with 64 steps per grid interval.
std::vector<long double> solution(const ReferenceCase &c, const std::vector<long double> &xs)
{
    const long double x0 = c.x0, y0 = c.y0, z0 = c.z0, r2 = std::sqrt(2.0L);
    std::vector<long double> ys;
    long double y = y0, z = z0, x = x0;
    const auto g = [&](long double x, long double y, long double z) {
        if (c.eq == 4)
            return (1 - y * y) * z - y;
        if (c.eq == 5)
            return -2 / x * z - std::pow(y, static_cast<long double>(c.n));
        return (c.lam * y - 1 / (y * y)) / 3;
    };
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const long double d = xs[i] - x0;
        if (c.eq == 0)
            ys.push_back(y0 + z0 * d);
        else if (c.eq == 1)
            ys.push_back(y0 * std::cos(d) + z0 * std::sin(d));
        else if (c.eq == 2)
            ys.push_back(std::sin(xs[i]) + (y0 - std::sin(x0)) * std::cos(r2 * d) +
                         (z0 - std::cos(x0)) / r2 * std::sin(r2 * d));
        else if (c.eq == 3)
            ys.push_back((y0 + (z0 + y0) / 4) * std::exp(-d) - (z0 + y0) / 4 * std::exp(-5 * d));
        else
            ys.push_back(y);
        for (int k = 0; c.eq > 3 && k < 64; ++k) {
            const long double s = 0.01L / 64, m = x + s / 2;
            const long double k1 = z, l1 = g(x, y, z);
            const long double k2 = z + s / 2 * l1, l2 = g(m, y + s / 2 * k1, k2);
            const long double k3 = z + s / 2 * l2, l3 = g(m, y + s / 2 * k2, k3);
            const long double k4 = z + s * l3, l4 = g(x + s, y + s * k3, k4);
            y += s / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
            z += s / 6 * (l1 + 2 * l2 + 2 * l3 + l4);
            x = x0 + 0.01L * static_cast<long double>(i) + s * (k + 1);
        }
    }
    return ys;
}

class ReferenceColumn : public testing::TestWithParam<ReferenceCase>
{
};

TEST_P(ReferenceColumn, FollowsTheSolutionAndErrorIsYMinusReference)
{
    const ReferenceCase &c = GetParam();
    char args[256];
    std::snprintf(args, sizeof args,
                  "--x0 %.17g --y0 %.17g --z0 %.17g --xf %.17g --n %.17g "
                  "--lam %.17g --csv --reference",
                  c.x0, c.y0, c.z0, c.xf, c.n, c.lam);
    const Result r = table((c.eq ? "--eq " + std::to_string(c.eq) + " " : "") + args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::istringstream lines(r.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "x,y,reference,error");
    std::vector<double> row[4];
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        for (auto &column : row) {
            std::string field;
            std::getline(fields, field, ',');
            column.push_back(std::strtod(field.c_str(), nullptr));
        }
    }
    ASSERT_EQ(row[0].size(), static_cast<std::size_t>(std::floor((c.xf - c.x0) / 0.01)) + 1);
    const auto exact = solution(c, std::vector<long double>(row[0].begin(), row[0].end()));
    for (std::size_t i = 0; i < exact.size(); ++i) {
        ASSERT_EQ(row[3][i], row[1][i] - row[2][i]) << line;
        ASSERT_LE(std::fabs(row[2][i] - exact[i]),
                  c.tolerance * std::max(1.0L, std::fabs(exact[i])))
            << "x = " << row[0][i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ReferenceColumn,
    testing::Values(ReferenceCase{"NoEquation", 0, 0, 0.01, 16.947, 5, 2, 1, 1e-12},
                    ReferenceCase{"Oscillator", 1, 0, 0.01, 16.947, 5, 2, 1, 1e-12},
                    ReferenceCase{"SineForced", 2, 0, 0.01, 16.947, 5, 2, 1, 1e-12},
                    ReferenceCase{"Damped", 3, 0, 0.01, 16.947, 5, 2, 1, 1e-12},
                    ReferenceCase{"VanDerPol", 4, 0, 2, 0, 20, 2, 1, 1e-9},
                    ReferenceCase{"Emden", 5, 0.01, 1, 0, 6, 3, 1, 1e-9},
                    ReferenceCase{"Cosmos", 6, 0, 1, 0.5, 5, 2, 1, 1e-9}),
    [](const auto &info) { return info.param.name; });

TEST(Table, ReferenceLeavesTheListedSamplesAsTheyAre)
{
    const std::string args = "--eq 5 --n 2.5 --x0 0.01 --y0 1 --z0 0 --xf 20 --csv";
    const Result plain = table(args), with = table(args + " --reference");
    EXPECT_EQ(with.status, 1);
    std::istringstream a(plain.out), b(with.out);
    std::string x, y;
    std::getline(a, x), std::getline(b, y);
    while (std::getline(a, x) && std::getline(b, y))
        ASSERT_EQ(y.substr(0, x.size() + 1), x + ",");
    EXPECT_FALSE(std::getline(b, y));
}

TEST(Table, StudyOfTheSineForcedRun)
{
    const Result r = table("--eq 2 --study");
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Error y - reference at the run's last sample, x = 5 (reference "
                    "7.0414134732712075):");
    std::getline(lines, line), std::getline(lines, line);
    EXPECT_EQ(line, "        h   error, single slope   ratio   error, double slope   ratio");
    for (const char *h : {"0.01", "0.005", "0.0025", "0.00125"}) {
        std::getline(lines, line);
        std::istringstream cells(line);
        std::string step, single, ratioSingle, error, ratio;
        cells >> step >> single;
        if (step != "0.01")
            cells >> ratioSingle;
        cells >> error >> ratio;
        EXPECT_EQ(step, h);
        EXPECT_LT(std::fabs(std::stod(single)), 1e-5) << line;
        EXPECT_LT(std::fabs(std::stod(error)), 1e-7) << line;
        if (step != "0.01") {
            EXPECT_GE(std::stod(ratio), 12) << line;
            EXPECT_LE(std::stod(ratio), 20) << line;
        }
    }
    std::getline(lines, line), std::getline(lines, line);
    EXPECT_EQ(line, "Here the single-precision slope limits the error: it is 100 times the step's "
                    "own error, and halving h no longer helps below h = 0.01.");
    EXPECT_FALSE(std::getline(lines, line));
}

// ---- The parser on its own ---------------------------------------------------------------

TEST(TableArguments, OmittedValuesAreTheFieldDefaults)
{
    const TableArguments a = parseTableArguments({});
    ASSERT_EQ(a.status, TableArguments::Run);
    const RunParameters &p = a.options.params;
    EXPECT_EQ(p.eq, Builtin::None);
    EXPECT_EQ(p.x0, 0);
    EXPECT_EQ(p.y0, 0.01);
    EXPECT_EQ(p.z0, 16.947);
    EXPECT_EQ(p.xf, 5);
    EXPECT_EQ(a.options.fields[fields::Field::N], 2);
    EXPECT_EQ(a.options.fields[fields::Field::Lam], 1);
    EXPECT_FALSE(a.options.csv);
}

TEST(TableArguments, TheLastOfARepeatedOptionCounts)
{
    const std::vector<std::string_view> args = {"--eq",  "3",  "--eq",  "6",
                                                "--lam", "2x", "--lam", " 1e1"};
    const TableArguments a = parseTableArguments(args);
    ASSERT_EQ(a.status, TableArguments::Run);
    EXPECT_EQ(a.options.params.eq, Builtin::Cosmos);
    EXPECT_EQ(a.options.params.values[0], 10);
}

} // namespace
