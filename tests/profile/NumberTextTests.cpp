// The general number format of the .dat file and the coordinate readout.
#include "FloatErrors.h"
#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

struct FormatCase {
    const char* name;
    double value;
    const char* text;
};

class FloatText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FloatText, WritesGeneralFormat)
{
    EXPECT_EQ(FloatToText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FloatText,
    ::testing::Values(
        FormatCase{"One", 1, "1"}, FormatCase{"Half", 0.5, "0.5"}, FormatCase{"SmallNegative", -0.0123, "-0.0123"},
        FormatCase{"SmallestFixed", 0.0001, "0.0001"}, FormatCase{"BelowFixed", 0.00005, "5E-5"},
        FormatCase{"NegativeScientific", -0.0000123, "-1.23E-5"}, FormatCase{"NineE5", 0.00009, "9E-5"},
        FormatCase{"TwoThirds", 2.0 / 3, "0.666666666666667"}, FormatCase{"OneThird", 1.0 / 3, "0.333333333333333"},
        FormatCase{"Mixed", 123456.789, "123456.789"}, FormatCase{"TenToFifteen", 1e15, "1E15"},
        FormatCase{"LargestFixed", 999999999999999.0, "999999999999999"},
        FormatCase{"IntegerBeforeFraction", 1200.5, "1200.5"}, FormatCase{"IntegerWithZeros", 120000, "120000"},
        FormatCase{"PointOnePlusPointTwo", 0.1 + 0.2, "0.3"}, FormatCase{"PlusZero", 0.0, "0"},
        FormatCase{"MinusZero", -0.0, "0"},
        // 16th digit 5: away from zero, not to the even neighbour.
        FormatCase{"SixteenthDigitFiveRoundsUp", 1234567890123445.0, "1.23456789012345E15"},
        FormatCase{"SixteenthDigitFiveNegative", -1234567890123445.0, "-1.23456789012345E15"},
        FormatCase{"SixteenthDigitFour", 1234567890123444.0, "1.23456789012344E15"},
        // The double nearest 0.1234567890123455 lies below it: its exact 16th digit is 4.
        FormatCase{"ExactDigitsNotShortest", 0.1234567890123455, "0.123456789012345"},
        FormatCase{"CarryThroughAllNines", 0.9999999999999999, "1"},
        FormatCase{"CarryIntoNewExponent", 999999999999999.9, "1E15"},
        FormatCase{"LargeExponent", 1.7976931348623149e308, "1.79769313486231E308"},
        FormatCase{"Subnormal", 5e-324, "4.94065645841247E-324"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FloatTextSeparator, UsesTheSeparatorGivenInEveryNotation)
{
    EXPECT_EQ(FloatToText(0.5, ","), "0,5");
    EXPECT_EQ(FloatToText(-0.0123, ","), "-0,0123");
    EXPECT_EQ(FloatToText(-0.0000123, ","), "-1,23E-5");
    EXPECT_EQ(FloatToText(1200.5, ","), "1200,5");
    EXPECT_EQ(FloatToText(42, ","), "42");
}

TEST(FloatTextSeparator, NonFiniteValuesHaveNoText)
{
    EXPECT_THROW(FloatToText(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(FloatToText(std::numeric_limits<double>::infinity()), EInvalidOp);
}

} // namespace
