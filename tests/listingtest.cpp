// SPDX-License-Identifier: MIT

#include "listing/listline.h"
#include "listing/rowwriter.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <ostream>

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace {

struct TextCase
{
    double value;
    std::string text;
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << std::setprecision(17) << c.value << " -> " << c.text;
}

class GeneralText : public testing::TestWithParam<TextCase>
{
};

TEST_P(GeneralText, WritesFifteenSignificantDigitsAtMost)
{
    EXPECT_EQ(generalText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, GeneralText,
    testing::Values(TextCase{0.0, "0"}, TextCase{-0.0, "0"}, TextCase{0.01, "0.01"},
                    TextCase{0.07, "0.07"}, TextCase{5, "5"}, TextCase{-0.25, "-0.25"},
                    TextCase{1.5, "1.5"}, TextCase{100, "100"}, TextCase{123456, "123456"},
                    TextCase{-42.125, "-42.125"},
                    // Grid abscissae whose doubles carry a tail beyond 15 digits.
                    TextCase{0.01 * 313 + 0.01, "3.14"}, TextCase{0.01 * 3, "0.03"},
                    TextCase{0.01 * 29 + 0, "0.29"}, TextCase{0.1 + 0.2, "0.3"},
                    TextCase{1.0 / 3, "0.333333333333333"}, TextCase{2.0 / 3, "0.666666666666667"},
                    TextCase{-2.0 / 3 * 1000, "-666.666666666667"},
                    // 15 nines round up into the next decade.
                    TextCase{std::nextafter(10.0, 0.0), "10"}, TextCase{0.99999999999999994, "1"},
                    // The switch to exponent form: below 1E-5 and from 1E15 on.
                    TextCase{0.00001, "0.00001"}, TextCase{0.000015, "0.000015"},
                    TextCase{0.0001234, "0.0001234"}, TextCase{0.0000099, "9.9E-06"},
                    TextCase{4.440892098500626e-16, "4.44089209850063E-16"},
                    TextCase{-1.1102230246251565e-16, "-1.11022302462516E-16"},
                    TextCase{99999999999999.9, "99999999999999.9"},
                    TextCase{999999999999999, "999999999999999"},
                    TextCase{999999999999999.9, "1E+15"}, TextCase{1e15, "1E+15"},
                    TextCase{123456789012345678.0, "1.23456789012346E+17"},
                    TextCase{1e100, "1E+100"}, TextCase{DBL_MAX, "1.79769313486232E+308"},
                    TextCase{-DBL_MIN, "-2.2250738585072E-308"},
                    TextCase{4.9406564584124654e-324, "4.94065645841247E-324"}));

class PictureText : public testing::TestWithParam<TextCase>
{
};

TEST_P(PictureText, RoundsToFourDecimals)
{
    EXPECT_EQ(pictureText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, PictureText,
                         testing::Values(TextCase{0.01, ".0100"}, TextCase{0, ".0000"},
                                         TextCase{1.5, "1.5000"}, TextCase{-0.25, "-.2500"},
                                         TextCase{12345.678, "12345.6780"},
                                         TextCase{16.947, "16.9470"}, TextCase{0.99996, "1.0000"},
                                         TextCase{-0.99996, "-1.0000"}, TextCase{0.00004, ".0000"},
                                         TextCase{0.00005000001, ".0001"},
                                         // A negative value that rounds to zero shows no sign.
                                         TextCase{-0.00004, ".0000"}, TextCase{-0.0, ".0000"},
                                         // Ties of the exact binary value go to even.
                                         TextCase{0.03125, ".0312"}, TextCase{0.09375, ".0938"},
                                         TextCase{-1.03125, "-1.0312"},
                                         TextCase{2.00015625, "2.0002"},
                                         TextCase{84.74501, "84.7450"}, TextCase{5e-324, ".0000"},
                                         TextCase{1e15 + 0.25, "1000000000000000.2500"},
                                         TextCase{9007199254740993.0, "9007199254740992.0000"},
                                         TextCase{1e20, "100000000000000000000.0000"},
                                         TextCase{-1e22, "-10000000000000000000000.0000"}));

TEST(PictureText, WritesEveryDigitOfTheLargestDouble)
{
    const std::string text = pictureText(-DBL_MAX);
    EXPECT_EQ(text.size(), 1 + 309 + 5u);
    EXPECT_EQ(text.substr(0, 8), "-1797693");
    EXPECT_EQ(text.substr(text.size() - 5), ".0000");
    EXPECT_LE(text.size(), kMaxPictureLength);
}

struct LineCase
{
    double x, y;
    std::string line;
};

void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << c.line;
}

class ListLine : public testing::TestWithParam<LineCase>
{
};

TEST_P(ListLine, JoinsXThreeBlanksAndY)
{
    EXPECT_EQ(listLine(GetParam().x, GetParam().y), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ListLine,
    testing::Values(LineCase{0, 0.01, "0   .0100"}, LineCase{1.5, -0.25, "1.5   -.2500"},
                    LineCase{0.01 * 313 + 0.01, 7.25, "3.14   7.2500"},
                    LineCase{0.01 * 70 + -0.7, 38.98809, "1.11022302462516E-16   38.9881"}));

// ---- Rows as they are saved, copied and printed ------------------------------------------

struct RowCase
{
    RowFormat format;
    double x, y;
    std::optional<double> reference;
    const char *row;
};

void PrintTo(const RowCase &c, std::ostream *os)
{
    *os << static_cast<int>(c.format) << ' ' << c.row;
}

class Row : public testing::TestWithParam<RowCase>
{
};

TEST_P(Row, IsWrittenWholeAndEndedByANewline)
{
    const RowCase &c = GetParam();
    // Room to spare, so that a row beyond its bound, or a byte beyond its end, shows.
    std::array<char, kMaxRowLength + 64> buf;
    buf.fill('#');
    const char *end = writeRow(buf.data(), c.format, c.x, c.y, c.reference);
    const auto length = static_cast<std::size_t>(end - buf.data());
    EXPECT_EQ(std::string_view(buf.data(), length), c.row);
    EXPECT_LE(length, kMaxRowLength);
    EXPECT_TRUE(std::all_of(buf.begin() + length, buf.end(), [](char ch) { return ch == '#'; }));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Row,
    testing::Values(
        RowCase{RowFormat::Lines, 0, 0.01, std::nullopt, "0   .0100\n"},
        RowCase{RowFormat::Lines, -0.0, -0.0, std::nullopt, "0   .0000\n"},
        RowCase{RowFormat::Lines, 0.00001, -0.00004, std::nullopt, "0.00001   .0000\n"},
        RowCase{RowFormat::Lines, 0.0000099, 1e-5, std::nullopt, "9.9E-06   .0000\n"},
        // The list lines and plain CSV have no room for a reference.
        RowCase{RowFormat::Lines, 1.5, -0.25, 3.0, "1.5   -.2500\n"},
        RowCase{RowFormat::Csv, 1.5, -0.25, 3.0, "1.5,-0.25\n"},
        RowCase{RowFormat::Csv, 0.01 * 3, -0.0, std::nullopt, "0.03,-0\n"},
        RowCase{RowFormat::Csv, 0.00001, 0.0000099, std::nullopt, "1e-05,9.9e-06\n"},
        RowCase{RowFormat::Csv, -DBL_MIN, 5e-324, std::nullopt,
                "-2.2250738585072014e-308,5e-324\n"},
        RowCase{RowFormat::CsvWithReference, 0.5, 1.25, 1.0, "0.5,1.25,1,0.25\n"},
        RowCase{RowFormat::CsvWithReference, 0.1, 0.3, 0.1 + 0.2,
                "0.1,0.3,0.30000000000000004,-5.551115123125783e-17\n"},
        RowCase{RowFormat::CsvWithReference, 0, 0, -0.0, "0,0,-0,0\n"},
        RowCase{RowFormat::CsvWithReference, -0.0, -0.0, 0.0, "-0,-0,0,-0\n"},
        RowCase{RowFormat::CsvWithReference, 0.00001, 1.00001, 0.0000099,
                "1e-05,1.00001,9.9e-06,1.0000001\n"},
        // Where the reference has no value both its columns stay empty.
        RowCase{RowFormat::CsvWithReference, 0.00001, -2, std::nullopt, "1e-05,-2,,\n"},
        // The longest rows of each format fit the bound.
        RowCase{RowFormat::Lines, -4.9406564584124654e-324, -DBL_MAX, std::nullopt,
                "-4.94065645841247E-324   -"
                "17976931348623157081452742373170435679807056752584499659891747680315726078002853"
                "87605895586327668781715404589535143824642343213268894641827684675467035375169860"
                "49910576551282076245490090389328944075868508455133942304583236903222948165808559"
                "332123348274797826204144723168738177180919299881250404026184124858368"
                ".0000\n"},
        RowCase{RowFormat::CsvWithReference, -DBL_MIN, -DBL_MAX, -DBL_MIN,
                "-2.2250738585072014e-308,-1.7976931348623157e+308,-2.2250738585072014e-308,"
                "-1.7976931348623157e+308\n"}));

struct HeaderCase
{
    RowFormat format;
    std::string_view header;
};

class RowHeader : public testing::TestWithParam<HeaderCase>
{
};

TEST_P(RowHeader, NamesTheColumns)
{
    EXPECT_EQ(rowHeader(GetParam().format), GetParam().header);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RowHeader,
    testing::Values(HeaderCase{RowFormat::Lines, ""}, HeaderCase{RowFormat::Csv, "x,y\n"},
                    HeaderCase{RowFormat::CsvWithReference, "x,y,reference,error\n"}));

// ---- Against the C library's exact formatting ------------------------------------------

// The same rules built from printf, which rounds the exact binary value, ties to even.
std::string referenceGeneral(double v)
{
    if (v == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    std::string s(buf);
    const auto e = s.find('e');
    const int d = std::atoi(s.c_str() + e + 1);
    std::string sign = s[0] == '-' ? "-" : "";
    std::string digits;
    for (char c : s.substr(0, e))
        if (c >= '0' && c <= '9')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (d < -5 || d >= 15) {
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", d < 0 ? '-' : '+', std::abs(d));
        return sign + digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "") + exp;
    }
    if (d >= 0) {
        std::string whole = digits.substr(0, static_cast<std::size_t>(d + 1));
        whole.resize(static_cast<std::size_t>(d + 1), '0');
        const std::string rest =
            digits.size() > whole.size() ? digits.substr(static_cast<std::size_t>(d + 1)) : "";
        return sign + whole + (rest.empty() ? "" : "." + rest);
    }
    return sign + "0." + std::string(static_cast<std::size_t>(-d - 1), '0') + digits;
}

std::string referencePicture(double v)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.4f", std::fabs(v));
    std::string_view digits(buf);
    if (digits.starts_with("0."))
        digits.remove_prefix(1);
    // Built front to back: an insert before the digits draws g++ 12's false overlap warning.
    std::string s = std::signbit(v) && digits != ".0000" ? "-" : "";
    s += digits;
    return s;
}

TEST(AgainstPrintf, AgreesOnGridAbscissaeAndRandomDoubles)
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> start(-50, 50);
    int checked = 0;
    for (int run = 0; run < 40; ++run) {
        const double x0 = run == 0 ? 0.0 : std::round(start(random) * 100) / 100;
        for (int i = 0; i < 5000; ++i) {
            const double x = 0.01 * i + x0;
            ASSERT_EQ(generalText(x), referenceGeneral(x)) << x0 << " + h * " << i;
            ASSERT_EQ(pictureText(x), referencePicture(x)) << x0 << " + h * " << i;
            ++checked;
        }
    }
    // Doubles of every magnitude, from their bit patterns.
    for (int i = 0; i < 300000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (!std::isfinite(v))
            continue;
        ASSERT_EQ(generalText(v), referenceGeneral(v)) << std::hexfloat << v;
        ASSERT_EQ(pictureText(v), referencePicture(v)) << std::hexfloat << v;
        ++checked;
    }
    // Magnitudes near the switches between the fast and the general paths.
    std::uniform_real_distribution<double> exponent(-7, 20);
    for (int i = 0; i < 300000; ++i) {
        const double v = std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1);
        ASSERT_EQ(generalText(v), referenceGeneral(v)) << std::hexfloat << v;
        ASSERT_EQ(pictureText(v), referencePicture(v)) << std::hexfloat << v;
        ++checked;
    }
    EXPECT_GT(checked, 700000);
}

TEST(Shortest, ReadsBackToTheSameDouble)
{
    for (const double v : {0.01 * 3, 1.0 / 3, -DBL_MAX, 5e-324, 0.1, 3.14}) {
        char buf[kMaxShortestLength + 1];
        *writeShortest(buf, v) = '\0';
        EXPECT_EQ(std::strtod(buf, nullptr), v) << buf;
    }
}

} // namespace
