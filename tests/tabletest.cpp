// SPDX-License-Identifier: MIT

#include "cli/sweep.h"
#include "cli/tableoptions.h"
#include "listing/numbertext.h"
#include "platform/texttonumber.h"
#include "solver/builtins.h"
#include "solver/family.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    std::string error; // the stderr line of a run that fails or ends early, if any
    int status = 0;
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
    EXPECT_EQ(r.status, c.status);
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
        RunFile{"emden_n1", "--eq 5 --n 1 --x0 0.01 --y0 1 --z0 0 --xf 20",
                "redurivezi-table: the run ended at the first zero: y <= 0 after x = 3.14\n"},
        RunFile{"emden_n2_5", "--eq 5 --n 2.5 --x0 0.01 --y0 1 --z0 0 --xf 20",
                "redurivezi-table: power of a negative number with a fractional exponent at "
                "x = 5.35\n",
                1},
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
    std::string err; // all of stderr
};

void PrintTo(const StatusCase &c, std::ostream *os)
{
    *os << c.name;
}

// What every usage error says after its reason.
const std::string kTry = "Try 'redurivezi-table --help'.\n";

class ExitStatus : public testing::TestWithParam<StatusCase>
{
};

TEST_P(ExitStatus, TellsHowTheRunEnded)
{
    const StatusCase &c = GetParam();
    const Result r = table(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(lineCount(r.out), c.lines);
    EXPECT_EQ(r.err, c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitStatus,
    testing::Values(
        StatusCase{"Defaults", "", 0, 501, ""},
        StatusCase{"EqualsForm", "--xf=1 --eq=2", 0, 101, ""},
        // Read by the fields' rule, and said so, in the order of the options.
        StatusCase{"FieldTextRule", "--xf 1,5 --x0 abc", 0, 101,
                   "redurivezi-table: --xf '1,5' read as 1\n"
                   "redurivezi-table: --x0 'abc' holds no number: read as 0\n"},
        StatusCase{"EndBeforeStart", "--x0 3 --xf 2", 0, 0,
                   "redurivezi-table: no samples: the final abscissa is before x0\n"},
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
                   "more columns\n" +
                       kTry},
        StatusCase{"StudyWithCsv", "--study --csv", 2, 0,
                   "redurivezi-table: --study prints a table of its own: it goes with neither "
                   "--csv nor --reference\n" +
                       kTry},
        // Every line is listed; the reference columns end at the pole, which is told.
        StatusCase{"ReferenceEndsAtAPole", "--eq 6 --y0 0.5 --z0 0.1 --csv --reference", 0, 502,
                   "redurivezi-table: the reference ends near x = 0.808926: its step size "
                   "collapses; the reference columns are empty from x = 0.81 on\n"},
        // The run's own message alone: that there is nothing to study adds nothing.
        StatusCase{"StudyOfARunWithoutSamples", "--eq 5 --study", 1, 0,
                   "redurivezi-table: division by zero at x = 0\n"},
        StatusCase{"Help", "--help", 0, 61, ""}, StatusCase{"Version", "--version", 0, 5, ""},
        // A formula: where it stops being one, under the text, and nothing else (exit 2).
        StatusCase{"NotAFormula", "--formula 2y", 2, 0,
                   "redurivezi-table: '*' expected between two operands at column 2 (no implicit "
                   "multiplication)\n  2y\n   ^\n"},
        StatusCase{"FormulaAndEquation", "--eq 1 --formula -y", 2, 0,
                   "redurivezi-table: --formula and --eq both choose the equation: give one of "
                   "them\n" +
                       kTry},
        StatusCase{"ParameterWithoutValue", "--formula \"-k*y\"", 2, 0,
                   "redurivezi-table: the parameter k has no value: give --param k=T\n" + kTry},
        StatusCase{"ParameterTheFormulaLacks", "--formula -y --param k=1", 2, 0,
                   "redurivezi-table: --param k: the formula has no parameter k\n" + kTry},
        StatusCase{"ParameterWithoutText", "--formula \"-k*y\" --param k", 2, 0,
                   "redurivezi-table: --param takes NAME=T, not k\n" + kTry},
        StatusCase{"ParameterBeyondRange", "--formula \"-k*y\" --param k=1e999", 1, 0,
                   "redurivezi-table: --param k: number out of range: 1e999\n"},
        // Read by the fields' rule: "2x" is 2.
        StatusCase{"ParameterFieldRule", "--formula \"-k*y\" --param k=2x --xf 1", 0, 101,
                   "redurivezi-table: --param k '2x' read as 2\n"},
        StatusCase{"FormulaFault", "--formula \"log(y)\" --y0 -1 --xf 1", 1, 0,
                   "redurivezi-table: logarithm of a number that is not positive at x = 0\n"},
        // y'' = sqrt y from 0.5 falling at -1 reaches 0 near x = 0.6: a stage of the step from
        // 0.59 has a negative y, and that sample is the last listed.
        StatusCase{"FormulaFaultPartway", "--formula \"sqrt(y)\" --y0 0.5 --z0 -1 --xf 2", 1, 60,
                   "redurivezi-table: square root of a negative number at x = 0.59\n"},
        StatusCase{"UnknownOption", "--step 0.1", 2, 0,
                   "redurivezi-table: unknown option --step\n" + kTry},
        StatusCase{"MissingValue", "--x0", 2, 0,
                   "redurivezi-table: missing value for --x0\n" + kTry},
        StatusCase{"EquationOutOfRange", "--eq 7", 2, 0,
                   "redurivezi-table: --eq must be 1 to 6, not 7\n" + kTry},
        StatusCase{"EquationZero", "--eq 0", 2, 0,
                   "redurivezi-table: --eq must be 1 to 6, not 0\n" + kTry},
        StatusCase{"EquationNotANumber", "--eq two", 2, 0,
                   "redurivezi-table: --eq must be 1 to 6, not two\n" + kTry},
        StatusCase{"StrayArgument", "5", 2, 0, "redurivezi-table: unknown option 5\n" + kTry},
        // A family of runs: its options go together, and K is a whole number from 2 to 100.
        StatusCase{"SweepWithoutRuns", "--sweep x0 --from 0 --to 1", 2, 0,
                   "redurivezi-table: --sweep needs --from A, --to B and --runs K (missing "
                   "--runs)\n" +
                       kTry},
        StatusCase{"FromWithoutSweep", "--from 0 --to 1 --runs 3", 2, 0,
                   "redurivezi-table: --from goes only with --sweep NAME or --equilibria\n" + kTry},
        StatusCase{"RunsWithoutSweep", "--runs 3", 2, 0,
                   "redurivezi-table: --runs goes only with --sweep NAME\n" + kTry},
        // One thing printed instead of the list, and the run forward or backward.
        StatusCase{"StudyAndReadout", "--study --readout", 2, 0,
                   "redurivezi-table: --study and --readout both choose what is printed: give "
                   "one of them\n" +
                       kTry},
        StatusCase{"EquilibriaAndBackward", "--equilibria --backward --equilibria", 2, 0,
                   "redurivezi-table: --equilibria and --backward both choose what is printed: "
                   "give one of them\n" +
                       kTry},
        StatusCase{"ReadoutWithCsv", "--readout --csv", 2, 0,
                   "redurivezi-table: --readout prints lines of its own: it goes with neither "
                   "--csv nor --reference\n" +
                       kTry},
        StatusCase{"EquilibriaWithReference", "--equilibria --reference", 2, 0,
                   "redurivezi-table: --equilibria prints lines of its own: it goes with neither "
                   "--csv nor --reference\n" +
                       kTry},
        StatusCase{"BackwardWithReference", "--backward --xf -1 --csv --reference", 2, 0,
                   "redurivezi-table: --backward has no reference columns: it does not go with "
                   "--reference\n" +
                       kTry},
        StatusCase{"SweepWithReadout", "--readout --sweep x0 --from 0 --to 1 --runs 3", 2, 0,
                   "redurivezi-table: --sweep lists its runs one after another: it does not go "
                   "with --readout\n" +
                       kTry},
        StatusCase{"SweepWithBackward", "--backward --sweep x0 --from 0 --to 1 --runs 3", 2, 0,
                   "redurivezi-table: --sweep lists its runs one after another: it does not go "
                   "with --backward\n" +
                       kTry},
        StatusCase{"SweepWithEquilibria", "--equilibria --sweep x0 --from 0 --to 1 --runs 3", 2, 0,
                   "redurivezi-table: --sweep lists its runs one after another: it does not go "
                   "with --equilibria\n" +
                       kTry},
        StatusCase{"EquilibriaBoundBeyondRange", "--eq 1 --equilibria --to 1e999", 1, 0,
                   "redurivezi-table: --to: number out of range: 1e999\n"},
        // Backward from x = 1 the grid point -h * 100 + 1 is 0, where 2/x has no value: the
        // lines before it, then the message a forward run gives, with its status.
        StatusCase{"BackwardFault", "--eq 5 --n 1 --x0 1 --y0 0.84 --z0 -0.3 --xf 0 --backward", 1,
                   100, "redurivezi-table: division by zero at x = 0\n"},
        StatusCase{"BackwardStartBeyondDrawing", "--eq 4 --y0 1e200 --xf -1 --backward", 1, 0,
                   "redurivezi-table: drawing coordinate out of range at x = 0\n"},
        // The read-out of the lines the list has, and the list's message and status.
        StatusCase{"ReadoutOfAFault", "--eq 5 --readout", 1, 0,
                   "redurivezi-table: division by zero at x = 0\n"},
        StatusCase{"ReadoutOfAStartBeyondDrawing", "--eq 4 --y0 1e200 --readout", 1, 0,
                   "redurivezi-table: drawing coordinate out of range at x = 0\n"},
        StatusCase{"RunsOne", "--sweep x0 --from 0 --to 1 --runs 1", 2, 0,
                   "redurivezi-table: --runs must be a whole number from 2 to 100, not 1\n" + kTry},
        StatusCase{"Runs101", "--sweep x0 --from 0 --to 1 --runs 101", 2, 0,
                   "redurivezi-table: --runs must be a whole number from 2 to 100, not 101\n" +
                       kTry},
        // Each run of y0 from 0 to K - 1 up to xf = 0 lists its one sample.
        StatusCase{"RunsTwo", "--sweep y0 --from 0 --to 1 --runs 2 --xf 0", 0, 2, ""},
        StatusCase{"RunsHundred", "--sweep y0 --from 0 --to 99 --runs 100 --xf 0", 0, 100, ""},
        StatusCase{"SweepOfNothing", "--sweep k --from 0 --to 1 --runs 3", 2, 0,
                   "redurivezi-table: --sweep k: nothing of this run is named so (it can vary "
                   "x0, y0, z0, xf)\n" +
                       kTry},
        StatusCase{"SweepLamOfEmden", "--eq 5 --sweep lam --from 0 --to 1 --runs 3", 2, 0,
                   "redurivezi-table: --sweep lam: nothing of this run is named so (it can vary "
                   "x0, y0, z0, xf, n)\n" +
                       kTry},
        StatusCase{"SweepNOfAFormula", "--formula \"-k*y\" --sweep n --from 0 --to 1 --runs 3", 2,
                   0,
                   "redurivezi-table: --sweep n: nothing of this run is named so (it can vary "
                   "x0, y0, z0, xf, k)\n" +
                       kTry},
        StatusCase{"SweepAmbiguous", "--formula \"-x0*y\" --sweep x0 --from 0 --to 1 --runs 3", 2,
                   0,
                   "redurivezi-table: --sweep x0 is ambiguous: it names both --x0 and --param "
                   "x0\n" +
                       kTry},
        StatusCase{"SweepWithStudy", "--eq 2 --study --sweep x0 --from 0 --to 1 --runs 3", 2, 0,
                   "redurivezi-table: --sweep lists its runs one after another: it does not go "
                   "with --study\n" +
                       kTry},
        StatusCase{"SweptFieldGiven", "--sweep xf --xf 3 --from 1 --to 2 --runs 2", 2, 0,
                   "redurivezi-table: --sweep xf gives --xf its values: leave --xf out\n" + kTry},
        StatusCase{"SweptParameterGiven",
                   "--formula \"-k*y\" --param k=1 --sweep k --from 1 --to 2 --runs 2", 2, 0,
                   "redurivezi-table: --sweep k gives --param k its values: leave --param k "
                   "out\n" +
                       kTry},
        // The swept parameter needs no --param: each run gives it its value.
        StatusCase{"SweptParameterNeedsNoParam",
                   "--formula \"-k*y\" --sweep k --from 1 --to 2 --runs 2 --xf 0.01", 0, 4, ""},
        StatusCase{"SweepFromBeyondRange", "--sweep x0 --from 1e999 --to 1 --runs 2", 1, 0,
                   "redurivezi-table: --from: number out of range: 1e999\n"},
        // A field's number out of range is told first, as in a single run.
        StatusCase{"SweepFieldBeyondRange", "--sweep x0 --from 1e999 --to 1 --runs 2 --y0 1e999", 1,
                   0, "redurivezi-table: --y0: number out of range: 1e999\n"},
        // From 0 to the largest double in 3 runs the last value overflows: the first run
        // lists its 3 samples, the second fails at its start, the third has no value, and
        // each is told in turn.
        StatusCase{"SweepValueBeyondRange",
                   "--sweep y0 --from 0 --to 1.7976931348623157e308 "
                   "--runs 3 --xf 0.02",
                   1, 3,
                   "redurivezi-table: drawing coordinate out of range at x = 0\n"
                   "redurivezi-table: --y0: number out of range: the value of run 3 of 3 is "
                   "beyond the double range\n"}),
    [](const auto &info) { return info.param.name; });

// ---- What a text that is not wholly a number was read as ----------------------------------

struct ReadAsCase
{
    std::string name;
    std::string args;  // the options with their texts as typed
    std::string clean; // the same run with each text wholly its number
    std::string err;   // the warnings, in the order of the options
};

void PrintTo(const ReadAsCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReadAs : public testing::TestWithParam<ReadAsCase>
{
};

TEST_P(ReadAs, SaysWhatItReadAndRunsTheSame)
{
    const ReadAsCase &c = GetParam();
    const Result typed = table(c.args), clean = table(c.clean);
    ASSERT_EQ(clean.err, "") << c.clean;
    EXPECT_GT(lineCount(clean.out), 0);
    EXPECT_EQ(typed.out, clean.out);
    EXPECT_EQ(typed.err, c.err);
    EXPECT_EQ(typed.status, clean.status);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadAs,
    testing::Values(
        ReadAsCase{"NoNumber", "--xf abc", "--xf 0",
                   "redurivezi-table: --xf 'abc' holds no number: read as 0\n"},
        ReadAsCase{"DecimalComma", "--x0 1,5 --xf 2", "--x0 1 --xf 2",
                   "redurivezi-table: --x0 '1,5' read as 1\n"},
        ReadAsCase{"Empty", "--y0 \"\" --xf 0.1", "--y0 0 --xf 0.1",
                   "redurivezi-table: --y0 '' holds no number: read as 0\n"},
        ReadAsCase{"BlanksAlone", "--y0 \"  \" --xf 0.1", "--y0 0 --xf 0.1",
                   "redurivezi-table: --y0 '  ' holds no number: read as 0\n"},
        ReadAsCase{"SignAlone", "--z0 - --xf 0.1", "--z0 0 --xf 0.1",
                   "redurivezi-table: --z0 '-' holds no number: read as 0\n"},
        ReadAsCase{"ExponentWithoutDigits", "--xf 1e", "--xf 1",
                   "redurivezi-table: --xf '1e' read as 1\n"},
        ReadAsCase{"TrailingLetter", "--eq 6 --lam 2x --xf 0.1", "--eq 6 --lam 2 --xf 0.1",
                   "redurivezi-table: --lam '2x' read as 2\n"},
        ReadAsCase{"BlankInside", "--eq 5 --n \"1 5\" --x0 0.01 --xf 1",
                   "--eq 5 --n 1 --x0 0.01 --xf 1", "redurivezi-table: --n '1 5' read as 1\n"},
        // Too small for a double: a number all the same, read as 0 and not "no number".
        ReadAsCase{"Underflow", "--y0 1e-400x --xf 0.1", "--y0 0 --xf 0.1",
                   "redurivezi-table: --y0 '1e-400x' read as 0\n"},
        // The value read written shortest: 0.1 is not 0.1000000000000000055511151231257827.
        ReadAsCase{"ShortestValue", "--x0 0.1x --xf 1", "--x0 0.1 --xf 1",
                   "redurivezi-table: --x0 '0.1x' read as 0.1\n"},
        ReadAsCase{"NegativeZero", "--x0 \"-0,5\" --xf 1", "--x0 -0 --xf 1",
                   "redurivezi-table: --x0 '-0,5' read as -0\n"},
        // Whole numbers, with the blanks the rule skips before them and blanks after them.
        ReadAsCase{"WholeNumbers",
                   "--x0 -0 --y0 .5 --z0 1. --xf 1e-1 --eq 6 --lam \" +1\" --n \"2 \"",
                   "--x0 -0 --y0 .5 --z0 1. --xf 1e-1 --eq 6 --lam 1 --n 2", ""},
        ReadAsCase{"TabsAround", "--xf \"$(printf '\\t1\\t')\"", "--xf 1", ""},
        // The order of the options, not the order the window captures the fields in.
        ReadAsCase{"InTheOrderGiven", "--xf 1,5 --x0 abc", "--xf 1 --x0 0",
                   "redurivezi-table: --xf '1,5' read as 1\n"
                   "redurivezi-table: --x0 'abc' holds no number: read as 0\n"},
        ReadAsCase{"InTheOrderGivenReversed", "--x0 abc --xf 1,5", "--xf 1 --x0 0",
                   "redurivezi-table: --x0 'abc' holds no number: read as 0\n"
                   "redurivezi-table: --xf '1,5' read as 1\n"},
        // Only the text that counts, where it is last given.
        ReadAsCase{"Repeated", "--eq 6 --lam 2x --xf 0.5,1 --lam 3y --xf 1",
                   "--eq 6 --lam 3 --xf 1", "redurivezi-table: --lam '3y' read as 3\n"},
        ReadAsCase{"Parameter", "--formula \"-k*y\" --param k=2x --xf 1",
                   "--formula \"-k*y\" --param k=2 --xf 1",
                   "redurivezi-table: --param k '2x' read as 2\n"},
        ReadAsCase{"SweepBounds", "--sweep y0 --from 1,5 --to 2x --runs 2 --xf 0.1",
                   "--sweep y0 --from 1 --to 2 --runs 2 --xf 0.1",
                   "redurivezi-table: --from '1,5' read as 1\n"
                   "redurivezi-table: --to '2x' read as 2\n"},
        ReadAsCase{"Study", "--eq 2 --xf 5x --study", "--eq 2 --xf 5 --study",
                   "redurivezi-table: --xf '5x' read as 5\n"},
        ReadAsCase{"EquilibriaBounds", "--eq 1 --equilibria --from -1,5 --to 2x",
                   "--eq 1 --equilibria --from -1 --to 2",
                   "redurivezi-table: --from '-1,5' read as -1\n"
                   "redurivezi-table: --to '2x' read as 2\n"},
        ReadAsCase{"Readout", "--eq 4 --xf 50x --readout", "--eq 4 --xf 50 --readout",
                   "redurivezi-table: --xf '50x' read as 50\n"}),
    [](const auto &info) { return info.param.name; });

TEST(Table, WarningsComeBeforeTheLines)
{
    const Result r = table("--eq 2 --xf 1,5", "2>&1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1),
              "redurivezi-table: --xf '1,5' read as 1\n0   .0100\n");
}

// ---- How a run ended, where it ended early without a fault -----------------------------

struct EndingCase
{
    std::string name;
    std::string args;
    int lines;
    std::string err; // the whole of stderr; the status is 0
};

void PrintTo(const EndingCase &c, std::ostream *os)
{
    *os << c.name;
}

class Ending : public testing::TestWithParam<EndingCase>
{
};

TEST_P(Ending, IsToldAfterTheLinesWithStatusZero)
{
    const EndingCase &c = GetParam();
    const Result r = table(c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lineCount(r.out), c.lines);
    EXPECT_EQ(r.err, c.err);
    // After every line: the note is the last thing written.
    const Result merged = table(c.args, "2>&1");
    EXPECT_EQ(merged.out, r.out + r.err);
}

const std::string kEmden = "--eq 5 --x0 0.01 --y0 1 --z0 0 ";

INSTANTIATE_TEST_SUITE_P(
    Runs, Ending,
    testing::Values(
        EndingCase{"EmdenFirstZero", kEmden + "--n 1 --xf 10", 314,
                   "redurivezi-table: the run ended at the first zero: y <= 0 after x = 3.14\n"},
        EndingCase{"EmdenFirstZeroInCsv", kEmden + "--n 1 --xf 10 --csv", 315,
                   "redurivezi-table: the run ended at the first zero: y <= 0 after x = 3.14\n"},
        EndingCase{"EmdenIndexZero", kEmden + "--n 0 --xf 10", 244,
                   "redurivezi-table: the run ended at the first zero: y <= 0 after x = 2.44\n"},
        // The zero falls after xf, or after the last grid point before it: nothing early.
        EndingCase{"EmdenToItsEnd", kEmden + "--n 1 --xf 3", 300, ""},
        EndingCase{"EmdenZeroAfterTheLastGridPoint", kEmden + "--n 1 --xf 3.145", 314, ""},
        EndingCase{"EmdenZeroBeforeTheNextGridPoint", kEmden + "--n 1 --xf 3.155", 314,
                   "redurivezi-table: the run ended at the first zero: y <= 0 after x = 3.14\n"},
        EndingCase{"FinalBeforeStart", "--x0 1 --xf 0", 0,
                   "redurivezi-table: no samples: the final abscissa is before x0\n"},
        EndingCase{"FinalAtStart", "--x0 1 --xf 1", 1, ""},
        EndingCase{"FamilyStartsBeyondTheEnd", "--xf 0.01 --sweep x0 --from 0 --to 1 --runs 2", 2,
                   "redurivezi-table: no samples: the final abscissa is before x0\n"},
        // Backward the final abscissa lies before x0.
        EndingCase{"BackwardFinalAfterStart", "--x0 1 --xf 2 --backward", 0,
                   "redurivezi-table: no samples: the final abscissa is after x0\n"},
        EndingCase{"BackwardFinalAtStart", "--x0 1 --xf 1 --backward", 1, ""},
        EndingCase{"BackwardFinalBeforeStart", "--x0 1 --xf 0 --backward", 101, ""},
        // Rising through x = 2, so that backward it falls to 0 after x = 1.91.
        EndingCase{"BackwardEmdenFirstZero",
                   "--eq 5 --n 1 --x0 2 --y0 0.1 --z0 1 --xf -1 --backward", 10,
                   "redurivezi-table: the run ended at the first zero: y <= 0 after x = 1.91\n"},
        EndingCase{"BackwardEmdenZeroAfterTheLastGridPoint",
                   "--eq 5 --n 1 --x0 2 --y0 0.1 --z0 1 --xf 1.905 --backward", 10, ""},
        // The read-out of no sample is its note alone; of the lines before the Emden stop,
        // the stop's note after it.
        EndingCase{"ReadoutOfNoSample", "--x0 1 --xf 0 --readout", 0,
                   "redurivezi-table: no samples: the final abscissa is before x0\n"},
        EndingCase{"ReadoutBeforeTheEmdenStop", kEmden + "--n 1 --xf 10 --readout", 5,
                   "redurivezi-table: the run ended at the first zero: y <= 0 after x = 3.14\n"},
        // Equilibria: why there are none, on standard error.
        EndingCase{"EquilibriaDependOnX", "--eq 2 --equilibria", 0,
                   "redurivezi-table: no equilibria: the equation depends on x\n"},
        EndingCase{"EquilibriaOfEmden", "--eq 5 --equilibria", 0,
                   "redurivezi-table: no equilibria: the equation depends on x\n"},
        EndingCase{"EquilibriaEverywhere", "--equilibria", 0,
                   "redurivezi-table: every point of y' = 0 is an equilibrium: g(y, 0) is 0 "
                   "there\n"},
        EndingCase{"EquilibriaTooMany", "--formula \"sin(100*y)\" --equilibria", 0,
                   "redurivezi-table: more than 200 equilibria with y from -5 to 15: narrow "
                   "--from and --to\n"},
        EndingCase{"EquilibriaNoneInRange", "--eq 6 --equilibria --from 2", 0,
                   "redurivezi-table: no equilibria with y from 2 to 15\n"}),
    [](const auto &info) { return info.param.name; });

// Each run's note after its own lines, as the single run's.
TEST(Table, AFamilysNoteFollowsItsRunsLines)
{
    const Result r = table(kEmden + "--xf 3 --sweep n --from 0 --to 1 --runs 2", "2>&1");
    std::istringstream lines(r.out);
    std::string line;
    for (int i = 0; i < 244; ++i)
        std::getline(lines, line);
    EXPECT_EQ(line, "2.44   .0078");
    std::getline(lines, line);
    EXPECT_EQ(line, "redurivezi-table: the run ended at the first zero: y <= 0 after x = 2.44");
    std::getline(lines, line);
    EXPECT_EQ(line, "0.01   1.0000");
}

// ---- The study ends where the list ends, and tells what the list tells --------------------

struct StudyCase
{
    std::string name;
    std::string args;    // the run, without --study
    std::string heading; // the study's first line, empty for no study
    std::string err;
    int status;
};

void PrintTo(const StudyCase &c, std::ostream *os)
{
    *os << c.name;
}

class StudyEnd : public testing::TestWithParam<StudyCase>
{
};

TEST_P(StudyEnd, IsTheListsEnd)
{
    const StudyCase &c = GetParam();
    const Result r = table(c.args + " --study");
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), c.heading);
    // The heading, the two values, the table's two heads and four rows, and the verdict.
    if (c.heading.empty())
        EXPECT_EQ(lineCount(r.out), 0);
    else
        EXPECT_GE(lineCount(r.out), 11);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.status, c.status);
    // The run's own message and status, where the list run has one.
    const Result list = table(c.args);
    if (c.err.find("cannot be studied") == std::string::npos) {
        EXPECT_EQ(r.err, list.err);
        EXPECT_EQ(r.status, list.status);
    }
    // At the list's last line.
    if (!c.heading.empty() && lineCount(list.out) > 0) {
        const std::string x = lastLine(list.out).substr(0, lastLine(list.out).find(' '));
        const std::size_t at = c.heading.find("x = ") + 4;
        EXPECT_EQ(generalText(std::stod(c.heading.substr(at, c.heading.find(' ', at) - at))), x);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, StudyEnd,
    testing::Values(
        StudyCase{"ToTheEnd", "--eq 2", "Error y - reference at the run's last sample, x = 5:", "",
                  0},
        // A start the window cannot draw: the list has no line, and the study none either.
        StudyCase{"StartBeyondDrawing", "--y0 1e300", "",
                  "redurivezi-table: drawing coordinate out of range at x = 0\n", 1},
        StudyCase{"OscillatorStartBeyondDrawing", "--eq 1 --y0 1e39", "",
                  "redurivezi-table: drawing coordinate out of range at x = 0\n", 1},
        StudyCase{"HugeAbscissa", "--x0 1e300 --xf 1e300", "",
                  "redurivezi-table: drawing coordinate out of range at x = 1E+300\n", 1},
        // y = 3.3e38 + 1e37 x leaves single precision after x = 1.02, though its doubles
        // go on: the study of the lines before it, then the list's message.
        StudyCase{"DrawingEndsPartway", "--y0 3.3e38 --z0 1e37",
                  "Error y - reference at the run's last sample, x = 1.02:",
                  "redurivezi-table: drawing coordinate out of range at x = 1.03\n", 1},
        StudyCase{"FaultPartway", kEmden + "--n 2.5 --xf 20",
                  "Error y - reference at the run's last sample, x = 5.35:",
                  "redurivezi-table: power of a negative number with a fractional exponent at "
                  "x = 5.35\n",
                  1},
        StudyCase{"EmdenAtZero", "--eq 5", "", "redurivezi-table: division by zero at x = 0\n", 1},
        StudyCase{"EmdenNegativeIndex", "--eq 5 --n -1", "",
                  "redurivezi-table: division by zero at x = 0\n", 1},
        StudyCase{"EmdenFirstZero", kEmden + "--n 1 --xf 10",
                  "Error y - reference at the run's last sample, x = 3.14:",
                  "redurivezi-table: the run ended at the first zero: y <= 0 after x = 3.14\n", 0},
        StudyCase{"CosmosWithoutLam", "--eq 6 --lam 0",
                  "Error y - reference at the run's last sample, x = 5:", "", 0},
        // Nothing to study is a message too, on stderr, with status 1.
        StudyCase{"OnlyTheStart", "--xf 0", "",
                  "redurivezi-table: this run cannot be studied: the run has only its start, "
                  "where y is exact\n",
                  1},
        StudyCase{"ReferenceEnds", "--eq 6 --y0 0.5 --z0 0.1", "",
                  "redurivezi-table: this run cannot be studied: the reference ends near x = "
                  "0.808926: its step size collapses, before the run's last sample at x = 5\n",
                  1},
        StudyCase{"FinalBeforeStart", "--x0 1 --xf 0", "",
                  "redurivezi-table: no samples: the final abscissa is before x0\n"
                  "redurivezi-table: this run cannot be studied: the run has no sample\n",
                  1}),
    [](const auto &info) { return info.param.name; });

// ---- The read-out of a run ------------------------------------------------------------------

struct ReadoutCase
{
    std::string name;
    std::string args;              // the run, without --readout
    std::vector<std::string> head; // its first lines
    int lines;
};

void PrintTo(const ReadoutCase &c, std::ostream *os)
{
    *os << c.name;
}

class Readout : public testing::TestWithParam<ReadoutCase>
{
};

TEST_P(Readout, TellsWhatTheListedSamplesEndOnAndEndsAsTheListDoes)
{
    const ReadoutCase &c = GetParam();
    const Result r = table(c.args + " --readout"), list = table(c.args);
    std::istringstream lines(r.out);
    for (const std::string &expected : c.head) {
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, expected);
    }
    EXPECT_EQ(lineCount(r.out), c.lines);
    // Of the very samples the list lists, and then the list's message and status.
    const std::string last = lastLine(list.out);
    EXPECT_EQ(c.head[0], std::to_string(lineCount(list.out)) + " samples, x from " +
                             list.out.substr(0, list.out.find(' ')) + " to " +
                             last.substr(0, last.find(' ')) + ".");
    EXPECT_EQ(r.err, list.err);
    EXPECT_EQ(r.status, list.status);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Readout,
    testing::Values(
        // Its period and amplitude to the digits its 29 cycles agree to; 60 zeros, 60 extrema.
        ReadoutCase{"VanDerPol",
                    "--eq 4 --y0 2 --z0 0 --xf 200",
                    {"20001 samples, x from 0 to 200.",
                     "Ends on a periodic orbit: period 6.6633 (all 29 cycles agree to 5 digits), "
                     "amplitude 2.0086.",
                     "60 zeros of y, the first 10 and the last 10:", "  x = 2.1616950978997425"},
                    46},
        ReadoutCase{"Damped",
                    "--eq 3 --xf 50",
                    {"5001 samples, x from 0 to 50.",
                     "Settles on the equilibrium y = 0, y' = 0: stable node, eigenvalues -1, -5 "
                     "(at x = 50 it is 8.2e-22 from it).",
                     "No zero of y.", "1 maximum and no minimum of y:",
                     "  maximum at x = 0.40177070867488385, y = 2.274655324628961"},
                    5},
        // The zero after the last sample, where the run stops, and the stop's note.
        ReadoutCase{"EmdenFirstZero",
                    kEmden + "--n 1 --xf 20",
                    {"314 samples, x from 0.01 to 3.14.", "No periodic orbit found.",
                     "1 zero of y:",
                     "  x = 3.1415932483069033 (after the last sample: the run stopped here, at y "
                     "<= 0)",
                     "No maximum and no minimum of y."},
                    5},
        // The next step takes y^1.5 of a negative y: the last cubic, continued, and the
        // list's message, status 1.
        ReadoutCase{"EmdenFractionalIndex",
                    kEmden + "--n 1.5 --xf 20",
                    {"365 samples, x from 0.01 to 3.65.", "No periodic orbit found.",
                     "1 zero of y:",
                     "  x = 3.653708264110655 (after the last sample, on its interval's cubic "
                     "continued: the run's next step has no value)"},
                    5},
        ReadoutCase{"FormulaFaultPartway",
                    "--formula \"sqrt(y)\" --y0 0.5 --z0 -1 --xf 2",
                    {"60 samples, x from 0 to 0.59.", "No periodic orbit found.", "1 zero of y:",
                     "  x = 0.5989368848810022 (after the last sample, on its interval's cubic "
                     "continued: the run's next step has no value)"},
                    5},
        // The window cannot draw y beyond single precision: the read-out ends where the
        // list does.
        ReadoutCase{"DrawingEndsPartway",
                    "--y0 3.3e38 --z0 1e37",
                    {"103 samples, x from 0 to 1.02.", "No periodic orbit found.", "No zero of y.",
                     "No maximum and no minimum of y."},
                    4},
        ReadoutCase{"SineForced",
                    "--eq 2 --xf 100",
                    {"10001 samples, x from 0 to 100.", "No periodic orbit found."},
                    46}),
    [](const auto &info) { return info.param.name; });

// ---- The equilibria --------------------------------------------------------------------------

struct EquilibriaCase
{
    std::string name;
    std::string args; // the equation, without --equilibria
    std::string out;
};

void PrintTo(const EquilibriaCase &c, std::ostream *os)
{
    *os << c.name;
}

class Equilibria : public testing::TestWithParam<EquilibriaCase>
{
};

TEST_P(Equilibria, AreALineEachWithTheirClass)
{
    const EquilibriaCase &c = GetParam();
    const Result r = table(c.args + " --equilibria");
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Equations, Equilibria,
    testing::Values(
        EquilibriaCase{"VanDerPol", "--eq 4",
                       "y = 0, y' = 0: unstable focus, eigenvalues 0.5 ± 0.866025i\n"},
        EquilibriaCase{"Damped", "--eq 3", "y = 0, y' = 0: stable node, eigenvalues -1, -5\n"},
        EquilibriaCase{"Oscillator", "--eq 1", "y = 0, y' = 0: center, eigenvalues 0 ± 1i\n"},
        EquilibriaCase{"Cosmos", "--eq 6 --lam 1", "y = 1, y' = 0: saddle, eigenvalues 1, -1\n"},
        // lam y = 1/y^2 at y = lam^(-1/3) = 1/2, dg/dy = lam.
        EquilibriaCase{"CosmosLamEight", "--eq 6 --lam 8",
                       "y = 0.5, y' = 0: saddle, eigenvalues 2.82843, -2.82843\n"},
        // The run's fields count for nothing here.
        EquilibriaCase{"Pendulum", "--formula \"-sin(y)\" --x0 3 --xf 1e9",
                       "y = -3.141592653589793, y' = 0: saddle, eigenvalues 1, -1\n"
                       "y = 0, y' = 0: center, eigenvalues 0 ± 1i\n"
                       "y = 3.141592653589793, y' = 0: saddle, eigenvalues 1, -1\n"
                       "y = 6.283185307179586, y' = 0: center, eigenvalues 0 ± 1i\n"
                       "y = 9.42477796076938, y' = 0: saddle, eigenvalues 1, -1\n"
                       "y = 12.566370614359172, y' = 0: center, eigenvalues 0 ± 1i\n"},
        EquilibriaCase{"PendulumBetween", "--formula \"-sin(y)\" --from 3 --to=7",
                       "y = 3.141592653589793, y' = 0: saddle, eigenvalues 1, -1\n"
                       "y = 6.283185307179586, y' = 0: center, eigenvalues 0 ± 1i\n"},
        EquilibriaCase{"DampedPendulum",
                       "--formula \"-sin(y) - c*y'\" --param c=0.5 --from -4 --to 4",
                       "y = -3.141592653589793, y' = 0: saddle, eigenvalues 0.780776, -1.28078\n"
                       "y = 0, y' = 0: stable focus, eigenvalues -0.25 ± 0.968246i\n"
                       "y = 3.141592653589793, y' = 0: saddle, eigenvalues 0.780776, -1.28078\n"}),
    [](const auto &info) { return info.param.name; });

// ---- The run backward -----------------------------------------------------------------------

// Each line of `lines` with its x negated, "0" as it is: x is the text before the first
// blank or comma.
std::string mirrored(const std::string &lines)
{
    std::istringstream in(lines);
    std::string out;
    for (std::string line; std::getline(in, line);)
        out += (line.rfind("0 ", 0) == 0 || line.rfind("0,", 0) == 0 || line == "x,y" ? "" : "-") +
               line + "\n";
    return out;
}

// Where g depends on y alone, the run backward from (0, y0, z0) is the forward run from
// (0, y0, -z0) mirrored, bit for bit: negation is exact. So are its lines.
TEST(Table, BackwardListsTheForwardRunWithTheSlopeNegatedMirrored)
{
    for (const std::string eq : {"--eq 1", "--formula \"-sin(y)\" --y0 1 --z0 1.5"})
        for (const std::string csv : {"", " --csv"}) {
            const std::string z0 = eq == "--eq 1" ? "16.947" : "1.5";
            const Result back = table(eq + " --z0 " + z0 + " --xf -30 --backward" + csv);
            const Result forth = table(eq + " --z0 -" + z0 + " --xf 30" + csv);
            ASSERT_EQ(back.status, 0) << back.err;
            EXPECT_EQ(lineCount(back.out), 3001 + !csv.empty());
            EXPECT_EQ(back.out, mirrored(forth.out)) << eq << csv;
        }
    // x decreasing, in the list's format.
    const Result r = table("--eq 1 --xf -0.02 --backward");
    EXPECT_EQ(r.out, "0   .0100\n-0.01   -.1595\n-0.02   -.3289\n");
}

// ---- An output that fails is told, whatever is written --------------------------------

struct OutputCase
{
    std::string name;
    std::string args;
};

void PrintTo(const OutputCase &c, std::ostream *os)
{
    *os << c.name;
}

class OutputError : public testing::TestWithParam<OutputCase>
{
};

TEST_P(OutputError, IsToldInTheSameWordsWithStatusOne)
{
    const Result r = table(GetParam().args, "> /dev/full; echo $? >&2; true");
    EXPECT_EQ(r.err, "redurivezi-table: write error: No space left on device\n1\n");
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputError,
                         testing::Values(OutputCase{"List", "--xf 100"},
                                         OutputCase{"ShortList", "--xf 0"},
                                         OutputCase{"Csv", "--xf 1 --csv --reference"},
                                         OutputCase{"Study", "--eq 2 --study"},
                                         OutputCase{"Readout", "--eq 4 --xf 100 --readout"},
                                         OutputCase{"Backward", "--xf -100 --backward"},
                                         OutputCase{"Equilibria", "--eq 1 --equilibria"},
                                         OutputCase{"Help", "--help"},
                                         OutputCase{"Version", "--version"}),
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
    EXPECT_NE(study.out.find("What limits the accuracy: y' is kept to about 7 digits"),
              std::string::npos)
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

// ---- A family of runs: the single runs one after another -------------------------------------

struct SweepCase
{
    std::string name;
    std::string args;                // the options every run shares
    std::string sweep;               // --sweep NAME --from A --to B --runs K
    std::string option;              // what a single run is given the value's text with
    std::vector<std::string> values; // the runs' value texts, in order
};

void PrintTo(const SweepCase &c, std::ostream *os)
{
    *os << c.name;
}

class Family : public testing::TestWithParam<SweepCase>
{
};

// Every line of `text` after its first, each after `lead`.
std::string ledRows(const std::string &text, const std::string &lead)
{
    std::string rows;
    for (std::size_t at = text.find('\n') + 1; at < text.size();) {
        const std::size_t end = text.find('\n', at) + 1;
        rows += lead + text.substr(at, end - at);
        at = end;
    }
    return rows;
}

TEST_P(Family, ListsTheSingleRunsOfItsValueTextsOneAfterAnother)
{
    const SweepCase &c = GetParam();
    const std::string name = c.sweep.substr(8, c.sweep.find(' ', 8) - 8);
    for (const std::string format : {"", " --csv", " --csv --reference"}) {
        std::string out = format.empty() ? "" : name + ",", err;
        int status = 0, lines = 0;
        for (const std::string &value : c.values) {
            const Result single = table(c.args + " " + c.option + value + format);
            if (format.empty()) {
                out += single.out;
            } else {
                if (&value == &c.values.front())
                    out += single.out.substr(0, single.out.find('\n') + 1);
                out += ledRows(single.out, value + ",");
            }
            err += single.err, status = std::max(status, single.status);
            lines += lineCount(single.out) - !format.empty();
        }
        const Result family = table(c.args + " " + c.sweep + format);
        EXPECT_GT(lines, static_cast<int>(c.values.size())) << format;
        EXPECT_EQ(family.out, out) << format;
        EXPECT_EQ(family.err, err) << format;
        EXPECT_EQ(family.status, status) << format;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, Family,
    testing::Values(SweepCase{"FormulaParameter",
                              "--formula \"-k*y - c*y'\" --param c=0.2 --xf 3",
                              "--sweep k --from 0.1 --to 0.7 --runs 4",
                              "--param k=",
                              {"0.1", "0.3", "0.5", "0.7"}},
                    // Emden's index 0 to 5: each run up to the first zero of its solution, if any.
                    SweepCase{"EmdenIndex",
                              "--eq 5 --x0 0.01 --y0 1 --z0 0 --xf 10",
                              "--sweep n --from 0 --to 5 --runs 6",
                              "--n ",
                              {"0", "1", "2", "3", "4", "5"}},
                    // The middle run fails at x = 5.35; the last goes on.
                    SweepCase{"EmdenIndexWithAFault",
                              "--eq 5 --x0 0.01 --y0 1 --z0 0 --xf 7",
                              "--sweep n --from 2 --to 3 --runs 3",
                              "--n ",
                              {"2", "2.5", "3"}},
                    SweepCase{"CosmosCoefficient",
                              "--eq 6 --y0 1 --z0 0 --xf 4",
                              "--sweep lam --from 0.5 --to 2 --runs 4",
                              "--lam ",
                              {"0.5", "1", "1.5", "2"}},
                    // Sevenths of 1 are no short decimals; runs from beyond xf list nothing.
                    SweepCase{"StartAbscissa",
                              "--eq 2 --xf 0.5",
                              "--sweep x0 --from 0 --to 1 --runs 7",
                              "--x0 ",
                              {"0", "0.16666666666666666", "0.3333333333333333", "0.5",
                               "0.6666666666666666", "0.8333333333333334", "1"}},
                    // The first run divides by x = 0 at once; the others start beyond it.
                    SweepCase{"StartAbscissaWithAFault",
                              "--eq 5 --xf 1",
                              "--sweep x0 --from 0 --to 0.02 --runs 3",
                              "--x0 ",
                              {"0", "0.01", "0.02"}},
                    SweepCase{"FinalAbscissa",
                              "--eq 1",
                              "--sweep xf --from 1 --to 3 --runs 5",
                              "--xf ",
                              {"1", "1.5", "2", "2.5", "3"}},
                    SweepCase{"StartValueFromNegativeZero",
                              "--eq 1 --xf 1",
                              "--sweep y0 --from -0 --to -1 --runs 3",
                              "--y0 ",
                              {"-0", "-0.5", "-1"}},
                    SweepCase{"StartSlopeTiny",
                              "--eq 4 --xf 2",
                              "--sweep z0 --from 0 --to 1e-5 --runs 3",
                              "--z0 ",
                              {"0", "5e-06", "1e-05"}}),
    [](const auto &info) { return info.param.name; });

struct ValueTextCase
{
    std::string name;
    double from, to;
    int runs;
    std::vector<std::string> texts;
};

void PrintTo(const ValueTextCase &c, std::ostream *os)
{
    *os << c.name;
}

class FamilyValueText : public testing::TestWithParam<ValueTextCase>
{
};

TEST_P(FamilyValueText, IsTheShortestThatReadsBackToTheSameDouble)
{
    const ValueTextCase &c = GetParam();
    Sweep sweep;
    sweep.from = c.from, sweep.to = c.to, sweep.runs = c.runs;
    ASSERT_EQ(c.texts.size(), static_cast<std::size_t>(c.runs));
    for (int i = 0; i < c.runs; ++i) {
        const double value = familyValue(c.from, c.to, i, c.runs);
        const std::string text = familyValueText(sweep, i);
        EXPECT_EQ(text, c.texts[static_cast<std::size_t>(i)]) << i;
        const auto read = textToNumber(text);
        ASSERT_TRUE(read) << text;
        // Bit for bit: a negative zero reads back as one.
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(value)) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, FamilyValueText,
    testing::Values(
        ValueTextCase{"ZeroToOneInSeven",
                      0,
                      1,
                      7,
                      {"0", "0.16666666666666666", "0.3333333333333333", "0.5",
                       "0.6666666666666666", "0.8333333333333334", "1"}},
        // The first run's step is -0, and -0 + -0 stays negative zero.
        ValueTextCase{"NegativeZero", -0.0, -1, 3, {"-0", "-0.5", "-1"}},
        ValueTextCase{"TinySteps", 0, 1e-5, 3, {"0", "5e-06", "1e-05"}},
        ValueTextCase{"Subnormal", 0, 1e-310, 3, {"0", "5e-311", "1e-310"}},
        ValueTextCase{
            "Downwards", 1, 0, 4, {"1", "0.6666666666666667", "0.33333333333333337", "0"}},
        ValueTextCase{"Tenths", 0.1, 0.7, 4, {"0.1", "0.3", "0.5", "0.7"}},
        // The last is not `to` itself: the span, its product and the quotient are each rounded.
        ValueTextCase{
            "Huge", 1e300, 1e301, 4, {"1e+300", "4e+300", "7e+300", "1.0000000000000002e+301"}}),
    [](const auto &info) { return info.param.name; });

TEST(Table, SweepEndsAtAClosedPipeOrAWriteError)
{
    // Four runs of a million lines each: the reader's close ends the family quietly, and a
    // write error is told once, not once a run.
    const std::string sweep = "--eq 2 --xf 10000 --sweep y0 --from 0 --to 3 --runs 4";
    const Result closed = table(sweep, "| head -n 1");
    EXPECT_EQ(closed.status, 0);
    EXPECT_EQ(closed.out, "0   .0000\n");
    EXPECT_EQ(closed.err, "");
    const Result full = table(sweep, "> /dev/full; echo $? >&2; true");
    EXPECT_EQ(full.err, "redurivezi-table: write error: No space left on device\n1\n");
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
    EXPECT_EQ(line, "Error y - reference at the run's last sample, x = 5:");
    // y to two digits beyond the first of the run's error, 2e-6 here; the reference is
    // 7.04141347327...
    std::getline(lines, line);
    EXPECT_EQ(line, "the run gives y = 7.0414154, the reference 7.0414135.");
    std::getline(lines, line), std::getline(lines, line);
    EXPECT_EQ(line, "        h   y' kept to 7 digits  y' kept to 16 digits");
    std::getline(lines, line);
    EXPECT_EQ(line, "            (as the run does)");
    bool grew = false;
    for (const char *h : {"0.01", "0.005", "0.0025", "0.00125"}) {
        std::getline(lines, line);
        // Narrow enough for the panel at Explore's size.
        EXPECT_LE(line.size(), 56u) << line;
        std::istringstream cells(line);
        std::string step, single, ratioSingle, error, divided, ratio;
        cells >> step >> single;
        if (step != "0.01") {
            cells >> ratioSingle;
            if (ratioSingle == "grew") {
                grew = true;
            } else {
                EXPECT_EQ(ratioSingle, "÷") << line;
                cells >> ratioSingle;
            }
        }
        cells >> error;
        if (step != "0.01")
            cells >> divided >> ratio;
        EXPECT_EQ(step, h);
        EXPECT_LT(std::fabs(std::stod(single)), 1e-5) << line;
        EXPECT_LT(std::fabs(std::stod(error)), 1e-7) << line;
        if (step != "0.01") {
            // y' kept to 16 digits: fourth order, 16-fold per halving.
            EXPECT_EQ(divided, "÷") << line;
            EXPECT_GE(std::stod(ratio), 12) << line;
            EXPECT_LE(std::stod(ratio), 20) << line;
        }
    }
    // Halving h from 0.0025 makes the 7-digit error larger: it says so, never "0.00".
    EXPECT_TRUE(grew);
    EXPECT_EQ(r.out.find("0.00 "), std::string::npos);
    std::getline(lines, line);
    std::string verdict;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 72u) << line;
        verdict += (verdict.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(verdict, "What limits the accuracy: y' is kept to about 7 digits between steps. The "
                       "run is off by 2.0e-06, 100 times the 2.0e-08 of the step h = 0.01 itself, "
                       "and a smaller h does not help.");
}

TEST(Table, StudyWhereTheStepLimits)
{
    // y'' = -400 y: the step's error, 2e-4, is far above what 7 digits of y' cost.
    const Result r = table("--formula \"-400*y\" --xf 1 --y0 1 --z0 0 --study");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string verdict = r.out.substr(r.out.find("What limits"));
    std::replace(verdict.begin(), verdict.end(), '\n', ' ');
    EXPECT_EQ(verdict, "What limits the accuracy: the step h = 0.01. The run is off by 2.2e-04; it "
                       "falls about 15-fold per halving of h (fourth order), so h = 0.005 would "
                       "give about 1.5e-05, but with y' kept to 7 digits the error stops falling "
                       "at h = 0.00125. ");
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

TEST(TableArguments, ASweepNamesAFieldOrAFormulasParameter)
{
    const std::vector<std::string_view> emden = {"--eq", "5",    "--sweep", "n",      "--from",
                                                 "0.5",  "--to", "1e1x",    "--runs", "12"};
    const auto n = parseTableArguments(emden).options.sweep;
    ASSERT_TRUE(n);
    EXPECT_EQ(std::tie(n->name, n->option, n->field, n->from, n->to, n->runs),
              std::tuple("n", "--n", fields::Field::N, 0.5, 10.0, 12)); // "1e1x" is 10
    const std::vector<std::string_view> formula = {"--formula", "-c*y' - k*y", "--param",
                                                   "c=1",       "--sweep=k",   "--from=1",
                                                   "--to=2",    "--runs=3"};
    const auto k = parseTableArguments(formula).options.sweep;
    ASSERT_TRUE(k);
    EXPECT_EQ(std::tie(k->option, k->field, k->parameter),
              std::tuple("--param k", std::nullopt, 1u)); // c comes first in the formula
    EXPECT_FALSE(parseTableArguments({}).options.sweep);
}

TEST(TableArguments, FamilyRunCounts)
{
    for (const auto &[text, runs] : {std::pair{"2", 2}, {"100", 100}, {"0100", 100}})
        EXPECT_EQ(familyRunCount(text), runs) << text;
    // Decimal digits alone, not the fields' rule, which reads "5x" as 5.
    for (const char *text :
         {"", "0", "1", "101", "-2", "+5", " 3", "3 ", "3e1", "5x", "2.0", "99999999999999999999"})
        EXPECT_EQ(familyRunCount(text), std::nullopt) << text;
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
