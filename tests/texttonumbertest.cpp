// SPDX-License-Identifier: MIT

#include "platform/texttonumber.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <string>

namespace {

struct ReadCase
{
    std::string text;
    double value;
};

void PrintTo(const ReadCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class TextToNumber : public testing::TestWithParam<ReadCase>
{
};

TEST_P(TextToNumber, ReadsTheLongestLeadingNumber)
{
    const auto value = textToNumber(GetParam().text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, GetParam().value);
    EXPECT_EQ(std::signbit(*value), std::signbit(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToNumber,
    testing::Values(
        ReadCase{"0", 0}, ReadCase{"5", 5}, ReadCase{"0.01", 0.01}, ReadCase{"16.947", 16.947},
        ReadCase{"2.5", 2.5}, ReadCase{"1,5", 1}, ReadCase{"1e2", 100}, ReadCase{"1E2", 100},
        ReadCase{"2x", 2}, ReadCase{"1e", 1}, ReadCase{"1e+", 1}, ReadCase{"1e-", 1},
        ReadCase{"1.5e-3x", 0.0015}, ReadCase{"abc", 0}, ReadCase{"", 0}, ReadCase{"   ", 0},
        ReadCase{"  -3.5", -3.5}, ReadCase{"\t7", 7}, ReadCase{"+4", 4}, ReadCase{"-", 0},
        ReadCase{".", 0}, ReadCase{"-.", 0}, ReadCase{".5", 0.5}, ReadCase{"-.25", -0.25},
        ReadCase{"5.", 5}, ReadCase{"1.2.3", 1.2}, ReadCase{"--1", 0}, ReadCase{"1 2", 1},
        ReadCase{"- 1", 0}, ReadCase{"0x10", 0}, ReadCase{"inf", 0}, ReadCase{"nan", 0},
        ReadCase{"-0", -0.0}, ReadCase{"e5", 0}, ReadCase{"1e-400", 0}, ReadCase{"-1e-400", -0.0},
        ReadCase{"0.000001e-320", 0}, ReadCase{"4.9e-324", 4.9e-324}, ReadCase{"1e-310", 1e-310},
        ReadCase{"0e999999", 0}, ReadCase{"1.7976931348623157e308", DBL_MAX},
        ReadCase{"0.00000000000000000001e328", 1e308},
        ReadCase{"100000000000000000000000000000", 1e29}));

class TextBeyondRange : public testing::TestWithParam<std::string>
{
};

TEST_P(TextBeyondRange, HasNoValue)
{
    EXPECT_FALSE(textToNumber(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, TextBeyondRange,
                         testing::Values("1e999", "-1e999", "1.8e308", "2e308x",
                                         "1e99999999999999999999", "1000e306"));

TEST(TextToNumber, IgnoresTheLocaleDecimalSeparator)
{
    // A locale with a decimal comma, where the machine has one.
    const char *previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(textToNumber("1.5"), 1.5);
    EXPECT_EQ(textToNumber("1,5"), 1.0);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
