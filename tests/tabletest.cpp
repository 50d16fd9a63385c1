// SPDX-License-Identifier: MIT

#include "cli/tableoptions.h"

#include <gtest/gtest.h>

#include <ostream>

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
    const int raw = std::system(("bash -c '" + command + "'").c_str());
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
        StatusCase{"Help", "--help", 0, 21, ""}, StatusCase{"Version", "--version", 0, 5, ""},
        StatusCase{"UnknownOption", "--step 0.1", 2, 0,
                   "redurivezi-table: unknown option --step\nUsage:"},
        StatusCase{"MissingValue", "--x0", 2, 0, "redurivezi-table: missing value for --x0\n"},
        StatusCase{"EquationOutOfRange", "--eq 7", 2, 0,
                   "redurivezi-table: --eq must be 1 to 6, not 7\n"},
        StatusCase{"EquationZero", "--eq 0", 2, 0, "redurivezi-table: --eq must be 1 to 6"},
        StatusCase{"EquationNotANumber", "--eq two", 2, 0, "redurivezi-table: --eq must be 1 to 6"},
        StatusCase{"StrayArgument", "5", 2, 0, "redurivezi-table: unknown option 5\n"}),
    [](const auto &info) { return info.param.name; });

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

// ---- The parser on its own ---------------------------------------------------------------

TEST(TableArguments, OmittedValuesAreTheFieldDefaults)
{
    const TableArguments a = parseTableArguments({});
    ASSERT_EQ(a.status, TableArguments::Run);
    const RunParameters &p = a.options.params;
    EXPECT_EQ(p.eq, Equation::Unset);
    EXPECT_EQ(p.x0, 0);
    EXPECT_EQ(p.y0, 0.01);
    EXPECT_EQ(p.z0, 16.947);
    EXPECT_EQ(p.xf, 5);
    EXPECT_EQ(p.n, 2);
    EXPECT_EQ(p.lam, 1);
    EXPECT_FALSE(a.options.csv);
}

TEST(TableArguments, TheLastOfARepeatedOptionCounts)
{
    const std::vector<std::string_view> args = {"--eq",  "3",  "--eq",  "6",
                                                "--lam", "2x", "--lam", " 1e1"};
    const TableArguments a = parseTableArguments(args);
    ASSERT_EQ(a.status, TableArguments::Run);
    EXPECT_EQ(a.options.params.eq, Equation::Cosmos);
    EXPECT_EQ(a.options.params.lam, 10);
}

} // namespace
