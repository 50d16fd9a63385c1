// SPDX-License-Identifier: MIT

// The window's message texts and the field table, without a window.

#include "window/messages.h"
#include "model/fieldtable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace solver;

namespace {

struct RunFaultCase
{
    std::string name;
    RunEnd end;
    std::size_t capacity;
    QString message;
};

void PrintTo(const RunFaultCase &c, std::ostream *os)
{
    *os << c.name;
}

class RunFaultMessage : public testing::TestWithParam<RunFaultCase>
{
};

TEST_P(RunFaultMessage, NamesWhatHappenedAndWhere)
{
    const RunFaultCase &c = GetParam();
    EXPECT_EQ(messages::runEnd(c.end, c.capacity), c.message);
}

const QString kKept =
    QStringLiteral("\n\nThe run stopped there; the plot and the list keep what came before it.");

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RunFaultMessage,
    testing::Values(
        RunFaultCase{"Done", {}, 10, QString()},
        RunFaultCase{"Division",
                     {.cause = RunEnd::Cause::Fault, .fault = Fault::DivisionByZero},
                     10,
                     QStringLiteral("Division by zero at x = 0.") + kKept},
        RunFaultCase{"Power",
                     {.cause = RunEnd::Cause::Fault, .fault = Fault::PowerUndefined, .x = 5.35},
                     10,
                     QStringLiteral("Power of a negative number with a fractional exponent at "
                                    "x = 5.35.") +
                         kKept},
        RunFaultCase{"TinyAbscissa",
                     {.cause = RunEnd::Cause::Fault, .fault = Fault::Overflow, .x = -2.5e-7},
                     10,
                     QStringLiteral("Overflow at x = -2.5E-07.") + kKept},
        RunFaultCase{"ListFull",
                     {.cause = RunEnd::Cause::ListFull, .x = 99999.99},
                     10'000'000,
                     QStringLiteral("The list is full (10,000,000 lines). The run stopped at "
                                    "x = 99999.99. Ready clears it.")},
        RunFaultCase{"OutOfMemory",
                     {.cause = RunEnd::Cause::OutOfMemory, .x = 12.5},
                     10,
                     QStringLiteral("There is not enough memory for more lines. The run stopped "
                                    "at x = 12.5; the plot and the list keep what came before "
                                    "it. Ready clears them.")}),
    [](const auto &info) { return info.param.name; });

TEST(Messages, QuoteATypedTextShortAndVisible)
{
    EXPECT_EQ(messages::quoted(QStringLiteral("1e999")), QStringLiteral("1e999"));
    EXPECT_EQ(messages::quoted(QStringLiteral("1e999\x01\t")), QStringLiteral("1e999\uFFFD\uFFFD"));
    EXPECT_EQ(messages::quoted(QString(45, u'7')),
              QString(40, u'7') + QStringLiteral("… (45 characters)"));
    // An emoji across the cut is dropped whole, never halved.
    const QString emoji = QString(39, u'1') + QStringLiteral("😀") + QStringLiteral("22");
    EXPECT_EQ(messages::quoted(emoji), QString(39, u'1') + QStringLiteral("… (43 characters)"));
}

TEST(Messages, NameTheFieldWhoseNumberIsOutOfRange)
{
    EXPECT_EQ(messages::numberOutOfRange(fields::Field::Lam, QStringLiteral("-1e400")),
              QStringLiteral("The number for the Cosmos coefficient lam is beyond the range of "
                             "a double:\n-1e400"));
}

TEST(FieldTable, NamesEachControlAndOptionOnce)
{
    std::set<std::string_view> controls, options, holds;
    for (const fields::FieldInfo &f : fields::kFields) {
        controls.insert(f.control);
        options.insert(f.option);
        holds.insert(f.holds);
    }
    EXPECT_EQ(controls.size(), 6u);
    EXPECT_EQ(options.size(), 6u);
    EXPECT_EQ(holds.size(), 6u);
    // Each field sits at the index of its control, Text1 to Text6.
    for (std::size_t i = 0; i < fields::kFields.size(); ++i)
        EXPECT_EQ(fields::kFields[i].control, "Text" + std::to_string(i + 1));
}

TEST(FieldTable, EnterMovesAlongTheChainAndStopsInTheFinalField)
{
    using fields::Field;
    EXPECT_EQ(fields::nextOnEnter(Field::X0), Field::Y0);
    EXPECT_EQ(fields::nextOnEnter(Field::Y0), Field::Z0);
    EXPECT_EQ(fields::nextOnEnter(Field::Z0), Field::Xf);
    EXPECT_EQ(fields::nextOnEnter(Field::Xf), Field::Xf);
}

} // namespace
