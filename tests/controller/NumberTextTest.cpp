#include "controller/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace relaydeck {
namespace {

TEST(NumberText, ReadsDecimalNumbersAndRefusesTheRest) {
    EXPECT_EQ(parseNumber("15"), 15.0);
    EXPECT_EQ(parseNumber(" 2.5 "), 2.5);
    EXPECT_EQ(parseNumber("-1"), -1.0);
    EXPECT_EQ(parseNumber(".5"), 0.5);
    EXPECT_EQ(parseNumber("00"), 0.0);
    EXPECT_EQ(parseNumber("1e3"), 1000.0);
    for (const char* bad : {"", " ", "abc", "1,5", "5x", "-", ".", "1e", "nan", "inf", "1e999"}) {
        EXPECT_FALSE(parseNumber(bad).has_value()) << bad;
    }
}

// Whole numbers take a shorter road: they must read exactly as through the general one.
TEST(NumberText, WholeNumbersReadTheSameAsAnyOtherNumber) {
    EXPECT_EQ(parseNumber("900"), 900.0);
    EXPECT_EQ(parseNumber("\t0899 "), 899.0);
    EXPECT_EQ(parseNumber("999999999999999"), 999999999999999.0);
    EXPECT_EQ(parseNumber("1234567890123456789"), 1234567890123456789.0);
    EXPECT_EQ(parseNumber("+7"), 7.0);
    const auto minusZero = parseNumber("-0");
    ASSERT_TRUE(minusZero.has_value());
    EXPECT_TRUE(std::signbit(*minusZero));
    EXPECT_EQ(numberToText(*minusZero - 1), "-1");
    for (const char* bad : {"--1", "-+1", "1-", "1 2", "12a", "- 1"}) {
        EXPECT_FALSE(parseNumber(bad).has_value()) << bad;
    }
}

TEST(NumberText, WritesAtMostFifteenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(numberToText(15 * 60.0), "900");
    EXPECT_EQ(numberToText(2.5 * 60), "150");
    EXPECT_EQ(numberToText(0.1 * 60), "6");
    EXPECT_EQ(numberToText(0.25 * 60), "15");
    EXPECT_EQ(numberToText(0.01 * 60 - 1), "-0.4");
    EXPECT_EQ(numberToText(-0.0), "0");
    EXPECT_EQ(numberToText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(numberToText(-899), "-899");
    EXPECT_EQ(numberToText(-2.5), "-2.5");
    EXPECT_EQ(numberToText(123456789012345.0), "123456789012345");
}

TEST(NumberText, VeryLargeAndTinyNumbersAreWrittenInDecimalAndReadBack) {
    EXPECT_EQ(numberToText(0.000001 * 60), "0.00006");
    EXPECT_EQ(numberToText(1e14 * 60), "6000000000000000");
    EXPECT_EQ(numberToText(123456789012345678.0), "123456789012346000");
    EXPECT_EQ(numberToText(1.5e-7), "0.00000015");
    EXPECT_EQ(numberToText(-1e-5), "-0.00001");
    EXPECT_EQ(numberToText(-12345.678901234567), "-12345.6789012346");
    const std::string huge = numberToText(2e300);
    EXPECT_EQ(huge, "2" + std::string(300, '0'));
    for (const double v : {6e-5, 6e15, 1.23456789012346e17, 2e300, -1.5e-7}) {
        EXPECT_EQ(parseNumber(numberToText(v)), v) << v;
    }
    EXPECT_EQ(parseNumber("1.5E-07"), 1.5e-7);
}

TEST(NumberText, TheNumberATextBeginsWith) {
    EXPECT_EQ(parseLeadingNumber("1,5"), 1.0);
    EXPECT_EQ(parseLeadingNumber(" 10 s"), 10.0);
    EXPECT_EQ(parseLeadingNumber("-2.5x"), -2.5);
    EXPECT_EQ(parseLeadingNumber("3e2s"), 300.0);
    for (const char* none : {"", "abc", "-", ".", "e5", "x1", "1e999"}) {
        EXPECT_FALSE(parseLeadingNumber(none)) << none;
    }
    EXPECT_EQ(leadingMinutes("1,5"), 1.0);
    EXPECT_FALSE(leadingMinutes("-1,5"));
    EXPECT_EQ(leadingTimerMilliseconds("500ms"), 500);
    EXPECT_FALSE(leadingTimerMilliseconds("99999"));
}

TEST(NumberText, SignsAndNumbersBeyondTheDoubleRange) {
    EXPECT_EQ(parseNumber("+2"), 2.0);
    EXPECT_EQ(parseNumber("-0.5e1"), -5.0);
    EXPECT_EQ(parseNumber("\t7\t"), 7.0);
    EXPECT_EQ(parseNumber("1e-999"), 0.0);
    EXPECT_EQ(parseNumber("0.000e-999"), 0.0);
    EXPECT_EQ(parseNumber("-1e-400"), 0.0);
    EXPECT_FALSE(parseNumber("123456789e400"));
    EXPECT_FALSE(parseNumber("0.0001e999"));
    EXPECT_FALSE(parseNumber("+-1"));
    EXPECT_FALSE(parseNumber("1 2"));
}

TEST(NumberText, MinutesAreNumbersOfAtLeastZeroWithFiniteSeconds) {
    EXPECT_EQ(parseMinutes("15"), 15.0);
    EXPECT_EQ(parseMinutes("0"), 0.0);
    EXPECT_EQ(parseMinutes("0.1"), 0.1);
    EXPECT_FALSE(parseMinutes("-1"));
    EXPECT_FALSE(parseMinutes("-0.01"));
    EXPECT_FALSE(parseMinutes("abc"));
    EXPECT_FALSE(parseMinutes(""));
    EXPECT_FALSE(parseMinutes("1e307"));
}

TEST(NumberText, TimerMillisecondsRoundHalfToEvenWithinTheTimerRange) {
    EXPECT_EQ(parseTimerMilliseconds("750"), 750);
    EXPECT_EQ(parseTimerMilliseconds("2.5"), 2);
    EXPECT_EQ(parseTimerMilliseconds("3.5"), 4);
    EXPECT_EQ(parseTimerMilliseconds("65535"), 65535);
    EXPECT_FALSE(parseTimerMilliseconds("65536"));
    EXPECT_FALSE(parseTimerMilliseconds("-1"));
    EXPECT_EQ(parseTimerMilliseconds("-0.4"), 0);
    EXPECT_FALSE(parseTimerMilliseconds("abc"));
}

TEST(NumberText, CheckValuesAreZeroOneOrTwoAfterRounding) {
    EXPECT_EQ(parseCheckValue("1.5"), 2);
    EXPECT_EQ(parseCheckValue("0.5"), 0);
    EXPECT_EQ(parseCheckValue("2"), 2);
    EXPECT_FALSE(parseCheckValue("3"));
    EXPECT_FALSE(parseCheckValue("-1"));
    EXPECT_FALSE(parseCheckValue("yes"));
}

}  // namespace
}  // namespace relaydeck
