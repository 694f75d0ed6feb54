#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace
{
    struct ReadCase
    {
        const char* text;
        double expected;
    };

    class ReadLeadingNumber : public testing::TestWithParam<ReadCase>
    {
    };

    TEST_P (ReadLeadingNumber, TakesTheLongestLeadingDecimalNumber)
    {
        const ReadCase& c = GetParam();
        EXPECT_EQ (NumberText::readLeadingNumber (c.text), c.expected) << "text: \"" << c.text << "\"";
    }

    INSTANTIATE_TEST_SUITE_P (NumberForms, ReadLeadingNumber, testing::Values (ReadCase { "12abc", 12.0 }, ReadCase { "abc", 0.0 }, ReadCase { "", 0.0 }, ReadCase { "1.50", 1.5 }, ReadCase { "007", 7.0 }, ReadCase { "0.1234567891", 0.1234567891 }, ReadCase { "  \t-3.5e2 dB", -350.0 }, ReadCase { "+.25", 0.25 }, ReadCase { "5.", 5.0 }, ReadCase { "2E+3", 2000.0 }, ReadCase { "1e", 1.0 }, // an "e" without digits is not an exponent
                                                                               ReadCase { "1e-", 1.0 }, ReadCase { "4.5.6", 4.5 }, ReadCase { ".", 0.0 }, ReadCase { "-", 0.0 }, ReadCase { "- 3", 0.0 },                                                                                                                                                                                             // no blank between sign and digits
                                                                               ReadCase { "0x1A", 0.0 },                                                                                                                                                                                                                                                                                              // decimal only: the 0 before the x
                                                                               ReadCase { "inf", std::numeric_limits<double>::infinity() }, ReadCase { " -Infinity ", -std::numeric_limits<double>::infinity() }, ReadCase { "info", 0.0 },                                                                                                                                                           // a word is not a number, even one that starts like one
                                                                               ReadCase { "nano", 0.0 }, ReadCase { "1,5", 1.0 },                                                                                                                                                                                                                                                                     // a decimal comma ends the number
                                                                               ReadCase { "1e-400", 0.0 }));

    TEST (ReadNumber, TextsWithoutANumberReadAsNothingAndWrittenFormsReadBack)
    {
        for (const char* text : { "", "auto", "abc", " ", "-", ".", "e5", "inf1", "nan!", "--1" })
            EXPECT_FALSE (NumberText::readNumber (text).has_value()) << "text: \"" << text << "\"";

        const double written[] = { std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN(), -0.0, 1e-5, 1.23456789e9 };
        for (const double value : written)
        {
            const auto text = NumberText::writeNumber (value);
            EXPECT_EQ (NumberText::writeNumber (NumberText::readNumber (text).value()), text);
        }
    }

    TEST (ReadLeadingNumberRange, NumbersBeyondDoubleBecomeInfinities)
    {
        EXPECT_EQ (NumberText::readLeadingNumber ("1e400"), std::numeric_limits<double>::infinity());
        EXPECT_EQ (NumberText::readLeadingNumber ("-2e999999999999"), -std::numeric_limits<double>::infinity());
        EXPECT_EQ (NumberText::readLeadingNumber ("0.000001e-330"), 0.0);
        EXPECT_EQ (NumberText::readLeadingNumber ("4e-320"), 4e-320); // subnormal, still representable
    }

    TEST (ReadLeadingNumberSign, MinusZeroKeepsItsSign)
    {
        const double value = NumberText::readLeadingNumber ("-0");
        EXPECT_EQ (value, 0.0);
        EXPECT_TRUE (std::signbit (value));
    }

    struct WriteCase
    {
        double value;
        const char* expected;
    };

    class WriteNumber : public testing::TestWithParam<WriteCase>
    {
    };

    TEST_P (WriteNumber, WritesNineSignificantDigitsWithAThreeDigitExponent)
    {
        const WriteCase& c = GetParam();
        EXPECT_EQ (NumberText::writeNumber (c.value), c.expected);
    }

    INSTANTIATE_TEST_SUITE_P (NumberForms, WriteNumber, testing::Values (WriteCase { 0.5, "0.5" }, WriteCase { 1.5, "1.5" }, WriteCase { 7.0, "7" }, WriteCase { 0.1234567891, "0.123456789" }, WriteCase { 1.0 / 3.0, "0.333333333" }, WriteCase { -2.0 / 3.0, "-0.666666667" }, WriteCase { 0.00001, "1e-005" }, WriteCase { 0.0001, "0.0001" }, WriteCase { 1.234567891e9, "1.23456789e+009" }, WriteCase { 123456789.0, "123456789" }, WriteCase { 1e100, "1e+100" }, WriteCase { -1.5e-300, "-1.5e-300" }, WriteCase { 0.0, "0" }, WriteCase { -0.0, "-0" }, WriteCase { std::numeric_limits<double>::infinity(), "inf" }, WriteCase { -std::numeric_limits<double>::infinity(), "-inf" }, WriteCase { std::numeric_limits<double>::quiet_NaN(), "nan" }, WriteCase { -std::numeric_limits<double>::quiet_NaN(), "nan" }));

    // The default formula "y = x;" passes each value through a read and a write.
    TEST (NumberRoundTrip, AttributeValuesComeBackInTheirShortForm)
    {
        const auto roundTrip = [] (const char* text) {
            return NumberText::writeNumber (NumberText::readLeadingNumber (text));
        };
        EXPECT_EQ (roundTrip ("1.50"), "1.5");
        EXPECT_EQ (roundTrip ("007"), "7");
        EXPECT_EQ (roundTrip ("12abc"), "12");
        EXPECT_EQ (roundTrip ("abc"), "0");
        EXPECT_EQ (roundTrip ("0.00001"), "1e-005");
        EXPECT_EQ (roundTrip ("1e-005"), "1e-005");
        EXPECT_EQ (roundTrip ("-0"), "-0");
    }
}
