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

    // A read and a write give a number its short written form (the converter
    // keeps a value's own text where its number does not change).
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

namespace
{
    struct SplitCase
    {
        const char* text;
        const char *leading, *number, *trailing;
        double value;
    };

    class SplitValue : public testing::TestWithParam<SplitCase>
    {
    };

    TEST_P (SplitValue, CutsOneNumberFromItsBlanksAndUnit)
    {
        const SplitCase& c = GetParam();
        const auto parts = NumberText::splitValue (c.text);
        ASSERT_TRUE (parts.has_value()) << "text: \"" << c.text << "\"";
        EXPECT_EQ (std::string (parts->leading) + "|" + std::string (parts->number) + "|" + std::string (parts->trailing),
                   std::string (c.leading) + "|" + c.number + "|" + c.trailing);
        if (std::isnan (c.value))
            EXPECT_TRUE (std::isnan (parts->value)) << c.text;
        else
            EXPECT_EQ (parts->value, c.value) << c.text;
    }

    constexpr double infinity = std::numeric_limits<double>::infinity();

    INSTANTIATE_TEST_SUITE_P (
        ValueShapes, SplitValue,
        testing::Values (SplitCase { "1.30", "", "1.30", "", 1.3 }, SplitCase { "+3", "", "+3", "", 3 },
                         SplitCase { "1e3", "", "1e3", "", 1000 }, SplitCase { " 7 ", " ", "7", " ", 7 },
                         SplitCase { "4.71214e-05", "", "4.71214e-05", "", 4.71214e-05 },
                         SplitCase { "12px", "", "12", "px", 12 }, SplitCase { "50%", "", "50", "%", 50 },
                         SplitCase { "\t-6 dB\n", "\t", "-6", " dB\n", -6 }, SplitCase { "12e", "", "12", "e", 12 },
                         SplitCase { "3\xc2\xb5s", "", "3", "\xc2\xb5s", 3 },
                         SplitCase { " -Infinity ", " ", "-Infinity", " ", -infinity },
                         SplitCase { "-inf dB", "", "-inf", " dB", -infinity },
                         SplitCase { "NaN", "", "NaN", "", std::numeric_limits<double>::quiet_NaN() },
                         SplitCase { "1e400", "", "1e400", "", infinity }));

    TEST (SplitValue, AnythingButOneNumberWithBlanksAndAUnitIsNone)
    {
        for (const char* text : { "2 3", "1,5", "0x10", "1.2.3", "12px 4px", "12abc5", "auto", "", " ", "- 3", "px12",
                                  "info", "inf%", "nan1", "12 px dB" })
            EXPECT_FALSE (NumberText::splitValue (text).has_value()) << "text: \"" << text << "\"";
    }
}
